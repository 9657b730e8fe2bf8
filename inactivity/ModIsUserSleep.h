#pragma once
// State shared by every detector of the process: the time of the last key
// press, on a monotonic clock. The wall clock is not used: a gap of a day or
// a clock set back must not make an old key press look recent.

#include <QtGlobal>
#include <optional>

namespace Stillmark::ModIsUserSleep {

// A key press (or the creation of a detector) at nowMs on the monotonic clock.
void setLastKeyTime(qint64 nowMs);
std::optional<qint64> lastKeyTime();

// Whole seconds from the last key press to nowMs; nothing when no key time is
// known. Never negative.
std::optional<qint64> secondsSinceLastKey(qint64 nowMs);

} // namespace Stillmark::ModIsUserSleep
