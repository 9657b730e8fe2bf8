#include "program/core/OnScreenKeyboard.h"

#include "platform/Process.h"

namespace OnScreenKeyboard {

void Start()
{
    // One keyboard is enough: the system's own keeps a single window too.
    if (plat::Process::runningCount(ExeName) > 0)
        return;
    // Debian's on-screen keyboard.
    plat::Process::start(QStringLiteral("onboard"), {}, ExeName);
}

} // namespace OnScreenKeyboard
