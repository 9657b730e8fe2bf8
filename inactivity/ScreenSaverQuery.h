#pragma once
// The screen saver's running flag. Where the desktop offers the screen-saver
// service on the session bus (org.freedesktop.ScreenSaver), the flag comes
// from it; without one (a kiosk with no saver), the saver never runs.

#include "ActivitySources.h"

#include <QObject>

#ifdef STILLMARK_HAVE_DBUS
#include <QDBusConnection>
#endif

namespace Stillmark {

class NullScreenSaver : public IScreenSaverQuery {
public:
    int rawRunning() override { return 0; }
};

#ifdef STILLMARK_HAVE_DBUS
// Follows the service's ActiveChanged signal and asks GetActive without
// waiting for the answer, at the start, whenever the service (re)appears and
// at each query: a query never blocks the event loop on the bus, and reads
// the last state the service gave (0 while it gave none or is gone).
class DBusScreenSaver : public QObject, public IScreenSaverQuery {
    Q_OBJECT
public:
    explicit DBusScreenSaver(QDBusConnection bus);
    int rawRunning() override;

    static const QString kService;
    static const QString kPath;
    static const QString kInterface;

private slots:
    void onActiveChanged(bool active);

private:
    void askActive();

    QDBusConnection m_bus;
    int m_running = 0;
    bool m_asking = false;
};
#endif

// The session bus's service where Qt DBus is built in and a session bus is
// there, else the null query.
std::unique_ptr<IScreenSaverQuery> makeScreenSaverQuery();

} // namespace Stillmark
