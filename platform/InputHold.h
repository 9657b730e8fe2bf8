#pragma once
// A yield of a long bus operation: the message loop runs once for timers and
// paints, but the operator's touches and keys wait until the operation ends,
// so that no screen, and no modal box, opens in the middle of it. A modal
// window that opens during the yield (an error box from a timer) still gets
// its touches: it must be answerable.

#include <memory>

namespace plat {

class InputHold {
public:
    // While one hold or more stands, the touches and keys met by yield()
    // wait; the last one to end delivers them, in order.
    InputHold();
    ~InputHold();
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Runs the message loop once, holding touches and keys; outside any hold
    // they are delivered once it returns.
    static void yield();
    // The touches and keys waiting now.
    static int held();
};

} // namespace plat
