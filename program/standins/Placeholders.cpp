#include "program/standins/Placeholders.h"

#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/standins/StandInDispatch.h"

namespace Placeholders {

void installSeams()
{
    static StandInMirrors mirrors;
    Dispatch::installed().mirrors = &mirrors;

    PollingSeams& engine = PollingSeams::installed();
    engine.synchroGeneraleBus = [] {};
    engine.midnightSynchro = [] {};
    engine.updatePanel = [](qint16, bool) {};
}

} // namespace Placeholders
