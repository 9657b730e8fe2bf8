#pragma once
// The choice of the next module due: round robin over the bus addresses,
// from the one read last, to a module that is configured, polled and due.

#include "platform/DateTime.h"

#include <QtGlobal>

class ConfigClass;

namespace PollingRound {

struct Choice {
    // The address the search stopped at: the module due, or, when none is,
    // the address the search started from.
    qint16 module = 0;
    bool due = false;
    // The search passed address 64: a round is complete.
    bool roundComplete = false;
};

// Searches once round from the address after position (the address read
// last, modulo 64: 0 stands for 64, so after module 64 comes module 1).
Choice next(qint16 position, const plat::DateTime& now, const ConfigClass& config);

} // namespace PollingRound
