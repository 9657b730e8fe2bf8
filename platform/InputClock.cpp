#include "platform/InputClock.h"

#include <chrono>

namespace plat {

InputClock::InputClock(qint64 origin) : m_origin(origin) {}

quint32 InputClock::stamp(qint64 localMs) const
{
    return quint32(localMs + m_offset.load());
}

qint64 InputClock::madeAt(quint64 stamp, qint64 arrival)
{
    // Differences on 32 bits: the window system's clock wraps.
    qint32 lag = qint32(quint32(stamp) - this->stamp(arrival));
    if (lag > 0 || arrival + lag < m_origin) {
        m_offset += lag;
        lag = 0;
    }
    return arrival + lag;
}

qint64 InputClock::localNow()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

InputClock& InputClock::program()
{
    static InputClock clock(localNow());
    return clock;
}

} // namespace plat
