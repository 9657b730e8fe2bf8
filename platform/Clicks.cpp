#include "platform/Clicks.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace plat {

namespace {

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* control, std::function<void()> handler, QAbstractButton* image)
        : QObject(control), m_handler(std::move(handler)), m_image(image)
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* control = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
                return false;
            m_pressed = true;
            setDown(true);
            return true;
        case QEvent::MouseButtonRelease: {
            if (!m_pressed || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
                return false;
            m_pressed = false;
            setDown(false);
            const bool inside = control->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (inside && control->isEnabled())
                m_handler();
            return true;
        }
        default:
            return false;
        }
    }

private:
    void setDown(bool down)
    {
        if (m_image)
            m_image->setDown(down);
    }

    std::function<void()> m_handler;
    QPointer<QAbstractButton> m_image;
    bool m_pressed = false;
};

} // namespace

void onClick(QWidget* control, std::function<void()> handler)
{
    new ClickFilter(control, std::move(handler), nullptr);
}

void forwardClicks(QWidget* caption, QAbstractButton* image)
{
    QPointer<QAbstractButton> target(image);
    new ClickFilter(
        caption,
        [target] {
            if (target)
                target->click();
        },
        image);
}

} // namespace plat
