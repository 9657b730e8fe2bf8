// The raw line printer on real devices: a pseudo-terminal for a serial port,
// a FIFO for a parallel one, both named in the INI file's "Ports" section.

#include "program/runtime/DirectPrinting.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Cp1252.h"
#include "platform/RtError.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/PrinterDevices.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <termios.h>
#include <utility>
#include <vector>

namespace {

using namespace printer_devices;

class RawPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&printer, &DirectPrinting::PrinterError,
                         [this](const QString& text, qint32 step) { events.emplace_back(text, step); });
    }

    // The printer prints on LPT2, a FIFO of one page that nobody empties.
    void printOnAStuckFifo(Fifo& fifo)
    {
        ASSERT_TRUE(fifo.openReader());
        fifo.setBufferSize(4096);
        mapPort(QStringLiteral("LPT2"), fifo.path());
        printer.setPort(QStringLiteral("LPT2"));
    }

    // Prints lines until one fails; the failing line's text.
    QString printUntilFailure(int maxLines)
    {
        const QString line(100, QLatin1Char('x'));
        for (int i = 0; i < maxLines; ++i) {
            const QString error = printer.PrintLine(line);
            if (!error.isEmpty())
                return error;
        }
        return QString();
    }

    plat::VirtualClock clock{1000};
    DirectPrinting printer{clock};
    std::vector<std::pair<QString, qint32>> events;
};

TEST_F(RawPrinter, PortTakesParallelAndSerialNamesOnly)
{
    struct Case {
        const char* value;
        bool taken;
    } const cases[] = {
        {"LPT1", true}, {"COM2", true}, {"LPTX", true}, {"lpt1", false}, {"com1", false}, {"PRN", false}, {"USB1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        printer.setPort(QStringLiteral("LPT9"));
        try {
            printer.setPort(QString::fromLatin1(c.value));
            EXPECT_TRUE(c.taken);
            EXPECT_EQ(printer.Port(), c.value);
        } catch (const plat::RtError& e) {
            EXPECT_FALSE(c.taken);
            EXPECT_EQ(e.number(), 380);
            EXPECT_EQ(printer.Port(), "LPT9") << "a refused value changes nothing";
        }
    }
}

TEST_F(RawPrinter, AnotherPortReopensOnItAndAnEmptyOneCloses)
{
    Fifo first(QStringLiteral("one.fifo"));
    Fifo second(QStringLiteral("two.fifo"));
    ASSERT_TRUE(first.openReader());
    ASSERT_TRUE(second.openReader());
    mapPort(QStringLiteral("LPT1"), first.path());
    mapPort(QStringLiteral("LPT2"), second.path());
    ASSERT_EQ(printer.OpenPrinter(QStringLiteral("LPT1"), QString(), false), QString());
    ASSERT_NE(printer.Handle(), 0);

    printer.setPort(QStringLiteral("LPT2"));
    EXPECT_NE(printer.Handle(), 0) << "reopened on the new port";
    EXPECT_EQ(printer.PrintLine(QStringLiteral("moved")), QString());
    EXPECT_EQ(second.read(), "moved\r");
    EXPECT_EQ(first.read(50), QByteArray());

    printer.setPort(QString());
    EXPECT_EQ(printer.Handle(), 0);
    EXPECT_EQ(printer.Port(), QString());
    EXPECT_TRUE(events.empty());
}

TEST(RawPrinterSettings, SettingsTextGivesTheSerialLine)
{
    struct Case {
        const char* settings;
        int baud, parity, dataBits, stopBits;
    } const cases[] = {
        {"9600,E,7,2", 9600, 2, 7, 2},
        {"19200,O,8,1", 19200, 1, 8, 0},
        {"4800,n,8,1.5", 4800, 0, 8, 1},
        {"1200, N ,5,1", 1200, 0, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        const plat::PrinterLine line = DirectPrinting::SerialLine(QString::fromLatin1(c.settings));
        EXPECT_EQ(line.baud, c.baud);
        EXPECT_EQ(line.parity, c.parity);
        EXPECT_EQ(line.dataBits, c.dataBits);
        EXPECT_EQ(line.stopBits, c.stopBits);
    }
}

// A pseudo-terminal keeps the speed and the stop bits of what is set (it has
// no parity and always eight bits).
TEST_F(RawPrinter, OpeningASerialPortSetsItsLine)
{
    PtyLine line;
    ASSERT_FALSE(line.device().isEmpty());
    mapPort(QStringLiteral("COM4"), line.device());
    struct Case {
        const char* settings;
        speed_t speed;
        bool twoStopBits;
    } const cases[] = {
        {"9600,E,7,2", B9600, true},
        {"19200,O,8,1", B19200, false},
        {"4800,N,8,1.5", B4800, true},  // no 1.5 stop bits on the line: 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        ASSERT_EQ(printer.OpenPrinter(QStringLiteral("COM4"), QString::fromLatin1(c.settings), false), QString());
        EXPECT_TRUE(printer.CloseAfter()) << "a serial port always closes after each line";
        const termios tio = line.settings();
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u) << "no flow control";
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u) << "no flow control";
        EXPECT_EQ(tio.c_oflag & OPOST, 0u) << "bytes go out as they are";
        printer.ClosePrinter();
    }
    EXPECT_TRUE(events.empty());
}

TEST_F(RawPrinter, IllFormedSettingsRaiseBeforeAnythingIsOpened)
{
    PtyLine line;
    mapPort(QStringLiteral("COM4"), line.device());
    struct Case {
        const char* settings;
        int error;
    } const cases[] = {
        {"9600,X,8,1", 380}, {"9600,,8,1", 380}, {"9600", 380}, {"fast,N,8,1", 13}, {"9600,N,eight,1", 13}, {"9600,N,8", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        try {
            printer.OpenPrinter(QStringLiteral("COM4"), QString::fromLatin1(c.settings), false);
            ADD_FAILURE() << "no error raised";
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), c.error);
        }
        EXPECT_EQ(printer.Handle(), 0);
    }
    // A parallel port has no line to set: its settings are never read.
    Fifo fifo;
    ASSERT_TRUE(fifo.openReader());
    mapPort(QStringLiteral("LPT1"), fifo.path());
    EXPECT_EQ(printer.OpenPrinter(QStringLiteral("LPT1"), QStringLiteral("junk"), false), QString());
}

TEST_F(RawPrinter, PrintLineWithoutAPortWritesNothingAndGivesThePrinterError)
{
    EXPECT_EQ(printer.PrintLine(QStringLiteral("nowhere")), "Printer error");
    EXPECT_EQ(printer.PrintString(QStringLiteral("nowhere")), "Printer error");
    EXPECT_EQ(printer.Handle(), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(RawPrinter, SerialPortIsOpenedForEachLineAndClosedAfterIt)
{
    PtyLine line;
    mapPort(QStringLiteral("COM3"), line.device());
    printer.setPort(QStringLiteral("COM3"));
    printer.setSettings(QStringLiteral("9600,N,8,1"));
    printer.setAddLF(true);
    EXPECT_EQ(printer.PrintLine(QStringLiteral("ABC")), QString());
    EXPECT_EQ(printer.Handle(), 0);
    printer.setAddLF(false);
    EXPECT_EQ(printer.PrintLine(QStringLiteral("DEF")), QString());
    EXPECT_EQ(printer.Handle(), 0);
    EXPECT_EQ(line.read(), "ABC\r\nDEF\r");
    EXPECT_TRUE(events.empty());
}

TEST_F(RawPrinter, ParallelPortStaysOpenBetweenLines)
{
    Fifo fifo;
    ASSERT_TRUE(fifo.openReader());
    mapPort(QStringLiteral("LPT2"), fifo.path());
    printer.setPort(QStringLiteral("LPT2"));
    EXPECT_EQ(printer.PrintLine(QStringLiteral("one")), QString());
    const qint32 handle = printer.Handle();
    EXPECT_NE(handle, 0);
    EXPECT_FALSE(printer.CloseAfter());
    EXPECT_EQ(printer.PrintLine(QStringLiteral("two")), QString());
    EXPECT_EQ(printer.Handle(), handle);
    EXPECT_EQ(fifo.read(), "one\rtwo\r");
    printer.ClosePrinter();
    EXPECT_EQ(printer.Handle(), 0);
}

TEST_F(RawPrinter, AParallelPortWhoseReaderWentAwayFailsTheLineWithoutEndingTheProgram)
{
    Fifo fifo;
    ASSERT_TRUE(fifo.openReader());
    mapPort(QStringLiteral("LPT2"), fifo.path());
    printer.setPort(QStringLiteral("LPT2"));
    EXPECT_EQ(printer.PrintLine(QStringLiteral("one")), QString());
    fifo.closeReader();
    // The write raises SIGPIPE, whose default is to end the program.
    EXPECT_EQ(printer.PrintLine(QStringLiteral("two")), plat::PrinterPort::errorText(EPIPE));
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)) << "the signal the write caused is dropped";
}

TEST_F(RawPrinter, PrinterAbsentAtTheFirstLinePrintsTheLaterOnesOnceThere)
{
    Fifo fifo;
    mapPort(QStringLiteral("LPT2"), fifo.path());
    printer.setPort(QStringLiteral("LPT2"));
    // Nobody reads the FIFO yet: it cannot be opened.
    const QString error = printer.PrintLine(QStringLiteral("lost"));
    EXPECT_EQ(error, plat::PrinterPort::errorText(ENXIO));
    EXPECT_FALSE(error.endsWith('\n') || error.endsWith('\r'));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], std::make_pair(error, qint32(DirectPrinting::StepOpen)));
    EXPECT_EQ(printer.Handle(), 0) << "a failed open reads as closed";

    ASSERT_TRUE(fifo.openReader());
    EXPECT_EQ(printer.PrintLine(QStringLiteral("later")), QString());
    EXPECT_EQ(fifo.read(), "later\r");
}

TEST_F(RawPrinter, MissingDeviceIsTheSystemsReason)
{
    mapPort(QStringLiteral("COM9"), testing_support::programFolder() + "/no-such-device");
    EXPECT_EQ(printer.OpenPrinter(QStringLiteral("COM9"), QString(), false), plat::PrinterPort::errorText(ENOENT));
    EXPECT_FALSE(QFile::exists(testing_support::programFolder() + "/no-such-device")) << "never created";
}

TEST_F(RawPrinter, AnsiToOemGivesCodePage850Bytes)
{
    // é, the euro sign, ÿ, the dagger (no such sign in code page 850), plain text.
    const QString text = QString::fromUtf8("\u00E9\u20AC\u00FF\u2020 ok");
    EXPECT_EQ(plat::Cp1252::encode(printer.AnsiToOem(text)), QByteArray("\x82_\x98\xC5 ok"));
    EXPECT_EQ(printer.ConvTable()[0x83 - 128], 159);
    EXPECT_EQ(printer.ConvTable()[0x95 - 128], 7);
    EXPECT_EQ(printer.ConvTable()[0xA0 - 128], 255);
}

TEST_F(RawPrinter, APrinterThatTakesNothingIsLeftAloneForAMinute)
{
    Fifo fifo;
    printOnAStuckFifo(fifo);
    const QString log = testing_support::programFolder() + "/trace.log";
    gTraceLog().OpenFile(log, VexLib22::eLogModeFileAppend);

    // The FIFO fills up and nobody reads it: one line waits out the time-out.
    QElapsedTimer t;
    t.start();
    const QString error = printUntilFailure(100);
    EXPECT_GE(t.elapsed(), DirectPrinting::WriteTimeoutMs - 100);
    ASSERT_FALSE(error.isEmpty());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].second, DirectPrinting::StepPrintString);

    // For a minute the port is left alone: lines are not printed and cost nothing.
    t.restart();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(printer.PrintLine(QStringLiteral("skipped")), error);
    clock.advance(DirectPrinting::RestSeconds * 1000 - 1);
    EXPECT_EQ(printer.PrintLine(QStringLiteral("skipped")), error);
    EXPECT_LT(t.elapsed(), 500);
    EXPECT_EQ(events.size(), 1u) << "reported once";

    // Then the printer takes lines again; the log says how many it missed.
    clock.advance(1);
    fifo.read();
    EXPECT_EQ(printer.PrintLine(QStringLiteral("back")), QString());
    EXPECT_EQ(printer.PrintLine(QStringLiteral("again")), QString());
    EXPECT_EQ(fifo.read(), "back\ragain\r");
    gTraceLog().CloseFile();
    const QStringList lines = testing_support::fileLines(log);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("SYSTEM  PRINT  RESUME 4 lines not printed")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("LPT2")) << lines[0].toStdString();
}

TEST_F(RawPrinter, AnExplicitOpenTriesAPortLeftAloneAtOnce)
{
    Fifo fifo;
    printOnAStuckFifo(fifo);
    ASSERT_FALSE(printUntilFailure(100).isEmpty());
    fifo.read();
    // As the printer settings screen does for its test print.
    EXPECT_EQ(printer.OpenPrinter(QString(), QString(), true), QString());
    EXPECT_EQ(printer.PrintLine(QStringLiteral("***** TEST *****")), QString());
    EXPECT_EQ(fifo.read(), "***** TEST *****\r");
}

} // namespace
