#pragma once
// The forms of the main window and of the system and parameter screens in
// the form registry, by name.

namespace SystemScreens {

// Registers wMain, dlgMenuSystem and dlgMenuParams.
void registerForms();

} // namespace SystemScreens
