#include "program/core/InputDialogs.h"

#include "platform/Forms.h"
#include "program/core/dlgKeyboard.h"
#include "program/core/dlgListInput.h"
#include "program/core/FormNames.h"

namespace InputDialogs {

void registerForms()
{
    plat::Forms::registerForm(FormNames::dlgListInput, [] { return new dlgListInput; });
    plat::Forms::registerForm(FormNames::dlgKeyboard, [] { return new dlgKeyboard; });
}

} // namespace InputDialogs
