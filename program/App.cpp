#include "program/App.h"

#include "platform/Captions.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "program/bus/BusForms.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/EnginePrinter.h"
#include "program/core/ErrorHandling.h"
#include "program/core/InputDialogs.h"
#include "program/core/dlgUserCodes.h"
#include "program/runtime/DirectPrinting.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/RuntimeForms.h"
#include "program/screens/bus/BusScreens.h"
#include "program/screens/system/SystemScreens.h"

namespace App {

void registerForms()
{
    CoreForms::registerForms();
    InputDialogs::registerForms();
    dlgUserCodes::registerForm();
    BusForms::registerForms();
    RuntimeForms::registerForms();
    SystemScreens::registerForms();
    BusScreens::registerForms();
}

void installSeams()
{
    Dispatch::Seams& dispatch = Dispatch::installed();
    dispatch.rules = &HistoProcs::Rules();
    dispatch.history = &HistoProcs::History();
    dispatch.printer = &HistoProcs::Printer();
    // The printers of the engine and of the port test are raw line printers.
    EnginePrinter::setFactory([] { return std::make_shared<DirectPrinting>(); });
    PollingSeams::installed().doMidnightActions = &Config::DoMidnightActions;
    wPolling::setPortFactory([] { return std::make_unique<plat::SerialPort>(); });
    CommFunctions::setClock(&plat::systemClock());
}

void assemble()
{
    ErrorHandling::Install();
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
    registerForms();
    installSeams();
}

} // namespace App
