#include "program/bus/AlarmScreenLink.h"

#include "platform/Forms.h"
#include "program/core/FormNames.h"

namespace AlarmScreen {

AlarmScreenLink* Loaded()
{
    return dynamic_cast<AlarmScreenLink*>(plat::Forms::Find(FormNames::wRunAlarms));
}

AlarmScreenLink* Get()
{
    return dynamic_cast<AlarmScreenLink*>(plat::Forms::Get(FormNames::wRunAlarms));
}

} // namespace AlarmScreen
