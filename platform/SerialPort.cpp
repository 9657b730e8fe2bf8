#include "platform/SerialPort.h"

#include "platform/AppIdentity.h"
#include "platform/LineSpeeds.h"
#include "platform/ProfileFile.h"
#include "platform/RtError.h"

#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace plat {

namespace {

// The control's own errors, numbered as the communications control numbered them.
constexpr int PortAlreadyOpen = 8005;
constexpr int PortNotOpen = 8018;

// A write that makes no progress for this long means a stuck device, not a slow line.
constexpr int WriteStallMs = 2000;

bool deviceGone(int err) { return err == EIO || err == ENXIO || err == ENODEV; }

} // namespace

bool LineSettings::parse(const QString& text, LineSettings& out)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    LineSettings s;
    bool ok = false;
    s.speed = parts[0].trimmed().toInt(&ok);
    if (!ok || LineSpeeds::Setting(s.speed, LineSpeeds::SerialControlHighest) == B0)
        return false;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QString("NEOMS").contains(parity))
        return false;
    s.parity = parity[0];
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop == "1")
        s.stopBits = 1;
    else if (stop == "1.5")
        s.stopBits = 1.5;
    else if (stop == "2")
        s.stopBits = 2;
    else
        return false;
    out = s;
    return true;
}

SerialPort::SerialPort() = default;

SerialPort::~SerialPort()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SerialPort::devicePath(int port)
{
    const QString fallback = QString("/dev/ttyS%1").arg(port - 1);
    const QString path = ProfileFile::getString("Ports", QString("COM%1").arg(port), fallback,
                                                AppIdentity::programFile(".ini"));
    return path.isEmpty() ? fallback : path;
}

QString SerialPort::portName() const { return QString("COM%1").arg(m_port); }

void SerialPort::setCommPort(int port)
{
    if (m_fd >= 0)
        throw RtError(PortAlreadyOpen, "Port already open");
    if (port < 1 || port > 255)
        throw RtError(rt::InvalidPropertyValue, QString("Invalid port number %1").arg(port));
    m_port = port;
}

void SerialPort::setSettings(const QString& settings)
{
    LineSettings parsed;
    if (!LineSettings::parse(settings, parsed))
        throw RtError(rt::InvalidPropertyValue,
                      QString("Invalid property value: serial settings \"%1\"").arg(settings));
    m_settings = settings;
    if (m_fd >= 0)
        applySettings();
}

void SerialPort::setPortOpen(bool open)
{
    if (!open) {
        close();
        return;
    }
    if (m_fd >= 0)
        throw RtError(PortAlreadyOpen, "Port already open");
    this->open();
}

void SerialPort::open()
{
    m_device = devicePath(m_port);
    m_lostReason.clear();
    m_in.clear();
    const QByteArray path = m_device.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        throw RtError(errnoError(err).number(),
                      QString("Cannot open serial port %1 (%2): %3").arg(portName(), m_device, systemErrorText(err)));
    }
    if (!::isatty(fd)) {
        ::close(fd);
        throw RtError(rt::BadFileNameOrNumber,
                      QString("Cannot open serial port %1 (%2): not a serial device").arg(portName(), m_device));
    }
    m_fd = fd;
    try {
        applySettings();
        applyRts();
        ::tcflush(m_fd, TCIOFLUSH);
    } catch (...) {
        close();
        throw;
    }
}

void SerialPort::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_in.clear();
    m_lostReason.clear();
}

void SerialPort::applySettings()
{
    LineSettings s;
    LineSettings::parse(m_settings, s);   // validated when set
    termios tio {};
    if (::tcgetattr(m_fd, &tio) != 0) {
        const int err = errno;
        if (deviceGone(err))
            lost(err);
        throw RtError(rt::DeviceIOError, QString("Cannot read the line settings of serial port %1 (%2): %3")
                                             .arg(portName(), m_device, systemErrorText(err)));
    }
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (s.dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    switch (s.parity.unicode()) {
    case 'E': tio.c_cflag |= PARENB; break;
    case 'O': tio.c_cflag |= PARENB | PARODD; break;
    case 'M': tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 'S': tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // The line has no 1.5 stop bits setting for 8-bit characters; 2 is the safe side.
    if (s.stopBits > 1)
        tio.c_cflag |= CSTOPB;
    // Reads never block: the bus code polls the count of received bytes.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = LineSpeeds::Setting(s.speed, LineSpeeds::SerialControlHighest);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        const int err = errno;
        if (deviceGone(err))
            lost(err);
        throw RtError(rt::DeviceIOError, QString("Cannot set the line settings \"%1\" of serial port %2 (%3): %4")
                                             .arg(m_settings, portName(), m_device, systemErrorText(err)));
    }
}

void SerialPort::applyRts()
{
    int bits = TIOCM_RTS;
    if (::ioctl(m_fd, m_rts ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
        const int err = errno;
        // A pseudo-terminal has no modem lines.
        if (err == ENOTTY || err == EINVAL)
            return;
        if (deviceGone(err))
            lost(err);
    }
}

void SerialPort::setRTSEnable(bool enable)
{
    m_rts = enable;
    if (!m_lostReason.isEmpty())
        checkUsable("RTSEnable");
    if (m_fd >= 0)
        applyRts();
}

void SerialPort::checkUsable(const char* what) const
{
    if (!m_lostReason.isEmpty())
        throw RtError(rt::DeviceUnavailable, m_lostReason);
    if (m_fd < 0)
        throw RtError(PortNotOpen, QString("Operation valid only when the port is open (%1 of %2)")
                                       .arg(QString::fromLatin1(what), portName()));
}

void SerialPort::lost(int err) const
{
    m_lostReason = QString("Serial port %1 (%2) is no longer available: %3")
                       .arg(portName(), m_device, systemErrorText(err));
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_in.clear();
    throw RtError(rt::DeviceUnavailable, m_lostReason);
}

void SerialPort::pump() const
{
    char buf[512];
    for (;;) {
        const ssize_t r = ::read(m_fd, buf, sizeof buf);
        if (r > 0) {
            m_in.append(buf, int(r));
            continue;
        }
        if (r == 0)
            lost(EIO);   // hung up: the device or the other end of the line is gone
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return;
        lost(errno);
    }
}

int SerialPort::InBufferCount() const
{
    checkUsable("InBufferCount");
    pump();
    return int(m_in.size());
}

void SerialPort::setInBufferCount(int count)
{
    checkUsable("InBufferCount");
    if (count != 0)
        throw RtError(rt::InvalidPropertyValue, "Invalid property value: InBufferCount can only be set to 0");
    if (::tcflush(m_fd, TCIFLUSH) != 0 && deviceGone(errno))
        lost(errno);
    m_in.clear();
}

int SerialPort::OutBufferCount() const
{
    checkUsable("OutBufferCount");
    int pending = 0;
    if (::ioctl(m_fd, TIOCOUTQ, &pending) != 0) {
        if (deviceGone(errno))
            lost(errno);
        return 0;
    }
    return pending;
}

void SerialPort::setOutBufferCount(int count)
{
    checkUsable("OutBufferCount");
    if (count != 0)
        throw RtError(rt::InvalidPropertyValue, "Invalid property value: OutBufferCount can only be set to 0");
    // Output is drained as it is written, so there is never a frame here to cut off.
    if (::tcflush(m_fd, TCOFLUSH) != 0 && deviceGone(errno))
        lost(errno);
}

void SerialPort::Output(const QByteArray& bytes)
{
    checkUsable("Output");
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (w > 0) {
            done += w;
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            lost(errno);
        pollfd p {m_fd, POLLOUT, 0};
        const int r = ::poll(&p, 1, WriteStallMs);
        if (r == 0)
            throw RtError(rt::DeviceIOError, QString("Serial port %1 (%2): output stalled").arg(portName(), m_device));
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            lost(EIO);
    }
    // The frame leaves the line before the caller goes on: a later discard of the
    // output buffer must never cut it short.
    while (::tcdrain(m_fd) != 0) {
        if (errno == EINTR)
            continue;
        if (deviceGone(errno))
            lost(errno);
        break;
    }
}

QByteArray SerialPort::Input()
{
    checkUsable("Input");
    pump();
    QByteArray taken;
    taken.swap(m_in);
    return taken;
}

bool SerialPort::waitForInput(int timeoutMs)
{
    checkUsable("Input");
    pollfd p {m_fd, POLLIN, 0};
    int r;
    do
        r = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    while (r < 0 && errno == EINTR);
    // A hang-up shows as readable; the next count sees it as a lost device.
    return true;
}

} // namespace plat
