// The sampling timer with real Qt timers of a few tens of milliseconds.

#include "inactivity/CTimer.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

using Stillmark::CTimer;

namespace {

struct TickCounter {
    explicit TickCounter(CTimer& t)
    {
        QObject::connect(&t, &CTimer::Timer, [this] { ++ticks; });
    }
    int ticks = 0;
};

TEST(CTimer, EnabledWithIntervalZeroReadsTrueAndNeverTicks)
{
    CTimer t;
    TickCounter c(t);
    t.setEnabled(true);
    EXPECT_TRUE(t.Enabled());
    EXPECT_FALSE(t.isRunning());
    QTest::qWait(80);
    EXPECT_EQ(c.ticks, 0);

    // Already enabled: a new interval and another true change nothing...
    t.setInterval(20);
    t.setEnabled(true);
    QTest::qWait(80);
    EXPECT_EQ(c.ticks, 0);

    // ...until it is disabled and enabled again.
    t.setEnabled(false);
    t.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.ticks >= 2; }, 2000));
}

TEST(CTimer, ANegativeIntervalRunsNothing)
{
    CTimer t;
    TickCounter c(t);
    t.setInterval(-20);
    t.setEnabled(true);
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(t.Interval(), -20);
    QTest::qWait(60);
    EXPECT_EQ(c.ticks, 0);
}

TEST(CTimer, ANewIntervalDoesNotChangeARunningTimer)
{
    CTimer t;
    TickCounter c(t);
    t.setInterval(30);
    t.setEnabled(true);
    t.setInterval(5000);
    EXPECT_EQ(t.Interval(), 5000);
    // Still ticking at 30 ms, not at 5 s.
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.ticks >= 3; }, 2000));

    // The other way round: a long period stays long.
    CTimer slow;
    TickCounter s(slow);
    slow.setInterval(2000);
    slow.setEnabled(true);
    slow.setInterval(10);
    QTest::qWait(150);
    EXPECT_EQ(s.ticks, 0);
    // The new period counts from the next start.
    slow.setEnabled(false);
    slow.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.ticks >= 2; }, 2000));
}

TEST(CTimer, DisablingStopsAtOnce)
{
    CTimer t;
    TickCounter c(t);
    t.setInterval(20);
    t.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.ticks >= 2; }, 2000));
    t.setEnabled(false);
    EXPECT_FALSE(t.Enabled());
    EXPECT_FALSE(t.isRunning());
    const int seen = c.ticks;
    QTest::qWait(120);
    EXPECT_EQ(c.ticks, seen);
}

TEST(CTimer, DisablingFromItsOwnTickStopsIt)
{
    CTimer t;
    int ticks = 0;
    QObject::connect(&t, &CTimer::Timer, [&] {
        ++ticks;
        t.setEnabled(false);
    });
    t.setInterval(20);
    t.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 2000));
    QTest::qWait(120);
    EXPECT_EQ(ticks, 1);
}

TEST(CTimer, TicksAtItsInterval)
{
    CTimer t;
    TickCounter c(t);
    t.setInterval(40);
    QElapsedTimer clock;
    clock.start();
    t.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.ticks >= 3; }, 3000));
    // Three periods cannot pass in less than about three intervals.
    EXPECT_GE(clock.elapsed(), 3 * 40 - 10);
}

} // namespace
