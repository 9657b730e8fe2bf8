#pragma once
// When a touch or a key was made. The window system stamps its input events
// in milliseconds on a clock of its own (32 bits, so it wraps after some 49
// days); the program knows when windows were shown and painted on its
// monotonic clock. A window system on the same machine stamps on that
// clock; else the events set the offset: an event never comes before it is
// handled (so a stamp beyond that moves the offset on), and a stamp from
// before the program started is of another clock (synthesized events, a
// remote display): such an event counts as made when it is handled.

#include <QtGlobal>

#include <atomic>

namespace plat {

class InputClock {
public:
    // origin: the program's start on the monotonic clock, in ms.
    explicit InputClock(qint64 origin);

    // The window system's stamp for a moment of the monotonic clock.
    quint32 stamp(qint64 localMs) const;
    // When an event stamped so, handled at arrival (monotonic ms), was made.
    qint64 madeAt(quint64 stamp, qint64 arrival);

    // The program's clock: the monotonic clock in ms, and its stamp now.
    static qint64 localNow();
    static InputClock& program();
    static quint32 now() { return program().stamp(localNow()); }

private:
    // How far the window system's clock runs ahead of the monotonic one.
    std::atomic<qint64> m_offset{0};
    qint64 m_origin;
};

} // namespace plat
