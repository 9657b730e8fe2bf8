#include "program/screens/system/SystemScreens.h"

#include "platform/Forms.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/dlgSysTime.h"
#include "program/screens/system/wMain.h"
#include "program/screens/system/wParamEcran.h"
#include "program/screens/system/wSysComm.h"

namespace SystemScreens {

void registerForms()
{
    plat::Forms::registerForm(wMain::FormName, [] { return new wMain; });
    plat::Forms::registerForm(dlgMenuSystem::FormName, [] { return new dlgMenuSystem; });
    plat::Forms::registerForm(dlgMenuParams::FormName, [] { return new dlgMenuParams; });
    plat::Forms::registerForm(wSysComm::FormName, [] { return new wSysComm; });
    plat::Forms::registerForm(wParamEcran::FormName, [] { return new wParamEcran; });
    plat::Forms::registerForm(dlgSysTime::FormName, [] { return new dlgSysTime; });
}

} // namespace SystemScreens
