#include "QtKeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace Stillmark {

QtKeyFilter::QtKeyFilter()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

QtKeyFilter::~QtKeyFilter()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool QtKeyFilter::countsAsActivity(const QKeyEvent& event)
{
    if (event.type() != QEvent::KeyPress)
        return false;
    if (event.key() == Qt::Key_Alt || event.key() == Qt::Key_F10)
        return false;
    return !(event.modifiers() & Qt::AltModifier);
}

bool QtKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_handler && countsAsActivity(*static_cast<QKeyEvent*>(event)))
        m_handler();
    return QObject::eventFilter(watched, event);
}

} // namespace Stillmark
