#include "platform/InputHold.h"

#include "platform/InputClock.h"
#include "platform/InputGate.h"

#include <QCoreApplication>
#include <QThread>

namespace plat {

namespace {

// The message loop once, and while a window just shown or raised waits for
// its paint; input met meanwhile waits.
void runLoop(bool once)
{
    InputGate::install();
    InputGate::yieldBegins();
    if (once)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The wait for a paint runs no timer: it is no further yield.
    while (InputGate::paintPending()) {
        QThread::msleep(1);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers);
    }
    InputGate::yieldEnds();
}

} // namespace

InputHold::InputHold(Meanwhile meanwhile) : m_drop(meanwhile == Drop), m_since(InputClock::localNow())
{
    InputGate::install();
    InputGate::holdBegins(m_drop);
}

InputHold::~InputHold()
{
    InputGate::holdEnds(m_drop, m_since);
}

void InputHold::yield()
{
    runLoop(true);
}

void InputHold::awaitPaint()
{
    if (InputGate::paintPending())
        runLoop(false);
}

int InputHold::held()
{
    return InputGate::held();
}

} // namespace plat
