#pragma once
// The panel's date and time: the system's wall clock, read and set. Setting
// it takes the system clock and the hardware clock together; a program
// without the right to do so (CAP_SYS_TIME) gets run-time error 70 with a
// description saying how to grant it, and the clock stays as it was.
// Screens take the clock through an injection point, so that tests put a
// fake in its place and never touch the machine's clock.

#include "platform/DateTime.h"

#include <ctime>

namespace plat {

class WallClock {
public:
    virtual ~WallClock() = default;
    // Local time, to the whole second.
    virtual DateTime now() const = 0;
    // Sets date and time (local) in one step.
    virtual void set(const DateTime& local) = 0;
};

// The system's clock.
WallClock& systemWallClock();

// The system call behind it, for a moment since the epoch: the system clock
// first (nothing is changed when that is refused), then the hardware clock
// (/dev/rtc0, kept in UTC) when the machine has one.
void setSystemTime(const timespec& utc);

} // namespace plat
