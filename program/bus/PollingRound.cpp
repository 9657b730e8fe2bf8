#include "program/bus/PollingRound.h"

#include "program/core/ConfigClass.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"

namespace PollingRound {

Choice next(qint16 position, const plat::DateTime& now, const ConfigClass& config)
{
    Choice choice;
    qint16 p = position < 1 ? qint16(Limits::Modules) : position;
    const qint16 start = p;
    do {
        p = qint16(p % Limits::Modules + 1);
        if (p == Limits::Modules)
            choice.roundComplete = true;
        const PanelClass& panel = *config.Panel(p);
        if (panel.Model() > 0 && panel.Active() && now > panel.NextPoll()) {
            choice.due = true;
            break;
        }
    } while (p != start);
    choice.module = p;
    return choice;
}

} // namespace PollingRound
