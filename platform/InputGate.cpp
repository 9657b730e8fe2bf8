#include "platform/InputGate.h"

#include "platform/Form.h"
#include "platform/InputClock.h"
#include "platform/LoopWait.h"

#include <QApplication>
#include <QChildEvent>
#include <QExposeEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QSet>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

namespace plat {

namespace {

constexpr qint64 kLongAgo = std::numeric_limits<qint64>::min() / 2;
constexpr qint64 kNotYet = std::numeric_limits<qint64>::max() / 2;
// How long what went away is remembered, and how many passes.
constexpr qint64 kHistoryMs = 10 * 60 * 1000;
constexpr size_t kPassesKept = 8;

// A region that the window system showed afresh, or a control that went.
template <class Area>
struct Change {
    Area area;
    qint64 at;
};

struct WindowState {
    // Shown, and first painted (kNotYet until then); a window the gate met
    // already shown counts as painted long ago. Keys go to the window that
    // has them: none typed before it got them.
    qint64 shownAt = kLongAgo;
    qint64 paintedAt = kLongAgo;
    qint64 activeSince = kLongAgo;
    // Raised over another window, and not shown afresh since (kNotYet: not
    // raised, or shown afresh since).
    qint64 raisedAt = kNotYet;
    std::vector<Change<QRegion>> exposed;
    QHash<const QWidget*, Change<QRect>> vanished;
    // The control that took the last press, or none when it was dropped:
    // its moves and release go with it.
    QPointer<QWidget> pressTarget;
    bool pressDropped = false;
    QSet<int> droppedKeys;
};

struct ControlState {
    qint64 shownAt;
    qint64 paintedAt = kNotYet;
};

class Gate : public QObject {
public:
    static Gate& instance()
    {
        static Gate* gate = new Gate;
        return *gate;
    }

    bool paintPending() const
    {
        const qint64 now = InputClock::localNow();
        for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
            const WindowState& s = it.value();
            if (s.paintedAt == kNotYet && now - s.shownAt < InputGate::FirstPaintWaitMs)
                return true;
            if (s.raisedAt != kNotYet && now - s.raisedAt < InputGate::RaisePaintWaitMs)
                return true;
        }
        return false;
    }

    void raised(QWidget* window)
    {
        if (window->isVisible())
            m_windows[window].raisedAt = InputClock::localNow();
    }

    void shownAfresh(QWidget* control, const QRect& area)
    {
        if (!control->isVisible() || area.isEmpty())
            return;
        QWidget* top = control->window();
        noteAfresh(m_windows[top], QRegion(QRect(control->mapTo(top, area.topLeft()), area.size())),
                   InputClock::localNow());
    }

    // ---- Holding ------------------------------------------------------------

    void holdBegins(bool drop)
    {
        ++m_holds;
        if (drop)
            ++m_dropHolds;
    }

    void holdEnds(bool drop, qint64 since)
    {
        if (drop) {
            --m_dropHolds;
            // What waits in the window system's queue goes when it comes.
            m_passes.push_back({since, InputClock::localNow()});
            while (m_passes.size() > kPassesKept)
                m_passes.pop_front();
        }
        --m_holds;
        deliverWhenFree();
    }

    void yieldBegins() { m_yields.push_back(QApplication::activeModalWidget()); }

    void yieldEnds()
    {
        m_yields.pop_back();
        deliverWhenFree();
    }

    int held() const { return int(m_held.size()); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            if (receiver->isWidgetType() && !event->spontaneous())
                shown(static_cast<QWidget*>(receiver));
            return false;
        case QEvent::Hide:
            if (receiver->isWidgetType())
                hidden(static_cast<QWidget*>(receiver));
            return false;
        case QEvent::Paint:
            if (receiver->isWidgetType())
                painted(static_cast<QWidget*>(receiver));
            return false;
        case QEvent::Expose:
            return receiver->isWindowType() && event != m_exposing
                   && exposed(static_cast<QWindow*>(receiver), static_cast<QExposeEvent*>(event));
        case QEvent::EnabledChange:
            if (receiver->isWidgetType())
                enabledChanged(static_cast<QWidget*>(receiver));
            return false;
        case QEvent::WindowActivate:
            if (receiver->isWidgetType() && static_cast<QWidget*>(receiver)->isWindow())
                m_windows[static_cast<QWidget*>(receiver)].activeSince = InputClock::localNow();
            return false;
        case QEvent::ChildRemoved:
            // Gone: its address may serve another widget.
            m_controls.remove(static_cast<QChildEvent*>(event)->child());
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return input(receiver, static_cast<QInputEvent*>(event));
        default:
            return false;
        }
    }

private:
    Gate() : QObject(QCoreApplication::instance()) {}

    // ---- What was shown, and when -------------------------------------------

    void shown(QWidget* w)
    {
        const qint64 now = InputClock::localNow();
        if (w->isWindow()) {
            WindowState& s = m_windows[w] = WindowState{};
            s.shownAt = now;
            s.paintedAt = kNotYet;
        } else {
            m_controls.insert(w, {now});
        }
    }

    void hidden(QWidget* w)
    {
        const qint64 now = InputClock::localNow();
        if (w->isWindow()) {
            m_windows.remove(w);
            if (w->isModal())
                m_modalGoneAt = now;
            return;
        }
        const bool wasPainted = paintedAt(w) <= now;
        m_controls.remove(w);
        vanish(w, wasPainted, now);
    }

    // A control the operator saw goes from under the finger: a touch made
    // before on its place meant it, not what lies there now.
    void vanish(QWidget* w, bool wasPainted, qint64 now)
    {
        QWidget* top = w->window();
        if (!wasPainted || !top->isVisible())
            return;
        auto it = m_windows.find(top);
        if (it == m_windows.end())
            it = m_windows.insert(top, WindowState{});
        auto& vanished = it->vanished;
        for (auto v = vanished.begin(); v != vanished.end();)
            v = now - v->at > kHistoryMs ? vanished.erase(v) : std::next(v);
        vanished.insert(w, {QRect(w->mapTo(top, QPoint(0, 0)), w->size()), now});
    }

    void painted(QWidget* w)
    {
        auto it = m_controls.find(w);
        if (it != m_controls.end() && it->paintedAt == kNotYet)
            it->paintedAt = InputClock::localNow();
    }

    // The window paints what the window system shows afresh (all of it when
    // first shown, a part a window over it left); noted once that is done.
    bool exposed(QWindow* window, QExposeEvent* event)
    {
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        const QRegion region = event->region();
        QT_WARNING_POP
        QWidget* top = widgetOf(window);
        if (region.isEmpty() || !top)
            return false;
        m_exposing = event;
        QCoreApplication::sendEvent(window, event);
        m_exposing = nullptr;
        const qint64 now = InputClock::localNow();
        auto it = m_windows.find(top);
        if (it == m_windows.end())
            return true;
        it->raisedAt = kNotYet;
        if (it->paintedAt == kNotYet) {
            it->paintedAt = now;
            return true;
        }
        // Uncovered: a touch made before saw what lay over it.
        noteAfresh(*it, region, now);
        return true;
    }

    // An older change that the new one covers drops no touch the new one
    // keeps: it goes, so that a burst of alarms leaves one entry, not one each.
    static void noteAfresh(WindowState& s, const QRegion& region, qint64 now)
    {
        auto& exposed = s.exposed;
        exposed.erase(std::remove_if(exposed.begin(), exposed.end(),
                                     [&](const auto& e) {
                                         return now - e.at > kHistoryMs || e.area.subtracted(region).isEmpty();
                                     }),
                      exposed.end());
        exposed.push_back({region, now});
    }

    void enabledChanged(QWidget* w)
    {
        if (w->isWindow() || !w->isVisible())
            return;
        const qint64 now = InputClock::localNow();
        if (w->isEnabled()) {
            // It looks disabled until painted again.
            m_controls.insert(w, {now});
        } else {
            vanish(w, paintedAt(w) <= now, now);
        }
    }

    qint64 paintedAt(const QWidget* w) const
    {
        const auto it = m_controls.constFind(w);
        if (it == m_controls.cend())
            return kLongAgo;
        if (it->paintedAt != kNotYet)
            return it->paintedAt;
        const qint64 late = it->shownAt + InputGate::ControlPaintWaitMs;
        return InputClock::localNow() >= late ? late : kNotYet;
    }

    static QWidget* widgetOf(const QWindow* window)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowHandle() == window)
                return w;
        return nullptr;
    }

    // ---- Input ----------------------------------------------------------------

    static bool closed(const QWidget* w)
    {
        const auto* form = qobject_cast<const Form*>(w->window());
        return form && form->IsUnloaded();
    }

    bool input(QObject* receiver, QInputEvent* event)
    {
        if (receiver->isWindowType()) {
            QWidget* top = widgetOf(static_cast<QWindow*>(receiver));
            return top && windowInput(top, event);
        }
        if (!receiver->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(receiver);
        if (closed(w))
            return true;
        // Sent to the control itself (not through its window): it keeps that aim.
        const QEvent::Type type = event->type();
        if (holdsNow() && type != QEvent::MouseMove && type != QEvent::Wheel
            && type != QEvent::ShortcutOverride) {
            keep(w, std::unique_ptr<QEvent>(event->clone()));
            return true;
        }
        return false;
    }

    // Input as the window system hands it to a window: judged, then held,
    // passed on, or dropped.
    bool windowInput(QWidget* top, QInputEvent* event)
    {
        WindowState& s = m_windows[top];
        const qint64 made = InputClock::madeAt(event->timestamp(), InputClock::localNow(), LoopWait::lastBegan());
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint p = mouse->position().toPoint();
            QWidget* target = top->childAt(p);
            if (!target)
                target = top;
            s.pressDropped = !seenAt(top, s, target, made, &p);
            s.pressTarget = s.pressDropped ? nullptr : target;
            if (s.pressDropped)
                return true;
            return holdFor(target, top, mouse);
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const bool release = event->type() == QEvent::MouseButtonRelease;
            if (release || mouse->buttons() != Qt::NoButton) {
                if (s.pressDropped) {
                    s.pressDropped = !release;
                    return true;
                }
                QWidget* aim = s.pressTarget;
                if (release)
                    s.pressTarget = nullptr;
                return aim && holdFor(aim, top, mouse);
            }
            // A pointer passing over, while held, means nothing later.
            return holdsNow();
        }
        case QEvent::Wheel: {
            const QPoint p = static_cast<QWheelEvent*>(event)->position().toPoint();
            QWidget* target = top->childAt(p);
            return !seenAt(top, s, target ? target : top, made, &p) || holdsNow();
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            QWidget* target = top->focusWidget();
            if (!target)
                target = top;
            if (event->type() == QEvent::ShortcutOverride) {
                // Asked before a key's shortcut (a button's mnemonic) fires:
                // taken here, the key goes on as a key, judged or held as one.
                if (!holdsNow() && seenAt(top, s, target, made, nullptr) && made >= s.activeSince)
                    return false;
                event->accept();
                return true;
            }
            if (event->type() == QEvent::KeyRelease) {
                if (s.droppedKeys.remove(key))
                    return true;
            } else if (!seenAt(top, s, target, made, nullptr) || made < s.activeSince) {
                // The keys went to the window that had them when typed.
                s.droppedKeys.insert(key);
                return true;
            }
            if (!holdsNow())
                return false;
            keep(target, std::unique_ptr<QEvent>(event->clone()));
            return true;
        }
        default:
            return false;
        }
    }

    // Whether, when the input was made, the window was shown and painted (at
    // p for a touch), uncovered, and the control on it shown and painted.
    bool seenAt(QWidget* top, const WindowState& s, QWidget* target, qint64 made, const QPoint* p) const
    {
        // A closed screen is hidden as it closes.
        if (!top->isVisible() || s.paintedAt > made || made < m_modalGoneAt)
            return false;
        for (const auto& [from, to] : m_passes)
            if (made >= from && made <= to)
                return false;
        if (p) {
            for (const auto& e : s.exposed)
                if (e.at > made && e.area.contains(*p))
                    return false;
            for (const auto& v : s.vanished)
                if (v.at > made && v.area.contains(*p))
                    return false;
        }
        for (QWidget* w = target; w && w != top; w = w->parentWidget())
            if (paintedAt(w) > made)
                return false;
        return true;
    }

    // A touch met while input is held waits for the control it reached.
    bool holdFor(QWidget* aim, QWidget* top, QMouseEvent* mouse)
    {
        if (!holdsNow())
            return false;
        auto held = std::make_unique<QMouseEvent>(mouse->type(), aim->mapFrom(top, mouse->position()),
                                                  mouse->scenePosition(), mouse->globalPosition(), mouse->button(),
                                                  mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
        held->setTimestamp(mouse->timestamp());
        keep(aim, std::move(held));
        return true;
    }

    // Input met now waits: in a yield, unless a modal window opened since.
    bool holdsNow() const { return !m_yields.empty() && QApplication::activeModalWidget() == m_yields.back(); }

    void keep(QWidget* aim, std::unique_ptr<QEvent> event)
    {
        m_held.push_back({aim, std::move(event), m_dropHolds > 0});
    }

    void deliverWhenFree()
    {
        if (m_holds > 0 || !m_yields.empty())
            return;
        auto events = std::move(m_held);
        m_held.clear();
        for (Held& h : events)
            if (!h.drop && stillThere(h.aim))
                QCoreApplication::postEvent(h.aim, h.event.release());
    }

    // Whether the control that input waited for still takes it: shown (its
    // screen not closed), enabled, and no modal window between.
    static bool stillThere(const QWidget* aim)
    {
        if (!aim || !aim->isVisible() || !aim->isEnabled())
            return false;
        const QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return true;
        // The modal window's own controls, and those of windows it owns, answer.
        for (const QWidget* w = aim->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
            if (w == modal)
                return true;
        return false;
    }

    QHash<const QObject*, WindowState> m_windows;
    QHash<const QObject*, ControlState> m_controls;
    qint64 m_modalGoneAt = kLongAgo;
    std::deque<std::pair<qint64, qint64>> m_passes;

    // Input met while the program holds it, for the control it was aimed at;
    // met while a pass held the program: dropped at the end.
    struct Held {
        QPointer<QWidget> aim;
        std::unique_ptr<QEvent> event;
        bool drop = false;
    };
    int m_holds = 0;
    int m_dropHolds = 0;
    // The modal window on top as each yield began, the innermost last.
    std::vector<QPointer<QWidget>> m_yields;
    std::vector<Held> m_held;
    // The expose the gate hands its window itself.
    const QEvent* m_exposing = nullptr;
};

} // namespace

void InputGate::install()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    QCoreApplication::instance()->installEventFilter(&Gate::instance());
    LoopWait::watch();
}

bool InputGate::paintPending()
{
    return Gate::instance().paintPending();
}

void InputGate::raised(QWidget* window)
{
    Gate::instance().raised(window);
}

void InputGate::holdBegins(bool drop)
{
    Gate::instance().holdBegins(drop);
}

void InputGate::holdEnds(bool drop, qint64 since)
{
    Gate::instance().holdEnds(drop, since);
}

void InputGate::yieldBegins()
{
    Gate::instance().yieldBegins();
}

void InputGate::yieldEnds()
{
    Gate::instance().yieldEnds();
}

int InputGate::held()
{
    return Gate::instance().held();
}

void InputGate::shownAfresh(QWidget* control, const QRect& area)
{
    Gate::instance().shownAfresh(control, area);
}

} // namespace plat
