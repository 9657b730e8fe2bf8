// The engine's day change on an injected clock (housekeeping, midnight
// synchronisation, the counter reset of every module, queued or sent at
// once), the re-announcement delays and the alarm rows as the watchdog reads
// them.

#include "program/bus/BusConstants.h"
#include "program/bus/EngineTimers.h"
#include "tests/bus/PollingFixture.h"

#include "platform/RtError.h"

namespace {

using pollingtest::PollingFixture;

// A line whose every frame fails on the way out.
class FailingPort : public pollingtest::SharedPort {
public:
    using SharedPort::SharedPort;
    void Output(const QByteArray&) override
    {
        ++outputs;
        throw plat::RtError(8005, QStringLiteral("Port failed"));
    }
    int outputs = 0;
};

class Midnight : public PollingFixture {
protected:
    void SetUp() override
    {
        PollingFixture::SetUp();
        configure(1, 1);
        engine->seams().doMidnightActions = [this] { journal << "housekeeping"; };
        // The midnight pass shows as the day records it writes to the history.
        doubles.history.onRecord = [this](const EventClass& ev) {
            if (ev.Chnl() == EventClass::ChnlStation && ev.Aff() == 6 && ev.Panel() == 1)
                journal << "synchro";
        };
        timers = std::make_unique<EngineTimers>(*engine);
    }
    void TearDown() override
    {
        timers.reset();
        PollingFixture::TearDown();
    }

    // The engine's clock starts at that time of 1 May 2024 and moves with
    // the virtual clock.
    void startAt(QTime time)
    {
        const plat::DateTime start = plat::DateTime::fromDate(QDate(2024, 5, 1), time);
        const qint64 origin = clock.nowMs();
        engine->setNow([this, start, origin] { return start.addSeconds(double(clock.nowMs() - origin) / 1000.0); });
    }
    // The timer fires once a second, for that many seconds.
    void fireFor(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            timers->tmrMidnight_Timer();
            clock.advance(1000);
        }
    }
    // Broadcast writes of register 289 that reached the modules.
    int counterResets() const
    {
        int n = 0;
        for (const modsim::WriteRecord& w : sim.writeLog())
            n += w.address == 0 && w.reg == Bus::RegCounterReset && w.values == std::vector<std::uint16_t>{0};
        return n;
    }

    std::unique_ptr<EngineTimers> timers;
    QStringList journal;
};

TEST_F(Midnight, AProgramStartedJustBeforeMidnightRunsTheDayChangeOnceAtTheNewDaysFirstFiring)
{
    engine->Load();
    startAt(QTime(23, 59, 58));
    fireFor(2);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(counterResets(), 0);
    fireFor(1);  // 00:00:00
    EXPECT_EQ(journal, QStringList{"housekeeping"}) << "no synchronisation while polling is stopped";
    EXPECT_EQ(counterResets(), 1) << "sent at once, polling being stopped";
    fireFor(5);
    EXPECT_EQ(journal, QStringList{"housekeeping"});
    EXPECT_EQ(counterResets(), 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Midnight, AProgramStartedAfterMidnightWaitsForTheNextDayChange)
{
    engine->Load();
    startAt(QTime(0, 0, 30));
    fireFor(120);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(counterResets(), 0);
}

TEST_F(Midnight, WhilePollingRunsTheResetIsQueuedAfterTheSynchronisation)
{
    loadAndRun();
    startAt(QTime(23, 59, 59));
    fireFor(2);
    EXPECT_EQ(journal, (QStringList{"housekeeping", "synchro"}));
    EXPECT_EQ(counterResets(), 0) << "queued, not sent";
    ASSERT_EQ(engine->commands().Count(), 1);
    const CommandPtr reset = engine->commands().Item(1);
    EXPECT_EQ(reset->Module(), 0);
    EXPECT_EQ(reset->CmdType(), CommandClass::CmdWrite);
    EXPECT_EQ(reset->Address(), Bus::RegCounterReset);
    EXPECT_EQ(reset->Values(), QVector<qint16>{0});
    EXPECT_EQ(reset->SendTime().date(), QDate(2024, 5, 2));
    tick();
    EXPECT_EQ(counterResets(), 1) << "the next tick sends it";
}

TEST_F(Midnight, ABroadcastThatFailsIsTriedFourTimesAndAClosedPortNotAtAll)
{
    engine->Load();
    FailingPort failing(port);
    engine->setPort(&failing);
    startAt(QTime(23, 59, 59));
    fireFor(2);
    EXPECT_EQ(failing.outputs, EngineTimers::BroadcastAttempts);
    EXPECT_EQ(journal, QStringList{"housekeeping"});

    // The next day, with the port closed: nothing can go out, nothing is said.
    reports.clear();
    failing.outputs = 0;
    port.setPortOpen(false);
    fireFor(24 * 3600);
    EXPECT_EQ(journal, (QStringList{"housekeeping", "housekeeping"}));
    EXPECT_EQ(failing.outputs, 0);
    EXPECT_TRUE(reports.empty());
}

// A time server steps the clock back during the housekeeping: the broadcast's
// time is then still to come and no attempt counts.
TEST_F(Midnight, ABroadcastWhoseTimeTheClockWasSetBackBeforeIsGivenUpAfterFourCalls)
{
    engine->Load();
    const plat::DateTime start = plat::DateTime::fromDate(QDate(2024, 5, 1), QTime(23, 59, 59));
    const qint64 origin = clock.nowMs();
    double back = 0;
    int reads = 0;
    engine->setNow([&] {
        // Without the count the loop would spin until the clock caught up.
        if (++reads > 1000)
            back = 0;
        return start.addSeconds(double(clock.nowMs() - origin) / 1000.0 - back);
    });
    engine->seams().doMidnightActions = [&] {
        journal << "housekeeping";
        back = 2;
    };
    fireFor(2);
    EXPECT_EQ(journal, QStringList{"housekeeping"});
    EXPECT_LT(reads, 1000) << "the loop waited for the clock";
    EXPECT_EQ(counterResets(), 0) << "given up, not sent once the clock caught up";
    EXPECT_TRUE(reports.empty());
}

TEST_F(Midnight, AFailingHousekeepingCostsNeitherTheResetNorTheNextSecond)
{
    engine->Load();
    engine->seams().doMidnightActions = [this] {
        journal << "housekeeping";
        plat::raise(plat::rt::PathNotFound);
    };
    startAt(QTime(23, 59, 59));
    fireFor(4);
    EXPECT_EQ(journal, QStringList{"housekeeping"}) << "run once, not again a second later";
    EXPECT_EQ(counterResets(), 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "wPolling.tmrMidnight_Timer");
}

TEST(EngineTimers, ReannouncementDelaysByCode)
{
    const std::pair<int, std::optional<int>> cases[] = {
        {-1, std::nullopt}, {0, std::nullopt}, {1, 60},          {2, 300},        {3, 600},
        {4, 1800},          {5, 3600},         {6, 12 * 3600},   {7, 24 * 3600},  {8, 36 * 3600},
        {9, 36 * 3600},     {1000, 36 * 3600},
    };
    for (const auto& [code, seconds] : cases)
        EXPECT_EQ(EngineTimers::ReactivDelaySeconds(code), seconds) << code;
}

TEST(EngineTimers, AlarmRowsAreReadFromTheListAndFromTheSavedValues)
{
    const auto listed = EngineTimers::ListedRowAlarm("     42 02/05/2024 10:00:00 M03-C05 Fire", 0x03050101);
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->id, 0x03050101);
    EXPECT_EQ(listed->number, 42);
    EXPECT_EQ(listed->time, plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0)));
    EXPECT_FALSE(EngineTimers::ListedRowAlarm("42 02/05/2024", 1));
    EXPECT_FALSE(EngineTimers::ListedRowAlarm("x 02/05/2024 10:00:00", 1));

    // A saved value may hold several blanks between its words.
    const auto saved = EngineTimers::SavedRowAlarm("  03050101     42   02/05/2024    10:00:00 M03-C05  ");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->id, 0x03050101);
    EXPECT_EQ(saved->number, 42);
    EXPECT_EQ(saved->time, plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0)));
    for (const char* damaged : {"03050101 42 02/05/2024", "XX050101 42 02/05/2024 10:00:00", "03050101 x 02/05/2024 10:00:00",
                                "03050101 42 32/05/2024 10:00:00"})
        EXPECT_FALSE(EngineTimers::SavedRowAlarm(damaged)) << damaged;
}

} // namespace
