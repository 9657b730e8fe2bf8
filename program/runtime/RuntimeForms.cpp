#include "program/runtime/RuntimeForms.h"

#include "platform/Forms.h"
#include "program/runtime/dlgConsigne.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wRunAlarms.h"

namespace RuntimeForms {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wRunAlarms, [] { return new wRunAlarms; });
    plat::Forms::registerForm(FormNames::dlgConsigne, [] { return new dlgConsigne; });
    plat::Forms::registerForm(FormNames::wHistoric, [] { return new wHistoric; });
}

} // namespace RuntimeForms
