#pragma once
// A clock that only moves when slept on or advanced, so that a test of
// time-outs runs in no time and at the same pace every run.

#include "platform/Clock.h"

namespace testing_support {

class VirtualClock : public plat::Clock {
public:
    explicit VirtualClock(qint64 startMs = 0) : m_now(startMs) {}
    qint64 nowMs() const override { return m_now; }
    void sleepMs(qint64 ms) override { if (ms > 0) m_now += ms; }
    void advance(qint64 ms) { sleepMs(ms); }

private:
    qint64 m_now;
};

} // namespace testing_support
