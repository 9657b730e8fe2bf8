#pragma once
// Login and access levels: the password dialog run for a login or logout,
// and the level check of every protected action. They set gUserLevel and
// gUserName (Globals.h).

#include <QString>

namespace plat {
class Form;
}

namespace Config {

// Shows the password dialog; a confirmed code logs in (an empty or wrong code
// logs out), writes the trace line and sends the user event. True when the
// operator confirmed, whatever the code; false on Cancel or on an error.
// Shown for a screen (owner), the dialog stays above it.
bool AskPassword(plat::Form* owner = nullptr);

// True when the current user may do an action of that level: the level is
// reached, or no user of level 1 is configured. False on an error.
bool AccessOk(int level);

} // namespace Config

namespace Login {

// T_Config key of the service access code.
constexpr int ServiceCodeKey = 100000;

// What a confirmed code does, apart from the dialog: the new level and name,
// the trace line (not for the service login) and the user event. Raises.
void ApplyCode(const QString& code);

} // namespace Login
