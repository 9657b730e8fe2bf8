// The whole program: start-up with the engine in this process, assembled as
// the executable assembles it (its event numbers, INI "General"/"LastEvent"
// and trace lines, the automatic start, the end of a run), and the real
// executable started headless from a program folder of its own.

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/PrinterPort.h"
#include "program/App.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/Config.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/Login.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgMessage.h"
#include "program/runtime/wRunAlarms.h"
#include "program/screens/system/wMain.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/ExecutableFolder.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/EngineMessages.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/PrinterDevices.h"
#include "tests/support/ProgramGlobals.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

class ProgramRun : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        App::assemble();
        PollingSeams::installed().message = testing_support::noteEngineMessages(messages, notices);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        Global::setCriticalBox([this](const QString&, const QString& text) { reports << text; });
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg",
                                testing_support::programFolder() + "/PLX2.cfg"));
        // Port 1 (the default bus settings) is a line that opens.
        ASSERT_FALSE(line.device().isEmpty());
        VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), line.device());
    }
    static wPolling* engine()
    {
        return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    }

    static QStringList visibleForms() { return testing_support::visibleForms(); }

    static QString lastEventKey()
    {
        return VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, QString());
    }

    static std::vector<e2e::TraceLine> trace() { return e2e::readTrace(testing_support::programFolder()); }

    // The trace line of event number n, or an empty line.
    static e2e::TraceLine traced(int n)
    {
        const QString no = QString::number(n).rightJustified(6, QLatin1Char('0'));
        for (const e2e::TraceLine& l : trace())
            if (l.evtNo == no)
                return l;
        return {};
    }

    // The working file of the next start: the defaults with edit applied.
    static void saveWorkingFile(const std::function<void(ConfigClass&)>& edit)
    {
        ASSERT_TRUE(Config::OpenConfigBase());
        ConfigClass config;
        edit(config);
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
    }

    void recordEvents()
    {
        QObject::connect(engine(), &wPolling::BusEvent, [this](const EventClass& ev) { events.push_back(ev); });
    }

    e2e::Pty line;
    QStringList reports;
    QStringList messages;
    // The messages shown without waiting.
    QStringList notices;
    std::vector<EventClass> events;
};

TEST_F(ProgramRun, EventsAreNumberedStampedCountedInTheIniAndTraced)
{
    VEXfonctions::SetIni(IniKeys::General, IniKeys::LastEvent, "41");
    Global::Main();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
    ASSERT_NE(engine(), nullptr);
    EXPECT_FALSE(engine()->isVisible());
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_TRUE(engine()->PortOpen());
    EXPECT_FALSE(engine()->Run());

    // The start event: number 42, written at once.
    EXPECT_EQ(lastEventKey(), "42");
    const e2e::TraceLine start = traced(42);
    ASSERT_FALSE(start.text.isEmpty()) << "no trace line for event 42";
    EXPECT_EQ(start.kind, "APPLI");
    EXPECT_EQ(start.state, "START");
    EXPECT_TRUE(start.text.startsWith(QDate::currentDate().toString("dd/MM/yyyy")));

    recordEvents();
    Login::ApplyCode("3579");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Num(), 43);
    EXPECT_EQ(events[0].Chnl(), 254);
    EXPECT_EQ(events[0].Aff(), 3);
    EXPECT_LT(std::abs(plat::DateTime::daysBetween(events[0].GDH(), plat::DateTime::now())) * 86400, 5.0);
    EXPECT_EQ(lastEventKey(), "43");
    const e2e::TraceLine change = traced(43);
    EXPECT_EQ(change.kind, "USER");
    EXPECT_EQ(change.state, "CHANGE");
}

TEST_F(ProgramRun, NumbersWrapBeforeAMillionAndSkipZero)
{
    VEXfonctions::SetIni(IniKeys::General, IniKeys::LastEvent, "999998");
    Global::Main();
    ASSERT_NE(engine(), nullptr);
    EXPECT_EQ(lastEventKey(), "999999");
    recordEvents();
    for (int i = 0; i < 2; ++i)
        engine()->SendStationEvent(Polling::StationEvent::UserChange);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Num(), 1);
    EXPECT_EQ(events[1].Num(), 2);
    EXPECT_EQ(lastEventKey(), "2");
    EXPECT_EQ(traced(999999).state, "START");
    EXPECT_EQ(traced(1).state, "CHANGE");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ProgramRun, AutomaticStartWithThePortOpenPollsAndShowsOnlyTheAlarmScreen)
{
    ASSERT_TRUE(Config::OpenConfigBase());
    {
        ConfigClass config;
        config.setAutoStart(true);
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
    }
    Global::Main();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    ASSERT_NE(engine(), nullptr);
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(engine()->tmrPoll->Enabled());
    EXPECT_EQ(visibleForms(), QStringList{"wRunAlarms"});
    EXPECT_EQ(plat::Forms::Find("wMain"), nullptr);
    // The program's start, then polling's.
    const auto lines = trace();
    const auto appStart = e2e::wordLines(lines, "APPLI", "START");
    const auto commStart = e2e::wordLines(lines, "COMM", "START");
    ASSERT_EQ(appStart.size(), 1u);
    ASSERT_EQ(commStart.size(), 1u);
    EXPECT_EQ(commStart[0].evtNo.toInt(), appStart[0].evtNo.toInt() + 1);

    // Leaving the alarm screen asks for a login (here nobody has level 1, so
    // a cancelled one passes) and shows the main window.
    testing_support::whenShown(FormNames::dlgUserCodes, [](plat::Form* dlg) { dlg->Hide(); });
    qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms))->imgNavig(wRunAlarms::NavigLeave)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

// A USB adapter that appears after the program (after a power cut): the
// start is not held by the port message, and polling starts once it opens.
TEST_F(ProgramRun, AutomaticStartWithAPortThatCannotOpenYetSaysSoWithoutWaitingAndPollsOnceItOpens)
{
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"),
                         testing_support::programFolder() + "/no-such-line");
    ASSERT_TRUE(Config::OpenConfigBase());
    {
        ConfigClass config;
        config.setAutoStart(true);
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
    }
    Global::Main();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    ASSERT_NE(engine(), nullptr);
    EXPECT_FALSE(engine()->PortOpen());
    EXPECT_FALSE(engine()->Run());
    EXPECT_TRUE(messages.isEmpty()) << "no message waits for an answer";
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("1")) << notices[0].toStdString();
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_TRUE(e2e::wordLines(trace(), "COMM", "START").empty());

    // Not there at the next look; then the device appears.
    engine()->tmrReactiv_Timer();
    EXPECT_FALSE(engine()->Run());
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), line.device());
    engine()->tmrReactiv_Timer();
    EXPECT_TRUE(engine()->PortOpen());
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(engine()->tmrPoll->Enabled());
    const auto lines = trace();
    EXPECT_EQ(e2e::wordLines(lines, "COMM", "REINIT").size(), 3u)
        << "the load's, the port's return, then the first synchronisation's";
    EXPECT_EQ(e2e::wordLines(lines, "COMM", "START").size(), 1u);
    // Polling starts, then synchronises the bus (no module: its line and its re-initialisation only).
    ASSERT_GE(lines.size(), 3u);
    QStringList last;
    for (size_t i = lines.size() - 3; i < lines.size(); ++i)
        last << lines[i].kind + " " + lines[i].state;
    EXPECT_EQ(last, QStringList({"COMM START", "COMM SYNCHR", "COMM REINIT"}));
    EXPECT_EQ(notices.size(), 1);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ProgramRun, AStopRequestedWhileStartUpWaitsInAMessageEndsTheStartThere)
{
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"),
                         testing_support::programFolder() + "/no-such-line");
    // A command the previous run left queued.
    const QString saved = QStringLiteral("2|5|0043|02/05/2024 09:00:00|0002");
    VEXfonctions::SetIni(IniKeys::PendingCommands, "1", saved);
    // The task manager's stop arrives while the port message waits for its answer.
    PollingSeams::installed().message = [this](const QString& text, int) {
        messages << text;
        Global::RequestStop(plat::vbAppTaskManager);
        return 1;
    };
    Global::Main();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Global::Ending()) << "the program does not enter its message loop";
    // The stop's events came before the engine had its printer: nothing
    // failed, so no second box could have opened over the first.
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(plat::Forms::All().empty()) << "no window comes up after the stop";
    const auto lines = trace();
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    EXPECT_TRUE(e2e::wordLines(lines, "APPLI", "START").empty()) << "no start after the stop";
    // Nothing after the stop's lines: the one that names who stopped it is the last.
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().text.contains("TASK  MANAGER")) << lines.back().text.toStdString();
    EXPECT_TRUE(e2e::wordLines(lines, "COMM", "REINIT").empty());
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::PendingCommands, "1", QString()), saved) << "the queued command is kept";
}

TEST_F(ProgramRun, WithNoWindowVisibleTheEngineBringsUpTheAlarmScreen)
{
    Global::Main();
    plat::Forms::Unload(plat::Forms::Find("wMain"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(engine(), nullptr);
    EXPECT_EQ(engine()->tmrReactiv->Interval(), 10000);
    EXPECT_TRUE(engine()->tmrReactiv->Enabled());
    engine()->tmrReactiv_Timer();
    EXPECT_EQ(visibleForms(), QStringList{"wRunAlarms"});
    engine()->tmrReactiv_Timer();
    EXPECT_EQ(plat::Forms::Count("wRunAlarms"), 1);
}

TEST_F(ProgramRun, AnEventToDisplayBringsUpTheAlarmScreenAndClearsTheOtherScreens)
{
    Global::Main();
    ASSERT_NE(engine(), nullptr);
    ASSERT_EQ(visibleForms(), QStringList{"wMain"});
    EventClass vanished;
    vanished.setPanel(1);
    vanished.setChnl(EventClass::ChnlPresence);
    vanished.setAff(0);

    gConfig->setOptionScreen(0, false);
    engine()->SendEvent(vanished);
    EXPECT_EQ(visibleForms(), QStringList{"wMain"}) << "not to display: the screens stay";

    gConfig->setOptionScreen(0, true);
    engine()->SendEvent(vanished);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(visibleForms(), QStringList{"wRunAlarms"});
    EXPECT_EQ(plat::Forms::Find("wMain"), nullptr);
    EXPECT_NE(plat::Forms::Find(FormNames::wPolling), nullptr) << "the engine stays loaded";
    EXPECT_EQ(plat::Forms::Count("wRunAlarms"), 1);

    // An alarm while the operator waits in a modal box ends the box.
    QObject context;  // the timers go with the test
    QTimer::singleShot(0, &context, [&] { engine()->SendEvent(vanished); });
    bool leftOpen = false;
    QTimer::singleShot(5000, &context, [&] {  // a fault fails here instead of hanging
        if (plat::Form* box = plat::Forms::Find("dlgMessage")) {
            leftOpen = true;
            plat::Forms::Unload(box);
        }
    });
    EXPECT_EQ(Global::Message("waiting", 0), MsgResult::vbCancel);
    EXPECT_FALSE(leftOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(visibleForms(), QStringList{"wRunAlarms"});
}

TEST_F(ProgramRun, QuitSendsTheStopEventsAndUnloadsEveryForm)
{
    Global::Main();
    auto* main = qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->lblFileName->text(), "Untitled");
    EXPECT_EQ(gPanelLetter, "M");
    EXPECT_EQ(gChannelLetter, "C");
    recordEvents();
    testing_support::ModalAnswers answers;
    answers.message(MsgResult::vbOK);
    main->imgNavig(wMain::NavigQuit)->click();
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    // The program's stop, then polling's.
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Aff(), 2);
    EXPECT_EQ(events[1].Aff(), 5);
    EXPECT_TRUE(plat::Forms::All().empty());
    const auto lines = trace();
    ASSERT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    ASSERT_EQ(e2e::wordLines(lines, "COMM", "STOP").size(), 1u);
    EXPECT_EQ(e2e::wordLines(lines, "COMM", "STOP")[0].evtNo.toInt(), events[1].Num());
    EXPECT_EQ(lastEventKey(), QString::number(events[1].Num()));
}

TEST_F(ProgramRun, TheCloseBoxOfTheMainWindowEndsTheRun)
{
    Global::Main();
    QPointer<plat::Form> main = plat::Forms::Find("wMain");
    ASSERT_TRUE(main);
    testing_support::ModalAnswers answers;
    answers.message(MsgResult::vbOK);
    main->close();
    // Refused while the close event runs, then the quit runs from the loop.
    EXPECT_TRUE(main);
    QCoreApplication::processEvents();
    EXPECT_TRUE(answers.allAnswered());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(plat::Forms::All().empty());
    EXPECT_FALSE(main);
    EXPECT_EQ(e2e::wordLines(trace(), "APPLI", "STOP").size(), 1u);
}

// The printer of the configuration becomes the engine's: an event that the
// rules let through reaches the month's history file and the printer.
TEST_F(ProgramRun, EventsReachTheMonthsHistoryFileAndThePrinterOfTheConfiguration)
{
    printer_devices::PtyLine printerLine;
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM2"), printerLine.device());
    saveWorkingFile([](ConfigClass& config) {
        config.setPrtSettings(QStringLiteral("COM2:19200,E,7,1"));
        config.setOptionHisto(0, true);
        config.setOptionPrinter(0, true);
        config.Panel(1)->setModel(1);
    });
    gPanelLetter.clear();
    Global::Main();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    ASSERT_NE(engine(), nullptr);
    const EnginePrinterPtr printer = engine()->dpPrinter();
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->Port(), "COM2");
    EXPECT_EQ(printer->Settings(), "19200,E,7,1");
    EXPECT_TRUE(printer->AddLF());

    EventClass vanished;
    vanished.setPanel(1);
    vanished.setChnl(EventClass::ChnlPresence);
    vanished.setAff(0);
    engine()->SendEvent(vanished);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();

    // The program's start and the module's disappearance, after the title.
    const QString month = plat::AppIdentity::programFolder() + "/Histo" + QDate::currentDate().toString("yyyyMM") + ".his";
    const QStringList history = testing_support::fileLines(month);
    ASSERT_EQ(history.size(), 3) << history.join("\n").toStdString();
    EXPECT_TRUE(history[1].contains("SYSTEM  START       APPLIC")) << history[1].toStdString();
    EXPECT_TRUE(history[2].contains("M01-K71 Absence     Module missing")) << history[2].toStdString();
    const QList<QByteArray> printed = printerLine.read().split('\n');
    ASSERT_EQ(printed.size(), 3) << "two lines";
    EXPECT_TRUE(printed[0].contains("SYSTEM  START       APPLIC")) << printed[0].toStdString();
    EXPECT_TRUE(printed[1].contains("M01-K71 Signal      Module missing")) << printed[1].toStdString();
    EXPECT_TRUE(printed[1].endsWith('\r'));
}

// A printer absent at start (a plain file that is not there yet) is said once
// and kept: once it is there the next event is printed on it, and the trace
// says what it missed meanwhile.
TEST_F(ProgramRun, APrinterAbsentAtStartIsSaidOnceAndPrintsOnceItIsThere)
{
    const QString device = testing_support::programFolder() + "/no-printer";
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("LPT3"), device);
    saveWorkingFile([](ConfigClass& config) { config.setPrtSettings(QStringLiteral("LPT3:")); });
    testing_support::ModalAnswers boxes;
    boxes.message(MsgResult::vbOK);
    Global::Main();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0], "The printer port cannot be opened:\n" + plat::PrinterPort::errorText(ENOENT));
    ASSERT_NE(engine(), nullptr);
    const EnginePrinterPtr printer = engine()->dpPrinter();
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->Port(), "LPT3");
    EXPECT_TRUE(printer->AddLF());

    {
        QFile on(device);
        ASSERT_TRUE(on.open(QIODevice::WriteOnly));
    }
    EventClass stop;
    stop.setChnl(EventClass::ChnlStation);
    stop.setAff(5);
    engine()->SendEvent(stop);
    const QStringList printed = testing_support::fileLines(device);
    ASSERT_EQ(printed.size(), 1) << printed.join("\n").toStdString();
    EXPECT_TRUE(printed[0].contains("SYSTEM  STOP        COMM")) << printed[0].toStdString();
    const auto lines = trace();
    const auto stopped = e2e::wordLines(lines, "PRINT", "STOP");
    const auto resumed = e2e::wordLines(lines, "PRINT", "RESUME");
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(e2e::field(stopped[0].text, TraceRecord::Specific), plat::PrinterPort::errorText(ENOENT));
    ASSERT_EQ(resumed.size(), 1u);
    EXPECT_EQ(e2e::field(resumed[0].text, TraceRecord::Specific), "lines not printed: 1") << "the program's start";
    EXPECT_EQ(boxes.messages.size(), 1) << "said once";
}

// Settings that cannot be tried are refused, the device being there or not.
TEST_F(ProgramRun, PrinterSettingsThatCannotBeTriedAreReportedAndLeaveThePrinterUnconfigured)
{
    printer_devices::PtyLine printerLine;
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM2"), printerLine.device());
    saveWorkingFile([](ConfigClass& config) { config.setPrtSettings(QStringLiteral("COM2:9600,X,8,1")); });
    testing_support::ModalAnswers boxes;
    Global::Main();
    EXPECT_EQ(reports, QStringList{"Config.TestPrintPort 380"});
    EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
    ASSERT_NE(engine(), nullptr);
    ASSERT_TRUE(engine()->dpPrinter());
    EXPECT_EQ(engine()->dpPrinter()->Port(), QString());
    EXPECT_FALSE(engine()->dpPrinter()->AddLF());
    EXPECT_EQ(printerLine.read(100), QByteArray()) << "the program's start is not printed";
}

// The executable in a folder of its own; port 1 is a pseudo-terminal of the test.
class Executable : public e2e::ExecutableFolder {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ExecutableFolder::SetUp());
        ASSERT_NO_FATAL_FAILURE(portOne(m_line.device()));
    }
};

TEST_F(Executable, StartsHeadlessTracesItsEventsAndEndsCleanlyOnStop)
{
    QProcess p;
    e2e::startHeadless(p, m_folder + "/PLX2", {}, m_folder);
    ASSERT_TRUE(p.waitForStarted(10000));
    ASSERT_TRUE(e2e::waitFor([&] { return !e2e::wordLines(e2e::readTrace(m_folder), "APPLI", "START").empty(); }, 20000))
        << p.readAllStandardError().toStdString();
    ASSERT_TRUE(e2e::waitFor([&] { return QFile::exists(m_folder + "/AlarmSound1.wav"); }, 20000));
    EXPECT_TRUE(QFile::exists(m_folder + "/PLX2.lock"));
    EXPECT_EQ(p.state(), QProcess::Running);
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(m_folder + "/PLX2.lock"));

    // A stop by the system: the program's stop event, and a line that says who stopped it.
    const auto lines = e2e::readTrace(m_folder);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const e2e::TraceLine& l) { return l.text.contains("TASK  MANAGER"); }));
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    QFile ini(m_folder + "/PLX2.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray iniText = ini.readAll();
    EXPECT_TRUE(iniText.contains("LastUsed=Untitled"));
    EXPECT_TRUE(iniText.contains("LastEvent="));
}

} // namespace
