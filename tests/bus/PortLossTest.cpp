// The polling engine when its port's device goes away (an adapter pulled) and
// comes back, and when the automatic start finds no port yet: nothing waits
// for an answer, no module or queued command is charged, the watchdog tries
// the port again every ten seconds and polling comes back by itself, also
// when another screen opened the port first.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"
#include "program/bus/EngineTimers.h"
#include "program/core/Config.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"

#include "tests/harness/TestSupport.h"

#include "platform/RtError.h"

#include <QFile>

using namespace pollingtest;

namespace {

class PortLoss : public PollingFixture {
protected:
    void SetUp() override
    {
        PollingFixture::SetUp();
        timers = std::make_unique<EngineTimers>(*engine);
    }
    void TearDown() override
    {
        timers.reset();
        PollingFixture::TearDown();
    }

    // The engine's own lines of that word ("LOST", "REINIT").
    int linesOf(const QString& word) const
    {
        return int(log->lines.filter(QStringLiteral("SYSTEM  COMM   ") + word).size());
    }
    std::vector<int> stationCodes() const
    {
        std::vector<int> codes;
        for (const EventClass& e : eventsOnChannel(EventClass::ChnlStation))
            codes.push_back(e.Aff());
        return codes;
    }
    // Ten seconds pass and the watchdog fires.
    void watchdog()
    {
        clock.advance(10000);
        timers->tmrReactiv_Timer();
    }

    std::unique_ptr<EngineTimers> timers;
};

} // namespace

TEST_F(PortLoss, AVanishedDeviceStopsPollingQuietlyAndPollingResumesOnceItIsBack)
{
    enum class During { Poll, Command, BufferRead };
    for (During during : {During::Poll, During::Command, During::BufferRead}) {
        SCOPED_TRACE(int(during));
        makeEngine();
        timers = std::make_unique<EngineTimers>(*engine);
        port.setOpenFails(false);
        port.setPortOpen(false);
        reports.clear();
        messages.clear();
        log->lines.clear();
        // A model 1 module reads its count, then its buffer when it has events.
        configure(1, during == During::BufferRead ? 1 : 4);
        loadAndRun();
        ASSERT_TRUE(tick());
        CommandPtr sent;
        CommandPtr waiting;
        if (during == During::Command) {
            sent = writeCommand(1, Bus::RegLedTest, 1);
            waiting = writeCommand(1, Bus::RegHorn, 1);
            engine->SendCommand(sent);
            engine->SendCommand(waiting);
        }
        if (during == During::BufferRead) {
            ASSERT_TRUE(sim.raiseEvent(1, 2, 1, 0));
        }
        // Gone with the second command's frame, or the buffer read after the count's.
        ASSERT_TRUE(port.setFault("vanish", during == During::Poll ? 0 : 1));
        port.setOpenFails(true);
        events.clear();
        for (int i = 0; i < 5; ++i)
            tick();

        EXPECT_TRUE(reports.empty()) << (reports.empty() ? "" : reports[0].name.toStdString());
        EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
        EXPECT_FALSE(engine->Run());
        EXPECT_FALSE(engine->timer().Enabled());
        EXPECT_EQ(stationCodes(), std::vector<int>{5}) << "polling stopped, with its event";
        EXPECT_EQ(linesOf("LOST"), 1);
        EXPECT_EQ(panel(1).ErrCptr(0), 0) << "the module is not to blame";
        if (during == During::Command) {
            // The clean-up ran: the one sent is gone, the other is not charged.
            ASSERT_EQ(engine->commands().Count(), 1);
            EXPECT_EQ(engine->commands().Item(1), waiting);
            EXPECT_EQ(waiting->ErrorCount(), 0);
            EXPECT_FALSE(waiting->Error());
        }

        // Still gone at the next looks: nothing more is said.
        watchdog();
        watchdog();
        EXPECT_FALSE(engine->Run());
        EXPECT_EQ(linesOf("LOST"), 1);
        EXPECT_EQ(linesOf("REINIT"), 2) << "the load's and the first synchronisation's only";

        // Back: the counters start afresh and polling runs again by itself.
        port.setOpenFails(false);
        watchdog();
        EXPECT_TRUE(port.PortOpen());
        EXPECT_EQ(linesOf("REINIT"), 3);
        EXPECT_TRUE(engine->Run());
        EXPECT_TRUE(engine->timer().Enabled());
        EXPECT_EQ(stationCodes(), (std::vector<int>{5, 4}));
        EXPECT_EQ(synchroPasses(), 1) << "the first start's synchronisation is not run again";
        takePolledAddresses();
        for (int i = 0; i < 3; ++i)
            tick();
        EXPECT_FALSE(takePolledAddresses().empty());
        EXPECT_EQ(engine->commands().Count(), 0);
        if (during == During::Command) {
            EXPECT_EQ(sim.module(1)->writtenValue(Bus::RegHorn), 1) << "the waiting command went out";
        }
        if (during == During::BufferRead) {
            EXPECT_EQ(eventsOnChannel(2).size(), 1u) << "the buffer is read again";
        }
        EXPECT_TRUE(reports.empty());
        EXPECT_TRUE(messages.isEmpty());
        engine.reset();
    }
}

TEST_F(PortLoss, AnAutomaticStartWithoutItsPortSaysSoWithoutWaitingAndPollsOnceThePortOpens)
{
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    configure(1, 4);
    gConfig->setAutoStart(true);
    port.setOpenFails(true);
    engine->Load();
    EXPECT_TRUE(messages.isEmpty()) << "nothing waits for an answer";
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith("16|"));
    EXPECT_TRUE(notices[0].contains("COM1")) << notices[0].toStdString();
    engine->RunWhenPortOpens();
    EXPECT_FALSE(engine->Run());
    EXPECT_TRUE(engine->RunsWhenPortOpens());
    EXPECT_TRUE(events.empty());

    // Nobody may have seen the message: the trace says so, after the load's REINIT.
    ASSERT_EQ(log->lines.size(), 2);
    EXPECT_EQ(linesOf("REINIT"), 1);
    EXPECT_TRUE(log->lines[1].contains("COMM   LOST   COM1 ")) << log->lines[1].toStdString();
    EXPECT_EQ(log->lines[1].size(), 132);
    watchdog();
    EXPECT_FALSE(engine->Run());
    EXPECT_EQ(linesOf("LOST"), 1) << "told once";
    EXPECT_EQ(linesOf("REINIT"), 1);

    port.setOpenFails(false);
    watchdog();
    EXPECT_TRUE(engine->Run());
    EXPECT_FALSE(engine->RunsWhenPortOpens());
    EXPECT_EQ(synchroPasses(), 1) << "the first start synchronises the bus";
    EXPECT_EQ(linesOf("REINIT"), 3) << "the load's, the reopening's and the synchronisation's";
    takePolledAddresses();
    ASSERT_TRUE(tick());
    EXPECT_EQ(takePolledAddresses(), std::vector<int>{1});
    EXPECT_EQ(notices.size(), 1);
    EXPECT_TRUE(reports.empty());

    // A port closed on purpose, polling stopped, is left alone.
    engine->setRun(false);
    port.setPortOpen(false);
    const int openings = port.openCount();
    watchdog();
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(port.openCount(), openings);
}

TEST_F(PortLoss, APortFoundOpenByTheWatchdogIsTakenBackAsIfItHadReopenedItItself)
{
    enum class Before { Polling, Stopped, AutomaticStart };
    const struct {
        const char* name;
        Before before;
        bool runsAfter;
        int reinitLines;   // the watchdog's, and the first start's synchronisation's
    } cases[] = {
        {"polling ran when the device went away", Before::Polling, true, 1},
        {"polling was stopped when the device went away", Before::Stopped, false, 1},
        {"the automatic start waits for its port", Before::AutomaticStart, true, 2},
    };
    // The texts of the port message.
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        makeEngine();
        timers = std::make_unique<EngineTimers>(*engine);
        port.setFault("none");
        port.setOpenFails(false);
        port.setPortOpen(false);
        log->lines.clear();
        configure(1, 4);
        gConfig->setAutoStart(c.before == Before::AutomaticStart);
        if (c.before == Before::AutomaticStart) {
            port.setOpenFails(true);
            engine->Load();
            engine->RunWhenPortOpens();
        } else {
            loadAndRun();
            if (c.before == Before::Stopped)
                engine->setRun(false);
            ASSERT_TRUE(port.setFault("vanish"));
            port.setOpenFails(true);
            // Gone with the next frame: a poll, or a technician's command.
            if (c.before == Before::Polling)
                tick();
            else
                engine->TraiteCommande(*writeCommand(1, Bus::RegLedTest, 1));
            watchdog();
            ASSERT_EQ(linesOf("LOST"), 1);
        }
        ASSERT_FALSE(engine->Run());
        // Back, and opened by another screen before the watchdog's next look.
        port.setOpenFails(false);
        port.setPortOpen(false);
        port.setPortOpen(true);
        panel(1).setErrCptr(0, 7);
        const int reinits = linesOf("REINIT");
        watchdog();
        EXPECT_EQ(linesOf("REINIT"), reinits + c.reinitLines);
        EXPECT_EQ(panel(1).ErrCptr(0), 0) << "the counters start afresh";
        EXPECT_EQ(engine->Run(), c.runsAfter);
        EXPECT_FALSE(engine->RunsWhenPortOpens());
        // Once taken back, the next look finds nothing to do.
        watchdog();
        EXPECT_EQ(linesOf("REINIT"), reinits + c.reinitLines);
        EXPECT_TRUE(reports.empty()) << (reports.empty() ? "" : reports[0].name.toStdString());
        engine.reset();
    }
}

TEST_F(PortLoss, AnOperatorStopWhilePollingWaitsForThePortKeepsItStopped)
{
    configure(1, 4);
    loadAndRun();
    ASSERT_TRUE(port.setFault("vanish"));
    port.setOpenFails(true);
    tick();
    ASSERT_TRUE(engine->RunsWhenPortOpens());
    engine->setRun(false);
    EXPECT_FALSE(engine->RunsWhenPortOpens());
    // A lost device is tried again all the same, until it is back.
    watchdog();
    EXPECT_FALSE(port.PortOpen());
    port.setOpenFails(false);
    watchdog();
    EXPECT_TRUE(port.PortOpen());
    EXPECT_FALSE(engine->Run());
}

// The program stopped (the task manager) while the load's port message waits:
// the load ends there, nothing is written after the stop's lines and the
// commands saved by the previous run stay saved.
TEST_F(PortLoss, AnEngineUnloadedWhileItsPortMessageWaitsWritesNothingMore)
{
    VEXfonctions::SetIni(IniKeys::PendingCommands, "1", "2|5|0043|02/05/2024 09:00:00|0002");
    port.setOpenFails(true);
    int linesAtUnload = -1;
    engine->seams().message = [&](const QString&, int) {
        engine->QueryUnload(plat::vbAppTaskManager);
        engine->Unload();
        linesAtUnload = int(log->lines.size());
        return 1;
    };
    engine->Load();
    ASSERT_EQ(linesAtUnload, 1);
    EXPECT_EQ(log->lines.size(), 1);
    EXPECT_TRUE(log->lines.back().contains("TASK  MANAGER"));
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::PendingCommands, "1", QString()), "2|5|0043|02/05/2024 09:00:00|0002");
    EXPECT_FALSE(engine->UserSleep());
}
