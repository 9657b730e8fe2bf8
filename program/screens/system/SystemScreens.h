#pragma once
// The forms of the main window and of the system and parameter screens in
// the form registry, by name.

namespace SystemScreens {

// Registers wMain, dlgMenuSystem, dlgMenuParams, wSysConfSon, dlgDefPwds,
// wParamBiblio and wParamConsignes.
void registerForms();

} // namespace SystemScreens
