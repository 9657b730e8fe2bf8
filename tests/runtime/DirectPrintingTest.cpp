// The raw line printer on real devices: a pseudo-terminal for a serial port,
// a FIFO for a parallel one, both named in the INI file's "Ports" section; a
// plain file and /dev/full where a device that is absent or fails will do.

#include "program/runtime/DirectPrinting.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "platform/RtError.h"
#include "program/bus/TraceRecord.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/PrinterDevices.h"
#include "tests/support/VirtualClock.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <termios.h>
#include <utility>
#include <vector>

namespace {

using namespace printer_devices;

QString traceField(const QString& line, TraceRecord::Field f)
{
    return line.mid(TraceRecord::position(f), TraceRecord::width(f)).trimmed();
}

// The trace log that the printer writes to, from empty.
class PrinterTrace {
public:
    PrinterTrace() : m_path(testing_support::programFolder() + "/trace.log")
    {
        QFile::remove(m_path);
        gTraceLog().OpenFile(m_path, VexLib22::eLogModeFileAppend);
    }
    ~PrinterTrace() { gTraceLog().CloseFile(); }
    PrinterTrace(const PrinterTrace&) = delete;
    PrinterTrace& operator=(const PrinterTrace&) = delete;

    // The lines written so far, each as "STATE|port|text" (the printer's own
    // lines) or whole.
    QStringList lines() const
    {
        gTraceLog().FlushFile();
        QStringList out;
        for (const QString& line : testing_support::fileLines(m_path)) {
            EXPECT_EQ(line.size(), TraceRecord::Length) << line.toStdString();
            if (traceField(line, TraceRecord::Kind) == "PRINT")
                out << traceField(line, TraceRecord::State) + "|" + traceField(line, TraceRecord::Common) + "|"
                           + traceField(line, TraceRecord::Specific);
            else
                out << line;
        }
        return out;
    }

private:
    QString m_path;
};

// A plain file that a printer's port can stand for, empty.
void createFile(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
}

// A printer's device that goes away and comes back at the same path, as a
// USB printer switched off and on does.
class StandIn {
public:
    virtual ~StandIn() = default;
    virtual QString path() const = 0;
    virtual void goAway() = 0;
    virtual void comeBack() = 0;
    virtual QByteArray read() = 0;
};

// A FIFO whose reader goes and comes.
class FifoStandIn : public StandIn {
public:
    QString path() const override { return m_fifo.path(); }
    void goAway() override { m_fifo.closeReader(); }
    void comeBack() override { ASSERT_TRUE(m_fifo.openReader()); }
    QByteArray read() override { return m_fifo.read(); }

private:
    Fifo m_fifo;
};

// A pseudo-terminal that hangs up and is made anew, found through a link.
class PtyStandIn : public StandIn {
public:
    QString path() const override { return testing_support::programFolder() + "/lp0"; }
    void goAway() override
    {
        m_line.reset();
        QFile::remove(path());
    }
    void comeBack() override
    {
        m_line = std::make_unique<PtyLine>();
        ASSERT_FALSE(m_line->device().isEmpty());
        ASSERT_TRUE(QFile::link(m_line->device(), path()));
    }
    QByteArray read() override { return m_line ? m_line->read() : QByteArray(); }

private:
    std::unique_ptr<PtyLine> m_line;
};

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

    testing_support::VirtualClock clock{1000};
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

    // Then the printer takes lines again; the log says when it stopped and
    // how many lines it missed, the one the time-out cut among them.
    clock.advance(1);
    fifo.read();
    EXPECT_EQ(printer.PrintLine(QStringLiteral("back")), QString());
    EXPECT_EQ(printer.PrintLine(QStringLiteral("again")), QString());
    EXPECT_EQ(fifo.read(), "back\ragain\r");
    gTraceLog().CloseFile();
    const QStringList lines = testing_support::fileLines(log);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("SYSTEM  PRINT  STOP   LPT2")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(error)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("SYSTEM  PRINT  RESUME LPT2")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("lines not printed: 5")) << lines[1].toStdString();
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

TEST(RawPrinterTrace, StoppedAndResumedLinesHaveTheStationLayout)
{
    const plat::DateTime at = plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0));
    EXPECT_EQ(DirectPrinting::StoppedTraceLine(at, "LPT1", "Broken pipe"),
              QString("02/05/2024 10:00:00 PRINT          ******** SYSTEM  PRINT  STOP   LPT1                       "
                      "Broken pipe")
                  .leftJustified(TraceRecord::Length));
    EXPECT_EQ(DirectPrinting::ResumedTraceLine(at, "COM2", 152),
              QString("02/05/2024 10:00:00 PRINT          ******** SYSTEM  PRINT  RESUME COM2                       "
                      "lines not printed: 152")
                  .leftJustified(TraceRecord::Length));
}

// The device goes away between lines and comes back at the same path: the
// port whose write failed is closed, so that a later line opens it again.
TEST_F(RawPrinter, APrinterThatGoesAwayPrintsAgainOnceBackAndTheTraceSaysWhatItMissed)
{
    struct Case {
        const char* device;
        std::function<std::unique_ptr<StandIn>()> make;
    } const cases[] = {
        {"FIFO", [] { return std::make_unique<FifoStandIn>(); }},
        {"pseudo-terminal", [] { return std::make_unique<PtyStandIn>(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        PrinterTrace trace;
        const std::unique_ptr<StandIn> device = c.make();
        device->comeBack();
        mapPort("LPT1", device->path());
        DirectPrinting p(clock);
        p.setPort("LPT1");
        ASSERT_EQ(p.PrintLine("before"), QString());
        EXPECT_EQ(device->read(), "before\r");

        device->goAway();
        const QString stopped = p.PrintLine("missed 1");
        EXPECT_FALSE(stopped.isEmpty());
        EXPECT_EQ(p.Handle(), 0) << "closed after the failed write";
        for (const char* line : {"missed 2", "missed 3"})
            EXPECT_FALSE(p.PrintLine(line).isEmpty()) << line;

        device->comeBack();
        EXPECT_EQ(p.PrintLine("after"), QString());
        EXPECT_EQ(device->read(), "after\r");
        EXPECT_EQ(trace.lines(), (QStringList{"STOP|LPT1|" + stopped, "RESUME|LPT1|lines not printed: 3"}));
        device->goAway();
    }
}

// Each way of missing one line, then the port set right: one line missed,
// and none while no port is set up.
TEST_F(RawPrinter, EveryLineNotHandedOverWholeIsCountedAsMissed)
{
    const QString file = testing_support::programFolder() + "/printed.txt";
    struct Case {
        const char* what;
        std::function<void(DirectPrinting&)> wrong;
        std::function<void(DirectPrinting&)> right;
        int missed;
    } const cases[] = {
        {"the port does not open",
         [&](DirectPrinting& p) {
             mapPort("LPT1", file);
             p.setPort("LPT1");
         },
         [&](DirectPrinting&) { createFile(file); }, 1},
        {"the write fails",
         [&](DirectPrinting& p) {
             mapPort("LPT1", "/dev/full");
             p.setPort("LPT1");
         },
         [&](DirectPrinting&) {
             createFile(file);
             mapPort("LPT1", file);
         },
         1},
        {"the settings name no serial line",
         [&](DirectPrinting& p) {
             createFile(file);
             mapPort("COM3", file);
             p.setPort("COM3");
             p.setSettings("9600,X,8,1");
         },
         [&](DirectPrinting& p) { p.setSettings("9600,N,8,1"); }, 1},
        {"no port is set up",
         [&](DirectPrinting& p) { p.setPort(QString()); },
         [&](DirectPrinting& p) {
             createFile(file);
             mapPort("LPT1", file);
             p.setPort("LPT1");
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(file);
        PrinterTrace trace;
        DirectPrinting p(clock);
        p.setAddLF(true);
        c.wrong(p);
        try {
            EXPECT_FALSE(p.PrintLine("missed").isEmpty());
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), 380);
        }
        c.right(p);
        EXPECT_EQ(p.PrintLine("printed"), QString());
        EXPECT_EQ(testing_support::fileLines(file), QStringList{"printed"});
        const QStringList lines = trace.lines();
        if (c.missed == 0) {
            EXPECT_TRUE(lines.isEmpty()) << lines.join("\n").toStdString();
        } else {
            ASSERT_EQ(lines.size(), 2) << lines.join("\n").toStdString();
            EXPECT_TRUE(lines[0].startsWith("STOP|" + p.Port() + "|")) << lines[0].toStdString();
            EXPECT_EQ(lines[1], QString("RESUME|%1|lines not printed: %2").arg(p.Port()).arg(c.missed));
        }
    }
}

// A line longer than the FIFO holds is cut by the time-out: it counts among
// the lines missed, and the next line printed starts on a line of its own.
TEST_F(RawPrinter, ALineCutByATimeOutIsEndedBeforeTheNextLine)
{
    PrinterTrace trace;
    Fifo fifo;
    printOnAStuckFifo(fifo);
    printer.setWriteTimeoutMs(20);
    const QString error = printer.PrintLine(QString(5000, QLatin1Char('x')));
    EXPECT_EQ(error, plat::PrinterPort::errorText(ETIMEDOUT));
    EXPECT_EQ(printer.Handle(), 0) << "closed after the failed write";
    EXPECT_EQ(printer.PrintLine("rested"), error);
    EXPECT_EQ(fifo.read(), QByteArray(4096, 'x'));

    clock.advance(DirectPrinting::RestSeconds * 1000);
    EXPECT_EQ(printer.PrintLine("next"), QString());
    EXPECT_EQ(printer.PrintLine("and on"), QString());
    EXPECT_EQ(fifo.read(), "\r\nnext\rand on\r");
    EXPECT_EQ(trace.lines(), (QStringList{"STOP|LPT2|" + error, "RESUME|LPT2|lines not printed: 2"}));
}

} // namespace
