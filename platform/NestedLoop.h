#pragma once
// A nested message loop that code of the program runs and waits in: a modal
// form, a chooser, a wait for the bus, a yield. While one runs, a form that is
// unloaded is hidden and counted as unloaded at once but destroyed only once
// every such loop has returned: the code that waits in it may be the form's
// own, and it goes on when its loop returns.
//
// The count is kept on the application object, so that a component library,
// which carries its own copy of this layer, counts its choosers where the
// program's forms look.

class QObject;

namespace plat {

class NestedLoop {
public:
    NestedLoop();
    ~NestedLoop();
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;

    // Whether such a loop runs now.
    static bool running();
    // Deletes obj later (deleteLater), once no such loop runs: at once when
    // none does.
    static void deleteWhenDone(QObject* obj);
};

} // namespace plat
