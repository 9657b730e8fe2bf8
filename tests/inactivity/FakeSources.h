#pragma once
// Fake sources for the detector, a recording event sink, and a helper that
// runs a call and gives the run-time error number it raised (0 for none).

#include "inactivity/ActivityDetect.h"
#include "tests/support/VirtualClock.h"
#include "platform/RtError.h"

#include <functional>

namespace stillmark_test {

struct FakeCursor : Stillmark::ICursorSource {
    std::optional<QPoint> pos = QPoint(100, 100);
    std::optional<QPoint> position() override { return pos; }
};

struct FakeJoysticks : Stillmark::IJoystickSource {
    std::optional<QPoint> pos[2];   // both missing at first
    std::optional<QPoint> position(int id) override { return pos[id]; }
};

struct FakeScreenSaver : Stillmark::IScreenSaverQuery {
    int raw = 0;
    int rawRunning() override { return raw; }
};

struct FakeKeys : Stillmark::IKeySource {
    std::function<void()> handler;
    void setKeyDownHandler(std::function<void()> h) override { handler = std::move(h); }
    void press()
    {
        if (handler)
            handler();
    }
};

class RecordingSink : public plat::ComObject<Stillmark::__ActivityDetect, Stillmark::IID___ActivityDetect> {
public:
    int userIsNotHere = 0;
    int timer = 0;
    std::function<void()> onUserIsNotHere;
    std::function<void()> onTimer;

    void UserIsNotHere() override
    {
        ++userIsNotHere;
        if (onUserIsNotHere)
            onUserIsNotHere();
    }
    void Timer() override
    {
        ++timer;
        if (onTimer)
            onTimer();
    }
    // The number of references held on the sink.
    uint32_t refs()
    {
        AddRef();
        return Release();
    }
};

// A detector on fake sources and a virtual clock, with a sink connected.
struct FakeDetector {
    testing_support::VirtualClock clock{1'000'000'000};
    FakeCursor* cursor;
    FakeJoysticks* joysticks;
    FakeScreenSaver* saver;
    FakeKeys* keys;
    plat::ComPtr<Stillmark::ActivityDetect> detector;
    plat::ComPtr<RecordingSink> sink = plat::ComPtr<RecordingSink>::attach(new RecordingSink);

    FakeDetector()
    {
        Stillmark::ActivitySources s;
        s.cursor = std::make_unique<FakeCursor>();
        s.joysticks = std::make_unique<FakeJoysticks>();
        s.screenSaver = std::make_unique<FakeScreenSaver>();
        s.keys = std::make_unique<FakeKeys>();
        cursor = static_cast<FakeCursor*>(s.cursor.get());
        joysticks = static_cast<FakeJoysticks*>(s.joysticks.get());
        saver = static_cast<FakeScreenSaver*>(s.screenSaver.get());
        keys = static_cast<FakeKeys*>(s.keys.get());
        s.clock = &clock;
        detector = plat::ComPtr<Stillmark::ActivityDetect>::attach(new Stillmark::ActivityDetect(std::move(s)));
        detector->Advise(sink.get());
    }

    // The program's settings: 6000 ms, N samples; the last key long ago.
    void configure(int32_t n)
    {
        detector->setSamplingInterval(6000);
        detector->setN(n);
        clock.advance(24 * 3600 * 1000);
    }

    void tick() { detector->m_objTimer_Timer(); }
};

inline int errorNumber(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const plat::RtError& e) {
        return e.number();
    }
    return 0;
}

} // namespace stillmark_test
