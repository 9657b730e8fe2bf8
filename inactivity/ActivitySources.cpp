#include "ActivitySources.h"

#include "LinuxJoystick.h"
#include "QtKeyFilter.h"
#include "ScreenSaverQuery.h"

#include <QCursor>
#include <QGuiApplication>

namespace Stillmark {

namespace {
// The pointer through Qt: on X11 the core pointer, which touches move too.
class QtCursorSource : public ICursorSource {
public:
    std::optional<QPoint> position() override
    {
        // QCursor needs a GUI application.
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return std::nullopt;
        return QCursor::pos();
    }
};
} // namespace

ActivitySources defaultSources()
{
    ActivitySources s;
    s.cursor = std::make_unique<QtCursorSource>();
    s.joysticks = std::make_unique<LinuxJoysticks>();
    s.screenSaver = makeScreenSaverQuery();
    s.keys = std::make_unique<QtKeyFilter>();
    s.clock = &plat::systemClock();
    return s;
}

} // namespace Stillmark
