#include "program/bus/BusForms.h"

#include "platform/Forms.h"
#include "program/bus/wPolling.h"
#include "program/core/PollingLink.h"
#include "program/core/FormNames.h"

namespace BusForms {

void registerForms()
{
    plat::Forms::registerForm(FormNames::wPolling, [] { return new wPolling; });
}

} // namespace BusForms
