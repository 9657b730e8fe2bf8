#include "platform/PrinterPort.h"

#include "platform/AppIdentity.h"
#include "platform/Clock.h"
#include "platform/LineSpeeds.h"
#include "platform/ProfileFile.h"
#include "platform/RtError.h"
#include "platform/SerialPort.h"

#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace plat {

namespace {

// How long to wait before asking again a device that says it is ready but
// takes nothing (a parallel port driver that cannot be polled), and between
// looks at a serial line's output queue.
constexpr int RetryPauseMs = 5;

// A write to a pipe whose reader has gone raises SIGPIPE, which would end the
// program: it is held back for the length of the write and dropped if the
// write caused it.
class SigpipeHeld {
public:
    SigpipeHeld()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~SigpipeHeld()
    {
        if (m_raised && !m_wasPending) {
            const timespec zero {0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &zero) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    void raised() { m_raised = true; }

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
    bool m_raised = false;
};

} // namespace

PrinterPort::~PrinterPort()
{
    close();
}

QString PrinterPort::devicePath(const QString& portName)
{
    static const QRegularExpression numbered(QStringLiteral("^(LPT|COM)(\\d{1,3})$"));
    const QRegularExpressionMatch m = numbered.match(portName);
    if (m.hasMatch() && m.captured(1) == QLatin1String("COM"))
        return SerialPort::devicePath(m.captured(2).toInt());
    const QString fallback = m.hasMatch() ? QStringLiteral("/dev/lp%1").arg(m.captured(2).toInt() - 1) : QString();
    const QString path =
        ProfileFile::getString(QStringLiteral("Ports"), portName, fallback, AppIdentity::programFile(QStringLiteral(".ini")));
    return path.isEmpty() ? fallback : path;
}

int PrinterPort::open(const QString& portName)
{
    close();
    const QString path = portName.isEmpty() ? QString() : devicePath(portName);
    if (path.isEmpty())
        return ENOENT;
    int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Descriptor 0 reads as "closed" to the printer's users.
    if (fd < 3) {
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        const int err = errno;
        ::close(fd);
        if (moved < 0)
            return err;
        fd = moved;
    }
    m_fd = fd;
    // Asked once, not at every line.
    struct stat st {};
    m_serial = ::isatty(fd) == 1;
    m_pipe = ::fstat(fd, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
    return 0;
}

void PrinterPort::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int PrinterPort::getLine(PrinterLine& line) const
{
    termios tio {};
    if (m_fd < 0)
        return EBADF;
    if (::tcgetattr(m_fd, &tio) != 0)
        return errno;
    line.baud = LineSpeeds::Baud(::cfgetospeed(&tio));
    line.parity = !(tio.c_cflag & PARENB) ? 0
                  : (tio.c_cflag & CMSPAR) ? ((tio.c_cflag & PARODD) ? 3 : 4)
                  : (tio.c_cflag & PARODD) ? 1 : 2;
    switch (tio.c_cflag & CSIZE) {
    case CS5: line.dataBits = 5; break;
    case CS6: line.dataBits = 6; break;
    case CS7: line.dataBits = 7; break;
    default: line.dataBits = 8; break;
    }
    line.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
    return 0;
}

int PrinterPort::setLine(const PrinterLine& line)
{
    if (m_fd < 0)
        return EBADF;
    const speed_t speed = LineSpeeds::Setting(line.baud, LineSpeeds::PrinterHighest);
    if (speed == B0 || line.dataBits < 5 || line.dataBits > 8 || line.parity < 0 || line.parity > 4
        || line.stopBits < 0 || line.stopBits > 2)
        return EINVAL;
    termios tio {};
    if (::tcgetattr(m_fd, &tio) != 0)
        return errno;
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[line.dataBits - 5];
    switch (line.parity) {
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // The line has no one and a half stop bits: two is the safe side.
    if (line.stopBits > 0)
        tio.c_cflag |= CSTOPB;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return ::tcsetattr(m_fd, TCSANOW, &tio) == 0 ? 0 : errno;
}

int PrinterPort::getWriteTimeout(int& ms) const
{
    if (m_fd < 0)
        return EBADF;
    ms = m_writeTimeoutMs;
    return 0;
}

int PrinterPort::setWriteTimeout(int ms)
{
    if (m_fd < 0)
        return EBADF;
    m_writeTimeoutMs = std::max(ms, 0);
    return 0;
}

int PrinterPort::write(const QByteArray& bytes, qsizetype* taken)
{
    qsizetype done = 0;
    if (taken)
        *taken = 0;
    if (m_fd < 0)
        return EBADF;
    const qint64 deadline = systemClock().nowMs() + m_writeTimeoutMs;
    const bool serial = m_serial;
    // Only a pipe or a socket raises SIGPIPE.
    std::optional<SigpipeHeld> held;
    if (m_pipe)
        held.emplace();
    bool saidReady = false;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            if (taken)
                *taken = done;
            saidReady = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            if (errno == EPIPE && held)
                held->raised();
            return errno;
        }
        const qint64 left = deadline - systemClock().nowMs();
        if (left <= 0) {
            if (serial)
                ::tcflush(m_fd, TCOFLUSH);
            return ETIMEDOUT;
        }
        if (saidReady)
            systemClock().sleepMs(std::min<qint64>(RetryPauseMs, left));
        pollfd p {m_fd, POLLOUT, 0};
        const int r = ::poll(&p, 1, int(left));
        if (r < 0 && errno != EINTR)
            return errno;
        saidReady = r > 0;
    }
    return serial ? waitDrained(deadline) : 0;
}

int PrinterPort::waitDrained(qint64 deadlineMs)
{
    for (;;) {
        int pending = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &pending) != 0 || pending <= 0)
            return 0;
        const qint64 left = deadlineMs - systemClock().nowMs();
        if (left <= 0) {
            // Dropped, so that closing the port does not wait for them.
            ::tcflush(m_fd, TCOFLUSH);
            return ETIMEDOUT;
        }
        systemClock().sleepMs(std::min<qint64>(RetryPauseMs, left));
    }
}

QString PrinterPort::errorText(int err)
{
    return systemErrorText(err);
}

} // namespace plat
