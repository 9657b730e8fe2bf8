// The printed line of an event, as the bytes reach a serial printer (a
// pseudo-terminal) and a parallel one (a FIFO), against golden files; the
// control prefix of the printer strings; failures told once.

#include "program/runtime/HistoProcs.h"

#include "platform/Cp1252.h"
#include "program/bus/DispatchSeams.h"
#include "tests/support/DispatchDoubles.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/EnginePrinter.h"
#include "program/runtime/DirectPrinting.h"
#include "tests/runtime/EventLinesFixture.h"
#include "tests/runtime/GoldenFile.h"
#include "tests/support/PrinterDevices.h"
#include "tests/support/VirtualClock.h"

#include "VexLib22/_LogFileClass.h"

#include <QDir>

namespace {

using namespace printer_devices;

// Every kind of event, numbered from 42: the printer string after string 0
// tells which kind the line is.
const EventCase kPrinted[] = {
    {"channel alarm", 5, 12, 0, 1, 42, 123456},
    {"channel back to normal", 5, 12, 0, 0, 43, 123457},
    {"acknowledged, normal", 5, 12, 1, 0, 44, 0},
    {"acknowledged, active", 5, 12, 1, 1, 45, 0},
    {"acknowledged, cable fault", 5, 12, 1, 2, 46, 0},
    {"acknowledged, first fault", 5, 12, 1, 3, 47, 0},
    {"acknowledged, second fault", 5, 12, 1, 4, 48, 0},
    {"acknowledged, a code past 5", 5, 12, 1, 9, 49, 0},
    {"module-wide clear", 5, 0, 0, 3, 50, 5},
    {"module appears", 9, 255, 1, 1, 51, 0},
    {"module disappears", 9, 255, 1, 0, 52, 0},
    {"operator acknowledgement", 5, 254, 0, 0, 53, 0},
    {"program start", 0, 254, 0, 1, 54, 0},
    {"program stop", 0, 254, 0, 2, 55, 0},
    {"user level change", 0, 254, 0, 3, 56, 0},
    {"polling start", 0, 254, 0, 4, 57, 0},
    {"polling stop", 0, 254, 0, 5, 58, 0},
    {"channel 30: nothing", 5, 30, 0, 1, 59, 0},
    {"a library text with the euro sign", 5, 3, 0, 2, 60, 0},
};

// Keeps the lines it is given, as the printer would be sent them.
class LinePrinter : public EnginePrinter {
public:
    bool AddLF() const override { return false; }
    void setAddLF(bool) override {}
    QString Settings() const override { return {}; }
    void setSettings(const QString&) override {}
    qint32 Handle() const override { return 0; }
    QString Port() const override { return {}; }
    void setPort(const QString&) override {}
    QString OpenPrinter(const QString&, const QString&, bool) override { return {}; }
    void ClosePrinter() override {}
    QString PrintString(const QString&) override { return {}; }
    QString PrintData(const QByteArray&) override { return {}; }
    QString PrintLine(const QString& text) override
    {
        lines << plat::Cp1252::encode(text);
        return {};
    }
    QString AnsiToOem(const QString& text) const override { return text; }

    QList<QByteArray> lines;
};


class PrintedLine : public EventLinesFixture {
protected:
    void SetUp() override
    {
        EventLinesFixture::SetUp();
        setLetters();
        gConfig->setPrinterInitString(0, "1B 40");
        for (int k = 1; k <= 7; ++k)
            gConfig->setPrinterInitString(k, QString::number(0x30 + k, 16));  // the digit k
        gConfig->setBiblio(4, QString::fromUtf8("Salle \u20AC 2"));
        ConfigAccess::channel(5, 3).setBibNum(4);
        ConfigAccess::channel(5, 3).setPrintText(QStringLiteral("Cash desk"));
    }

    void printAll(EnginePrinter& printer)
    {
        for (const EventCase& c : kPrinted)
            HistoProcs::PrintEvent(event(c), printer);
    }

    testing_support::VirtualClock clock;
};

TEST_F(PrintedLine, EveryKindOfEventAsASerialPrinterGetsIt)
{
    PtyLine line;
    ASSERT_FALSE(line.device().isEmpty());
    mapPort(QStringLiteral("COM7"), line.device());
    DirectPrinting printer(clock);
    printer.setPort(QStringLiteral("COM7"));
    printer.setSettings(QStringLiteral("9600,N,8,1"));
    printer.setAddLF(true);
    printAll(printer);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
    const QByteArray bytes = line.read();
    EXPECT_EQ(bytes.count("\r\n"), int(std::size(kPrinted)) - 1) << "nothing for channel 30";
    EXPECT_TRUE(bytes.contains("\x1b@5" "10/12/2024 14:03:05     42 M05-C12 Signal      Active"));
    EXPECT_TRUE(bytes.contains("Pression \x82lev\x82" "e")) << "code page 850";
    EXPECT_TRUE(bytes.contains("Salle _ 2")) << "no euro sign in code page 850";
    expectGolden(bytes, "printed-com.bin", false);
}

TEST_F(PrintedLine, ParallelPrinterCutToItsLineLength)
{
    Fifo fifo;
    ASSERT_TRUE(fifo.openReader());
    mapPort(QStringLiteral("LPT1"), fifo.path());
    DirectPrinting printer(clock);
    printer.setPort(QStringLiteral("LPT1"));
    for (int k = 1; k <= 7; ++k)
        gConfig->setPrinterInitString(k, QString());
    // A prefix of two bytes leaves 18 characters of the record.
    gConfig->setPrintMaxLen(20);
    HistoProcs::PrintEvent(event(kPrinted[0]), printer);
    HistoProcs::PrintEvent(event(kPrinted[13]), printer);
    // A prefix byte of the upper half goes through the conversion too.
    gConfig->setPrinterInitString(0, "E9");
    gConfig->setPrintMaxLen(0);
    HistoProcs::PrintEvent(event(kPrinted[0]), printer);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
    const QByteArray bytes = fifo.read();
    EXPECT_TRUE(bytes.startsWith("\x1b@10/12/2024 14:03:0\r"));
    expectGolden(bytes, "printed-lpt.bin", false);
}

TEST_F(PrintedLine, PrinterStringsAreBytesInHexadecimalAnEmptyItemBeingZero)
{
    LinePrinter printer;
    struct Case {
        const char* string0;
        QByteArray prefix;
    } const cases[] = {
        {"", ""},
        {"1B", "\x1b"},
        {"1b 0d", "\x1b\r"},
        {"1B  40", QByteArray("\x1b\0@", 3)},
        {" 1B", QByteArray("\0\x1b", 2)},
        {"7", "\x07"},
        {"FF", "\xff"},
    };
    for (int k = 1; k <= 7; ++k)
        gConfig->setPrinterInitString(k, QString());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.string0);
        gConfig->setPrinterInitString(0, QString::fromLatin1(c.string0));
        printer.lines.clear();
        HistoProcs::PrintEvent(event(kPrinted[0]), printer);
        ASSERT_EQ(printer.lines.size(), 1);
        EXPECT_EQ(printer.lines[0].left(c.prefix.size()).toHex(' '), c.prefix.toHex(' '));
        EXPECT_EQ(printer.lines[0].mid(c.prefix.size(), 10), "10/12/2024");
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

// An item that is no byte is left out and told once, until the strings work
// again; the line is printed all the same.
TEST_F(PrintedLine, AnItemThatIsNoByteIsLeftOutAndToldOnce)
{
    LinePrinter printer;
    gConfig->setPrinterInitString(0, "1B ZZ 40");
    gConfig->setPrinterInitString(5, "35 100");
    HistoProcs::PrintEvent(event(kPrinted[0]), printer);
    HistoProcs::PrintEvent(event(kPrinted[0]), printer);
    ASSERT_EQ(printer.lines.size(), 2);
    EXPECT_TRUE(printer.lines[0].startsWith("\x1b@5" "10/12/2024"));
    EXPECT_EQ(errors, QStringList{"HistoProcs.PrintEvent:13"});

    gConfig->setPrinterInitString(0, "1B 40");
    gConfig->setPrinterInitString(5, "35");
    HistoProcs::PrintEvent(event(kPrinted[0]), printer);
    EXPECT_EQ(errors.size(), 1);
    gConfig->setPrinterInitString(3, "0x33");
    HistoProcs::PrintEvent(event(kPrinted[0]), printer);
    EXPECT_EQ(errors.size(), 2) << "told again once the strings had worked";
    EXPECT_EQ(printer.lines.size(), 4);
}

TEST_F(PrintedLine, WithoutTheEnginesPrinterTheLineIsLostAndToldOnce)
{
    HistoProcs::PrintEvent(event(kPrinted[0]));
    HistoProcs::Printer().PrintEvent(event(kPrinted[1]));
    EXPECT_EQ(errors, QStringList{"HistoProcs.PrintEvent:91"});
}

// The line shows a code above 5 as 5, as the printer strings count it; the
// dispatched event keeps its own code for the listeners, trace and mirrors.
TEST_F(PrintedLine, TheDispatchedEventKeepsItsCode)
{
    for (int bit = 0; bit < 5; ++bit)
        gConfig->setOptionPrinter(bit, true);
    ConfigAccess::channel(5, 12).setPrtAlm(true);
    LinePrinter printer;
    const auto printing = HistoProcs::PrinterOn(printer);
    testing_support::RecordingSeams doubles;
    testing_support::RecordingMirrors& mirrors = doubles.mirrors;
    EventDispatcher dispatcher;
    doubles.wire(dispatcher);
    dispatcher.setRules(&HistoProcs::Rules());
    dispatcher.setPrinter(printing.get());
    const QString log = testing_support::programFolder() + "/trace.log";
    gTraceLog().OpenFile(log, VexLib22::eLogModeFileAppend);
    int seen = -1;
    QObject::connect(&dispatcher, &EventDispatcher::BusEvent, [&](const EventClass& ev) { seen = ev.Aff(); });

    EventClass ev = event(kPrinted[7]);
    dispatcher.TraiteEvent(ev);
    gTraceLog().CloseFile();
    ASSERT_EQ(printer.lines.size(), 1);
    EXPECT_EQ(printer.lines[0].mid(3 + 47, 15).trimmed(), "#51015#");
    EXPECT_EQ(ev.Aff(), 9);
    EXPECT_EQ(seen, 9);
    ASSERT_EQ(mirrors.mirrored.size(), 1u);
    EXPECT_EQ(mirrors.mirrored[0].Aff(), 9);
    EXPECT_TRUE(testing_support::fileLines(log).value(0).contains("050C0109")) << "the trace line's id";
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

} // namespace
