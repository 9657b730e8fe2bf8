#include "platform/InputHold.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

namespace plat {

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

// Keeps the input events sent while a yield runs, for delivery afterwards.
class Holder : public QObject {
public:
    int scopes = 0;
    int yields = 0;
    QPointer<QWidget> modalAtYield;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held;

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (yields == 0 || !isInput(event->type()) || QApplication::activeModalWidget() != modalAtYield)
            return false;
        held.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
        return true;
    }

    void deliver()
    {
        auto events = std::move(held);
        held.clear();
        for (auto& [receiver, event] : events)
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
    }
};

Holder& holder()
{
    static Holder* h = [] {
        auto* made = new Holder;
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(made);
        return made;
    }();
    return *h;
}

} // namespace

InputHold::InputHold()
{
    ++holder().scopes;
}

InputHold::~InputHold()
{
    Holder& h = holder();
    if (--h.scopes == 0 && h.yields == 0)
        h.deliver();
}

void InputHold::yield()
{
    Holder& h = holder();
    const QPointer<QWidget> outerModal = h.modalAtYield;
    h.modalAtYield = QApplication::activeModalWidget();
    ++h.yields;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    --h.yields;
    h.modalAtYield = outerModal;
    if (h.scopes == 0 && h.yields == 0)
        h.deliver();
}

int InputHold::held()
{
    return int(holder().held.size());
}

} // namespace plat
