#include "platform/InputClock.h"

#include <algorithm>
#include <chrono>

namespace plat {

quint32 InputClock::stamp(qint64 localMs)
{
    return quint32(localMs);
}

qint64 InputClock::madeAt(quint64 stamp, qint64 arrival, qint64 waitBegan)
{
    // Differences on 32 bits: the window system's clock wraps.
    const qint32 lag = qint32(quint32(stamp) - InputClock::stamp(arrival));
    if (quint32(stamp) == 0 || lag > 0)
        return arrival;
    return std::max(arrival + lag, std::min(waitBegan, arrival));
}

qint64 InputClock::localNow()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace plat
