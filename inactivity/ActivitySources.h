#pragma once
// What the detector samples, each behind a small interface so that tests can
// put a fake in its place. defaultSources() gives the real ones on Linux.

#include "platform/Clock.h"

#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

namespace Stillmark {

// The pointer position on the screen, in pixels; nothing when it cannot be read.
class ICursorSource {
public:
    virtual ~ICursorSource() = default;
    virtual std::optional<QPoint> position() = 0;
};

// The raw x and y position of joystick id (0 or 1); nothing when it does not answer.
class IJoystickSource {
public:
    virtual ~IJoystickSource() = default;
    virtual std::optional<QPoint> position(int id) = 0;
};

// The screen saver's running flag: 1 while it runs, 0 otherwise or when unknown.
class IScreenSaverQuery {
public:
    virtual ~IScreenSaverQuery() = default;
    virtual int rawRunning() = 0;
};

// Reports each key press that counts as activity (system keys do not), for
// as long as the source lives.
class IKeySource {
public:
    virtual ~IKeySource() = default;
    virtual void setKeyDownHandler(std::function<void()> handler) = 0;
};

struct ActivitySources {
    std::unique_ptr<ICursorSource> cursor;
    std::unique_ptr<IJoystickSource> joysticks;
    std::unique_ptr<IScreenSaverQuery> screenSaver;
    std::unique_ptr<IKeySource> keys;
    // Times the key presses; must be monotonic and outlive the detector.
    plat::Clock* clock = &plat::systemClock();
};

// The cursor through Qt, joysticks 0 and 1 from /dev/input/js0 and js1, the
// desktop's screen-saver service, and the key presses delivered to this program.
ActivitySources defaultSources();

} // namespace Stillmark
