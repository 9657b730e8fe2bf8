#include "platform/LoopWait.h"

#include "platform/InputClock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <glib.h>

#include <atomic>
#include <limits>

namespace plat::LoopWait {

namespace {

std::atomic<qint64> g_lastBegan{std::numeric_limits<qint64>::min() / 2};
GPollFunc g_poll = nullptr;

// The GLib main context polls with a time-out only when none of its sources
// (Qt's posted events, timers, window system events) is ready; it waits when
// none of its descriptors is ready either.
gint pollNoting(GPollFD* fds, guint count, gint timeout)
{
    if (timeout != 0 && g_poll(fds, count, 0) == 0)
        g_lastBegan = InputClock::localNow();
    return g_poll(fds, count, timeout);
}

} // namespace

void watch()
{
    static bool watching = false;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()
                                                                                  ? QCoreApplication::instance()->thread()
                                                                                  : nullptr);
    if (watching || !dispatcher)
        return;
    watching = true;
    if (dispatcher->inherits("QEventDispatcherGlib")) {
        // Qt's loop on the application's thread runs the default context.
        GMainContext* context = g_main_context_default();
        g_poll = g_main_context_get_poll_func(context);
        g_main_context_set_poll_func(context, pollNoting);
        return;
    }
    // Qt's own dispatcher announces a wait once no posted event is left; input
    // the window system hands over meanwhile wakes it at once.
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher,
                     [] { g_lastBegan = InputClock::localNow(); });
}

qint64 lastBegan()
{
    return g_lastBegan;
}

} // namespace plat::LoopWait
