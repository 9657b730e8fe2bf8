#include "program/standins/Placeholders.h"

#include "platform/Forms.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/core/FormNames.h"
#include "program/standins/StandInDispatch.h"
#include "program/standins/StandInEnginePrinter.h"
#include "program/standins/StandInMain.h"

namespace Placeholders {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wMain, [] { return new StandInMain; });
}

void installSeams()
{
    static StandInHistory history;
    static StandInPrinter printer;
    static StandInMirrors mirrors;
    Dispatch::Seams& dispatch = Dispatch::installed();
    dispatch.history = &history;
    dispatch.printer = &printer;
    dispatch.mirrors = &mirrors;

    PollingSeams& engine = PollingSeams::installed();
    engine.synchroGeneraleBus = [] {};
    engine.midnightSynchro = [] {};
    engine.updatePanel = [](qint16, bool) {};
    // A port named before the ":" cannot be tested yet: no printing to it.
    engine.testPrintPort = [](const QString& prtSettings) {
        return prtSettings.section(QLatin1Char(':'), 0, 0).isEmpty();
    };
    engine.newPrinter = [] { return std::make_shared<StandInEnginePrinter>(); };
    // The new day's housekeeping (new trace log, purge and copy of the files).
    engine.doMidnightActions = [] {};
}

} // namespace Placeholders
