#include "tools/modsim/PtyServer.h"

#include "platform/LineSpeeds.h"

#include <QByteArray>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace modsim {

namespace {

QString sysError(const QString& what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

void makeRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        tcsetattr(fd, TCSANOW, &t);
    }
}

qint64 monotonicUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

} // namespace

PtyServer::PtyServer(Simulator& sim)
    : m_sim(sim)
{
}

PtyServer::~PtyServer()
{
    close();
}

bool PtyServer::openLink(const QString& linkPath, QString* error)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = sysError(QStringLiteral("openpty"));
        return false;
    }
    makeRaw(slave);
    const QByteArray link = linkPath.toLocal8Bit();
    struct stat st{};
    if (lstat(link.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
            ::close(master);
            ::close(slave);
            return false;
        }
        ::unlink(link.constData());
    }
    if (symlink(name, link.constData()) != 0) {
        *error = sysError(QStringLiteral("symlink %1").arg(linkPath));
        ::close(master);
        ::close(slave);
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_fd = master;
    m_panelFd = slave;
    m_link = linkPath;
    m_panelName = QString::fromLocal8Bit(name);
    return true;
}

bool PtyServer::openDevice(const QString& path, QString* error)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        *error = sysError(QStringLiteral("open %1").arg(path));
        return false;
    }
    makeRaw(fd);
    if (m_sim.lineSpeed() > 0) {
        termios t{};
        if (tcgetattr(fd, &t) == 0) {
            // A real line runs at the emulated speed; a pseudo-terminal ignores it.
            const speed_t speed = plat::LineSpeeds::Setting(m_sim.lineSpeed(), plat::LineSpeeds::SerialControlHighest);
            if (speed != B0)
                cfsetspeed(&t, speed);
            if (m_sim.bitsPerChar() >= 11)
                t.c_cflag |= CSTOPB;
            tcsetattr(fd, TCSANOW, &t);
        }
    }
    m_fd = fd;
    m_panelName = path;
    return true;
}

void PtyServer::close()
{
    if (!m_link.isEmpty()) {
        // Remove the link only while it still points at our pseudo-terminal.
        const QByteArray link = m_link.toLocal8Bit();
        char target[256] = {};
        const ssize_t n = readlink(link.constData(), target, sizeof(target) - 1);
        if (n > 0 && QString::fromLocal8Bit(target, int(n)) == m_panelName)
            ::unlink(link.constData());
        m_link.clear();
    }
    if (m_panelFd >= 0)
        ::close(m_panelFd);
    if (m_fd >= 0)
        ::close(m_fd);
    m_panelFd = -1;
    m_fd = -1;
}

bool PtyServer::run(const std::atomic<bool>& stop, const std::function<void(qint64 nowMs)>& tick, QString* error)
{
    constexpr int TickMs = 20;
    char buf[512];
    while (!stop.load()) {
        qint64 now = monotonicUs();
        qint64 wakeUs = now + TickMs * 1000;
        if (auto t = m_sim.nextDueUs())
            wakeUs = std::min(wakeUs, *t);
        if (auto t = m_sim.idleDeadlineUs())
            wakeUs = std::min(wakeUs, *t);
        // Wake to the microsecond: the emulated line paces every reply byte.
        const qint64 waitUs = std::max<qint64>(0, wakeUs - now);
        const timespec timeout{time_t(waitUs / 1000000), long(waitUs % 1000000) * 1000};
        pollfd p{m_fd, POLLIN, 0};
        const int r = ::ppoll(&p, 1, &timeout, nullptr);
        if (r < 0 && errno != EINTR) {
            *error = sysError(QStringLiteral("poll"));
            return false;
        }
        now = monotonicUs();
        if (r > 0 && (p.revents & POLLIN)) {
            for (;;) {
                const ssize_t n = ::read(m_fd, buf, sizeof(buf));
                if (n > 0) {
                    // The bytes come in at once on a pseudo-terminal; on an emulated
                    // line they would have taken their time to arrive.
                    const qint64 arrival = std::max(now, m_lastArrivalUs) + m_sim.charsUs(double(n));
                    m_lastArrivalUs = arrival;
                    m_sim.receive(QByteArray(buf, int(n)), arrival);
                    continue;
                }
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0 && errno != EAGAIN && errno != EIO) {
                    *error = sysError(QStringLiteral("read"));
                    return false;
                }
                break;
            }
        } else if (r > 0 && (p.revents & (POLLHUP | POLLERR))) {
            // Nobody on the other end of a device we do not own: wait without spinning.
            ::usleep(TickMs * 1000);
        }
        m_sim.idle(now);
        const QByteArray out = m_sim.takeDue(now);
        for (int done = 0; done < out.size();) {
            const ssize_t w = ::write(m_fd, out.constData() + done, size_t(out.size() - done));
            if (w > 0) {
                done += int(w);
            } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd q{m_fd, POLLOUT, 0};
                ::poll(&q, 1, TickMs);
            } else {
                break; // nobody to hear it: a reply on a dead line is lost
            }
        }
        if (tick)
            tick(now / 1000);
    }
    return true;
}

} // namespace modsim
