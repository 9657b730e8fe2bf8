#pragma once
// The inactivity detector: samples the keyboard, the cursor, two joysticks and
// the screen saver at every tick of its timer, and raises UserIsNotHere at
// every tick that finds no activity in the window of the last N ticks (or the
// screen saver running), and Timer at every tick.

#include "ActivitySources.h"
#include "CTimer.h"
#include "Stillmark/_ActivityDetect.h"

#include <QPoint>
#include <memory>
#include <vector>

namespace Stillmark {

class ActivityDetect : public plat::ComObject<_ActivityDetect, IID_ActivityDetect> {
public:
    // With the real sources of this machine.
    ActivityDetect();
    explicit ActivityDetect(ActivitySources sources);
    ~ActivityDetect() override;

    bool IsUserSleep() override { return m_isUserSleep; }
    bool IsScreenSaverRunning() override;
    ACTIVITYDETECT_FLAG State() override { return m_state; }
    void setSamplingInterval(int32_t lngValue) override;
    int32_t SamplingInterval() override { return m_objTimer->Interval(); }
    void setEnabled(bool blnValue) override { m_objTimer->setEnabled(blnValue); }
    bool Enabled() override { return m_objTimer->Enabled(); }
    void setN(int32_t lngValue) override;
    int32_t N() override { return m_n; }

    uint32_t Advise(__ActivityDetect* sink) override;
    void Unadvise(uint32_t cookie) override;

    // The window in whole seconds: SamplingInterval x N / 1000, halves to even.
    int32_t Window() const { return m_window; }
    // One sampling tick; the timer calls it, and tests call it directly.
    void m_objTimer_Timer();
    // The sampling timer, for tests that check it runs.
    const CTimer& timer() const { return *m_objTimer; }

private:
    struct Connection {
        uint32_t cookie;
        plat::ComPtr<__ActivityDetect> sink;
    };

    void sample();
    template <class Fn>
    void raiseEvent(Fn fn);

    ActivitySources m_sources;
    std::unique_ptr<CTimer> m_objTimer;
    bool m_isUserSleep = false;
    ACTIVITYDETECT_FLAG m_state = ACTIVITYDETECT_FLAG(0);
    int32_t m_n = 0;
    int32_t m_window = 0;
    // Slot 0 of each ring is the first sample of the window (slot 1 of N).
    std::vector<QPoint> m_cursor;
    std::vector<QPoint> m_joystick[2];
    int32_t m_index = 0;   // the last slot written, 1..N; 0 before the first tick of a window
    std::vector<Connection> m_connections;
    uint32_t m_nextCookie = 1;
};

} // namespace Stillmark
