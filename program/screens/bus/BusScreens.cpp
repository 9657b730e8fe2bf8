#include "program/screens/bus/BusScreens.h"

#include "platform/Forms.h"
#include "program/screens/bus/dlgBusCopy.h"
#include "program/screens/bus/wBusModules.h"
#include "program/screens/bus/wBusPanneau.h"

namespace BusScreens {

void registerForms()
{
    plat::Forms::registerForm(wBusModules::FormName, [] { return new wBusModules; });
    plat::Forms::registerForm(wBusPanneau::FormName, [] { return new wBusPanneau; });
    plat::Forms::registerForm(dlgBusCopy::FormName, [] { return new dlgBusCopy; });
}

} // namespace BusScreens
