#include "program/bus/BusForms.h"

#include "platform/Forms.h"
#include "program/bus/wPolling.h"
#include "program/core/PollingLink.h"

namespace BusForms {

void registerForms()
{
    plat::Forms::registerForm(Polling::FormName, [] { return new wPolling; });
}

} // namespace BusForms
