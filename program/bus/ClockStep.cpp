#include "program/bus/ClockStep.h"

#include "program/bus/CommandClasses.h"
#include "program/core/ConfigClass.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"

namespace ClockStep {

int BringBack(ConfigClass& config, CommandClasses& commands, const plat::DateTime& now)
{
    const plat::DateTime latest = now.addSeconds(LongestRestSeconds);
    int moved = 0;
    for (int m = 1; m <= Limits::Modules; ++m) {
        const std::shared_ptr<PanelClass> panel = config.Panel(qint16(m));
        if (panel && panel->NextPoll() > latest) {
            panel->setNextPoll(now);
            ++moved;
        }
    }
    for (const CommandPtr& cmd : commands) {
        if (cmd->SendTime() > latest) {
            cmd->setSendTime(now);
            ++moved;
        }
    }
    return moved;
}

} // namespace ClockStep
