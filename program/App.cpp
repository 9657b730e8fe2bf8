#include "program/App.h"

#include "platform/Captions.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "program/bus/BusForms.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/ErrorHandling.h"
#include "program/core/InputDialogs.h"
#include "program/core/dlgUserCodes.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/RuntimeForms.h"
#include "program/standins/Placeholders.h"

namespace App {

void registerForms()
{
    CoreForms::registerForms();
    InputDialogs::registerForms();
    dlgUserCodes::registerForm();
    BusForms::registerForms();
    RuntimeForms::registerForms();
    Placeholders::registerForms();
}

void installSeams()
{
    Dispatch::installed().rules = &HistoProcs::Rules();
    Placeholders::installSeams();
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
