#include "platform/Form.h"

#include "platform/Captions.h"
#include "platform/FormTimer.h"
#include "platform/Forms.h"
#include "platform/InputGate.h"
#include "platform/NestedLoop.h"
#include "platform/NoticeOwner.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSet>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <vector>

namespace plat {

namespace {

// Fires a form's activation when the window system moves the activation to it
// from another window of the program (a dialog closed, another screen left),
// not when the program gets it back from another program, and not a second
// time for a form that its own show has just activated. Posted, so that the
// code that closed a dialog reads the dialog's results first.
class ActivationWatch : public QObject {
public:
    static ActivationWatch& instance()
    {
        static ActivationWatch* watch = new ActivationWatch;
        return *watch;
    }
    // The show has run the form's activation; its first activation by the
    // window system belongs to that show.
    void shown(Form* form) { m_shownNotFocused.insert(form); }
    void hidden(Form* form) { m_shownNotFocused.remove(form); }

private:
    ActivationWatch() : QObject(QCoreApplication::instance())
    {
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            connect(app, &QGuiApplication::focusWindowChanged, this, &ActivationWatch::focusMoved);
    }

    static Form* formOf(QWindow* window)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowHandle() == window)
                return qobject_cast<Form*>(w);
        return nullptr;
    }

    void focusMoved(QWindow* now)
    {
        // No window of the program has the activation: another program has it.
        const bool fromOwnWindow = m_focusInProgram && !m_fromPopup;
        m_focusInProgram = now != nullptr;
        m_fromPopup = now && (now->type() == Qt::Popup || now->type() == Qt::ToolTip);
        QPointer<Form> form = formOf(now);
        if (!form || m_shownNotFocused.remove(form) || !fromOwnWindow)
            return;
        QMetaObject::invokeMethod(
            form,
            [form] {
                if (form && !form->IsUnloaded() && form->isVisible() && !modalOver(form))
                    form->Form_Activate();
            },
            Qt::QueuedConnection);
    }

    // While another form is shown modal, no other can be the active one: an
    // activation that the window system hands it late does not count.
    static bool modalOver(const Form* form)
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            const auto* other = qobject_cast<const Form*>(w);
            if (other && other != form && other->IsModal() && other->isVisible())
                return true;
        }
        return false;
    }

    bool m_focusInProgram = false;
    bool m_fromPopup = false;
    // Forms leave at their hide and their deletion: no stale address stays.
    QSet<const Form*> m_shownNotFocused;
};

} // namespace

Form::Form(const QString& name, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
    ActivationWatch::instance();
    InputGate::install();
    NoticeOwner::install();
}

namespace {
// Whether the platform stacks windows. The offscreen platform (windows drawn
// in memory, no display server) has no stacking order to change, and it grants
// every activation at once, with no window manager to keep a modal window's
// keys: there, windows are neither raised nor activated.
bool hasStacking()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

// The window raised last, with the windows it owns: raising it again changes
// nothing on the glass.
QPointer<QWidget> g_front;

// Raises a window, the windows it owns (a dialog it asked) still above it.
// A window that comes over others is painted before the program blocks.
void raiseWithOwned(QWidget* w)
{
    const bool comesOver = g_front != w;
    g_front = w;
    w->raise();
    if (comesOver)
        InputGate::raised(w);
    for (QWidget* owned : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (owned->isWindow() && owned->isVisible()) {
            owned->raise();
            if (comesOver)
                InputGate::raised(owned);
        }
    // The topmost band (a report shown without waiting) stays above what came
    // over the others: on a display without a window manager nothing else
    // keeps it there.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != w && top->isVisible() && top->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            top->raise();
            if (comesOver)
                InputGate::raised(top);
        }
}

// Brings a window to the front, and the keys to it, or to the modal window
// that stands over it.
void bringToFront(QWidget* w)
{
    if (!hasStacking())
        return;
    raiseWithOwned(w);
    QWidget* modal = QApplication::activeModalWidget();
    (modal && modal != w ? modal : w)->activateWindow();
}
} // namespace

Form::~Form()
{
    ActivationWatch::instance().hidden(this);
    if (m_modalLoop)
        m_modalLoop->quit();
}

void Form::Nationality()
{
    applyCaptions(this);
}

void Form::Show(bool modal, QWidget* owner)
{
    if (m_unloaded)
        return;
    if (owner && owner->window() != this) {
        // The owner keeps the form above it while it is shown; the form's
        // life stays its own (see leaveOwner).
        const Qt::WindowFlags f = windowFlags();
        setParent(owner->window(), f | Qt::Window);
    }
    if (m_dialog && !isVisible()) {
        m_owner = owner ? owner->window() : nullptr;
        // The window exists first, so that its frame counts in the placement.
        create();
        if (m_placeAt)
            move(*m_placeAt);
        else
            centreOnOwner();
    }
    if (!modal) {
        show();
        bringToFront(this);
        return;
    }
    if (m_modalLoop) {
        bringToFront(this);
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    bringToFront(this);
    QEventLoop loop;
    m_modalLoop = &loop;
    QPointer<Form> self(this);
    if (isVisible() && !m_unloaded) {
        const NestedLoop waiting;
        loop.exec(QEventLoop::DialogExec);
    }
    if (self) {
        m_modalLoop = nullptr;
        setWindowModality(Qt::NonModal);
    }
}

void Form::centreOnOwner()
{
    QWidget* owner = m_owner;
    if (!owner || owner == this || !owner->isVisible()) {
        owner = QApplication::activeWindow();
        if (owner == this || (owner && !owner->isVisible()))
            owner = nullptr;
    }
    const QScreen* s = owner ? owner->screen() : screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 800, 600);
    // Frames included: move() places the frame.
    const QRect around = owner ? owner->frameGeometry() : area;
    QRect g(QPoint(0, 0), frameGeometry().size());
    g.moveCenter(around.center());
    // Wholly on the screen where it can be, its top left corner at least.
    g.moveLeft(std::max(area.left(), std::min(g.left(), area.right() + 1 - g.width())));
    g.moveTop(std::max(area.top(), std::min(g.top(), area.bottom() + 1 - g.height())));
    move(g.topLeft());
}

void Form::focusFirstField()
{
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        const bool isField = qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)
            || qobject_cast<QTextEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        if (!isField || w->window() != this || !w->isVisibleTo(this) || !w->isEnabled()
            || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        w->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void Form::Hide()
{
    hide();
}

void Form::ZOrder()
{
    if (hasStacking())
        raiseWithOwned(this);
}

void Form::setTopmost(bool on)
{
    if (Topmost() == on)
        return;
    const bool wasVisible = isVisible();
    const QRect g = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing a window flag hides the window: show it again where it was.
    if (wasVisible) {
        setGeometry(g);
        show();
    }
}

bool Form::Topmost() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

int Form::Left() const { return x() * kTwipsPerPixel; }
int Form::Top() const { return y() * kTwipsPerPixel; }
int Form::Width() const { return width() * kTwipsPerPixel; }
int Form::Height() const { return height() * kTwipsPerPixel; }

void Form::Move(int left, int top, int w, int h)
{
    move(left / kTwipsPerPixel, top / kTwipsPerPixel);
    if (w >= 0 || h >= 0)
        resize(w >= 0 ? w / kTwipsPerPixel : width(), h >= 0 ? h / kTwipsPerPixel : height());
}

void Form::closeEvent(QCloseEvent* event)
{
    // The window's close box: the form decides through its query-unload.
    event->ignore();
    if (!m_unloading && !m_unloaded)
        Forms::Unload(this, vbFormControlMenu);
}

void Form::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ActivationWatch::instance().shown(this);
    if (m_dialog)
        focusFirstField();
    Form_Activate();
    if (m_dialog) {
        // Without a window manager nothing activates the window, and an
        // inactive window sends no key to its focused field.
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                return;
            activateWindow();
            if (QWidget* field = focusWidget())
                field->setFocus(Qt::OtherFocusReason);
        });
    }
}

void Form::leaveOwner()
{
    if (parentWidget())
        setParent(nullptr, windowFlags() | Qt::Window);
}

void Form::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Hidden, the form needs its owner no more: once the owner goes, the
    // form would go with it (the engine form shown as the bus monitor).
    if (parentWidget())
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                leaveOwner();
        });
    ActivationWatch::instance().hidden(this);
    if (m_modalLoop)
        m_modalLoop->quit();
}

bool Form::doUnload(UnloadMode mode, bool force)
{
    if (m_unloaded)
        return true;
    if (m_unloading)
        return false;
    m_unloading = true;
    if (!force && Form_QueryUnload(mode)) {
        m_unloading = false;
        return false;
    }
    cancelWaitsOver();
    Form_Unload();
    m_unloaded = true;
    m_unloading = false;
    hide();
    if (m_modalLoop)
        m_modalLoop->quit();
    // An unloaded form does nothing more on its own, also while its
    // destruction waits.
    for (FormTimer* timer : findChildren<FormTimer*>())
        if (formOf(timer) == this)
            timer->setEnabled(false);
    // The forms this one owns live on: they are unloaded by their own turn.
    for (Form* owned : findChildren<Form*>(Qt::FindDirectChildrenOnly))
        owned->leaveOwner();
    emit unloaded(this);
    // Code of this form may wait in a nested loop (a chooser, a modal form, a
    // yield): it goes on when the loop returns, so the form stays until then.
    NestedLoop::deleteWhenDone(this);
    return true;
}

Form* Form::formOf(const QObject* obj)
{
    for (QObject* o = obj ? obj->parent() : nullptr; o; o = o->parent())
        if (auto* form = qobject_cast<Form*>(o))
            return form;
    return nullptr;
}

void Form::cancelWaitsOver()
{
    // The modal forms shown over this one and the dialogs (choosers) opened
    // over it, through the windows it owns; a modeless form over it lives on,
    // and so does what it shows.
    std::vector<QPointer<QWidget>> waits;
    std::function<void(QWidget*)> collect = [&](QWidget* w) {
        for (QObject* o : w->children()) {
            auto* child = qobject_cast<QWidget*>(o);
            if (!child)
                continue;
            if (auto* form = qobject_cast<Form*>(child)) {
                if (!form->IsModal())
                    continue;
                waits.emplace_back(form);
            } else if (qobject_cast<QDialog*>(child)) {
                waits.emplace_back(child);
            }
            collect(child);
        }
    };
    collect(this);
    // Innermost first. Closed without an answer: the caller reads a cancel.
    for (auto it = waits.rbegin(); it != waits.rend(); ++it) {
        QWidget* w = *it;
        if (!w || !w->isVisible())
            continue;
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->hide();
    }
}

} // namespace plat
