#include "program/core/PollingLink.h"

#include "platform/Forms.h"
#include "platform/RtError.h"
#include "program/core/FormNames.h"

namespace Polling {

PollingLink& Engine()
{
    auto* link = dynamic_cast<PollingLink*>(plat::Forms::Get(FormNames::wPolling));
    if (!link)
        plat::raise(plat::rt::ObjectDoesNotSupport);
    return *link;
}

PollingLink* Loaded()
{
    return dynamic_cast<PollingLink*>(plat::Forms::Find(FormNames::wPolling));
}

} // namespace Polling
