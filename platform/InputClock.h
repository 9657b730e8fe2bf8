#pragma once
// When a touch or a key was made. The window system stamps its input events
// in milliseconds on 32 bits (they wrap after some 49 days). On this machine
// it stamps them on the monotonic clock the program reads; another display
// (a remote one, a source of synthesized events) has a clock of its own,
// which may run ahead, behind or slow, or gives no stamp at all (0). So an
// event's time is read from that event alone and what the program knows of
// it: it was made before it arrived, and after the event loop last had
// nothing left to handle and began to wait.

#include <QtGlobal>

namespace plat {

class InputClock {
public:
    // The window system's stamp for a moment of the monotonic clock.
    static quint32 stamp(qint64 localMs);
    // When an event stamped so, arriving at arrival, was made, the event loop
    // having last begun to wait at waitBegan (monotonic ms). No stamp, or one
    // ahead of the arrival, reads as made at the arrival; a stamp from before
    // waitBegan as made then.
    static qint64 madeAt(quint64 stamp, qint64 arrival, qint64 waitBegan);

    // The monotonic clock in ms, and the window system's stamp now.
    static qint64 localNow();
    static quint32 now() { return stamp(localNow()); }
};

} // namespace plat
