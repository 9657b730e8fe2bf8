#include "program/runtime/RuntimeForms.h"

#include "platform/Forms.h"
#include "program/runtime/dlgConsigne.h"
#include "program/runtime/wRunAlarms.h"

namespace RuntimeForms {

void registerForms()
{
    plat::Forms::registerForm(wRunAlarms::FormName, [] { return new wRunAlarms; });
    plat::Forms::registerForm(dlgConsigne::FormName, [] { return new dlgConsigne; });
}

} // namespace RuntimeForms
