#pragma once
// The system menu: bus settings, sounds and history, clock, users.

#include "program/screens/system/MenuDialog.h"

class dlgMenuSystem : public MenuDialog {
    Q_OBJECT
public:
    dlgMenuSystem();
};
