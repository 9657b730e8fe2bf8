#include "platform/NoticeOwner.h"

#include "platform/Form.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace plat::NoticeOwner {

namespace {

class Watch : public QObject {
public:
    Watch() : QObject(QCoreApplication::instance()) {}

protected:
    bool eventFilter(QObject* obj, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && obj->isWidgetType()
            && static_cast<QWidget*>(obj)->isWindow() && !m_queued) {
            // After the show or hide has run, when the modal windows are counted.
            m_queued = true;
            QMetaObject::invokeMethod(this, [this] { ownNotices(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void ownNotices()
    {
        m_queued = false;
        QWindow* modal = QGuiApplication::modalWindow();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* notice = qobject_cast<Form*>(w);
            if (!notice || !notice->IsNotice() || !notice->isVisible() || !notice->windowHandle())
                continue;
            QWindow* window = notice->windowHandle();
            if (window != modal && window->transientParent() != modal)
                window->setTransientParent(modal);
        }
    }

    bool m_queued = false;
};

} // namespace

void install()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    QCoreApplication::instance()->installEventFilter(new Watch);
}

} // namespace plat::NoticeOwner
