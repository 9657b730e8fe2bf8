#pragma once
// Time as the bus code sees it: a monotonic millisecond clock and a sleeper,
// injectable so that tests of time-outs run on virtual time.

#include <QtGlobal>

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic clock (never goes back, not the wall clock).
    virtual qint64 nowMs() const = 0;
    // Blocks for ms milliseconds (a virtual clock just moves on).
    virtual void sleepMs(qint64 ms) = 0;
};

// The real monotonic clock and sleeper.
Clock& systemClock();

// A clock that only moves when slept on or advanced; for tests and the in-process simulator.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(qint64 startMs = 0) : m_now(startMs) {}
    qint64 nowMs() const override { return m_now; }
    void sleepMs(qint64 ms) override { if (ms > 0) m_now += ms; }
    void advance(qint64 ms) { sleepMs(ms); }

private:
    qint64 m_now;
};

} // namespace plat
