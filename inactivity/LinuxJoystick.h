#pragma once
// One joystick through the Linux joystick API (/dev/input/jsN): the device
// sends a record per axis or button change, and the first records after the
// open (marked "init") give the state at that moment. The reader keeps the
// last x (axis 0) and y (axis 1) it has seen.

#include "ActivitySources.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace Stillmark {

class LinuxJoystick {
public:
    // Opens the device at each sample while it is missing, so that a joystick
    // plugged in later is found.
    explicit LinuxJoystick(QString devicePath);
    // Reads an already open descriptor (a pipe in tests); takes it over.
    explicit LinuxJoystick(int fd);
    ~LinuxJoystick();
    LinuxJoystick(const LinuxJoystick&) = delete;
    LinuxJoystick& operator=(const LinuxJoystick&) = delete;

    // Reads every pending record and gives the position; nothing when the
    // device is missing or has gone (it is then closed).
    std::optional<QPoint> position();

private:
    void close();

    QString m_path;
    int m_fd = -1;
    QPoint m_position;
    QByteArray m_partial;   // the start of a record not read whole yet
};

// Joysticks 0 and 1 at /dev/input/js0 and /dev/input/js1.
class LinuxJoysticks : public IJoystickSource {
public:
    LinuxJoysticks();
    std::optional<QPoint> position(int id) override;

private:
    LinuxJoystick m_js0;
    LinuxJoystick m_js1;
};

} // namespace Stillmark
