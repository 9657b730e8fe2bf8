#include "platform/Form.h"

#include "platform/Captions.h"
#include "platform/Forms.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace plat {

Form::Form(const QString& name, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

namespace {
// Brings a window to the front; the offscreen platform of the tests has no stacking.
void bringToFront(QWidget* w)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    w->raise();
    w->activateWindow();
}
} // namespace

Form::~Form()
{
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
        // Keep the owner relation for stacking without reparenting the form's lifetime.
        const Qt::WindowFlags f = windowFlags();
        setParent(owner->window(), f | Qt::Window);
    }
    if (m_dialog && !isVisible()) {
        m_owner = owner ? owner->window() : nullptr;
        // The window exists first, so that its frame counts in the placement.
        create();
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
    if (isVisible() && !m_unloaded)
        loop.exec(QEventLoop::DialogExec);
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

void Form::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
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
    Form_Unload();
    m_unloaded = true;
    m_unloading = false;
    hide();
    if (m_modalLoop)
        m_modalLoop->quit();
    emit unloaded(this);
    deleteLater();
    return true;
}

} // namespace plat
