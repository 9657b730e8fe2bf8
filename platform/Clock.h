#pragma once
// Time as the bus code sees it: a monotonic millisecond clock and a sleeper,
// injectable so that tests of time-outs run on a clock of their own.

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

} // namespace plat
