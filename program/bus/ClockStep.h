#pragma once
// After the panel's clock was set back: a module's next poll or a queued
// command's send time that now lies further ahead than any rest the engine
// gives (the long rest of a missing module) was reckoned on the old clock and
// would hold the bus until the new clock caught up; it is brought to the new
// time instead. Nothing else changes: a rest still under way keeps its end.

#include "program/bus/EventDispatcher.h"

#include "platform/DateTime.h"

class CommandClasses;
class ConfigClass;

namespace ClockStep {

// The furthest ahead a poll or a command is ever put, in seconds.
constexpr int LongestRestSeconds = EventDispatcher::LongRestSeconds;

// Brings every NextPoll of modules 1..64 and every SendTime of the queue that
// lies more than LongestRestSeconds after now back to now; the number moved.
int BringBack(ConfigClass& config, CommandClasses& commands, const plat::DateTime& now);

} // namespace ClockStep
