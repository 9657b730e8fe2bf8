// The screen saver through the desktop's screen-saver service, on a private
// session bus started for the test, with a stand-in for the service.

#include "inactivity/ScreenSaverQuery.h"

#include <gtest/gtest.h>

#ifdef STILLMARK_HAVE_DBUS

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using Stillmark::DBusScreenSaver;

namespace {

class FakeScreenSaverService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    bool active = false;

public slots:
    bool GetActive() { return active; }

signals:
    void ActiveChanged(bool on);
};

class PrivateBus : public testing::Test {
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        ASSERT_TRUE(m_daemon.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_daemon.canReadLine(); }, 5000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        ASSERT_FALSE(m_address.isEmpty());
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("saver-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("saver-service"));
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(5000);
        }
    }
    QDBusConnection connect(const QString& name) { return QDBusConnection::connectToBus(m_address, name); }

    QProcess m_daemon;
    QString m_address;
};

TEST_F(PrivateBus, FollowsTheServiceAndCountsNoServiceAsNotRunning)
{
    QDBusConnection client = connect(QStringLiteral("saver-client"));
    QDBusConnection service = connect(QStringLiteral("saver-service"));
    ASSERT_TRUE(client.isConnected());
    ASSERT_TRUE(service.isConnected());

    DBusScreenSaver saver(client);
    QTest::qWait(100);
    EXPECT_EQ(saver.rawRunning(), 0) << "no service yet";

    // A desktop whose saver is already running when its service appears.
    FakeScreenSaverService fake;
    fake.active = true;
    ASSERT_TRUE(service.registerObject(DBusScreenSaver::kPath, &fake, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(service.registerService(DBusScreenSaver::kService));
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.rawRunning() == 1; }, 5000));

    // The service's signal.
    fake.active = false;
    emit fake.ActiveChanged(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.rawRunning() == 0; }, 5000));
    fake.active = true;
    emit fake.ActiveChanged(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.rawRunning() == 1; }, 5000));

    // Each query asks again: a change the signal missed is seen a query later.
    fake.active = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.rawRunning() == 0; }, 5000));
    fake.active = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.rawRunning() == 1; }, 5000));

    // The service goes away: not running.
    ASSERT_TRUE(service.unregisterService(DBusScreenSaver::kService));
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.rawRunning() == 0; }, 5000));
}

TEST(DBusScreenSaver, WithoutABusItNeverRuns)
{
    DBusScreenSaver saver(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no-bus")));
    EXPECT_EQ(saver.rawRunning(), 0);
    QTest::qWait(50);
    EXPECT_EQ(saver.rawRunning(), 0);
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

} // namespace

#include "ScreenSaverQueryTest.moc"

#endif

TEST(NullScreenSaver, NeverRuns)
{
    Stillmark::NullScreenSaver saver;
    EXPECT_EQ(saver.rawRunning(), 0);
}
