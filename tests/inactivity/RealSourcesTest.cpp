// The detector with the real sources of this machine, on the offscreen
// platform: the Qt cursor, the application's key presses, /dev/input/js0 and
// js1 (none here) and the session's screen saver (none here).
//
// 100 ms ticks and N = 6 give a window of one second. A new detector counts
// as a key press, so the first idle report comes a second after creation.

#include "inactivity/ActivityDetect.h"
#include "tests/inactivity/FakeSources.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace Stillmark;
using stillmark_test::RecordingSink;

namespace {

struct RealDetector {
    plat::ComPtr<ActivityDetect> detector = plat::ComPtr<ActivityDetect>::attach(new ActivityDetect);
    plat::ComPtr<RecordingSink> sink = plat::ComPtr<RecordingSink>::attach(new RecordingSink);
    QElapsedTimer sinceStart;

    RealDetector()
    {
        detector->Advise(sink.get());
        detector->setSamplingInterval(100);
        detector->setN(6);
        EXPECT_EQ(detector->Window(), 1);
        sinceStart.start();
        detector->setEnabled(true);
    }
};

TEST(RealSources, AnIdleCursorGivesUserIsNotHere)
{
    QCursor::setPos(400, 300);
    RealDetector d;
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.sink->userIsNotHere > 0; }, 5000));
    EXPECT_GE(d.sinceStart.elapsed(), 1000 - 50);
    EXPECT_TRUE(d.detector->IsUserSleep());
    EXPECT_EQ(int(d.detector->State()), 0);
    // And again at the following idle ticks.
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.sink->userIsNotHere >= 3; }, 2000));
    EXPECT_GE(d.sink->timer, d.sink->userIsNotHere);
}

TEST(RealSources, AMovingCursorDoesNot)
{
    QCursor::setPos(400, 300);
    RealDetector d;
    QElapsedTimer t;
    t.start();
    int step = 0;
    while (t.elapsed() < 2500) {
        // A touch here, then there: 20 pixels apart.
        QCursor::setPos(400 + (++step % 2) * 20, 300);
        QTest::qWait(150);
    }
    EXPECT_GE(d.sink->timer, 15);
    EXPECT_EQ(d.sink->userIsNotHere, 0);
    EXPECT_TRUE(d.detector->State() & CURSOR_ACTIVITY);
}

TEST(RealSources, KeyPressesOnAWindowOfTheProgramDoNot)
{
    QCursor::setPos(400, 300);
    QLineEdit window;
    window.show();
    RealDetector d;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2500) {
        QTest::keyClick(&window, Qt::Key_A);
        QTest::qWait(200);
    }
    EXPECT_GE(d.sink->timer, 15);
    EXPECT_EQ(d.sink->userIsNotHere, 0);
    EXPECT_EQ(int(d.detector->State()), KEYBRD_ACTIVITY);

    // Once the keys stop, the panel is idle a window later.
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.sink->userIsNotHere > 0; }, 3000));
    EXPECT_GE(t.elapsed(), 2500 + 600);
}

TEST(RealSources, DisablingStopsTheTicks)
{
    RealDetector d;
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.sink->timer >= 2; }, 2000));
    d.detector->setEnabled(false);
    const int seen = d.sink->timer;
    QTest::qWait(300);
    EXPECT_EQ(d.sink->timer, seen);
    EXPECT_FALSE(d.detector->Enabled());
}

TEST(RealSources, ASinkMayReleaseTheDetectorFromARealTick)
{
    QCursor::setPos(400, 300);
    auto sink = plat::ComPtr<RecordingSink>::attach(new RecordingSink);
    auto* detector = new ActivityDetect;
    detector->Advise(sink.get());
    detector->setSamplingInterval(20);
    detector->setN(1);   // idle at every tick
    detector->setEnabled(true);
    sink->onUserIsNotHere = [&] {
        if (detector)
            std::exchange(detector, nullptr)->Release();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return detector == nullptr; }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(sink->userIsNotHere, 1);
    EXPECT_EQ(sink->refs(), 1u);
}

} // namespace
