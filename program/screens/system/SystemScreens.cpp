#include "program/screens/system/SystemScreens.h"

#include "platform/Forms.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/dlgDefPwds.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/wMain.h"
#include "program/screens/system/wParamBiblio.h"
#include "program/screens/system/wParamConsignes.h"
#include "program/screens/system/wSysConfSon.h"

namespace SystemScreens {

void registerForms()
{
    plat::Forms::registerForm(wMain::FormName, [] { return new wMain; });
    plat::Forms::registerForm(dlgMenuSystem::FormName, [] { return new dlgMenuSystem; });
    plat::Forms::registerForm(dlgMenuParams::FormName, [] { return new dlgMenuParams; });
    plat::Forms::registerForm(wSysConfSon::FormName, [] { return new wSysConfSon; });
    plat::Forms::registerForm(dlgDefPwds::FormName, [] { return new dlgDefPwds; });
    plat::Forms::registerForm(wParamBiblio::FormName, [] { return new wParamBiblio; });
    plat::Forms::registerForm(wParamConsignes::FormName, [] { return new wParamConsignes; });
}

} // namespace SystemScreens
