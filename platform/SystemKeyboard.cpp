#include "platform/SystemKeyboard.h"

#include "platform/Process.h"

namespace plat::SystemKeyboard {

namespace {

// The keyboard of the panel's desktop.
const QString kDesktopKeyboard = QStringLiteral("onboard");
// The name the started process is listed under, whatever program it is.
const QString kListedAs = QStringLiteral("system-keyboard");

struct Program {
    QString program = kDesktopKeyboard;
    QStringList arguments;
};

Program& program()
{
    static Program p;
    return p;
}

} // namespace

bool start()
{
    if (running())
        return true;
    return Process::start(program().program, program().arguments, kListedAs);
}

void end()
{
    Process::terminateStarted(kListedAs);
}

bool running()
{
    return Process::runningCount(kListedAs) > 0;
}

void setProgram(const QString& name, const QStringList& arguments)
{
    program() = name.isEmpty() ? Program{} : Program{name, arguments};
}

} // namespace plat::SystemKeyboard
