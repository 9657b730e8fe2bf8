// The polling engine on virtual time against the in-process simulator: the
// round robin, the reads of each model, error counting and presence, the run
// state, the tick's failures, the command queue across a restart, the load
// and the engine's own trace lines.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"
#include "program/bus/PendingCommands.h"
#include "program/core/Config.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"

#include "Stillmark/_ActivityDetect.h"
#include "platform/RtError.h"

#include <QFile>

using namespace pollingtest;

namespace {

std::vector<int> range(int from, int to)
{
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        v.push_back(i);
    return v;
}

} // namespace

using PollingRound = PollingFixture;

TEST_F(PollingRound, PollsEveryModuleOnceInOrderRoundAfterRound)
{
    // Configured once polling runs: no synchronisation has seen them.
    loadAndRun();
    for (int m = 1; m <= 64; ++m)
        configure(m, (m - 1) % 5 + 1);
    takePolledAddresses();
    for (int round = 1; round <= 3; ++round) {
        const int before = pollDones;
        int ticks = 0;
        while (pollDones == before && ticks < 200 && tick())
            ++ticks;
        EXPECT_EQ(ticks, 64) << "round " << round;
        EXPECT_EQ(takePolledAddresses(), range(1, 64)) << "round " << round;
    }
    // Every module answered: each appeared once, at its first read, in order.
    const auto appeared = eventsOnChannel(EventClass::ChnlPresence);
    ASSERT_EQ(appeared.size(), 64u);
    for (int m = 1; m <= 64; ++m)
        EXPECT_EQ(appeared[m - 1].Panel(), m);
}

TEST_F(PollingRound, ModuleOneComesRightAfterModuleSixtyFour)
{
    configure(1, 4);
    configure(64, 4);
    loadAndRun();
    takePolledAddresses();
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(takePolledAddresses(), (std::vector<int>{1, 64, 1, 64, 1, 64}));
}

TEST_F(PollingRound, NothingDueReadsNothingAndRaisesNoPollDone)
{
    configure(64, 4);
    loadAndRun();
    panel(64).setNextPoll(now().addSeconds(600));
    takePolledAddresses();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(tick());
        EXPECT_TRUE(takePolledAddresses().empty());
    }
    EXPECT_EQ(pollDones, 0);
    EXPECT_EQ(engine->RoundRobinPosition(), 0);
}

TEST_F(PollingRound, BufferModuleEventsAreReadAcknowledgedAndDecodedInOrder)
{
    configure(1, 1);
    loadAndRun();
    sim.clearWriteLog();  // the first synchronisation's
    for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(sim.raiseEvent(1, i % 12 + 1, 1, 0, std::uint32_t(i)));

    tick();
    std::vector<EventClass> got;
    for (const EventClass& e : events)
        if (e.Chnl() >= 1 && e.Chnl() <= 12)
            got.push_back(e);
    ASSERT_EQ(got.size(), 62u);
    for (int i = 0; i < 62; ++i) {
        EXPECT_EQ(got[i].Panel(), 1);
        EXPECT_EQ(got[i].Chnl(), i % 12 + 1);
        EXPECT_EQ(got[i].Aff(), 1);
        EXPECT_EQ(got[i].Clock(), i);
        if (i > 0) {
            EXPECT_EQ(got[i].Num(), got[i - 1].Num() + 1);
        }
    }
    ASSERT_EQ(engine->commands().Count(), 1);
    const CommandPtr ack = engine->commands().Item(1);
    EXPECT_EQ(ack->Module(), 1);
    EXPECT_EQ(ack->CmdType(), CommandClass::CmdWrite);
    EXPECT_EQ(ack->Address(), Bus::RegEventAck);
    EXPECT_EQ(ack->Value(0), 62);
    EXPECT_EQ(sim.module(1)->pendingEvents(), 70);

    // The next tick sends the acknowledgement first, then reads the rest.
    events.clear();
    tick();
    const auto writes = sim.writesTo(1);
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.front().reg, Bus::RegEventAck);
    EXPECT_EQ(writes.front().values, (std::vector<std::uint16_t>{62}));
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events.front().Clock(), 62);
    EXPECT_EQ(engine->commands().Item(1)->Value(0), 8);
    tick();
    EXPECT_EQ(sim.module(1)->pendingEvents(), 0);
}

// The module drops the entries when it hears the acknowledgement, whether or
// not its reply comes back: a repeat would drop newer entries unread. The
// next read of the buffer decides; at worst an entry comes twice.
TEST_F(PollingRound, BufferAcknowledgementWhoseReplyIsLostIsNeverSentAgain)
{
    configure(1, 1);
    loadAndRun();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(sim.raiseEvent(1, 2, 1, 0, std::uint32_t(i)));
    tick();
    ASSERT_EQ(engine->commands().Count(), 1);

    // The module acts on the acknowledgement; its reply is lost.
    ASSERT_TRUE(sim.setFault(1, QStringLiteral("silent")));
    tick();
    EXPECT_EQ(sim.module(1)->pendingEvents(), 0);
    EXPECT_EQ(engine->commands().Count(), 0) << "given up at once";
    ASSERT_EQ(writeErrors.size(), 1u);
    EXPECT_EQ(writeErrors[0].Address(), Bus::RegEventAck);

    ASSERT_TRUE(sim.setFault(1, QStringLiteral("none")));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(sim.raiseEvent(1, 4, 1, 0, std::uint32_t(10 + i)));
    events.clear();
    tick();
    EXPECT_EQ(eventsOnChannel(4).size(), 2u) << "the newer entries are read";
    int acks = 0;
    for (const auto& w : sim.writesTo(1))
        acks += w.reg == Bus::RegEventAck;
    EXPECT_EQ(acks, 1) << "the lost one was not repeated; the new one waits for the next tick";
}

TEST_F(PollingRound, StatusWordGivesItsEventAtEveryPollWhileNonZero)
{
    configure(2, 2);
    loadAndRun();
    tick();
    EXPECT_TRUE(eventsOnChannel(0).empty());
    sim.setStatusWord(2, 0x8000);
    tick();
    tick();
    auto moduleWide = eventsOnChannel(0);
    ASSERT_EQ(moduleWide.size(), 2u);
    for (const EventClass& e : moduleWide) {
        EXPECT_EQ(e.Panel(), 2);
        EXPECT_EQ(e.Param(), 0);
        EXPECT_EQ(e.Aff(), 2);
        EXPECT_EQ(e.Clock(), 0);
    }
    EXPECT_EQ(engine->commands().Count(), 0) << "no acknowledgement for a status word";
    sim.setStatusWord(2, 0);
    tick();
    EXPECT_EQ(eventsOnChannel(0).size(), 2u);
}

TEST_F(PollingRound, StateModulesGiveAnEventForEachChangedChannelOnly)
{
    configure(4, 4);
    configure(5, 5);
    loadAndRun();
    tick();
    tick();
    events.clear();
    sim.setChannelState(4, 3, 3);
    sim.setChannelState(5, 12, 4);
    tick();
    tick();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Panel(), 4);
    EXPECT_EQ(events[0].Chnl(), 3);
    EXPECT_EQ(events[0].Aff(), 3);
    EXPECT_EQ(events[1].Panel(), 5);
    EXPECT_EQ(events[1].Chnl(), 12);
    EXPECT_EQ(events[1].Aff(), 4);
    EXPECT_EQ(panel(4).Channel(3)->State(), 3);
    tick();
    tick();
    EXPECT_EQ(events.size(), 2u) << "unchanged states make no event";
    sim.setChannelState(4, 3, 0);
    tick();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].Chnl(), 3);
    EXPECT_EQ(events[2].Aff(), 0);
}

// ---- Error counting and presence -------------------------------------------

namespace {

struct Step {
    bool ok;
    int e0, e1, e2;
    int restSeconds;  // 0: due again at once; 60 or 600: rested
    int presence;     // +1 appeared, -1 disappeared, 0 no event
};

} // namespace

TEST_F(PollingFixture, ErrorCountersPresenceAndRestsFollowTheRepliesTable)
{
    const Step steps[] = {
        {true, 0, 0, 0, 0, +1},   // first good read: the module appears
        {false, 1, 1, 0, 0, 0},
        {false, 2, 2, 0, 0, 0},
        {true, 2, 1, 0, 0, 0},    // a good read takes one consecutive error back
        {false, 3, 2, 0, 0, 0},
        {false, 4, 0, 1, 60, -1}, // third in a row: missing, rests a minute
        {false, 5, 1, 1, 0, 0},
        {false, 6, 2, 1, 0, 0},
        {false, 7, 0, 2, 60, 0},  // declared again, no second event
        {false, 8, 1, 2, 0, 0},
        {false, 9, 2, 2, 0, 0},
        {false, 10, 0, 3, 600, 0}, // third declaration: rests ten minutes
        {true, 10, 0, 0, 0, +1},  // back: appears at its first good read
        {false, 11, 1, 0, 0, 0},
        {true, 11, 0, 0, 0, 0},
    };
    // Configured once polling runs: no synchronisation has seen it.
    loadAndRun();
    configure(1, 4);
    int n = 0;
    bool present = false;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << n++);
        // Wait out a rest.
        const double wait = plat::DateTime::daysBetween(now(), panel(1).NextPoll()) * 86400.0;
        if (wait >= 0)
            clock.advance(qint64(wait * 1000) + 1000);
        if (!s.ok)
            sim.setFault(1, QStringLiteral("fail-next"), 1);
        events.clear();
        takePolledAddresses();
        ASSERT_TRUE(tick());
        ASSERT_EQ(takePolledAddresses(), std::vector<int>{1});
        EXPECT_EQ(panel(1).ErrCptr(0), s.e0);
        EXPECT_EQ(panel(1).ErrCptr(1), s.e1);
        EXPECT_EQ(panel(1).ErrCptr(2), s.e2);
        const double rest = plat::DateTime::daysBetween(now(), panel(1).NextPoll()) * 86400.0;
        if (s.restSeconds == 0)
            EXPECT_LT(rest, 0.0);
        else
            EXPECT_NEAR(rest, s.restSeconds, 0.01);
        const auto moves = eventsOnChannel(EventClass::ChnlPresence);
        if (s.presence == 0) {
            EXPECT_TRUE(moves.empty());
        } else {
            ASSERT_EQ(moves.size(), 1u);
            EXPECT_EQ(moves[0].Aff(), s.presence > 0 ? 1 : 0);
        }
        if (s.presence != 0)
            present = s.presence > 0;
        EXPECT_EQ(panel(1).Present(), present);
    }
}

TEST_F(PollingFixture, AModuleAnsweringLateIsChargedItselfAndNeverItsNeighbour)
{
    // Configured once polling runs: no synchronisation has seen them.
    loadAndRun();
    for (int m : {6, 7, 8})
        configure(m, 1);
    // Module 7, switched off, is given up first: from then on module 8 is
    // read right after module 6, whose reply comes in during that read.
    sim.setPower(7, false);
    const auto runFor = [&](qint64 ms) {
        const qint64 end = clock.nowMs() + ms;
        while (clock.nowMs() < end)
            ASSERT_TRUE(tick());
    };
    runFor(10000);
    ASSERT_EQ(panel(7).ErrCptr(2), 1);
    ASSERT_EQ(panel(8).ErrCptr(0), 0);
    const size_t since = framesSent();
    events.clear();
    sim.setFault(6, QStringLiteral("late"), 1500);
    runFor(5 * 60 * 1000);

    for (const EventClass& ev : eventsOnChannel(EventClass::ChnlPresence))
        EXPECT_NE(ev.Panel(), 8) << "module 8 declared missing";
    EXPECT_EQ(panel(8).ErrCptr(0), 0);
    EXPECT_TRUE(panel(8).Present());
    EXPECT_GT(requestsTo(8, since).count(QStringLiteral("R144")), 100);
    // Every read of module 6 failed and counted: missing three times, then at its long rest.
    EXPECT_EQ(panel(6).ErrCptr(0), requestsTo(6, since).count(QStringLiteral("R144")));
    EXPECT_EQ(panel(6).ErrCptr(2), 3);
    EXPECT_FALSE(panel(6).Present());
    EXPECT_TRUE(reports.empty());
}

// ---- Run ---------------------------------------------------------------------

TEST_F(PollingFixture, RunSetTrueTwiceSynchronisesOnceAndSendsTwoStartEvents)
{
    configure(1, 4);
    engine->Load();
    engine->setRun(true);
    engine->setRun(true);
    EXPECT_EQ(synchroPasses(), 1);
    EXPECT_TRUE(engine->Run());
    EXPECT_TRUE(engine->timer().Enabled());
    EXPECT_EQ(engine->timer().Interval(), 25);
    const auto station = eventsOnChannel(EventClass::ChnlStation);
    ASSERT_EQ(station.size(), 2u);
    for (const EventClass& e : station) {
        EXPECT_EQ(e.Panel(), 0);
        EXPECT_EQ(e.Aff(), 4);
    }
    // Stopping sends the stop event; the next tick ends without re-arming.
    engine->setRun(false);
    EXPECT_EQ(eventsOnChannel(EventClass::ChnlStation).back().Aff(), 5);
    EXPECT_TRUE(tick());
    EXPECT_FALSE(engine->timer().Enabled());
    engine->setRun(true);
    EXPECT_EQ(synchroPasses(), 1);
}

TEST_F(PollingFixture, PortThatDoesNotOpenShowsItsNumberAndChangesNothing)
{
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    gConfig->setBusSettings(QStringLiteral("COM7:19200,N,8,1"));
    port.setOpenFails(true);
    engine->Load();
    ASSERT_EQ(messages.size(), 1) << "the load's port configuration tells once";
    messages.clear();
    events.clear();
    engine->setRun(true);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("16|"));
    EXPECT_TRUE(messages[0].contains("COM7")) << messages[0].toStdString();
    EXPECT_FALSE(messages[0].contains('$'));
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(engine->Run());
    EXPECT_FALSE(engine->timer().Enabled());
    EXPECT_EQ(synchroPasses(), 0);
}

// ---- Faults of the tick --------------------------------------------------------

TEST_F(PollingFixture, ErrorInsideATickStopsPollingTruthfullyAndIsReportedOnce)
{
    configure(1, 4);
    std::vector<bool> indicator;
    QObject::connect(engine.get(), &PollingEngine::RunIndicator, engine.get(),
                     [&](bool running) { indicator.push_back(running); });
    loadAndRun();
    // An error at the yield after a queued command, which nothing in the tick traps.
    engine->SendCommand(writeCommand(1, Bus::RegModuleCommand, 2));
    onYield = [] { plat::raise(plat::rt::InvalidProcedureCall); };
    for (int i = 0; i < 4 && tick(); ++i) {
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "wPolling.RunComm");
    EXPECT_EQ(reports[0].number, plat::rt::InvalidProcedureCall);
    EXPECT_FALSE(engine->Run());
    EXPECT_FALSE(engine->timer().Enabled());
    ASSERT_FALSE(indicator.empty());
    EXPECT_FALSE(indicator.back());
    const auto station = eventsOnChannel(EventClass::ChnlStation);
    ASSERT_EQ(station.size(), 1u);
    EXPECT_EQ(station[0].Aff(), 5);
    EXPECT_FALSE(tick());
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(PollingFixture, NoTickStartsInsideAnotherTicksYield)
{
    configure(1, 4);
    loadAndRun();
    engine->SendCommand(writeCommand(1, Bus::RegLedTest, 1));
    bool nested = false;
    onYield = [&] {
        if (nested)
            return;
        nested = true;
        // Run off and on again re-arms the timer, which then fires at once.
        engine->setRun(false);
        engine->setRun(true);
        EXPECT_TRUE(engine->timer().Enabled());
        engine->tmrPoll_Timer();
        EXPECT_TRUE(engine->InTick());
    };
    takePolledAddresses();
    ASSERT_TRUE(tick());
    EXPECT_TRUE(nested);
    EXPECT_EQ(takePolledAddresses(), std::vector<int>{1}) << "one read: the nested tick did not run";
    EXPECT_EQ(engine->commands().Count(), 0);
    EXPECT_TRUE(engine->timer().Enabled()) << "the running tick re-arms the timer";
    EXPECT_FALSE(engine->InTick());
}

TEST_F(PollingFixture, AConfigurationReplacedDuringATickLivesUntilTheTickEnds)
{
    configure(4, 4);
    loadAndRun();
    engine->SendCommand(writeCommand(4, Bus::RegLedTest, 1));
    std::weak_ptr<ConfigClass> ticking;
    onYield = [&] {
        if (!ticking.expired())
            return;
        // A box shown during the yield opens another configuration.
        ticking = HoldConfig();
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
    };
    bool aliveAfterTheYield = false;
    QObject::connect(engine.get(), &PollingEngine::ErrorRow, engine.get(),
                     [&](int, const QString&) { aliveAfterTheYield = !ticking.expired(); });
    takePolledAddresses();
    ASSERT_TRUE(tick());
    EXPECT_TRUE(aliveAfterTheYield);
    EXPECT_EQ(takePolledAddresses(), std::vector<int>{4}) << "the tick polls from the configuration it began on";
    EXPECT_TRUE(ticking.expired()) << "and lets it go when it ends";
    EXPECT_TRUE(reports.empty());
    // The next tick runs on the new configuration, which has no module.
    ASSERT_TRUE(tick());
    EXPECT_TRUE(takePolledAddresses().empty());
}

TEST_F(PollingFixture, AHornSetToNoneGoesBackToTheInstalledHorn)
{
    testing_support::RecordingHorn installed;
    Dispatch::installed().horn = &installed;
    engine->setHorn(nullptr);
    rules.klaxon = true;
    configure(2, 2);
    configure(1, 1);
    loadAndRun();
    sim.setStatusWord(2, 1);
    ASSERT_TRUE(sim.raiseEvent(1, 0, 1, 0));   // the horn acknowledged at module 1
    for (int i = 0; i < 3; ++i)
        tick();
    engine->QueryUnload(plat::vbFormCode);
    EXPECT_EQ(installed.levels, (std::vector<int>{-1, 1, -1})) << "acknowledgement, module-wide, query-unload";
    EXPECT_TRUE(horn.levels.empty());
    EXPECT_TRUE(reports.empty());
}

// ---- The queue across a restart ------------------------------------------------

TEST_F(PollingFixture, QueuedCommandsSurviveARestartInOrder)
{
    engine->Load();
    auto first = writeCommand(5, Bus::RegModuleCommand, -2);
    first->setSendTime(plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(9, 59, 30)));
    auto second = std::make_shared<CommandClass>();
    second->setCmdType(CommandClass::CmdRead);
    second->setModule(3);
    second->setAddress(Bus::RegChannelState);
    second->setValue(11, 0);
    auto done = writeCommand(7, Bus::RegHorn, 1);
    engine->SendCommand(first);
    engine->SendCommand(done);
    engine->SendCommand(second);
    done->setCmdType(CommandClass::CmdDone);
    // A key that an earlier run left behind.
    VEXfonctions::SetIni(IniKeys::PendingCommands, "9", "2|9|0043|00:00:00|0002");

    engine->Unload();
    QStringList keys;
    ASSERT_EQ(VEXfonctions::GetIniKeys(keys, IniKeys::PendingCommands), 2);
    EXPECT_EQ(keys, (QStringList{"1", "2"}));
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::PendingCommands, "1", ""), "2|5|0043|02/05/2024 09:59:30|FFFE");
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::PendingCommands, "2", ""),
              "1|3|0001|00:00:00|0000|0000|0000|0000|0000|0000|0000|0000|0000|0000|0000|0000");

    makeEngine();
    engine->Load();
    ASSERT_EQ(engine->commands().Count(), 2);
    for (int i = 1; i <= 2; ++i) {
        const CommandClass& want = i == 1 ? *first : *second;
        const CommandPtr got = engine->commands().Item(i);
        EXPECT_TRUE(CommandClasses::equal(*got, want)) << i;
        EXPECT_EQ(got->SendTime(), want.SendTime()) << i;
        EXPECT_EQ(got->ErrorCount(), 0);
    }
    keys.clear();
    EXPECT_EQ(VEXfonctions::GetIniKeys(keys, IniKeys::PendingCommands), 0);
}

// A stop keeps the queue for the next start unless the line in use is not the
// configured one (a port tried from the bus settings): settings that name no
// port tell no line apart, and lose nothing.
TEST_F(PollingFixture, AStopKeepsTheQueueUnlessTheLineIsNotTheConfiguredOne)
{
    const struct {
        const char* configured;
        int kept;
    } cases[] = {
        {"COM1:19200,N,8,1", 1},
        {"COM2:19200,N,8,1", 0},
        {"19200,N,8,1", 1},
        {"", 1},
        {"COMX:19200,N,8,1", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configured);
        makeEngine();
        engine->Load();
        engine->SendCommand(writeCommand(5, Bus::RegHorn, 1));
        // What the configuration names once the engine's line is open on port 1.
        gConfig->setBusSettings(QString::fromLatin1(c.configured));
        engine->Unload();
        QStringList keys;
        EXPECT_EQ(VEXfonctions::GetIniKeys(keys, IniKeys::PendingCommands), c.kept);
        VEXfonctions::DelIniSection(IniKeys::PendingCommands);
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
    }
}

TEST(PendingCommandText, ValuesThatAreNoCommandAreLeftOut)
{
    const char* bad[] = {
        "2|5|0043|00:00:00",          // no value
        "x|5|0043|00:00:00|0001",     // type
        "7|5|0043|00:00:00|0001",     // no such type
        "2|99|0043|00:00:00|0001",    // module
        "2|5|zz|00:00:00|0001",       // address
        "2|5|0043|not a date|0001",   // time
        "2|5|0043|00:00:00|10000",    // value beyond 16 bits
    };
    for (const char* text : bad)
        EXPECT_EQ(PendingCommands::FromText(text), nullptr) << text;
    const CommandPtr c = PendingCommands::FromText("2|0|0121|00:00:00|FFFF|0002");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Module(), 0);
    EXPECT_EQ(c->Address(), 289);
    EXPECT_EQ(c->Values(), (QVector<qint16>{-1, 2}));
}

// ---- Update sweep --------------------------------------------------------------

TEST_F(PollingFixture, UpdateSweepRereadsOneModulePerRoundThenSignalsOnce)
{
    configure(1, 4);
    configure(3, 4);
    configure(64, 4);
    panel(3).setActive(false);
    loadAndRun();
    const size_t before = framesSent();
    engine->StartUpdate();
    std::vector<int> updated;
    for (int i = 0; i < 400 && updateDones == 0; ++i) {
        const size_t at = framesSent();
        ASSERT_TRUE(tick());
        // A re-read starts with the module's type.
        for (int m : {1, 3, 64})
            if (requestsTo(m, at).contains("R132"))
                updated.push_back(m);
    }
    EXPECT_EQ(updated, (std::vector<int>{1, 64}));
    EXPECT_GT(framesSent(), before);
    EXPECT_EQ(updateDones, 1);
    EXPECT_EQ(engine->UpdateIndex(), 0);
    EXPECT_EQ(pollDones, 64);
}

// ---- Load, unload and the engine's lines ---------------------------------------

TEST_F(PollingFixture, LoadReinitialisesTheBusAndWritesTheReinitLine)
{
    configure(1, 4);
    panel(1).setErrCptr(0, 12);
    VEXfonctions::SetIni(IniKeys::General, IniKeys::LastEvent, "999999");
    engine->Load();
    EXPECT_EQ(panel(1).ErrCptr(0), 0);
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.Settings(), "19200,N,8,1");
    ASSERT_EQ(log->lines.size(), 1);
    const QString line = log->lines[0];
    EXPECT_EQ(line.size(), 132);
    EXPECT_EQ(line.left(20), "02/05/2024 10:00:01 ");
    EXPECT_EQ(line.mid(20), QString("REINIT         ******** SYSTEM  COMM   REINIT ") + QString(26, '*') + " "
                                + QString(39, '*'));
    EXPECT_GE(log->flushes, 1);
    // The event counter goes on from the saved number.
    EventClass ev;
    ev.setChnl(EventClass::ChnlStation);
    engine->SendEvent(ev);
    EXPECT_EQ(ev.Num(), 1);
}

TEST_F(PollingFixture, DetectorWindowFollowsTheInactivityTime)
{
    struct Case {
        int minutes;
        int n;
        bool enabled;
    } cases[] = {{0, 10, false}, {1, 10, true}, {5, 50, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        makeEngine();
        engine->seams().newDetector = nullptr;
        gConfig->setInactivityTime(qint16(c.minutes));
        engine->Load();
        ASSERT_TRUE(engine->UserSleep());
        EXPECT_EQ(engine->UserSleep()->SamplingInterval(), 6000);
        EXPECT_EQ(engine->UserSleep()->N(), c.n);
        EXPECT_EQ(engine->UserSleep()->Enabled(), c.enabled);
        engine->Unload();
        EXPECT_FALSE(engine->UserSleep());
    }
}

TEST_F(PollingFixture, ShutdownCausesLeaveTheirTraceLine)
{
    const QString tail = QString(26, '*') + " " + QString(39, '*');
    engine->QueryUnload(plat::vbAppTaskManager);
    engine->QueryUnload(plat::vbAppWindows);
    engine->QueryUnload(plat::vbFormCode);
    engine->QueryUnload(plat::vbFormControlMenu);
    ASSERT_EQ(log->lines.size(), 2);
    EXPECT_EQ(log->lines[0], "02/05/2024 10:00:01 TASK  MANAGER  ******** SYSTEM  APPLI STOP    " + tail);
    EXPECT_EQ(log->lines[0].size(), 132);
    EXPECT_EQ(log->lines[1], "02/05/2024 10:00:01 CLOSE  WINDOWS  ******** SYSTEM  APPLI STOP    " + tail);
    EXPECT_EQ(log->lines[1].size(), 133);
    EXPECT_EQ(log->flushes, 0);
    EXPECT_EQ(horn.levels, (std::vector<int>{-1, -1, -1, -1}));
}
