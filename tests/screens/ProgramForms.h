#pragma once
// The forms of the program, registered as its start registers them.

#include "platform/Forms.h"
#include "program/bus/BusForms.h"
#include "program/core/CoreForms.h"
#include "program/core/InputDialogs.h"
#include "program/core/StandInRunAlarms.h"
#include "program/core/dlgUserCodes.h"
#include "program/screens/system/SystemScreens.h"

inline void registerProgramForms()
{
    CoreForms::registerForms();
    InputDialogs::registerForms();
    dlgUserCodes::registerForm();
    BusForms::registerForms();
    StandInRunAlarms::registerForm();
    SystemScreens::registerForms();
}
