// The real serial control over a pseudo-terminal pair, against an independent
// Modbus RTU server (libmodbus) on the other end, in real time.

#include "platform/AppIdentity.h"
#include "platform/Guard.h"
#include "platform/ProfileFile.h"
#include "platform/RtError.h"
#include "platform/SerialPort.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"
#include "tests/support/ProgramGlobals.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <atomic>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int TestPort = 7;

// A pseudo-terminal pair: the test keeps the master, the port under test opens
// the slave by the name that the INI file gives for COM7.
struct PtyPair {
    int master = -1;
    QString slaveName;

    PtyPair()
    {
        int slave = -1;
        char name[256] = {};
        termios raw {};
        cfmakeraw(&raw);
        if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
            return;
        slaveName = QString::fromLocal8Bit(name);
        // Keep the line up while the port under test closes and opens: hold the
        // slave open until the port has it.
        m_slave = slave;
    }
    ~PtyPair()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    void releaseSlave()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
    }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

private:
    int m_slave = -1;
};

void mapPort(int port, const QString& device)
{
    ASSERT_TRUE(plat::ProfileFile::writeString("Ports", QString("COM%1").arg(port), device,
                                               plat::AppIdentity::programFile(".ini")));
}

// libmodbus as RTU server for one slave address on the master side of the pty.
class ModbusServer {
public:
    ModbusServer(int fd, int slave)
    {
        m_ctx = modbus_new_rtu("/dev/null", 9600, 'N', 8, 1);
        modbus_set_slave(m_ctx, slave);
        modbus_set_socket(m_ctx, fd);
        modbus_set_indication_timeout(m_ctx, 0, 50000);
        map = modbus_mapping_new(0, 0, 300, 0);
        m_thread = std::thread([this] { run(); });
    }
    ~ModbusServer()
    {
        m_stop = true;
        m_thread.join();
        modbus_mapping_free(map);
        modbus_free(m_ctx);   // the descriptor belongs to the pty pair
    }

    modbus_mapping_t* map = nullptr;

private:
    void run()
    {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!m_stop) {
            const int rc = modbus_receive(m_ctx, query);
            if (rc > 0)
                modbus_reply(m_ctx, query, rc, map);
        }
    }

    modbus_t* m_ctx = nullptr;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

class SerialPortPty : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_GE(pty.master, 0) << "openpty failed";
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reported.push_back({name, e.number(), e.description()});
        });
        mapPort(TestPort, pty.slaveName);
        port.setCommPort(TestPort);
        port.setSettings("9600,N,8,1");
        port.setPortOpen(true);
        pty.releaseSlave();
    }

    struct Report {
        QString name;
        int number;
        QString description;
    };

    PtyPair pty;
    plat::SerialPort port;
    std::vector<Report> reported;
};

} // namespace

TEST_F(SerialPortPty, FramesAgainstAnIndependentServer)
{
    ModbusServer server(pty.master, 5);
    EXPECT_EQ(port.device(), pty.slaveName);

    EXPECT_TRUE(CommFunctions::EcritMots(port, 5, Bus::RegPackedStates, {1, -2, 0x1234, 0, 7}));
    EXPECT_EQ(server.map->tab_registers[25], 1);
    EXPECT_EQ(server.map->tab_registers[26], 0xFFFE);
    EXPECT_EQ(server.map->tab_registers[27], 0x1234);
    EXPECT_EQ(server.map->tab_registers[29], 7);

    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 5, Bus::RegModuleCommand, 2));
    EXPECT_EQ(server.map->tab_registers[67], 2);

    QVector<qint16> words(5);
    ASSERT_TRUE(CommFunctions::LitMots(port, 5, Bus::RegPackedStates, words));
    EXPECT_EQ(words, QVector<qint16>({1, -2, 0x1234, 0, 7}));

    // A broadcast is applied by the server and not answered; it reaches the line whole.
    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 0, Bus::RegCounterReset, 0x55));
    QVector<qint16> reset(1);
    ASSERT_TRUE(CommFunctions::LitMots(port, 5, Bus::RegCounterReset, reset));
    EXPECT_EQ(reset[0], 0x55);

    server.map->tab_registers[Bus::RegModuleType] = 1;
    server.map->tab_registers[Bus::RegModuleSubType] = 2;
    EXPECT_EQ(CommFunctions::GetModuleType(port, 5), Bus::ModelT7150);
    server.map->tab_registers[Bus::RegModuleType] = 2;
    EXPECT_EQ(CommFunctions::GetModuleType(port, 5), Bus::ModelK6200TX);
    EXPECT_TRUE(reported.empty());
}

TEST_F(SerialPortPty, SilentAddressTimesOutAfterTheReadDeadline)
{
    ModbusServer server(pty.master, 5);
    QVector<qint16> words(1);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(CommFunctions::LitMots(port, 9, Bus::RegModuleType, words));
    const qint64 ms = t.elapsed();
    EXPECT_GE(ms, 25 + 1008 - 2);   // both clocks count whole milliseconds
    EXPECT_LT(ms, 25 + 1008 + 300);
    EXPECT_TRUE(reported.empty());
}

TEST_F(SerialPortPty, OtherEndClosedFailsFastWithDeviceUnavailable)
{
    pty.closeMaster();
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        QVector<qint16> words(1);
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(CommFunctions::LitMots(port, 5, Bus::RegStatus, words));
        EXPECT_LT(t.elapsed(), 200);
    }
    // The loss is the port owner's to tell, once: the frames say nothing.
    EXPECT_TRUE(reported.empty());
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(port.DeviceLost());
    try {
        port.Input();
        ADD_FAILURE() << "a lost port gives nothing";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::DeviceUnavailable);
        EXPECT_TRUE(e.description().contains(pty.slaveName)) << e.description().toStdString();
    }
    // Closing a lost port is quiet; it is then an ordinary closed port.
    EXPECT_NO_THROW(port.setPortOpen(false));
    EXPECT_FALSE(port.DeviceLost());
    EXPECT_THROW(port.Input(), plat::RtError);
}

TEST(SerialPort, PortThatCannotBeOpenedGivesAClearError)
{
    struct Case {
        const char* name;
        int port;
        QString device;   // empty: no INI key
        QString expectedDevice;
        QString reason;
    };
    const QString plainFile = plat::AppIdentity::programFolder() + "/notatty";
    QFile f(plainFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const Case cases[] = {
        {"device named in the INI file missing", 3, "/dev/plx-no-such-port", "/dev/plx-no-such-port",
         "No such file or directory"},
        {"no INI key: /dev/ttyS<n-1>", 200, {}, "/dev/ttyS199", ""},
        {"not a serial device", 4, plainFile, plainFile, "not a serial device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.device.isEmpty())
            mapPort(c.port, c.device);
        plat::SerialPort port;
        port.setCommPort(c.port);
        EXPECT_EQ(plat::SerialPort::devicePath(c.port), c.expectedDevice);
        try {
            port.setPortOpen(true);
            ADD_FAILURE() << "opened";
        } catch (const plat::RtError& e) {
            const QString d = e.description();
            EXPECT_TRUE(d.contains(QString("COM%1").arg(c.port))) << d.toStdString();
            EXPECT_TRUE(d.contains(c.expectedDevice)) << d.toStdString();
            EXPECT_TRUE(d.contains(c.reason)) << d.toStdString();
        }
        EXPECT_FALSE(port.PortOpen());
    }
}

TEST(SerialPort, SettingsAreChecked)
{
    plat::SerialPort port;
    for (const char* good : {"9600,N,8,1", "1200,E,7,2", "19200,o,8,1.5", "115200,M,8,1", "2400,S,5,1"})
        EXPECT_NO_THROW(port.setSettings(good)) << good;
    for (const char* bad : {"", "9600", "9601,N,8,1", "9600,X,8,1", "9600,N,9,1", "9600,N,8,3", "fast,N,8,1"}) {
        try {
            port.setSettings(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), plat::rt::InvalidPropertyValue) << bad;
        }
    }
    EXPECT_EQ(port.Settings(), "2400,S,5,1");
    // Without an open port, input and output are refused.
    EXPECT_THROW(port.Input(), plat::RtError);
    EXPECT_THROW(port.Output("x"), plat::RtError);
}
