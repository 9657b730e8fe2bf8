#pragma once
// Stand-ins for a printer's port that a test can read: a pseudo-terminal for
// a serial printer, a FIFO for a parallel one. The printer finds them through
// the program's INI file, section "Ports".

#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace printer_devices {

inline void mapPort(const QString& port, const QString& device)
{
    VEXfonctions::SetIni(QStringLiteral("Ports"), port, device);
}

// Reads what the descriptor has, waiting up to waitMs for the first byte and
// a little for more.
inline QByteArray readFrom(int fd, int waitMs)
{
    QByteArray got;
    for (int wait = waitMs;; wait = 50) {
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, wait) <= 0 || !(p.revents & POLLIN))
            return got;
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            return got;
        got.append(buf, int(n));
    }
}

// A pseudo-terminal pair: the printer opens the device end by its path.
class PtyLine {
public:
    PtyLine()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_device = QString::fromLocal8Bit(::ptsname(m_master));
        // Held open, so that the line never hangs up while the printer's end
        // is closed between lines; raw, as the line discipline would turn a
        // CR into CR LF.
        if (!m_device.isEmpty()) {
            m_slave = ::open(m_device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
            termios tio {};
            ::tcgetattr(m_slave, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(m_slave, TCSANOW, &tio);
        }
    }
    ~PtyLine()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    QString device() const { return m_device; }
    QByteArray read(int waitMs = 300) const { return readFrom(m_master, waitMs); }

    // The line settings the device end has now.
    termios settings() const
    {
        termios tio {};
        ::tcgetattr(m_slave, &tio);
        return tio;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_device;
};

// A FIFO in the program folder. Until a reader opens it, a printer cannot.
class Fifo {
public:
    explicit Fifo(const QString& name = QStringLiteral("lp.fifo"))
        : m_path(testing_support::programFolder() + QLatin1Char('/') + name)
    {
        ::mkfifo(QFile::encodeName(m_path).constData(), 0600);
    }
    ~Fifo() { closeReader(); }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    QString path() const { return m_path; }
    bool openReader()
    {
        m_reader = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        return m_reader >= 0;
    }
    void closeReader()
    {
        if (m_reader >= 0)
            ::close(m_reader);
        m_reader = -1;
    }
    // The FIFO holds this many bytes at the most (a page at the least).
    void setBufferSize(int bytes) { ::fcntl(m_reader, F_SETPIPE_SZ, bytes); }
    QByteArray read(int waitMs = 300) const { return readFrom(m_reader, waitMs); }

private:
    QString m_path;
    int m_reader = -1;
};

} // namespace printer_devices
