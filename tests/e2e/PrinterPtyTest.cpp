// The event printer while the program polls the module simulator program
// over a pseudo-terminal, in real time. Set up on the printer settings
// screen: once the technician leaves the screen with Yes, the next alarm is
// printed on the new port, its line led by the printer's initialisation
// sequence and the sequence of its kind of line, as the model file gives
// their bytes. Switched off at an automatic start: the alarms are printed
// once it is on, and the trace says how many lines it missed.

#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/DirectPrinting.h"
#include "program/screens/system/wParamPrinter.h"
#include "tests/e2e/InProcessProgram.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/PrinterDevices.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

constexpr int kModule = 1;
constexpr int kChannel = 3;
// A channel alarm with no parameter prints with sequence 5.
constexpr int kAlarmSequence = 5;
constexpr const char* kPrintText = "BOILER ROOM SMOKE";

class PrinterPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_printer.device().isEmpty());
        prepare();
        QFile model(folder() + "/Colour.prt");
        ASSERT_TRUE(model.open(QIODevice::WriteOnly));
        model.write("[Reset]\r\nInit=1B 40\r\n[Colors]\r\n0=1B 72 30\r\n3=1B 72 33\r\n[Styles]\r\nB=1B 45\r\nU=1B 2D 31\r\n");
        model.close();
        {
            // One module whose channel prints its alarms; no printer yet.
            ConfigClass config;
            PanelClass& p = *config.Panel(kModule);
            p.setModel(1);
            p.setActive(true);
            p.Channel(kChannel)->setPrtAlm(true);
            p.Channel(kChannel)->setPrintText(kPrintText);
            for (int bit = 0; bit < 5; ++bit)
                config.setOptionPrinter(bit, true);
            for (int i = 0; i < 8; ++i)
                config.setPrinterInitCode(i, "0");
            config.setPrinterInitCode(kAlarmSequence, "3BU");
            config.setAutoStart(true);
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        VEXfonctions::SetIni("Ports", "COM2", m_printer.device());

        assemble();
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        // Alarms now and then, so that one comes after the printer is set up.
        QByteArray script;
        for (int at = 4; at <= 40; at += 4)
            script += QString("%1 event %2 %3 1\n").arg(at).arg(kModule).arg(kChannel).toLatin1();
        startSimulator(QString("%1:1").arg(kModule), script);
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // The bytes of a sequence as the printer receives them.
    static QByteArray bytes(const QString& sequence)
    {
        QByteArray out;
        for (const QString& item : sequence.split(' ', Qt::SkipEmptyParts))
            out += char(item.toInt(nullptr, 16));
        return out;
    }

    printer_devices::PtyLine m_printer;
    // The failures of each printer made, by printer.
    std::map<const EnginePrinter*, int> m_failures;
};

} // namespace

TEST_F(PrinterPty, AfterYesTheNextAlarmIsPrintedOnTheNewPortWithItsSequences)
{
    Global::Main();
    // The first start's synchronisation finds the module; on a loaded machine
    // the simulator may answer late, and polling finds it then.
    ASSERT_TRUE(e2e::waitFor([&] { return gConfig->Panel(kModule)->Present(); }, 10000)) << simTail();

    auto* s = qobject_cast<wParamPrinter*>(plat::Forms::Get(FormNames::wParamPrinter));
    s->Show();
    ASSERT_EQ(s->lstPrinterName->Text(), "Colour");
    click(s->lblBusConfig(2));
    s->lblComPort->setCaption("2");
    testing_support::ModalAnswers answers;
    answers.message(MsgResult::vbYes);
    click(s->imgNavig(wParamPrinter::NavigLeave));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    ASSERT_EQ(gConfig->PrtSettings(), "COM2:9600,N,8,1");
    ASSERT_EQ(gConfig->PrinterInitString(0), "1B 40");
    ASSERT_EQ(gConfig->PrinterInitString(kAlarmSequence), "1B 72 33 1B 45 1B 2D 31");

    QByteArray printed;
    ASSERT_TRUE(e2e::waitFor(
        [&] {
            printed += m_printer.read(20);
            return printed.contains("\r\n");
        },
        20000))
        << simTail();
    const QByteArray line = printed.left(printed.indexOf("\r\n"));
    const QByteArray prefix = bytes(gConfig->PrinterInitString(0)) + bytes(gConfig->PrinterInitString(kAlarmSequence));
    EXPECT_TRUE(line.startsWith(prefix)) << line.toHex(' ').toStdString();
    const QByteArray record = line.mid(prefix.size());
    EXPECT_TRUE(record.contains(kPrintText)) << record.toStdString();
    EXPECT_EQ(record.indexOf('\x1B'), -1) << "no other sequence in the line";
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}

TEST_F(PrinterPty, APrinterSwitchedOffAtAnAutomaticStartPrintsTheAlarmsOnceItIsOn)
{
    // Nobody reads the printer's FIFO yet: its port does not open.
    printer_devices::Fifo fifo;
    VEXfonctions::SetIni("Ports", "LPT1", fifo.path());
    {
        ConfigClass config;
        ASSERT_EQ(config.Read(plat::AppIdentity::programFile(".dat")), 0);
        config.setPrtSettings("LPT1:");
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
    }
    // Each line the engine's printer misses here is one failed open.
    EnginePrinter::setFactory([this] {
        auto printer = std::make_shared<DirectPrinting>();
        QObject::connect(printer.get(), &DirectPrinting::PrinterError,
                         [this, raw = printer.get()] { ++m_failures[raw]; });
        return printer;
    });
    Global::Main();
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    ASSERT_NE(engine, nullptr);
    const EnginePrinterPtr printer = engine->dpPrinter();
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->Port(), "LPT1");
    int alarms = 0;
    // Counted while the test runs, not through the stop events of the tear-down.
    QObject counting;
    QObject::connect(engine, &wPolling::BusEvent, &counting, [&](const EventClass& ev) {
        if (ev.Panel() == kModule && ev.Chnl() == kChannel)
            ++alarms;
    });
    ASSERT_TRUE(e2e::waitFor([&] { return alarms > 0; }, 20000)) << simTail();

    // The printer is switched on: the next alarm is printed.
    const int missed = m_failures[printer.get()];
    EXPECT_GE(missed, 2) << "the start and the alarm";
    ASSERT_TRUE(fifo.openReader());
    QByteArray printed;
    ASSERT_TRUE(e2e::waitFor(
        [&] {
            printed += fifo.read(20);
            return printed.contains(kPrintText);
        },
        20000))
        << simTail();
    EXPECT_TRUE(printed.endsWith("\r\n")) << printed.toStdString();
    EXPECT_EQ(m_failures[printer.get()], missed);
    const auto lines = e2e::readTrace(folder());
    const auto stopped = e2e::wordLines(lines, "PRINT", "STOP");
    const auto resumed = e2e::wordLines(lines, "PRINT", "RESUME");
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(e2e::field(stopped[0].text, TraceRecord::Common), "LPT1");
    ASSERT_EQ(resumed.size(), 1u);
    EXPECT_EQ(e2e::field(resumed[0].text, TraceRecord::Specific), QString("lines not printed: %1").arg(missed));
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}
