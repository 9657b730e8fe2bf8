#include "program/screens/bus/BusScreens.h"

#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/screens/bus/dlgBusCopy.h"
#include "program/screens/bus/dlgEditMirror.h"
#include "program/screens/bus/wBusMiroirs.h"
#include "program/screens/bus/wBusMirrorOne.h"
#include "program/screens/bus/wBusModules.h"
#include "program/screens/bus/wBusPanneau.h"
#include "program/screens/bus/wTechConsignations.h"
#include "program/screens/bus/wTechEtatModule.h"
#include "program/screens/bus/wTechFindPanels.h"
#include "program/screens/bus/wTechnician.h"

namespace BusScreens {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wBusModules, [] { return new wBusModules; });
    plat::Forms::registerForm(FormNames::wBusPanneau, [] { return new wBusPanneau; });
    plat::Forms::registerForm(FormNames::dlgBusCopy, [] { return new dlgBusCopy; });
    plat::Forms::registerForm(FormNames::dlgEditMirror, [] { return new dlgEditMirror; });
    plat::Forms::registerForm(FormNames::wBusMiroirs, [] { return new wBusMiroirs; });
    plat::Forms::registerForm(FormNames::wBusMirrorOne, [] { return new wBusMirrorOne; });
    plat::Forms::registerForm(FormNames::wTechnician, [] { return new wTechnician; });
    plat::Forms::registerForm(FormNames::wTechEtatModule, [] { return new wTechEtatModule; });
    plat::Forms::registerForm(FormNames::wTechConsignations, [] { return new wTechConsignations; });
    plat::Forms::registerForm(FormNames::wTechFindPanels, [] { return new wTechFindPanels; });
}

} // namespace BusScreens
