#include "program/core/CoreForms.h"

#include "platform/Forms.h"
#include "program/core/dlgMessage.h"

namespace CoreForms {

void registerForms()
{
    plat::Forms::registerForm(QStringLiteral("dlgMessage"), [] { return new dlgMessage; });
}

} // namespace CoreForms
