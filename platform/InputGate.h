#pragma once
// A touch or a key reaches only what the operator saw when making it. The
// gate follows, on the monotonic clock, when each window and control was
// shown and first painted, which parts of a window the window system showed
// afresh (a window over it gone), which controls went away and when a modal
// window closed. Input that the window system hands a window is acted on
// only when, at its time stamp, that window was shown and painted where it
// was touched and no modal window covered it, and only by the control that
// was under it (or had the keys) then; otherwise it is dropped, never sent
// on to what lies there now. The release of a dropped press goes with it.
// A closed screen takes no input at all. Input made while a pass held the
// program is dropped. Input met while the program holds it (InputHold)
// waits, and is delivered at the end to the control it was aimed at when
// that control is still there, uncovered.

#include <QRect>
#include <QtGlobal>

class QWidget;

namespace plat {

class InputGate {
public:
    // A window shown is waited for this long for its first paint before the
    // program blocks (InputHold::awaitPaint).
    static constexpr int FirstPaintWaitMs = 1000;
    // A window raised over others is waited for this long for the paint of
    // what the raise showed afresh: on a display without backing store the
    // window system asks for it at once; one that keeps the pictures (a
    // compositing window manager) asks for nothing.
    static constexpr int RaisePaintWaitMs = 20;
    // A control shown that gets no paint of its own in this time (drawn over
    // by another) counts as painted then, so that no control stays dead.
    static constexpr int ControlPaintWaitMs = 1000;

    // Puts the gate on the program's input; later calls do nothing.
    static void install();
    // Whether a window shown less than FirstPaintWaitMs ago is still
    // unpainted, or one raised less than RaisePaintWaitMs ago has not yet
    // been shown afresh.
    static bool paintPending();
    // The window was raised over others of the program.
    static void raised(QWidget* window);
    // What lay on this part of a shown control (in its own pixels) moved or
    // gave way now (a list's rows shifted): a touch made there before meant
    // what lay there then, and is dropped.
    static void shownAfresh(QWidget* control, const QRect& area);

    // The spans in which the program holds input, as InputHold marks them.
    // Input met during a yield waits, unless a modal window opened since
    // the yield began (it must be answerable); once the last hold and yield
    // have ended, what waits goes to the controls it was aimed at. Input made
    // during a dropping hold (a pass, begun at since) is dropped, what waits
    // of it too.
    static void holdBegins(bool drop);
    static void holdEnds(bool drop, qint64 since);
    static void yieldBegins();
    static void yieldEnds();
    // The touches and keys waiting now.
    static int held();
};

} // namespace plat
