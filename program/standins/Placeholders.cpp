#include "program/standins/Placeholders.h"

#include "platform/Forms.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/core/FormNames.h"
#include "program/standins/StandInDispatch.h"
#include "program/standins/StandInMain.h"

namespace Placeholders {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wMain, [] { return new StandInMain; });
}

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
