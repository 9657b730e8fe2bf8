// The speeds each serial line takes, set on a pseudo-terminal: the bus's
// serial control takes 110 to 115200, a printer on a serial port 110 to
// 230400; any other speed is refused, and the line holds the speed asked.

#include "platform/PrinterPort.h"
#include "platform/RtError.h"
#include "platform/SerialPort.h"
#include "tests/support/PrinterDevices.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <termios.h>

namespace {

using printer_devices::PtyLine;

constexpr int kPort = 5;

// Port COM<kPort> stands for the pseudo-terminal.
bool mapPty(const PtyLine& pty)
{
    printer_devices::mapPort(QStringLiteral("COM%1").arg(kPort), pty.device());
    return !pty.device().isEmpty();
}

speed_t speedOf(const PtyLine& pty)
{
    const termios tio = pty.settings();
    return ::cfgetospeed(&tio);
}

struct Case {
    int baud;
    speed_t setting;  // B0: no line takes it
    bool bus;
    bool printer;
};

const Case cases[] = {
    {0, B0, false, false},          {50, B0, false, false},         {110, B110, true, true},
    {300, B300, true, true},        {600, B600, true, true},        {1200, B1200, true, true},
    {2400, B2400, true, true},      {4800, B4800, true, true},      {9600, B9600, true, true},
    {14400, B0, false, false},      {19200, B19200, true, true},    {28800, B0, false, false},
    {38400, B38400, true, true},    {57600, B57600, true, true},    {115200, B115200, true, true},
    {230400, B230400, false, true}, {460800, B0, false, false},     {-9600, B0, false, false},
};

} // namespace

// Two speeds taken one after the other differ, so each shows on the line.
TEST(LineSpeeds, TheBusLineTakesItsSpeedsAndHoldsTheOneSet)
{
    PtyLine pty;
    ASSERT_TRUE(mapPty(pty));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        plat::SerialPort port;
        port.setCommPort(kPort);
        const QString settings = QStringLiteral("%1,N,8,1").arg(c.baud);
        if (!c.bus) {
            try {
                port.setSettings(settings);
                ADD_FAILURE() << "taken";
            } catch (const plat::RtError& e) {
                EXPECT_EQ(e.number(), plat::rt::InvalidPropertyValue);
            }
            continue;
        }
        ASSERT_NO_THROW(port.setSettings(settings));
        ASSERT_NO_THROW(port.setPortOpen(true));
        EXPECT_EQ(speedOf(pty), c.setting);
        port.setPortOpen(false);
    }
}

TEST(LineSpeeds, APrintersLineTakesItsSpeedsAndHoldsTheOneSet)
{
    PtyLine pty;
    ASSERT_TRUE(mapPty(pty));
    plat::PrinterPort port;
    ASSERT_EQ(port.open(QStringLiteral("COM%1").arg(kPort)), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        plat::PrinterLine line;
        line.baud = c.baud;
        if (!c.printer) {
            const speed_t before = speedOf(pty);
            EXPECT_EQ(port.setLine(line), EINVAL);
            EXPECT_EQ(speedOf(pty), before) << "the line is left as it was";
            continue;
        }
        ASSERT_EQ(port.setLine(line), 0);
        EXPECT_EQ(speedOf(pty), c.setting);
        plat::PrinterLine read;
        ASSERT_EQ(port.getLine(read), 0);
        EXPECT_EQ(read.baud, c.baud);
    }
}
