// The engine's event path with recording doubles in every seam: numbering,
// the order of the dispatch, the horn decision, presence changes and the
// per-module error count.

#include "program/bus/EventDispatcher.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Guard.h"
#include "program/bus/ConfigAccess.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

using testing_support::Journal;

// A history and a printer that fail.
class FailingHistory : public Dispatch::History {
public:
    void HistoEvent(const EventClass&) override { plat::raise(plat::rt::PathNotFound); }
};
class FailingPrinter : public Dispatch::Printer {
public:
    void PrintEvent(const EventClass&) override { plat::raise(plat::rt::DeviceUnavailable); }
};

// A history that fails with the error it is given, or works.
class SwitchableHistory : public Dispatch::History {
public:
    void HistoEvent(const EventClass&) override
    {
        if (failWith)
            plat::raise(failWith);
        ++written;
    }
    int failWith = 0;
    int written = 0;
};

class Dispatcher : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        ConfigAccess::panel(5).setModel(1);
        ConfigAccess::panel(9).setModel(2);
        logPath = testing_support::programFolder() + "/trace.log";
        gTraceLog().OpenFile(logPath, VexLib22::eLogModeFileAppend);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors << name + ":" + QString::number(e.number());
        });
        rules.display = rules.histo = rules.print = rules.klaxon = true;
        wire(dispatcher);
    }

    void wire(EventDispatcher& d)
    {
        doubles.wire(d);
        d.setNow([this] { return now; });
        QObject::connect(&d, &EventDispatcher::BusEvent,
                         [this](const EventClass& ev) { journal.add("busevent " + QString::number(ev.Num())); });
    }

    EventClass event(int panel, int chnl, int param, int aff)
    {
        EventClass ev;
        ev.setPanel(qint16(panel));
        ev.setChnl(qint16(chnl));
        ev.setParam(qint16(param));
        ev.setAff(qint16(aff));
        return ev;
    }

    testing_support::RecordingSeams doubles;
    Journal& journal = doubles.journal;
    testing_support::RecordingRules& rules = doubles.rules;
    testing_support::RecordingHorn& horn = doubles.horn;
    testing_support::RecordingHistory& history = doubles.history;
    testing_support::RecordingMirrors& mirrors = doubles.mirrors;
    EventDispatcher dispatcher;
    plat::DateTime now = plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(14, 3, 5));
    QString logPath;
    QStringList errors;
};

TEST_F(Dispatcher, ChannelEventRunsEveryStepInOrder)
{
    ConfigAccess::channel(5, 7).setAlmPrio(40);
    int stateAtHorn = -1;
    struct StateHorn : Dispatch::Horn {
        Journal* journal;
        int* state;
        void Alarme(int level) override
        {
            *state = ConfigAccess::channel(5, 7).State();
            journal->add("horn " + QString::number(level));
        }
    } stateHorn;
    stateHorn.journal = &journal;
    stateHorn.state = &stateAtHorn;
    dispatcher.setHorn(&stateHorn);

    EventClass ev = event(5, 7, 0, 1);
    dispatcher.SendEvent(ev);

    EXPECT_EQ(stateAtHorn, 1);  // the state is set before anything else
    EXPECT_EQ(journal.entries(), QStringList({"horn 40", "display", "history 1", "printer 1", "busevent 1",
                                              "trace 1", "mirrors 1"}));
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList{"line 1"});
    EXPECT_EQ(ev.Num(), 1);
    EXPECT_EQ(ev.GDH(), now);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Dispatcher, RulesThatSayNoSkipTheirStepsButNotTheTraceOrMirrors)
{
    rules.display = rules.histo = rules.print = rules.klaxon = false;
    EventClass ev = event(5, 7, 0, 1);
    dispatcher.SendEvent(ev);
    EXPECT_EQ(journal.entries(), QStringList({"busevent 1", "trace 1", "mirrors 1"}));
}

TEST_F(Dispatcher, ModuleWideEventOfAModel2ModuleRewritesItsOwnStatesFirst)
{
    EventClass ev = event(9, 0, 0, 2);
    dispatcher.SendEvent(ev);
    EXPECT_EQ(journal.entries().mid(journal.entries().size() - 3),
              QStringList({"trace 1", "r2r2 1", "mirrors 1"}));
    journal.clear();
    EventClass other = event(5, 0, 0, 2);  // model 1: no rewrite
    dispatcher.SendEvent(other);
    EXPECT_EQ(journal.entries().last(), "mirrors 2");
    EXPECT_FALSE(journal.entries().contains("r2r2 2"));
}

TEST_F(Dispatcher, StationAndPresenceEventsAreNotMirrored)
{
    EventClass station = event(0, 254, 0, 1);
    EventClass presence = event(5, 255, 1, 1);
    dispatcher.SendEvent(station);
    dispatcher.SendEvent(presence);
    EXPECT_TRUE(mirrors.mirrored.empty());
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList({"line 1", "line 2"}));
}

TEST_F(Dispatcher, OutOfServiceChannelStopsAfterItsState)
{
    ConfigAccess::channel(5, 7).setOutOfOrder(true);
    EventClass ev = event(5, 7, 0, 2);
    dispatcher.SendEvent(ev);
    EXPECT_EQ(ConfigAccess::channel(5, 7).State(), 2);
    EXPECT_TRUE(journal.entries().isEmpty());
    EXPECT_TRUE(testing_support::fileLines(logPath).isEmpty());
    EXPECT_EQ(dispatcher.LastEvent(), 1);  // numbered all the same
}

TEST_F(Dispatcher, FailingStepIsReportedAndTheOthersStillRun)
{
    FailingHistory failingHistory;
    FailingPrinter failingPrinter;
    dispatcher.setHistory(&failingHistory);
    dispatcher.setPrinter(&failingPrinter);
    EventClass ev = event(5, 7, 0, 2);
    dispatcher.SendEvent(ev);
    EXPECT_EQ(journal.entries(), QStringList({"horn 99", "display", "busevent 1", "trace 1", "mirrors 1"}));
    EXPECT_EQ(errors, QStringList({"wPolling.TraiteEvent:76", "wPolling.TraiteEvent:68"}));
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList{"line 1"});
}

// 62 events of one buffer read with the history folder gone: one report, not
// one box per event; a new cause is told, and the old one again once the step
// has worked in between.
TEST_F(Dispatcher, StepThatKeepsFailingIsReportedOncePerCauseUntilItWorksAgain)
{
    SwitchableHistory history;
    dispatcher.setHistory(&history);
    dispatcher.setMirrors(nullptr);
    dispatcher.setHorn(nullptr);
    auto send = [&](int n, int panel = 5) {
        for (int i = 0; i < n; ++i) {
            EventClass ev = event(panel, 7, 0, 2);
            dispatcher.SendEvent(ev);
        }
    };
    history.failWith = plat::rt::PathNotFound;
    send(62);
    EXPECT_EQ(errors.join(", "), "wPolling.TraiteKlaxon:91, wPolling.TraiteEvent:76, wPolling.TraiteEvent:91");
    EXPECT_EQ(testing_support::fileLines(logPath).size(), 62) << "every other step still runs";

    errors.clear();
    history.failWith = plat::rt::PermissionDenied;
    send(3);
    EXPECT_EQ(errors.join(", "), "wPolling.TraiteEvent:70");

    errors.clear();
    history.failWith = 0;
    send(1);
    history.failWith = plat::rt::PermissionDenied;
    send(3);
    EXPECT_EQ(errors.join(", "), "wPolling.TraiteEvent:70");
    EXPECT_EQ(history.written, 1);

    // The channel state of a module the configuration does not have, at
    // every event: told once too.
    errors.clear();
    send(5, 70);
    EXPECT_EQ(errors.size(), 1) << errors.join(", ").toStdString();
}

TEST_F(Dispatcher, AMissingSeamFailsItsStepOnlyAndIsReported)
{
    dispatcher.setHistory(nullptr);
    dispatcher.setHorn(nullptr);
    EventClass ev = event(5, 7, 0, 2);
    dispatcher.SendEvent(ev);
    EXPECT_EQ(journal.entries(), QStringList({"display", "printer 1", "busevent 1", "trace 1", "mirrors 1"}));
    EXPECT_EQ(errors, QStringList({"wPolling.TraiteKlaxon:91", "wPolling.TraiteEvent:91"}));
}

TEST_F(Dispatcher, EventNumbersRunToOneBelowAMillionThenStartAgainAtOne)
{
    VEXfonctions::SetIni(IniKeys::General, IniKeys::LastEvent, "999998");
    dispatcher.LoadLastEvent();
    EXPECT_EQ(dispatcher.LastEvent(), 999998);
    std::vector<qint32> numbers;
    for (int i = 0; i < 3; ++i) {
        dispatcher.IncEvtNum();
        numbers.push_back(dispatcher.LastEvent());
        EXPECT_EQ(VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, "?"),
                  QString::number(dispatcher.LastEvent()));
    }
    EXPECT_EQ(numbers, std::vector<qint32>({999999, 1, 2}));
}

TEST_F(Dispatcher, EventNumberSurvivesARestart)
{
    dispatcher.LoadLastEvent();  // no INI file yet
    EXPECT_EQ(dispatcher.LastEvent(), 0);
    for (int i = 0; i < 5; ++i) {
        EventClass ev = event(0, 254, 0, 3);
        dispatcher.SendEvent(ev);
        EXPECT_EQ(ev.Num(), i + 1);
    }
    EventDispatcher restarted;
    wire(restarted);
    restarted.LoadLastEvent();
    EXPECT_EQ(restarted.LastEvent(), 5);
    restarted.IncEvtNum();
    EXPECT_EQ(restarted.LastEvent(), 6);
}

TEST_F(Dispatcher, NumberThatTheCounterCannotHaveGivenStartsAgain)
{
    for (const char* stored : {"-5", "1000000", "junk"}) {
        VEXfonctions::SetIni(IniKeys::General, IniKeys::LastEvent, stored);
        dispatcher.LoadLastEvent();
        dispatcher.IncEvtNum();
        EXPECT_EQ(dispatcher.LastEvent(), 1) << stored;
    }
}

TEST_F(Dispatcher, HornLevels)
{
    ConfigAccess::channel(5, 7).setAlmPrio(40);
    struct Case {
        int chnl, param, aff, level;  // 0: no horn call
    } const cases[] = {
        {255, 1, 0, 99}, {255, 1, 1, 0}, {0, 0, 1, -1}, {0, 0, 2, 1}, {0, 0, 3, 1}, {0, 0, 0, 0},
        {7, 0, 1, 40},   {7, 1, 1, 0},   {7, 0, 2, 99}, {7, 1, 2, 99}, {7, 0, 3, 40}, {7, 1, 4, 40},
        {7, 0, 0, 0},    {7, 1, 255, 40}, {254, 0, 3, 0}, {30, 0, 3, 0},
    };
    for (const Case& c : cases) {
        horn.levels.clear();
        dispatcher.TraiteKlaxon(event(5, c.chnl, c.param, c.aff));
        if (c.level == 0)
            EXPECT_TRUE(horn.levels.empty()) << c.chnl << "/" << c.param << "/" << c.aff;
        else
            EXPECT_EQ(horn.levels, std::vector<int>{c.level}) << c.chnl << "/" << c.param << "/" << c.aff;
    }
}

TEST_F(Dispatcher, PresenceChangeIsDispatchedThenRecordedThenSignalled)
{
    PanelClass& panel = ConfigAccess::panel(5);
    panel.setPresent(false);
    bool presentDuringDispatch = true;
    QObject::connect(&dispatcher, &EventDispatcher::BusEvent, [&](const EventClass& ev) {
        presentDuringDispatch = panel.Present();
        EXPECT_EQ(ev.Chnl(), 255);
        EXPECT_EQ(ev.Param(), 1);
        EXPECT_EQ(ev.Aff(), 1);
        EXPECT_EQ(ev.Clock(), 0);
        EXPECT_EQ(ev.GDH(), now);
    });
    std::vector<QString> moves;
    QObject::connect(&dispatcher, &EventDispatcher::PanelMove,
                     [&](bool present, qint16 module, qint32 num, qint32 id) {
                         moves.push_back(QString("%1 %2 %3 %4").arg(present).arg(module).arg(num).arg(id, 8, 16, QChar('0')));
                     });

    dispatcher.TraitePanelMove(5, true);
    dispatcher.TraitePanelMove(5, true);  // no change: no event, no number

    EXPECT_FALSE(presentDuringDispatch);
    EXPECT_TRUE(panel.Present());
    EXPECT_EQ(moves, std::vector<QString>{"1 5 1 05ff0101"});
    EXPECT_EQ(dispatcher.LastEvent(), 1);
}

TEST_F(Dispatcher, ThirdConsecutiveErrorDeclaresTheModuleMissing)
{
    PanelClass& panel = ConfigAccess::panel(5);
    panel.setPresent(true);
    const plat::DateTime before = panel.NextPoll();
    dispatcher.AddError(5);
    dispatcher.AddError(5);
    EXPECT_EQ(panel.ErrCptr(0), 2);
    EXPECT_EQ(panel.ErrCptr(1), 2);
    EXPECT_EQ(panel.NextPoll(), before);  // still due
    EXPECT_TRUE(history.events.empty());

    dispatcher.AddError(5);
    EXPECT_EQ(panel.ErrCptr(0), 3);
    EXPECT_EQ(panel.ErrCptr(1), 0);
    EXPECT_EQ(panel.ErrCptr(2), 1);
    EXPECT_EQ(panel.NextPoll(), now.addSeconds(60));
    EXPECT_FALSE(panel.Present());
    ASSERT_EQ(history.events.size(), 1u);
    EXPECT_EQ(history.events[0].Chnl(), 255);
    EXPECT_EQ(history.events[0].Aff(), 0);
    EXPECT_EQ(horn.levels, std::vector<int>{99});

    // declared again without a good read: no second event, then the long rest
    for (int i = 0; i < 3; ++i)
        dispatcher.AddError(5);
    EXPECT_EQ(panel.ErrCptr(2), 2);
    EXPECT_EQ(panel.NextPoll(), now.addSeconds(60));
    for (int i = 0; i < 3; ++i)
        dispatcher.AddError(5);
    EXPECT_EQ(panel.ErrCptr(2), 3);
    EXPECT_EQ(panel.NextPoll(), now.addSeconds(600));
    EXPECT_EQ(history.events.size(), 1u);
    EXPECT_EQ(dispatcher.LastEvent(), 1);
}

// A configured module that is dead from power-on was never present: its first
// missing declaration of the run announces it all the same, once.
TEST_F(Dispatcher, AModuleNeverPresentIsAnnouncedAtItsFirstMissingDeclaration)
{
    PanelClass& panel = ConfigAccess::panel(5);
    ASSERT_FALSE(panel.Present());
    std::vector<bool> moves;
    QObject::connect(&dispatcher, &EventDispatcher::PanelMove,
                     [&](bool present, qint16 module, qint32, qint32) {
                         EXPECT_EQ(module, 5);
                         moves.push_back(present);
                     });
    for (int i = 0; i < 3; ++i)
        dispatcher.AddError(5);
    ASSERT_EQ(history.events.size(), 1u);
    EXPECT_EQ(history.events[0].Chnl(), 255);
    EXPECT_EQ(history.events[0].Param(), 1);
    EXPECT_EQ(history.events[0].Aff(), 0);
    EXPECT_EQ(horn.levels, std::vector<int>{99});
    EXPECT_FALSE(panel.Present());
    EXPECT_EQ(moves, std::vector<bool>{false});

    // Declared again without a good read: told once is enough.
    for (int i = 0; i < 6; ++i)
        dispatcher.AddError(5);
    EXPECT_EQ(history.events.size(), 1u);

    // Back, then gone again: the usual pair of events.
    dispatcher.TraitePanelMove(5, true);
    for (int i = 0; i < 3; ++i)
        dispatcher.AddError(5);
    ASSERT_EQ(history.events.size(), 3u);
    EXPECT_EQ(history.events[1].Aff(), 1);
    EXPECT_EQ(history.events[2].Aff(), 0);
    EXPECT_EQ(moves, (std::vector<bool>{false, true, false}));
}

TEST_F(Dispatcher, ErrorCountersWrapAt32000)
{
    PanelClass& panel = ConfigAccess::panel(5);
    panel.setErrCptr(0, 31999);
    dispatcher.AddError(5);
    EXPECT_EQ(panel.ErrCptr(0), 0);
    EXPECT_EQ(panel.ErrCptr(1), 1);
}

} // namespace
