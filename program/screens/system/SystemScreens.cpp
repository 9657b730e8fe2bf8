#include "program/screens/system/SystemScreens.h"

#include "platform/Forms.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/dlgParamPrinter.h"
#include "program/screens/system/wMain.h"
#include "program/screens/system/wParamPrinter.h"

namespace SystemScreens {

void registerForms()
{
    plat::Forms::registerForm(wMain::FormName, [] { return new wMain; });
    plat::Forms::registerForm(dlgMenuSystem::FormName, [] { return new dlgMenuSystem; });
    plat::Forms::registerForm(dlgMenuParams::FormName, [] { return new dlgMenuParams; });
    plat::Forms::registerForm(wParamPrinter::FormName, [] { return new wParamPrinter; });
    plat::Forms::registerForm(dlgParamPrinter::FormName, [] { return new dlgParamPrinter; });
}

} // namespace SystemScreens
