// The technician screen: its selector and buttons by model, its module kept
// in the INI file, the maintenance commands queued or written at once with
// their attempts, polling stopped and started, the round blink, the
// synchronisation passes, the copy of the trace logs, the module state
// screen opened modal, and an unload from outside while a child is open.

#include "tests/support/DispatchDoubles.h"
#include "tests/screens/TechnicianFixture.h"

#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/core/Housekeeping.h"
#include "program/bus/BusConstants.h"
#include "program/screens/bus/TechCommand.h"
#include "program/screens/bus/TechnicianPanel.h"
#include "program/screens/bus/TraceCopy.h"

#include "platform/RtError.h"
#include "platform/Screen.h"

#include <QDir>
#include <QRegularExpression>

#include <functional>
#include <optional>

using techtest::TechnicianFixture;

namespace {

using testing_support::FailingMirrors;

// Counts the paintings of a widget.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

class Technician : public TechnicianFixture {
protected:
    // The writes a module received (broadcasts included), "reg=value".
    QStringList writesTo(int module) const
    {
        QStringList out;
        for (const modsim::WriteRecord& w : sim.writesTo(module))
            out << QString("%1=%2").arg(w.reg).arg(qint16(w.values.at(0)));
        return out;
    }
    QStringList traceLines() const
    {
        gTraceLog().FlushFile();
        return testing_support::fileLines(testing_support::programFolder() + "/trace.log");
    }
};

} // namespace

// ---- The selector and the buttons, without the window ---------------------------

TEST(TechnicianPanel, SelectorStepsStayWithinTheBus)
{
    struct Case {
        int n, index, next;
    } cases[] = {
        {7, 0, 0},   {0, 0, 0},   {15, 0, 5},  {7, 1, 6},   {0, 1, 0},   {63, 2, 64},
        {64, 2, 64}, {58, 3, 64}, {64, 3, 64}, {0, 3, 10},  {5, 9, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TechnicianPanel::Step(c.n, c.index), c.next) << c.n << " step " << c.index;
}

TEST(TechnicianPanel, TheModuleReadBackIsBoundedToTheBus)
{
    const std::pair<const char*, int> cases[] = {{"0", 0},   {"12", 12},   {"64", 64},  {"65", 64}, {"32767", 64},
                                                 {"-3", 0},  {"All", 0},   {"", 0},     {"7.6", 7}, {"1e9", 64}};
    for (const auto& [value, n] : cases)
        EXPECT_EQ(TechnicianPanel::FromIni(value), n) << value;
}

TEST(TechnicianPanel, ButtonsByModel)
{
    struct Case {
        int n, model;
        bool reset, state, counters, lamps;
    } cases[] = {
        {0, 0, false, false, true, true},   // every module: broadcasts only
        {0, 1, false, false, true, true},   // the model of no module
        {5, 0, false, false, false, false}, {5, 1, true, true, true, true},    {5, 2, false, true, false, true},
        {5, 3, true, true, true, true},     {5, 4, false, true, false, true},  {5, 5, false, true, false, true},
    };
    for (const Case& c : cases) {
        const TechnicianPanel::Buttons b = TechnicianPanel::Allowed(c.n, c.model);
        SCOPED_TRACE(testing::Message() << "module " << c.n << " model " << c.model);
        EXPECT_EQ(b.panelReset, c.reset);
        EXPECT_EQ(b.panelState, c.state);
        EXPECT_EQ(b.razCptr, c.counters);
        EXPECT_EQ(b.testLeds, c.lamps);
    }
}

// ---- The screen -----------------------------------------------------------------

TEST_F(Technician, LoadsOnTheModuleKeptBoundedAndWritesItBackAtUnload)
{
    const std::pair<const char*, QString> cases[] = {
        {"70", "64"}, {"12", "12"}, {"abc", Config::GetText(10101)}, {nullptr, Config::GetText(10101)}};
    for (const auto& [kept, shown] : cases) {
        SCOPED_TRACE(kept ? kept : "no key");
        if (kept)
            VEXfonctions::SetIni(IniKeys::General, IniKeys::TechPanel, kept);
        else
            VEXfonctions::DelIniKey(IniKeys::General, IniKeys::TechPanel);
        wTechnician* t = showTechnician();
        EXPECT_EQ(t->lblNumero->text(), shown);
        EXPECT_FALSE(t->imgStopRun(wTechnician::StopRunSynchro)->isVisible());
        plat::Forms::Unload(t);
        settle();
        EXPECT_EQ(VEXfonctions::GetIni(IniKeys::General, IniKeys::TechPanel, "<none>"), shown);
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, TheSelectorShowsTheModelAndEnablesWhatItAllows)
{
    gConfig->Panel(3)->setModel(2);
    gConfig->Panel(4)->setModel(1);
    wTechnician* t = showTechnician();
    EXPECT_EQ(t->lblNumero->text(), Config::GetText(10101));
    EXPECT_EQ(t->lblPanelType->text(), "");
    EXPECT_FALSE(t->cmdPanelReset->isEnabled());
    EXPECT_FALSE(t->cmdPanelState->isEnabled());
    EXPECT_TRUE(t->cmdRazCptr->isEnabled());
    EXPECT_TRUE(t->cmdTestLeds->isEnabled());
    EXPECT_TRUE(t->cmdFindPanels->isEnabled());
    EXPECT_TRUE(t->cmdPerturb->isEnabled());

    click(t->imgControl(TechnicianPanel::StepUp));
    click(t->imgControl(TechnicianPanel::StepUp));
    click(t->imgControl(TechnicianPanel::StepUp));
    EXPECT_EQ(t->lblNumero->text(), "3");
    EXPECT_EQ(t->lblPanelType->text(), Global::ModuleName(2));
    EXPECT_FALSE(t->cmdPanelReset->isEnabled());
    EXPECT_TRUE(t->cmdPanelState->isEnabled());
    EXPECT_FALSE(t->cmdRazCptr->isEnabled());
    EXPECT_TRUE(t->cmdTestLeds->isEnabled());
    click(t->imgControl(TechnicianPanel::StepUp));
    EXPECT_EQ(t->lblPanelType->text(), Global::ModuleName(1));
    EXPECT_TRUE(t->cmdPanelReset->isEnabled());
    EXPECT_TRUE(t->cmdRazCptr->isEnabled());
    click(t->imgControl(TechnicianPanel::StepDownTen));
    EXPECT_EQ(t->lblNumero->text(), Config::GetText(10101));
    click(t->imgControl(TechnicianPanel::StepDown));
    EXPECT_EQ(t->lblNumero->text(), Config::GetText(10101));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, TheScanAndOutOfServiceButtonsOpenThoseScreensModal)
{
    wTechnician* t = showTechnician();
    for (QPushButton* b : {t->cmdFindPanels, t->cmdPerturb}) {
        const QString name = b == t->cmdFindPanels ? FormNames::wTechFindPanels : FormNames::wTechConsignations;
        bool modal = false;
        answers->on(name, [&](plat::Form* f) {
            modal = f->IsModal();
            plat::Forms::Unload(f);
        });
        click(b);
        EXPECT_TRUE(modal) << name.toStdString();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

// The wrapper: queued while polling runs; otherwise at once, at most four
// attempts; a broadcast is sent once.
TEST_F(Technician, MaintenanceCommandsAreQueuedOrWrittenAtOnceWithFourAttempts)
{
    configure(1, 1);
    startPolling();
    wTechnician* t = showTechnician();
    select(t, 1);
    answers->message(1);
    click(t->cmdPanelReset);
    ASSERT_EQ(answers->messages.size(), 1);
    EXPECT_EQ(answers->messages[0], Config::GetText(810055));
    ASSERT_EQ(engine()->engine().commands().Count(), 1);
    const CommandPtr queued = engine()->engine().commands().Item(1);
    EXPECT_EQ(queued->Module(), 1);
    EXPECT_EQ(queued->Address(), 67);
    EXPECT_EQ(queued->Value(0), 2);
    EXPECT_TRUE(writesTo(1).isEmpty()) << "sent by a later tick";
    ticks(1);
    EXPECT_EQ(writesTo(1), QStringList({"67=2"}));

    click(t->imgStopRun(wTechnician::StopRunStop));
    ASSERT_FALSE(engine()->Run());
    struct Case {
        int failNext;
        int frames;
        bool written;
    } cases[] = {{0, 1, true}, {3, 4, true}, {4, 4, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failNext);
        sim.clearWriteLog();
        requests.clear();
        if (c.failNext)
            sim.setFault(1, QStringLiteral("fail-next"), c.failNext);
        answers->message(1);
        click(t->cmdRazCptr);
        EXPECT_EQ(requestsTo(1).size(), c.frames);
        EXPECT_EQ(writesTo(1), c.written ? QStringList({"289=0"}) : QStringList());
        EXPECT_EQ(engine()->engine().commands().Count(), 0);
    }
    // Cancel sends nothing; the lamp test asks nothing.
    requests.clear();
    answers->message(2);
    click(t->cmdRazCptr);
    EXPECT_TRUE(requests.isEmpty());
    click(t->cmdTestLeds);
    EXPECT_EQ(requests, QStringList({"1:W66=1"}));
    // Every module: one broadcast, no reply awaited.
    requests.clear();
    select(t, 0);
    click(t->cmdTestLeds);
    EXPECT_EQ(requests, QStringList({"0:W66=1"}));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, ACommandOnAClosedPortIsReportedOnceNotPerAttempt)
{
    configure(1, 1);
    wTechnician* t = showTechnician();
    engine()->CommBus().setPortOpen(false);
    select(t, 1);
    click(t->cmdTestLeds);
    EXPECT_EQ(reports.size(), 1) << reports.join("; ").toStdString();
    EXPECT_TRUE(requests.isEmpty());
}

TEST_F(Technician, PollingStopsAndStartsAndTheRoundBlinks)
{
    configure(1, 4);
    wTechnician* t = showTechnician();
    EXPECT_FALSE(t->imgStopRun(wTechnician::StopRunStop)->isVisible());
    EXPECT_TRUE(t->imgStopRun(wTechnician::StopRunRun)->isVisible());
    click(t->imgStopRun(wTechnician::StopRunRun));
    settle();
    ASSERT_EQ(technician(), t);
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(t->imgStopRun(wTechnician::StopRunStop)->isVisible());
    EXPECT_FALSE(t->imgStopRun(wTechnician::StopRunRun)->isVisible());

    EXPECT_TRUE(t->imgComm(0)->isVisible());
    std::vector<bool> shown;
    for (int round = 0; round < 3; ++round) {
        for (int m = 1; m <= 64; ++m)
            gConfig->Panel(qint16(m))->setNextPoll(plat::DateTime());
        const int before = int(requestsTo(1).size());
        while (int(requestsTo(1).size()) == before)
            ticks(1);
        ticks(64);
        shown.push_back(t->imgComm(0)->isVisible());
        EXPECT_NE(t->imgComm(0)->isVisible(), t->imgComm(1)->isVisible());
    }
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_NE(shown[1], shown[2]);

    click(t->imgStopRun(wTechnician::StopRunStop));
    EXPECT_FALSE(engine()->Run());
    EXPECT_TRUE(t->imgStopRun(wTechnician::StopRunRun)->isVisible());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, TheBusMonitorIsShownAndTheLeaveButtonGoesBackToTheMainWindow)
{
    wTechnician* t = showTechnician();
    select(t, 9);
    click(t->imgCommWatch);
    EXPECT_TRUE(engine()->isVisible());
    engine()->Hide();
    click(t->imgNavig(wTechnician::NavigLeave));
    settle();
    EXPECT_EQ(technician(), nullptr);
    EXPECT_TRUE(plat::Forms::Find(FormNames::wMain)->isVisible());
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::General, IniKeys::TechPanel, "<none>"), "9");
}

// The general pass marks the technician screen and repaints it; its end, an
// error included, hides the mark again.
TEST_F(Technician, TheSynchronisationPassesRunFromTheirButtons)
{
    configure(1, 1);
    configure(2, 4);
    wTechnician* t = showTechnician();
    PaintCounter paints(t);
    bool markShown = false;
    int paintsAtStart = 0;
    onRequest = [&](const modsim::Exchange& x) {
        if (requestText(x.request) == "1:R132" && !markShown) {
            markShown = t->imgStopRun(wTechnician::StopRunSynchro)->isVisibleTo(t);
            paintsAtStart = paints.count;
        }
    };
    click(t->cmdSynchroBus);
    settle();
    ASSERT_EQ(technician(), t);
    EXPECT_TRUE(markShown);
    EXPECT_GE(paintsAtStart, 1) << "repainted at the start";
    EXPECT_FALSE(t->imgStopRun(wTechnician::StopRunSynchro)->isVisibleTo(t));
    EXPECT_EQ(traceLines().filter(QRegularExpression("^.{20}SYNCHR ")).size(), 1);

    // The midnight pass: the screen disabled and the notice up meanwhile.
    bool disabled = false;
    QString notice;
    onRequest = [&](const modsim::Exchange& x) {
        if (requestText(x.request) != "1:R132")
            return;
        disabled = !t->isEnabled();
        for (plat::Form* f : plat::Forms::All())
            if (auto* box = qobject_cast<dlgMessage*>(f))
                notice = box->txtMessage->toPlainText() + (box->cmdButton(0)->isVisibleTo(box) ? "|button" : "");
    };
    requests.clear();
    click(t->cmdSynchroMinuit);
    settle();
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(notice.startsWith(Config::GetText(30022, true).section('|', 0, 0))) << notice.toStdString();
    EXPECT_FALSE(notice.endsWith("|button")) << "no button to press";
    EXPECT_TRUE(t->isEnabled());
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_TRUE(requests.contains("2:R1x12")) << requests.join(' ').toStdString();
    for (plat::Form* f : plat::Forms::All())
        EXPECT_EQ(qobject_cast<dlgMessage*>(f), nullptr) << "the notice is gone";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, AnErrorHalfWayThroughThePassStillHidesTheMark)
{
    configure(1, 1);
    sim.setChannelState(1, 3, 1);
    // Not shown, so that the alarm screen does not take this one's place.
    channel(1, 3).setScrAlm(false);
    FailingMirrors failing;
    Dispatch::installed().mirrors = &failing;
    wTechnician* t = showTechnician();
    click(t->cmdSynchroBus);
    settle();
    ASSERT_EQ(technician(), t);
    EXPECT_EQ(reports.filter("wPolling.SynchroGeneraleBus").size(), 1) << reports.join("; ").toStdString();
    EXPECT_FALSE(t->imgStopRun(wTechnician::StopRunSynchro)->isVisibleTo(t));
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
}

TEST_F(Technician, TheMidnightFileActionsRunAtOnce)
{
    wTechnician* t = showTechnician();
    click(t->cmdForceHisto);
    const QString today = QDate::currentDate().toString("yyyyMMdd") + ".log";
    EXPECT_TRUE(QFileInfo::exists(Housekeeping::TraceFolder() + "/" + today));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, TheTraceLogsAreCopiedIntoTheTraceFolderOfTheCopyFolder)
{
    const QString traces = Housekeeping::TraceFolder();
    ASSERT_TRUE(QDir().mkpath(traces));
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(traces + "/20240501.log", "first day\r\n");
    write(traces + "/20240502.log", "second day\r\n");
    wTechnician* t = showTechnician();

    // No copy folder: Trace inside the trace folder, made for it.
    VEXfonctions::DelIniKey(IniKeys::Files, IniKeys::Histo);
    click(t->cmdCopyTraces);
    EXPECT_EQ(QDir(traces + "/Trace").entryList(QDir::Files), QStringList({"20240501.log", "20240502.log"}));

    // A copy folder: its Trace, an older copy overwritten.
    const QString copies = testing_support::programFolder() + "/Copies";
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, copies + "/");
    ASSERT_TRUE(QDir().mkpath(copies + "/Trace"));
    write(copies + "/Trace/20240502.log", "old");
    click(t->cmdCopyTraces);
    EXPECT_EQ(testing_support::fileLines(copies + "/Trace/20240502.log"), QStringList({"second day"}));

    // The program folder: the target is the trace folder itself.
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, testing_support::programFolder());
    EXPECT_EQ(TraceCopy::Target(testing_support::programFolder(), traces), QDir::cleanPath(traces));
    click(t->cmdCopyTraces);

    // A drive that is not there: said, nothing copied.
    for (const char* missing : {"D:\\Histo", "/no-such-drive-here/Histo"}) {
        VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, missing);
        answers->message(1);
        click(t->cmdCopyTraces);
    }
    ASSERT_EQ(answers->messages.size(), 2);
    EXPECT_EQ(answers->messages, QStringList({Config::GetText(30016), Config::GetText(30016)}));
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Technician, ACopyOfAnEmptyTraceFolderIsReportedWithThePointerBack)
{
    ASSERT_TRUE(QDir().mkpath(Housekeeping::TraceFolder()));
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, testing_support::programFolder() + "/Copies");
    wTechnician* t = showTechnician();

    click(t->cmdCopyTraces);
    EXPECT_EQ(reports, QStringList({QString("wTechnician.cmdCopyTraces_Click %1").arg(plat::rt::FileNotFound)}));
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
}

TEST_F(Technician, TheModuleStateScreenOpensModalWithItsTimersAndIsUnloadedAfter)
{
    configure(5, 4);
    wTechnician* t = showTechnician();
    select(t, 5);
    bool timers = false;
    int lamps = 0;
    answers->on(FormNames::wTechEtatModule, [&](plat::Form* f) {
        auto* s = qobject_cast<wTechEtatModule*>(f);
        timers = s->tmrPoll->Enabled() && s->tmrClign->Enabled();
        lamps = s->Lamps();
        s->imgClose_Click();
    });
    click(t->cmdPanelState);
    settle();
    EXPECT_TRUE(timers);
    EXPECT_EQ(lamps, 12);
    EXPECT_EQ(moduleState(), nullptr);
    EXPECT_EQ(technician(), t);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

// The alarm screen comes up (an event to display) while the module state
// screen is open: both screens go, and nothing of them runs afterwards.
TEST_F(Technician, AnUnloadFromOutsideWhileTheModuleStateIsOpenEndsEverythingCleanly)
{
    configure(5, 4);
    wTechnician* t = showTechnician();
    select(t, 5);
    answers->on(FormNames::wTechEtatModule, [&](plat::Form*) { send(5, 2, 0, 1); });
    click(t->cmdPanelState);
    settle();
    EXPECT_EQ(technician(), nullptr);
    EXPECT_EQ(moduleState(), nullptr);
    ASSERT_NE(screen(), nullptr);
    EXPECT_TRUE(screen()->isVisible());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

namespace {

// Runs a function each time a window of that name is shown.
class ShowWatch : public QObject {
public:
    ShowWatch(QString name, std::function<void()> fn) : m_name(std::move(name)), m_fn(std::move(fn))
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* obj, QEvent* event) override
    {
        if (event->type() == QEvent::Show && obj->isWidgetType() && obj->objectName() == m_name)
            m_fn();
        return false;
    }

private:
    QString m_name;
    std::function<void()> m_fn;
};

} // namespace

// A touch that lands while a tick yields after its command opens its screen
// once the tick has ended, not inside it.
TEST_F(Technician, ATouchDuringATicksYieldOpensItsScreenAfterTheTick)
{
    configure(5, 4);
    startPolling();
    wTechnician* t = showTechnician();
    select(t, 5);
    // Whether a tick ran when the screen was shown (its answer may come
    // during a later tick: polling goes on under it).
    std::optional<bool> openedInTick;
    ShowWatch shows(FormNames::wTechEtatModule, [&] { openedInTick = engine()->engine().InTick(); });
    answers->on(FormNames::wTechEtatModule,
                [&](plat::Form* f) { qobject_cast<wTechEtatModule*>(f)->imgClose_Click(); });
    bool touched = false;
    QTimer finger;
    finger.setInterval(0);
    QObject::connect(&finger, &QTimer::timeout, [&] {
        if (!touched && engine()->engine().InTick()) {
            touched = true;
            QTest::mouseClick(t->cmdPanelState, Qt::LeftButton);
        }
    });
    finger.start();
    engine()->SendCommand(TechCommand::Write(*engine(), 5, Bus::RegLedTest, 1));
    ticks(1);
    finger.stop();
    ASSERT_TRUE(touched);
    EXPECT_EQ(moduleState(), nullptr) << "not inside the tick";
    settle();
    ASSERT_TRUE(openedInTick.has_value());
    EXPECT_FALSE(*openedInTick);
    EXPECT_TRUE(answers->allAnswered());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
