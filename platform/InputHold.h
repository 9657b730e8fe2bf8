#pragma once
// A yield of a long bus operation: the message loop runs for timers and
// paints, but the operator's touches and keys wait until the operation ends,
// so that no screen, and no modal box, opens in the middle of it. A modal
// window that opens during the yield (an error box from a timer) still gets
// its touches: it must be answerable. The hold only marks the span; the
// input gate decides what waits, and where it goes at the end (InputGate.h).

#include <QtGlobal>

namespace plat {

class InputHold {
public:
    // What becomes of the input made while the hold stands: delivered at its
    // end, or dropped (a synchronisation pass: nobody meant a touch made
    // during it for the screen that is up a minute later).
    enum Meanwhile { Deliver, Drop };

    // While one hold or more stands, the touches and keys met by yield()
    // wait; the last one to end delivers them, in order.
    explicit InputHold(Meanwhile meanwhile = Deliver);
    ~InputHold();
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Runs the message loop once, holding touches and keys, and on until the
    // windows shown or raised lately are painted; outside any hold they are
    // delivered once it returns.
    static void yield();
    // Before the program blocks: a window just shown or raised is painted
    // first, so that what the operator sees is what a touch reaches (the loop
    // runs as in a yield, only while such a window waits).
    static void awaitPaint();
    // The touches and keys waiting now.
    static int held();

private:
    bool m_drop;
    qint64 m_since;
};

} // namespace plat
