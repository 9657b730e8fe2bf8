// The detector on fake sources, driven tick by tick.

#include "tests/inactivity/FakeSources.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Stillmark;
using stillmark_test::errorNumber;
using stillmark_test::FakeDetector;

namespace {

// --- The window -------------------------------------------------------------

struct WindowCase {
    const char* name;
    int32_t interval;
    int32_t n;
    int32_t window;   // when error is 0
    int error;        // run-time error number of the second setting
};

class DetectionWindow : public testing::TestWithParam<WindowCase> {};

TEST_P(DetectionWindow, ComesFromIntervalAndN)
{
    const WindowCase& c = GetParam();
    // Either order of setting gives the same window or the same error.
    for (const bool intervalFirst : {true, false}) {
        SCOPED_TRACE(intervalFirst ? "SamplingInterval first" : "N first");
        FakeDetector f;
        f.detector->setSamplingInterval(1000);
        f.detector->setN(1);
        const int err = errorNumber([&] {
            if (intervalFirst) {
                f.detector->setSamplingInterval(c.interval);
                f.detector->setN(c.n);
            } else {
                f.detector->setN(c.n);
                f.detector->setSamplingInterval(c.interval);
            }
        });
        EXPECT_EQ(err, c.error);
        if (c.error == 0) {
            EXPECT_EQ(f.detector->Window(), c.window);
            EXPECT_EQ(f.detector->SamplingInterval(), c.interval);
            EXPECT_EQ(f.detector->N(), c.n);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DetectionWindow, testing::Values(
    WindowCase{"program_6000ms_x10", 6000, 10, 60, 0},
    WindowCase{"one_hour", 6000, 600, 3600, 0},
    WindowCase{"half_rounds_up_to_even_2", 1500, 1, 2, 0},
    WindowCase{"half_rounds_down_to_even_2", 2500, 1, 2, 0},
    WindowCase{"half_rounds_up_to_even_4", 3500, 1, 4, 0},
    WindowCase{"half_rounds_down_to_0", 500, 1, 0, 0},
    WindowCase{"below_half_rounds_down", 1499, 1, 1, 0},
    WindowCase{"above_half_rounds_up", 2501, 1, 3, 0},
    WindowCase{"largest_product", 2147483647, 1, 2147484, 0},
    WindowCase{"negative_interval", -1500, 1, -2, 0},
    WindowCase{"product_overflows", 1000000, 3000, 0, plat::rt::Overflow},
    WindowCase{"product_one_past_32_bits", 1073741824, 2, 0, plat::rt::Overflow},
    WindowCase{"n_zero", 6000, 0, 0, plat::rt::SubscriptOutOfRange},
    WindowCase{"n_negative", 6000, -1, 0, plat::rt::SubscriptOutOfRange}),
    [](const testing::TestParamInfo<WindowCase>& i) { return std::string(i.param.name); });

TEST(DetectionWindowErrors, ARefusedValueChangesNothing)
{
    FakeDetector f;
    f.configure(10);
    EXPECT_EQ(errorNumber([&] { f.detector->setSamplingInterval(300000000); }), plat::rt::Overflow);
    EXPECT_EQ(errorNumber([&] { f.detector->setN(400000); }), plat::rt::Overflow);
    EXPECT_EQ(errorNumber([&] { f.detector->setN(0); }), plat::rt::SubscriptOutOfRange);
    EXPECT_EQ(f.detector->SamplingInterval(), 6000);
    EXPECT_EQ(f.detector->N(), 10);
    EXPECT_EQ(f.detector->Window(), 60);
}

TEST(DetectionWindowErrors, ErrorsCarryTheLibraryAsSource)
{
    FakeDetector f;
    try {
        f.detector->setN(0);
        FAIL() << "no error";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.source(), QStringLiteral("Stillmark"));
    }
}

// --- Samples ----------------------------------------------------------------

using Joy = std::optional<QPoint>;
constexpr int kNoKey = -1;

struct SampleCase {
    const char* name;
    int32_t n;
    // One entry per tick; the last tick is the one checked.
    std::vector<QPoint> cursor;
    std::vector<Joy> joystick0;   // empty: missing at every tick
    std::vector<Joy> joystick1;
    int keySecondsAgo;            // at the ticks; kNoKey: none since long ago
    int saver;                    // the saver's raw flag
    int state;                    // expected State after the last tick
    bool absent;                  // UserIsNotHere at the last tick, and IsUserSleep
};

std::vector<QPoint> still(int ticks) { return std::vector<QPoint>(size_t(ticks), QPoint(100, 100)); }
std::vector<QPoint> withAt(std::vector<QPoint> v, size_t i, QPoint p)
{
    v.at(i) = p;
    return v;
}
std::vector<Joy> joyStill(int ticks, QPoint p = QPoint(0, 0)) { return std::vector<Joy>(size_t(ticks), p); }
std::vector<Joy> joyAt(std::vector<Joy> v, size_t i, Joy p)
{
    v.at(i) = p;
    return v;
}

class Samples : public testing::TestWithParam<SampleCase> {};

TEST_P(Samples, GiveStateAndAbsence)
{
    const SampleCase& c = GetParam();
    FakeDetector f;
    f.configure(c.n);
    if (c.keySecondsAgo != kNoKey) {
        f.keys->press();
        f.clock.advance(qint64(c.keySecondsAgo) * 1000);
    }
    f.saver->raw = c.saver;
    for (size_t t = 0; t < c.cursor.size(); ++t) {
        f.cursor->pos = c.cursor[t];
        f.joysticks->pos[0] = t < c.joystick0.size() ? c.joystick0[t] : std::nullopt;
        f.joysticks->pos[1] = t < c.joystick1.size() ? c.joystick1[t] : std::nullopt;
        f.sink->userIsNotHere = 0;
        f.tick();
    }
    EXPECT_EQ(int(f.detector->State()), c.state);
    EXPECT_EQ(f.detector->IsUserSleep(), c.absent);
    EXPECT_EQ(f.sink->userIsNotHere, c.absent ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, Samples, testing::Values(
    SampleCase{"nothing_touched", 10, still(10), {}, {}, kNoKey, 0, 0, true},
    SampleCase{"cursor_drifts_15px_both_axes", 10, withAt(still(10), 4, {115, 85}), {}, {}, kNoKey, 0, 0, true},
    SampleCase{"cursor_moves_16px_x", 10, withAt(still(10), 4, {116, 100}), {}, {}, kNoKey, 0, CURSOR_ACTIVITY, false},
    SampleCase{"cursor_moves_16px_y", 10, withAt(still(10), 9, {100, 84}), {}, {}, kNoKey, 0, CURSOR_ACTIVITY, false},
    // Compared with the window's first sample, not with each other.
    SampleCase{"cursor_spread_around_first_sample", 3, {{110, 100}, {96, 100}, {124, 100}}, {}, {}, kNoKey, 0, 0, true},
    SampleCase{"first_sample_16px_off_the_rest", 3, {{84, 100}, {100, 100}, {100, 100}}, {}, {}, kNoKey, 0, CURSOR_ACTIVITY, false},
    SampleCase{"key_59s_ago", 10, still(10), {}, {}, 59, 0, KEYBRD_ACTIVITY, false},
    SampleCase{"key_60s_ago", 10, still(10), {}, {}, 60, 0, 0, true},
    SampleCase{"key_just_now", 10, still(10), {}, {}, 0, 0, KEYBRD_ACTIVITY, false},
    SampleCase{"n_1_cursor_and_joystick_moving", 1, {{0, 0}, {500, 500}, {900, 10}},
               {QPoint(0, 0), QPoint(9000, -9000), QPoint(1, 1)}, {}, kNoKey, 0, 0, true},
    SampleCase{"n_1_key_within_6s", 1, still(1), {}, {}, 5, 0, KEYBRD_ACTIVITY, false},
    SampleCase{"joystick_0_moves_one_unit", 10, still(10), joyAt(joyStill(10), 9, QPoint(1, 0)), {}, kNoKey, 0, JOYSTK_ACTIVITY, false},
    SampleCase{"joystick_1_moves_one_unit", 10, still(10), {}, joyAt(joyStill(10), 2, QPoint(0, -1)), kNoKey, 0, JOYSTK_ACTIVITY, false},
    SampleCase{"joystick_held_off_centre", 10, still(10), joyStill(10, {-32767, 1200}), {}, kNoKey, 0, 0, true},
    SampleCase{"joysticks_missing", 10, still(10), {}, {}, kNoKey, 0, 0, true},
    // Its ring holds a movement, but a joystick that does not answer adds nothing.
    SampleCase{"joystick_moved_then_missing", 3, still(3), {QPoint(0, 0), QPoint(5, 5), std::nullopt}, {}, kNoKey, 0, 0, true},
    SampleCase{"joystick_1_moves_while_0_missing", 3, still(3), {}, {QPoint(7, 7), QPoint(7, 7), QPoint(7, 8)}, kNoKey, 0, JOYSTK_ACTIVITY, false},
    SampleCase{"screen_saver_nothing_touched", 10, still(10), {}, {}, kNoKey, 1, 0, true},
    SampleCase{"screen_saver_while_cursor_moves", 10, withAt(still(10), 4, {100, 200}), {}, {}, kNoKey, 1, CURSOR_ACTIVITY, true},
    SampleCase{"screen_saver_while_key_pressed", 10, still(10), {}, {}, 1, 1, KEYBRD_ACTIVITY, true},
    SampleCase{"key_cursor_and_joystick", 10, withAt(still(10), 1, {300, 300}), joyAt(joyStill(10), 0, QPoint(3, 3)), {}, 10, 0,
               CURSOR_ACTIVITY | KEYBRD_ACTIVITY | JOYSTK_ACTIVITY, false}),
    [](const testing::TestParamInfo<SampleCase>& i) { return std::string(i.param.name); });

// --- Events over several ticks ----------------------------------------------

// What each tick found: 'C' cursor activity, '-' nobody there.
std::string runTicks(FakeDetector& f, const std::vector<QPoint>& cursor)
{
    std::string seen;
    for (const QPoint& p : cursor) {
        f.cursor->pos = p;
        const int before = f.sink->userIsNotHere;
        f.tick();
        const bool fired = f.sink->userIsNotHere > before;
        EXPECT_EQ(fired, f.detector->IsUserSleep());
        seen += fired ? '-' : (f.detector->State() & CURSOR_ACTIVITY ? 'C' : '?');
    }
    return seen;
}

TEST(DetectorEvents, UserIsNotHereAtEveryIdleTickAndTimerAtEveryTick)
{
    FakeDetector f;
    f.configure(2);
    const QPoint p(100, 100), moved(100, 140);
    // The first tick of a fresh window compares with the empty (0, 0) slots.
    EXPECT_EQ(runTicks(f, {p, p, p, p, p, moved, moved, moved, p}), "C----C--C");
    EXPECT_EQ(f.sink->userIsNotHere, 6);
    EXPECT_EQ(f.sink->timer, 9);
}

TEST(DetectorEvents, A16PixelSampleCountsWhileItStaysInTheWindow)
{
    FakeDetector f;
    f.configure(3);
    const QPoint p(100, 100), moved(116, 100);
    // Slots: [p ...] [p m .] [p m p] [p m p] [p p p]: slot 2 holds the movement for three ticks.
    EXPECT_EQ(runTicks(f, {p, moved, p, p, p, p}), "CCCC--");
}

TEST(DetectorEvents, ANewNStartsAFreshWindowAtSlot1)
{
    FakeDetector f;
    f.configure(3);
    const QPoint p(100, 100);
    runTicks(f, {p, p, p, p});   // the next tick would write slot 2
    ASSERT_TRUE(f.detector->IsUserSleep());
    f.detector->setN(3);
    // Empty slots again, and the next sample goes to slot 1, which the others
    // are compared with: (8, 0) and (-8, 0) are 16 pixels apart.
    EXPECT_EQ(runTicks(f, {{8, 0}, {-8, 0}, p}), "-CC");
}

TEST(DetectorEvents, ACursorAtTheOriginFillsAFreshWindowQuietly)
{
    FakeDetector f;
    f.configure(3);
    EXPECT_EQ(runTicks(f, {{0, 0}, {5, 5}}), "--");
}

TEST(DetectorEvents, AFailedCursorQueryStoresTheOrigin)
{
    FakeDetector f;
    f.configure(2);
    runTicks(f, {{100, 100}, {100, 100}});
    f.cursor->pos = std::nullopt;
    f.tick();
    EXPECT_TRUE(f.detector->State() & CURSOR_ACTIVITY);
}

TEST(DetectorEvents, NoTickBeforeNIsSet)
{
    FakeDetector f;
    f.detector->setSamplingInterval(6000);
    f.tick();
    EXPECT_EQ(f.sink->userIsNotHere, 0);
    EXPECT_EQ(f.sink->timer, 0);
    EXPECT_FALSE(f.detector->IsUserSleep());
    EXPECT_EQ(int(f.detector->State()), 0);
}

TEST(DetectorEvents, AnErrorEndsOnlyItsTick)
{
    FakeDetector f;
    f.configure(1);
    bool fail = true;
    f.sink->onUserIsNotHere = [&] {
        if (fail)
            plat::raise(plat::rt::InternalError);
    };
    f.tick();
    EXPECT_EQ(f.sink->timer, 0);   // the tick ended before Timer
    fail = false;
    f.tick();
    f.tick();
    EXPECT_EQ(f.sink->userIsNotHere, 3);
    EXPECT_EQ(f.sink->timer, 2);
}

// --- The keyboard -----------------------------------------------------------

TEST(DetectorKeyboard, CreationCountsAsAKeyPress)
{
    FakeDetector f;
    f.detector->setSamplingInterval(6000);
    f.detector->setN(10);
    f.clock.advance(59'999);
    f.tick();
    EXPECT_EQ(int(f.detector->State()), KEYBRD_ACTIVITY | CURSOR_ACTIVITY);
    f.clock.advance(1);
    f.tick();
    EXPECT_FALSE(f.detector->State() & KEYBRD_ACTIVITY);
}

// Timed on the monotonic clock: a key pressed yesterday at a later minute of
// the same hour is a day old, not "minus twenty minutes" old.
TEST(DetectorKeyboard, AKeyPressADayAgoIsNotRecent)
{
    for (const qint64 later : {23 * 3600 + 40 * 60, 24 * 3600 - 1, 24 * 3600 + 30, 3 * 24 * 3600 + 5}) {
        FakeDetector g;
        g.configure(10);
        g.keys->press();
        g.clock.advance(later * 1000);
        g.tick();
        EXPECT_FALSE(g.detector->State() & KEYBRD_ACTIVITY) << later << " s later";
    }
}

TEST(DetectorKeyboard, AWindowOfZeroSecondsNeverSeesKeys)
{
    FakeDetector f;
    f.detector->setSamplingInterval(20);
    f.detector->setN(3);
    f.keys->press();
    f.tick();
    EXPECT_FALSE(f.detector->State() & KEYBRD_ACTIVITY);
}

TEST(DetectorKeyboard, TheLastKeyTimeIsSharedByEveryDetector)
{
    FakeDetector a;
    a.configure(10);
    FakeDetector b;
    b.clock.advance(24 * 3600 * 1000);   // both clocks read the same now
    b.keys->press();
    a.tick();
    EXPECT_TRUE(a.detector->State() & KEYBRD_ACTIVITY);
}

// --- Event sinks ------------------------------------------------------------

using stillmark_test::RecordingSink;

TEST(DetectorSinks, EachConnectedSinkGetsTheEventsUntilUnadvised)
{
    FakeDetector f;
    f.configure(1);
    auto second = plat::ComPtr<RecordingSink>::attach(new RecordingSink);
    const uint32_t cookie = f.detector->Advise(second.get());
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(second->refs(), 2u);   // the detector holds one
    f.tick();
    f.detector->Unadvise(cookie);
    EXPECT_EQ(second->refs(), 1u);
    f.tick();
    EXPECT_EQ(f.sink->userIsNotHere, 2);
    EXPECT_EQ(second->userIsNotHere, 1);
    EXPECT_EQ(second->timer, 1);
}

TEST(DetectorSinks, BadCookieAndNullSinkAreErrors)
{
    FakeDetector f;
    EXPECT_EQ(errorNumber([&] { f.detector->Advise(nullptr); }), plat::rt::ObjectVariableNotSet);
    EXPECT_EQ(errorNumber([&] { f.detector->Unadvise(12345); }), plat::rt::InvalidProcedureCall);
    const uint32_t cookie = f.detector->Advise(f.sink.get());
    f.detector->Unadvise(cookie);
    EXPECT_EQ(errorNumber([&] { f.detector->Unadvise(cookie); }), plat::rt::InvalidProcedureCall);
}

TEST(DetectorSinks, ReleasingTheDetectorDropsItsSinks)
{
    auto sink = plat::ComPtr<RecordingSink>::attach(new RecordingSink);
    {
        FakeDetector f;
        f.detector->Advise(sink.get());
        EXPECT_EQ(sink->refs(), 2u);
    }
    EXPECT_EQ(sink->refs(), 1u);
}

TEST(DetectorSinks, ASinkMayUnadviseAnotherDuringAnEvent)
{
    FakeDetector f;
    f.configure(1);
    auto second = plat::ComPtr<RecordingSink>::attach(new RecordingSink);
    const uint32_t cookie = f.detector->Advise(second.get());
    f.sink->onUserIsNotHere = [&] { f.detector->Unadvise(cookie); };
    f.tick();
    EXPECT_EQ(second->userIsNotHere, 0);
    EXPECT_EQ(second->timer, 0);
    EXPECT_EQ(f.sink->timer, 1);
}

TEST(DetectorSinks, ASinkMayReleaseTheDetectorDuringAnEvent)
{
    FakeDetector f;
    f.configure(1);
    Stillmark::ActivityDetect* raw = f.detector.get();
    f.sink->onUserIsNotHere = [&] { f.detector.reset(); };
    raw->m_objTimer_Timer();   // the detector goes away at the end of its tick
    EXPECT_FALSE(f.detector);
    EXPECT_EQ(f.sink->userIsNotHere, 1);
    EXPECT_EQ(f.sink->refs(), 1u);
}

TEST(DetectorSinks, TheScreenSaverIsAskedAtEachCall)
{
    FakeDetector f;
    EXPECT_FALSE(f.detector->IsScreenSaverRunning());
    f.saver->raw = 1;
    EXPECT_TRUE(f.detector->IsScreenSaverRunning());
}

} // namespace
