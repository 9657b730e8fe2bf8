#include "program/screens/system/SystemScreens.h"

#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/screens/system/dlgDefPwds.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/dlgParamPrinter.h"
#include "program/screens/system/dlgSysTime.h"
#include "program/screens/system/wMain.h"
#include "program/screens/system/wParamEcran.h"
#include "program/screens/system/wParamPrinter.h"
#include "program/screens/system/wSysComm.h"
#include "program/screens/system/wParamBiblio.h"
#include "program/screens/system/wParamConsignes.h"
#include "program/screens/system/wSysConfSon.h"

namespace SystemScreens {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wMain, [] { return new wMain; });
    plat::Forms::registerForm(FormNames::dlgMenuSystem, [] { return new dlgMenuSystem; });
    plat::Forms::registerForm(FormNames::dlgMenuParams, [] { return new dlgMenuParams; });
    plat::Forms::registerForm(FormNames::wParamPrinter, [] { return new wParamPrinter; });
    plat::Forms::registerForm(FormNames::dlgParamPrinter, [] { return new dlgParamPrinter; });
    plat::Forms::registerForm(FormNames::wSysComm, [] { return new wSysComm; });
    plat::Forms::registerForm(FormNames::wParamEcran, [] { return new wParamEcran; });
    plat::Forms::registerForm(FormNames::dlgSysTime, [] { return new dlgSysTime; });
    plat::Forms::registerForm(FormNames::wSysConfSon, [] { return new wSysConfSon; });
    plat::Forms::registerForm(FormNames::dlgDefPwds, [] { return new dlgDefPwds; });
    plat::Forms::registerForm(FormNames::wParamBiblio, [] { return new wParamBiblio; });
    plat::Forms::registerForm(FormNames::wParamConsignes, [] { return new wParamConsignes; });
}

} // namespace SystemScreens
