#include "platform/StopRequests.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace plat::StopRequests {

namespace {

// The write end is written by the signal handler: one byte, the signal's number.
int g_pipe[2] = {-1, -1};
Handler g_handler;
QPointer<QSocketNotifier> g_notifier;
QMetaObject::Connection g_session;

void onSignal(int signal)
{
    const char byte = char(signal);
    if (g_pipe[1] >= 0)
        (void)!::write(g_pipe[1], &byte, 1);
}

void deliver(Cause cause)
{
    if (g_handler)
        g_handler(cause);
}

void setSignals(void (*action)(int))
{
    struct sigaction sa {};
    sa.sa_handler = action;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

bool openPipe()
{
    if (g_pipe[0] >= 0)
        return true;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    g_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(g_notifier, &QSocketNotifier::activated, [] {
        char bytes[16];
        ssize_t n;
        while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0)
            for (ssize_t i = 0; i < n; ++i)
                deliver(bytes[i] == char(SIGTERM) ? Cause::Terminate : Cause::Interrupt);
    });
    return true;
}

} // namespace

void watch(Handler handler)
{
    g_handler = std::move(handler);
    if (!g_handler) {
        setSignals(SIG_DFL);
        QObject::disconnect(g_session);
        return;
    }
    if (!QCoreApplication::instance() || !openPipe())
        return;
    setSignals(onSignal);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (!g_session)
            g_session = QObject::connect(app, &QGuiApplication::commitDataRequest, app,
                                         [](QSessionManager&) { deliver(Cause::SessionEnd); }, Qt::DirectConnection);
    }
}

bool pending()
{
    if (g_pipe[0] < 0)
        return false;
    pollfd fd{g_pipe[0], POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}

} // namespace plat::StopRequests
