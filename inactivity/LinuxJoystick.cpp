#include "LinuxJoystick.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/joystick.h>
#include <unistd.h>

namespace Stillmark {

LinuxJoystick::LinuxJoystick(QString devicePath) : m_path(std::move(devicePath)) {}

LinuxJoystick::LinuxJoystick(int fd) : m_fd(fd)
{
    if (m_fd >= 0)
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
}

LinuxJoystick::~LinuxJoystick() { close(); }

void LinuxJoystick::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_partial.clear();
    m_position = QPoint();
}

std::optional<QPoint> LinuxJoystick::position()
{
    if (m_fd < 0 && !m_path.isEmpty())
        m_fd = ::open(m_path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return std::nullopt;

    char buffer[64 * sizeof(js_event)];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            // Unplugged (ENODEV) or the stream ended: missing until it opens again.
            close();
            return std::nullopt;
        }
        m_partial.append(buffer, n);
        qsizetype used = 0;
        for (; m_partial.size() - used >= qsizetype(sizeof(js_event)); used += sizeof(js_event)) {
            js_event e;
            std::memcpy(&e, m_partial.constData() + used, sizeof e);
            if ((e.type & ~JS_EVENT_INIT) != JS_EVENT_AXIS)
                continue;
            if (e.number == 0)
                m_position.setX(e.value);
            else if (e.number == 1)
                m_position.setY(e.value);
        }
        m_partial.remove(0, used);
    }
    return m_position;
}

LinuxJoysticks::LinuxJoysticks()
    : m_js0(QStringLiteral("/dev/input/js0")), m_js1(QStringLiteral("/dev/input/js1")) {}

std::optional<QPoint> LinuxJoysticks::position(int id)
{
    switch (id) {
    case 0:
        return m_js0.position();
    case 1:
        return m_js1.position();
    default:
        return std::nullopt;
    }
}

} // namespace Stillmark
