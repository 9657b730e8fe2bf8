#include "program/runtime/RuntimeForms.h"

#include "platform/Forms.h"
#include "program/runtime/dlgConsigne.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wRunAlarms.h"
#include "program/runtime/wTeleCmde.h"
#include "program/runtime/wTeleCmdes.h"

namespace RuntimeForms {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wRunAlarms, [] { return new wRunAlarms; });
    plat::Forms::registerForm(FormNames::dlgConsigne, [] { return new dlgConsigne; });
    plat::Forms::registerForm(FormNames::wHistoric, [] { return new wHistoric; });
    plat::Forms::registerForm(FormNames::wTeleCmdes, [] { return new wTeleCmdes; });
    plat::Forms::registerForm(FormNames::wTeleCmde, [] { return new wTeleCmde; });
}

} // namespace RuntimeForms
