#include "platform/NestedLoop.h"

#include <QCoreApplication>
#include <QDynamicPropertyChangeEvent>
#include <QPointer>
#include <QVariant>

#include <vector>

namespace plat {

namespace {

const char* const kCounterName = "plat.NestedLoops";
const char* const kDepth = "depth";

// The object that carries the count: a child of the application, found by its
// name by every copy of this layer.
QObject* counter()
{
    static QPointer<QObject> cached;
    if (cached)
        return cached;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    cached = app->findChild<QObject*>(QLatin1String(kCounterName), Qt::FindDirectChildrenOnly);
    if (!cached) {
        cached = new QObject(app);
        cached->setObjectName(QLatin1String(kCounterName));
    }
    return cached;
}

int depth()
{
    QObject* c = counter();
    return c ? c->property(kDepth).toInt() : 0;
}

// The objects of this copy that wait for the last loop to return. It watches
// the count, which a loop of another copy may bring back to 0.
class Pending : public QObject {
public:
    static Pending* instance()
    {
        static QPointer<Pending> pending;
        if (!pending) {
            QObject* c = counter();
            if (!c)
                return nullptr;
            pending = new Pending(c);
            c->installEventFilter(pending);
        }
        return pending;
    }

    void add(QObject* obj) { m_objects.emplace_back(obj); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Released from the loop that ran the last nested one, not from inside
        // the change of the count: a deletion asked in there would run in the
        // next nested loop that the same code runs.
        if (event->type() == QEvent::DynamicPropertyChange
            && static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == kDepth && depth() == 0)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (depth() == 0)
                        release();
                },
                Qt::QueuedConnection);
        return false;
    }

private:
    explicit Pending(QObject* parent) : QObject(parent) {}

    void release()
    {
        const std::vector<QPointer<QObject>> objects = std::move(m_objects);
        m_objects.clear();
        for (const QPointer<QObject>& obj : objects)
            if (obj)
                obj->deleteLater();
    }

    std::vector<QPointer<QObject>> m_objects;
};

} // namespace

NestedLoop::NestedLoop()
{
    if (QObject* c = counter())
        c->setProperty(kDepth, depth() + 1);
}

NestedLoop::~NestedLoop()
{
    if (QObject* c = counter())
        c->setProperty(kDepth, depth() - 1);
}

bool NestedLoop::running()
{
    return depth() > 0;
}

void NestedLoop::deleteWhenDone(QObject* obj)
{
    Pending* pending = running() ? Pending::instance() : nullptr;
    if (pending)
        pending->add(obj);
    else
        obj->deleteLater();
}

} // namespace plat
