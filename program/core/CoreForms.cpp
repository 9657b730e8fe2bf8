#include "program/core/CoreForms.h"

#include "platform/Forms.h"
#include "program/core/dlgMessage.h"
#include "program/core/FormNames.h"

namespace CoreForms {

void registerForms()
{
    plat::Forms::registerForm(FormNames::dlgMessage, [] { return new dlgMessage; });
}

} // namespace CoreForms
