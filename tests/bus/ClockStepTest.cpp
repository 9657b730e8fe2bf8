// The panel's clock set back: a module resting until a time of the old clock
// and a command deferred on it would stall for as long as the clock went
// back; after the engine is told of the new clock they are due at once,
// while rests that the new clock still reaches keep their end.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"
#include "program/bus/ClockStep.h"
#include "program/bus/CommandClasses.h"

using namespace pollingtest;

namespace {

constexpr int kHourBack = 3600;

class ClockSetBack : public PollingFixture {
protected:
    // The engine's calendar, set back by the test.
    void setBack(int seconds)
    {
        engine->setNow([this, seconds] { return now().addSeconds(-seconds); });
    }
    // Virtual minutes pass, the timer firing once a second.
    void runFor(int seconds)
    {
        for (int s = 0; s < seconds; ++s) {
            clock.advance(1000 - PollingEngine::PollIntervalMs);
            tick();
        }
    }
    std::vector<modsim::WriteRecord> resets() const
    {
        std::vector<modsim::WriteRecord> found;
        for (const modsim::WriteRecord& w : sim.writesTo(1))
            if (w.reg == Bus::RegCounterReset)
                found.push_back(w);
        return found;
    }
    static CommandPtr counterReset(int module)
    {
        auto c = std::make_shared<CommandClass>();
        c->setCmdType(CommandClass::CmdWrite);
        c->setModule(qint16(module));
        c->setAddress(Bus::RegCounterReset);
        c->setValue(0, 0);
        return c;
    }
};

} // namespace

TEST_F(ClockSetBack, APollAndACommandOfTheOldClockAreDueAtOnceOnceTheEngineIsTold)
{
    configure(1, 1);
    loadAndRun();
    runFor(2);
    ASSERT_FALSE(takePolledAddresses().empty());
    // The module rests as a missing one does, and a command waits half a minute.
    panel(1).setNextPoll(engine->now().addSeconds(ClockStep::LongestRestSeconds));
    CommandPtr deferred = counterReset(1);
    deferred->setSendTime(engine->now().addSeconds(30));
    engine->SendCommand(deferred);

    setBack(kHourBack);
    runFor(ClockStep::LongestRestSeconds + 60);
    EXPECT_TRUE(takePolledAddresses().empty()) << "polled on the new clock before its old rest ended";
    EXPECT_TRUE(resets().empty());

    engine->ClockChanged();
    runFor(2);
    EXPECT_FALSE(takePolledAddresses().empty());
    EXPECT_EQ(resets().size(), 1u);
    EXPECT_EQ(engine->commands().Count(), 0);
    EXPECT_TRUE(reports.empty());
}

TEST(ClockStep, OnlyWhatLiesBeyondTheLongestRestIsBroughtBack)
{
    const plat::DateTime now = plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0));
    struct Case {
        int ahead;   // seconds after now
        bool moved;
    } cases[] = {{-30, false}, {0, false}, {60, false}, {600, false}, {601, true}, {86400, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ahead);
        ConfigClass config([](int) { return QString(); });
        CommandClasses queue;
        const plat::DateTime at = now.addSeconds(c.ahead);
        config.Panel(7)->setNextPoll(at);
        auto cmd = std::make_shared<CommandClass>();
        cmd->setCmdType(CommandClass::CmdWrite);
        cmd->setModule(7);
        cmd->setSendTime(at);
        queue.Add(cmd);
        // Every module but 7 is due now and stays so.
        for (int m = 1; m <= 64; ++m)
            if (m != 7)
                config.Panel(qint16(m))->setNextPoll(now);

        EXPECT_EQ(ClockStep::BringBack(config, queue, now), c.moved ? 2 : 0);
        EXPECT_EQ(config.Panel(7)->NextPoll(), c.moved ? now : at);
        EXPECT_EQ(cmd->SendTime(), c.moved ? now : at);
        EXPECT_EQ(config.Panel(8)->NextPoll(), now);
    }
}
