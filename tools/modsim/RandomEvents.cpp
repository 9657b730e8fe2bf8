#include "tools/modsim/RandomEvents.h"

#include <cmath>
#include <vector>

namespace modsim {

RandomEvents::RandomEvents(Simulator& sim, double meanSeconds, unsigned seed)
    : m_sim(sim), m_meanMs(std::max(0.001, meanSeconds) * 1000.0), m_rng(seed)
{
}

qint64 RandomEvents::interval()
{
    std::uniform_real_distribution<double> d(0.5 * m_meanMs, 1.5 * m_meanMs);
    return std::max<qint64>(1, std::llround(d(m_rng)));
}

std::optional<QString> RandomEvents::tick(qint64 nowMs)
{
    if (m_nextMs < 0) {
        m_nextMs = nowMs + interval();
        return std::nullopt;
    }
    if (nowMs < m_nextMs)
        return std::nullopt;
    m_nextMs = nowMs + interval();
    std::vector<SimModule*> candidates;
    for (int a : m_sim.addresses()) {
        SimModule* m = m_sim.module(a);
        if (m->isBufferModel() && m->isOn())
            candidates.push_back(m);
    }
    if (candidates.empty())
        return std::nullopt;
    SimModule* m = candidates[std::uniform_int_distribution<size_t>(0, candidates.size() - 1)(m_rng)];
    const int channel = std::uniform_int_distribution<int>(1, m->channelCount())(m_rng);
    int code = 0;
    if (m->channelState(channel) == 0) {
        const int roll = std::uniform_int_distribution<int>(0, 9)(m_rng);
        code = roll < 8 ? 1 : (roll == 8 ? 2 : 3);
    }
    m_sim.raiseEvent(m->address(), channel, code, 0);
    return QStringLiteral("event module %1 channel %2 code %3").arg(m->address()).arg(channel).arg(code);
}

} // namespace modsim
