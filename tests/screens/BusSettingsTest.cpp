// The bus settings: what a settings text shows in the fields, a new port put
// on the live port at once (polling stopped around it, and started again
// once a port opens), the configured port put back when the screen goes
// without being left, the accepted fields on the port and in the saved
// configuration, and the screen itself on the real engine over numbered
// ports of which some have no device: pointer, pickers, leave question,
// unloading from elsewhere, bus monitor.

#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/TextIds.h"
#include "program/screens/system/BusPortSettings.h"
#include "program/screens/system/MenuDialog.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/wSysComm.h"
#include "tests/screens/BusSettingsTouches.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/NumberedPorts.h"
#include "tests/screens/ScreensFixture.h"
#include "tests/support/ProgramGlobals.h"


#include <QCheckBox>
#include <QGroupBox>
#include <QTest>

#include <set>

namespace {

using testing_support::ModalAnswers;

using bus_settings_touches::choose;

constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;

// ---- The decisions, on an engine double ------------------------------------

class EngineDouble : public BusPortSettings::Host {
public:
    explicit EngineDouble(std::shared_ptr<NumberedPorts::Line> l) : line(std::move(l)), port(line) {}
    bool Run() const override { return running; }
    void setRun(bool run) override
    {
        line->journal << (run ? "run" : "stop");
        // Polling starts only on an open port, as the engine's does.
        running = run && port.PortOpen();
        waiting = false;
    }
    bool RunsWhenPortOpens() const override { return waiting; }
    void RunWhenPortOpens() override
    {
        line->journal << "run when open";
        running = running || port.PortOpen();
        waiting = !running;
    }
    plat::SerialControl& CommBus() override { return port; }
    void LeaveLine() override { line->journal << "leave line"; }
    void PortCannotOpen() override { line->journal << "630100"; }

    std::shared_ptr<NumberedPorts::Line> line;
    NumberedPorts port;
    bool running = false;
    bool waiting = false;
};

class PortDecisions : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        line->port = 1;
        line->open = true;
    }
    QStringList take()
    {
        const QStringList j = line->journal;
        line->journal.clear();
        return j;
    }

    std::shared_ptr<NumberedPorts::Line> line = std::make_shared<NumberedPorts::Line>();
    EngineDouble engine{line};
    BusPortSettings settings{engine};
};

TEST(BusPortSettings, ReadsWhatTheSettingsTextHoldsAndLeavesTheRestEmpty)
{
    struct Case {
        const char* text;
        const char* port;
        const char* speed;
        const char* stop;
    } cases[] = {
        {"COM1:9600,N,8,1", "1", "9600", "1"},  {"COM2:19200,N,8,2", "2", "19200", "2"},
        {"COM255:1200,N,8,1", "255", "1200", "1"}, {"", "", "", ""},
        {"COM3", "", "", ""},                    {"9600,N,8,1", "", "", ""},
        {"COMx:9600,N,8,1", "", "9600", "1"},   {"COM0:9600,N,8,1", "", "9600", "1"},
        {"COM256:9600,N,8,1", "", "9600", "1"}, {"COM4:4800", "4", "4800", ""},
        {"COM5:", "5", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const BusPortSettings::Texts t = BusPortSettings::Read(c.text);
        EXPECT_EQ(t.port, c.port);
        EXPECT_EQ(t.speed, c.speed);
        EXPECT_EQ(t.stop, c.stop);
    }
}

TEST(BusPortSettings, ParityLettersNameTheirTexts)
{
    const struct {
        const char* letter;
        int text;
    } cases[] = {{"N", 100021}, {"e", 100022}, {"O", 100023}, {"M", 100020}, {"", 100020}};
    for (const auto& c : cases)
        EXPECT_EQ(BusPortSettings::ParityText(c.letter), c.text) << c.letter;
}

TEST_F(PortDecisions, ANewPortIsPutOnTheLivePortAtOnceWithPollingStoppedAroundIt)
{
    struct Case {
        const char* text;
        bool running;
        bool applied;
        QStringList journal;
        bool runningAfter;
        bool held;
    } cases[] = {
        {"1", true, false, {}, true, false},
        {"", true, false, {}, true, false},
        {"x", true, false, {}, true, false},
        {"0", true, false, {}, true, false},
        {"2", true, true, {"stop", "leave line", "close 1", "open 2", "run"}, true, false},
        {"2", false, true, {"stop", "leave line", "close 1", "open 2"}, false, false},
        {"3", true, true, {"stop", "leave line", "close 1", "no COM3", "stop", "630100"}, false, true},
        {"3", false, true, {"stop", "leave line", "close 1", "no COM3", "stop", "630100"}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1, %2").arg(c.text).arg(c.running ? "running" : "stopped").toStdString());
        BusPortSettings fresh(engine);
        line->port = 1;
        line->open = true;
        engine.running = c.running;
        take();
        EXPECT_EQ(fresh.ApplyPort(c.text), c.applied);
        EXPECT_EQ(take(), c.journal);
        EXPECT_EQ(engine.running, c.runningAfter);
        EXPECT_EQ(fresh.Held(), c.held);
    }
}

TEST_F(PortDecisions, PollingAFailedPortStoppedRunsAgainOnceAPortOpens)
{
    engine.running = true;
    settings.ApplyPort("3");
    settings.ApplyPort("4");
    EXPECT_FALSE(engine.running);
    take();
    settings.Leave();
    EXPECT_EQ(take(), QStringList({"run when open"})) << "the engine waits for a port to run on";
    EXPECT_FALSE(engine.running);
    EXPECT_TRUE(settings.ApplyPort("2"));
    EXPECT_EQ(take(), QStringList({"stop", "leave line", "open 2", "run"}));
    EXPECT_TRUE(engine.running);
    EXPECT_FALSE(settings.Held());

    // The leaving starts it once the port is open by other means.
    settings.ApplyPort("3");
    line->port = 1;
    line->open = true;
    take();
    settings.Leave();
    EXPECT_EQ(take(), QStringList({"run when open"}));
    EXPECT_TRUE(engine.running);
    settings.Leave();
    EXPECT_TRUE(take().isEmpty());
}

TEST_F(PortDecisions, AScreenGoneWithoutBeingLeftPutsTheConfiguredPortBackAndHandsPollingToTheEngine)
{
    struct Case {
        const char* name;
        bool running;
        bool waiting;
        const char* tried;   // "" for no change
        std::set<int> existingAtTheEnd;
        QStringList journal;
        bool runningAfter;
        bool waitingAfter;
    } cases[] = {
        {"nothing changed", true, false, "", {1, 2}, {}, true, false},
        {"the tried port opened", true, false, "2", {1, 2}, {"stop", "leave line", "close 2", "open 1", "run when open"}, true,
         false},
        {"the tried port opened, polling stopped", false, false, "2", {1, 2}, {"leave line", "close 2", "open 1"}, false,
         false},
        {"the tried port did not open", true, false, "3", {1, 2}, {"leave line", "open 1", "run when open"}, true, false},
        {"the tried port did not open, polling stopped", false, false, "3", {1, 2}, {"leave line", "open 1"}, false, false},
        {"the configured port has gone meanwhile", true, false, "3", {2}, {"leave line", "no COM1", "run when open"}, false,
         true},
        {"polling waited for its port", false, true, "2", {1, 2}, {"stop", "leave line", "close 2", "open 1", "run when open"},
         true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BusPortSettings fresh(engine);
        line->existing = {1, 2};
        line->port = 1;
        line->open = !c.waiting;
        engine.running = c.running;
        engine.waiting = c.waiting;
        if (*c.tried)
            fresh.ApplyPort(c.tried);
        line->existing = c.existingAtTheEnd;
        take();
        fresh.Abandon("1");
        EXPECT_EQ(take(), c.journal) << "no box, no settings";
        EXPECT_EQ(line->port, 1);
        EXPECT_EQ(engine.running, c.runningAfter);
        EXPECT_EQ(engine.waiting, c.waitingAfter);
        EXPECT_FALSE(fresh.Held());
    }
    EXPECT_EQ(gConfig->BusSettings(), QString());
    EXPECT_FALSE(gConfig->Modified());
}

TEST_F(PortDecisions, AcceptedFieldsReachThePortAndTheSavedConfiguration)
{
    gConfig->setBusSettings("COM1:9600,N,8,1");
    gConfig->setModified(false);
    engine.running = true;
    ASSERT_TRUE(settings.ApplyPort("2"));
    take();
    ASSERT_TRUE(settings.UpdateConfig({"2", "19200", "2"}, true));
    EXPECT_EQ(take(), QStringList({"settings 2 19200,N,8,2"})) << "applied to the open port, polling left running";
    EXPECT_TRUE(engine.running);
    EXPECT_EQ(gConfig->BusSettings(), "COM2:19200,N,8,2");
    EXPECT_TRUE(gConfig->AutoStart());
    ConfigClass saved([](int) { return QString(); });
    ASSERT_EQ(saved.Read(plat::AppIdentity::programFile(".dat")), 0);
    EXPECT_EQ(saved.BusSettings(), "COM2:19200,N,8,2");
    EXPECT_TRUE(saved.AutoStart());

    // A port the fields name but the port does not have yet is renumbered,
    // reopened only when it was open, with polling as it was.
    ASSERT_TRUE(settings.UpdateConfig({"1", "9600", "1"}, false));
    EXPECT_EQ(take(), QStringList({"stop", "leave line", "close 2", "open 1", "run", "settings 1 9600,N,8,1"}));
    EXPECT_EQ(gConfig->BusSettings(), "COM1:9600,N,8,1");
    line->open = false;
    engine.running = false;
    ASSERT_TRUE(settings.UpdateConfig({"3", "9600", "1"}, false));
    EXPECT_EQ(take(), QStringList({"stop", "leave line", "stop", "settings 3 9600,N,8,1"}));
    EXPECT_FALSE(line->open);
}

TEST_F(PortDecisions, AFieldWithoutAValidValueChangesNothing)
{
    gConfig->setBusSettings("COM1:9600,N,8,1");
    gConfig->setModified(false);
    const BusPortSettings::Texts invalid[] = {
        {"", "9600", "1"}, {"2", "", "1"}, {"2", "9600", ""}, {"x", "9600", "1"}, {"0", "9600", "1"}, {"2", "fast", "1"},
    };
    for (const BusPortSettings::Texts& t : invalid) {
        SCOPED_TRACE((t.port + "/" + t.speed + "/" + t.stop).toStdString());
        EXPECT_FALSE(settings.UpdateConfig(t, true));
        EXPECT_TRUE(take().isEmpty());
        EXPECT_EQ(gConfig->BusSettings(), "COM1:9600,N,8,1");
        EXPECT_FALSE(gConfig->AutoStart());
        EXPECT_FALSE(gConfig->Modified());
    }
    EXPECT_FALSE(QFile::exists(plat::AppIdentity::programFile(".dat")));
}

// ---- The screen, on the real engine ----------------------------------------

class BusSettingsScreen : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        wPolling::setPortFactory([l = line] { return std::make_unique<NumberedPorts>(l); });
        gConfig->setBusSettings("COM1:9600,N,8,1");
        gConfig->setModified(false);
        QObject::connect(engine(true), &wPolling::BusEvent, engine(true), [this](const EventClass& ev) {
            if (ev.Chnl() == EventClass::ChnlStation)
                stationEvents << ev.Aff();
        });
        line->journal.clear();
    }

    // The engine form, loaded on first use as start-up loads it.
    static wPolling* engine(bool load = false)
    {
        return qobject_cast<wPolling*>(load ? plat::Forms::Get(FormNames::wPolling)
                                            : plat::Forms::Find(FormNames::wPolling));
    }
    void runPolling()
    {
        engine()->setRun(true);
        stationEvents.clear();
        line->journal.clear();
    }
    static wSysComm* openScreen()
    {
        auto* s = qobject_cast<wSysComm*>(plat::Forms::Get(FormNames::wSysComm));
        s->Show();
        return s;
    }
    static wSysComm* screen() { return qobject_cast<wSysComm*>(plat::Forms::Find(FormNames::wSysComm)); }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    QStringList takeJournal()
    {
        const QStringList j = line->journal;
        line->journal.clear();
        return j;
    }
    static QString background(QWidget* w) { return w->styleSheet().section(';', 0, 0); }

    std::shared_ptr<NumberedPorts::Line> line = std::make_shared<NumberedPorts::Line>();
    QList<int> stationEvents;
};

constexpr int kStop = Polling::StationEvent::PollingStop;
constexpr int kStart = Polling::StationEvent::PollingStart;

TEST_F(BusSettingsScreen, LoadsTheConfiguredValuesBesideThoseOfTheOpenPort)
{
    gConfig->setBusSettings("COM1:19200,N,8,2");
    gConfig->setAutoStart(true);
    line->settings = "4800,E,7,1";
    wSysComm* s = openScreen();
    EXPECT_TRUE(takeJournal().isEmpty()) << "the open port is the configured one";
    EXPECT_EQ(s->lblBusPort->text(), "1");
    EXPECT_EQ(s->lblBusSpeed->text(), "19200");
    EXPECT_EQ(s->lblBusStop->text(), "2");
    EXPECT_TRUE(s->chkAutoStart->isChecked());
    EXPECT_EQ(s->lblAutoStart->text(), Config::GetText(TextIds::Yes));
    const QStringList actual = {"1", "4800", Config::GetText(100022), "7", "1"};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(s->lblBusConfig(5 + row)->text(), actual[row]) << row;
    EXPECT_EQ(s->lblBusConfig(11)->text(), Config::GetText(TextIds::Yes));
    EXPECT_EQ(s->lblBusConfig(0)->text(), Config::GetText(820201));
    EXPECT_EQ(s->frmFrames(0)->title(), Config::GetText(620100));
    EXPECT_EQ(s->lblLabels(0)->text(), Config::GetText(630010));
    EXPECT_EQ(s->lblBusPointer->text(), "1");
    EXPECT_FALSE(s->Modified());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusSettingsScreen, ThePointerSelectsOneFieldOfTheFourInYellow)
{
    wSysComm* s = openScreen();
    QWidget* shown[] = {s->lblBusPort, s->lblBusSpeed, s->lblBusStop, s->lblAutoStart};
    const QString yellow = QStringLiteral("background: #ffff00");
    const QString white = QStringLiteral("background: #ffffff");
    for (int step = 0; step < 6; ++step) {
        const int selected = std::min(step + 1, 4);
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(background(shown[f]), f + 1 == selected ? yellow : white) << step << " " << f;
        click(s->imgBusDir(1));
    }
    EXPECT_EQ(s->lblBusPointer->text(), "4");
    for (int i = 0; i < 5; ++i)
        click(s->imgBusDir(0));
    EXPECT_EQ(s->lblBusPointer->text(), "1");
    EXPECT_EQ(background(s->lblBusPort), yellow);
    EXPECT_FALSE(s->Modified());
}

TEST_F(BusSettingsScreen, EachFieldOpensThePickerOnItsValuesBesideTheSettings)
{
    wSysComm* s = openScreen();
    ModalAnswers answers;
    choose(s, 2, "19200", answers);
    choose(s, 3, "2", answers);
    choose(s, 4, Config::GetText(TextIds::Yes), answers);
    choose(s, 4, "", answers);
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    ASSERT_EQ(answers.pickers.size(), 4u);
    EXPECT_EQ(answers.pickers[0].value, "9600");
    EXPECT_EQ(answers.pickers[0].entries, QStringList({"1200", "2400", "4800", "9600", "19200"}));
    EXPECT_EQ(answers.pickers[1].value, "1");
    EXPECT_EQ(answers.pickers[1].entries, QStringList({"1", "2"}));
    EXPECT_EQ(answers.pickers[2].value, Config::GetText(TextIds::No));
    EXPECT_EQ(answers.pickers[2].entries, QStringList({Config::GetText(TextIds::No), Config::GetText(TextIds::Yes)}));
    EXPECT_EQ(answers.pickers[3].value, Config::GetText(TextIds::Yes)) << "cancelled, the value stays";
    const QRect frame(s->frmFrames(0)->mapToGlobal(QPoint(0, 0)), s->frmFrames(0)->size());
    for (const ModalAnswers::Picker& p : answers.pickers) {
        EXPECT_EQ(p.geometry.right(), frame.right());
        EXPECT_LE(std::abs(p.geometry.center().y() - frame.center().y()), 1);
    }
    EXPECT_EQ(s->lblBusSpeed->text(), "19200");
    EXPECT_EQ(s->lblBusStop->text(), "2");
    EXPECT_TRUE(s->chkAutoStart->isChecked());
    EXPECT_EQ(s->lblAutoStart->text(), Config::GetText(TextIds::Yes));
    EXPECT_TRUE(s->Modified());
    EXPECT_TRUE(takeJournal().isEmpty()) << "speed and stop bits wait for the leaving";
    EXPECT_EQ(gConfig->BusSettings(), "COM1:9600,N,8,1");
}

TEST_F(BusSettingsScreen, APortChangeMovesPollingAtOnceAndNoPutsTheConfiguredPortBack)
{
    runPolling();
    wSysComm* s = openScreen();
    ModalAnswers answers;
    // The open port again: nothing at all.
    choose(s, 1, "1", answers);
    EXPECT_TRUE(takeJournal().isEmpty());
    EXPECT_TRUE(stationEvents.isEmpty());
    EXPECT_FALSE(s->Modified());

    choose(s, 1, "2", answers);
    EXPECT_EQ(takeJournal(), QStringList({"close 1", "open 2"}));
    EXPECT_EQ(stationEvents, QList<int>({kStop, kStart}));
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(s->Modified());

    // A port without a device: told, polling stopped, the actual column as loaded.
    stationEvents.clear();
    choose(s, 1, "3", answers, 1);
    EXPECT_EQ(takeJournal(), QStringList({"close 2", "no COM3"}));
    EXPECT_EQ(stationEvents, QList<int>({kStop, kStop}));
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(630100)});
    EXPECT_FALSE(engine()->Run());
    EXPECT_EQ(s->lblBusConfig(5)->text(), "1");
    EXPECT_TRUE(s->isVisible());

    // No: the configured port is back on the port and polling resumes.
    stationEvents.clear();
    answers.message(kNo);
    click(s->imgNavig(wSysComm::NavigLeave));
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(answers.messages.last(), Config::GetText(30010));
    EXPECT_EQ(takeJournal(), QStringList({"open 1", "settings 1 9600,N,8,1"}));
    EXPECT_TRUE(engine()->Run());
    EXPECT_EQ(stationEvents, QList<int>({kStop, kStart}));
    EXPECT_EQ(gConfig->BusSettings(), "COM1:9600,N,8,1");
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusSettingsScreen, UnloadedFromElsewhereAfterAPortChangeItPutsTheConfiguredPortBackAndPollingRunsAgain)
{
    const struct {
        const char* name;
        const char* tried;
        std::function<void()> unload;
    } cases[] = {
        {"the inactivity logout after a port that did not open", "3",
         [] {
             gUserLevel = 2;
             engine()->UserSleep_UserIsNotHere();
         }},
        {"an alarm clearing the screens after a port that opened", "2",
         [] { plat::Forms::UnloadAllExcept({FormNames::wRunAlarms, FormNames::wPolling}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        line->existing = {1, 2};
        runPolling();
        wSysComm* s = openScreen();
        ModalAnswers answers;
        choose(s, 1, c.tried, answers, c.tried == QStringLiteral("3") ? 1 : 0);
        ASSERT_EQ(line->port, c.tried == QStringLiteral("3") ? 3 : 2);
        if (c.tried == QStringLiteral("3")) {
            // The tried port appears while the screen is open: the engine leaves it alone.
            line->existing.insert(3);
            takeJournal();
            engine()->tmrReactiv_Timer();
            EXPECT_TRUE(takeJournal().isEmpty());
            EXPECT_FALSE(engine()->Run());
        }
        takeJournal();
        stationEvents.clear();
        c.unload();
        settle();
        EXPECT_EQ(screen(), nullptr);
        EXPECT_EQ(line->port, 1);
        EXPECT_TRUE(line->open);
        EXPECT_TRUE(takeJournal().endsWith("open 1"));
        EXPECT_TRUE(engine()->Run());
        ASSERT_FALSE(stationEvents.isEmpty());
        EXPECT_EQ(stationEvents.last(), kStart);
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
        EXPECT_EQ(gConfig->BusSettings(), "COM1:9600,N,8,1");
        EXPECT_FALSE(gConfig->Modified());
        EXPECT_FALSE(QFile::exists(workingFile())) << "nothing saved";
        plat::Forms::UnloadAllExcept({FormNames::wPolling});
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusSettingsScreen, AProgramStoppingWithTheScreenOpenAfterAFailedChangeRestartsNothing)
{
    runPolling();
    wSysComm* s = openScreen();
    ModalAnswers answers;
    choose(s, 1, "3", answers, 1);
    takeJournal();
    // The engine goes first, then every other form.
    engine()->setRun(false);
    plat::Forms::Unload(engine());
    plat::Forms::UnloadAllExcept({});
    settle();
    EXPECT_EQ(engine(), nullptr) << "no engine made again";
    EXPECT_TRUE(takeJournal().isEmpty());
    EXPECT_FALSE(line->open);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusSettingsScreen, YesWritesTheFieldsOnThePortAndSavesThem)
{
    runPolling();
    wSysComm* s = openScreen();
    ModalAnswers answers;
    choose(s, 1, "2", answers);
    choose(s, 2, "19200", answers);
    choose(s, 3, "2", answers);
    choose(s, 4, Config::GetText(TextIds::Yes), answers);
    takeJournal();
    answers.message(kYes);
    click(s->imgNavig(wSysComm::NavigLeave));
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_EQ(takeJournal(), QStringList({"settings 2 19200,N,8,2"}));
    EXPECT_TRUE(line->open);
    EXPECT_TRUE(engine()->Run());
    EXPECT_EQ(gConfig->BusSettings(), "COM2:19200,N,8,2");
    EXPECT_TRUE(gConfig->AutoStart());
    ConfigClass saved;
    ASSERT_EQ(saved.Read(workingFile()), 0);
    EXPECT_EQ(saved.BusSettings(), "COM2:19200,N,8,2");
    EXPECT_TRUE(saved.AutoStart());
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

TEST_F(BusSettingsScreen, CancelStaysAndLeavingWithoutChangesAsksNothing)
{
    wSysComm* s = openScreen();
    ModalAnswers answers;
    choose(s, 3, "2", answers);
    answers.message(kCancel);
    click(s->imgNavig(wSysComm::NavigLeave));
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(s->Modified());
    plat::Forms::Unload(s);
    settle();

    s = openScreen();
    click(s->imgNavig(wSysComm::NavigLeave));
    settle();
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(30010)});
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_FALSE(QFile::exists(workingFile()));
}

TEST_F(BusSettingsScreen, AnUnreadableSettingsTextLeavesTheLivePortAndYesAsksForValidValues)
{
    for (const char* text : {"", "COM3", "COMx:9600,N,8,1", "COM0:9600,N,8,1"}) {
        SCOPED_TRACE(text);
        runPolling();
        gConfig->setBusSettings(text);
        gConfig->setModified(false);
        wSysComm* s = openScreen();
        EXPECT_TRUE(takeJournal().isEmpty());
        EXPECT_TRUE(stationEvents.isEmpty());
        EXPECT_EQ(s->lblBusPort->text(), "");
        EXPECT_EQ(s->lblBusConfig(5)->text(), "1");
        ModalAnswers answers;
        choose(s, 2, "4800", answers);
        answers.message(kYes).message(1);
        click(s->imgNavig(wSysComm::NavigLeave));
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_EQ(answers.messages, QStringList({Config::GetText(30010), Config::GetText(20006)}));
        EXPECT_TRUE(s->isVisible());
        EXPECT_EQ(gConfig->BusSettings(), text);
        EXPECT_FALSE(gConfig->Modified());
        EXPECT_TRUE(takeJournal().isEmpty());
        EXPECT_TRUE(engine()->Run());
        plat::Forms::Unload(s);
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusSettingsScreen, AConfiguredPortOtherThanTheOpenOneIsPutOnTheLivePortAsTheScreenLoads)
{
    runPolling();
    gConfig->setBusSettings("COM2:9600,N,8,1");
    wSysComm* s = openScreen();
    EXPECT_EQ(takeJournal(), QStringList({"close 1", "open 2"}));
    EXPECT_EQ(stationEvents, QList<int>({kStop, kStart}));
    EXPECT_EQ(s->lblBusConfig(5)->text(), "2");
    EXPECT_FALSE(s->Modified()) << "a load starts unchanged";
}

TEST_F(BusSettingsScreen, CloseLeavesAndReopensTheSystemMenu)
{
    wSysComm* s = openScreen();
    ModalAnswers answers;
    answers.click(FormNames::dlgMenuSystem, QStringLiteral("cmdButtons(%1)").arg(MenuDialog::CmdCancel));
    click(s->imgClose);
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_EQ(screen(), nullptr);
}

TEST_F(BusSettingsScreen, TheMonitorOpensModallyOverTheScreen)
{
    wSysComm* s = openScreen();
    bool modal = false;
    ModalAnswers answers;
    answers.on(FormNames::wPolling, [&](plat::Form* f) {
        modal = f->IsModal() && f->window() == f && f->parentWidget() == s;
        f->Hide();
    });
    click(s->imgCommWatch);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(modal);
    EXPECT_TRUE(s->isVisible());
    EXPECT_FALSE(engine()->isVisible());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
