#include "ModIsUserSleep.h"

namespace Stillmark::ModIsUserSleep {

namespace {
// One thread (the one with the event loop) reads and writes it: no lock.
std::optional<qint64> g_lastKeyMs;
} // namespace

void setLastKeyTime(qint64 nowMs) { g_lastKeyMs = nowMs; }

std::optional<qint64> lastKeyTime() { return g_lastKeyMs; }

std::optional<qint64> secondsSinceLastKey(qint64 nowMs)
{
    if (!g_lastKeyMs)
        return std::nullopt;
    const qint64 ms = nowMs - *g_lastKeyMs;
    return ms > 0 ? ms / 1000 : 0;
}

} // namespace Stillmark::ModIsUserSleep
