#include "program/core/PollingLink.h"

#include "platform/Forms.h"
#include "platform/RtError.h"

namespace Polling {

PollingLink& Engine()
{
    auto* link = dynamic_cast<PollingLink*>(plat::Forms::Get(FormName));
    if (!link)
        plat::raise(plat::rt::ObjectDoesNotSupport);
    return *link;
}

PollingLink* Loaded()
{
    return dynamic_cast<PollingLink*>(plat::Forms::Find(FormName));
}

} // namespace Polling
