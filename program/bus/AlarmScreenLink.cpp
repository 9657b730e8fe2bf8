#include "program/bus/AlarmScreenLink.h"

#include "platform/Forms.h"
#include "program/core/Global.h"

namespace AlarmScreen {

AlarmScreenLink* Loaded()
{
    return dynamic_cast<AlarmScreenLink*>(plat::Forms::Find(Global::AlarmScreenForm));
}

AlarmScreenLink* Get()
{
    return dynamic_cast<AlarmScreenLink*>(plat::Forms::Get(Global::AlarmScreenForm));
}

} // namespace AlarmScreen
