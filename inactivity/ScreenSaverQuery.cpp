#include "ScreenSaverQuery.h"

#ifdef STILLMARK_HAVE_DBUS
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#endif

namespace Stillmark {

#ifdef STILLMARK_HAVE_DBUS

const QString DBusScreenSaver::kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString DBusScreenSaver::kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString DBusScreenSaver::kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

DBusScreenSaver::DBusScreenSaver(QDBusConnection bus) : m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActiveChanged"), this, SLOT(onActiveChanged(bool)));
    auto* watcher = new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                m_running = 0;
                if (!newOwner.isEmpty())
                    askActive();
            });
    askActive();
}

int DBusScreenSaver::rawRunning()
{
    askActive();
    return m_running;
}

void DBusScreenSaver::onActiveChanged(bool active) { m_running = active ? 1 : 0; }

void DBusScreenSaver::askActive()
{
    if (m_asking || !m_bus.isConnected())
        return;
    m_asking = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetActive"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<bool> reply = *w;
        // No service, or one that failed: the saver counts as not running.
        m_running = reply.isValid() && reply.value() ? 1 : 0;
        m_asking = false;
        w->deleteLater();
    });
}

#endif

std::unique_ptr<IScreenSaverQuery> makeScreenSaverQuery()
{
#ifdef STILLMARK_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        return std::make_unique<DBusScreenSaver>(bus);
#endif
    return std::make_unique<NullScreenSaver>();
}

} // namespace Stillmark
