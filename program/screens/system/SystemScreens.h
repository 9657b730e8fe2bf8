#pragma once
// The forms of the main window and of the system and parameter screens in
// the form registry, by name.

namespace SystemScreens {

// Registers wMain, dlgMenuSystem, dlgMenuParams, wParamPrinter and dlgParamPrinter.
void registerForms();

} // namespace SystemScreens
