#pragma once
// Events now and then on a random module of model 1 or 3, for the demo: a
// quiet channel becomes active (now and then a fault), an active one returns
// to normal.

#include "tools/modsim/Simulator.h"

#include <QString>

#include <optional>
#include <random>

namespace modsim {

class RandomEvents {
public:
    // One event every meanSeconds on average (between half and one and a half times it).
    RandomEvents(Simulator& sim, double meanSeconds, unsigned seed = std::random_device{}());

    // Raises the event that is due by nowMs, if any; returns what it did, for the log.
    std::optional<QString> tick(qint64 nowMs);
    qint64 nextAtMs() const { return m_nextMs; }

private:
    qint64 interval();

    Simulator& m_sim;
    double m_meanMs;
    std::mt19937 m_rng;
    qint64 m_nextMs = -1;
};

} // namespace modsim
