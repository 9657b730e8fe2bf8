#pragma once
// The maintenance commands of the technician screens: a write of one word,
// and how it goes out. While polling runs the engine queues it for its next
// tick; otherwise it is executed at once, at most four attempts, and the
// outcome is not shown (the engine traces each attempt).

#include "program/bus/CommandClass.h"

class wPolling;

namespace TechCommand {

constexpr int MaxAttempts = 4;

// The engine form, loaded on first use: the technician screens reach the bus through it.
wPolling& Engine();

// A write of value to register reg of module (0: every module), due at once
// on the engine's clock.
CommandPtr Write(wPolling& polling, int module, int reg, qint16 value);

// Queued while polling runs, else executed at once until it is done or has
// failed MaxAttempts times. A port that is not open ends the attempts at the
// first: its error is reported once, not once an attempt.
void Send(wPolling& polling, const CommandPtr& cmd);

} // namespace TechCommand
