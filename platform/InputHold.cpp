#include "platform/InputHold.h"

#include "platform/InputClock.h"
#include "platform/InputGate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <vector>

namespace plat {

namespace {

struct Held {
    QPointer<QWidget> aim;
    std::unique_ptr<QEvent> event;
    // Met while a pass held the program: dropped at the end.
    bool drop = false;
};

// Whether a modal window now stands between the operator and the control.
bool coveredByModal(const QWidget* aim)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    // The modal window's own controls, and those of windows it owns, answer.
    for (const QWidget* w = aim->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == modal)
            return false;
    return true;
}

class Holder {
public:
    int scopes = 0;
    int dropScopes = 0;
    int yields = 0;
    QPointer<QWidget> modalAtYield;
    std::vector<Held> held;

    void deliver()
    {
        auto events = std::move(held);
        held.clear();
        for (Held& h : events)
            if (!h.drop && h.aim && h.aim->isVisible() && h.aim->isEnabled() && !coveredByModal(h.aim))
                QCoreApplication::postEvent(h.aim, h.event.release());
    }

    void deliverWhenFree()
    {
        if (scopes == 0 && yields == 0)
            deliver();
    }

    // The message loop once, and while a window just shown or raised waits
    // for its paint.
    void runLoop(bool once)
    {
        InputGate::install();
        const QPointer<QWidget> outerModal = modalAtYield;
        modalAtYield = QApplication::activeModalWidget();
        ++yields;
        if (once)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        // The wait for a paint runs no timer: it is no further yield.
        while (InputGate::paintPending()) {
            QThread::msleep(1);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers);
        }
        --yields;
        modalAtYield = outerModal;
    }
};

Holder& holder()
{
    static Holder h;
    return h;
}

} // namespace

InputHold::InputHold(Meanwhile meanwhile) : m_drop(meanwhile == Drop), m_from(InputClock::localNow())
{
    InputGate::install();
    Holder& h = holder();
    ++h.scopes;
    if (m_drop)
        ++h.dropScopes;
}

InputHold::~InputHold()
{
    Holder& h = holder();
    if (m_drop) {
        --h.dropScopes;
        // What waits in the window system's queue goes at the gate.
        InputGate::dropMadeBetween(m_from, InputClock::localNow());
    }
    --h.scopes;
    h.deliverWhenFree();
}

void InputHold::yield()
{
    Holder& h = holder();
    h.runLoop(true);
    h.deliverWhenFree();
}

void InputHold::awaitPaint()
{
    if (!InputGate::paintPending())
        return;
    Holder& h = holder();
    h.runLoop(false);
    h.deliverWhenFree();
}

int InputHold::held()
{
    return int(holder().held.size());
}

bool InputHold::holdsNow()
{
    const Holder& h = holder();
    return h.yields > 0 && QApplication::activeModalWidget() == h.modalAtYield;
}

void InputHold::keep(QWidget* aim, std::unique_ptr<QEvent> event)
{
    Holder& h = holder();
    h.held.push_back({aim, std::move(event), h.dropScopes > 0});
}

} // namespace plat
