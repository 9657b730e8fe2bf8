#pragma once
// The two input dialogs of every settings screen, the value picker and the
// on-screen keyboard: their registration in the form registry.

namespace InputDialogs {

// Registers dlgListInput and dlgKeyboard by name.
void registerForms();

} // namespace InputDialogs
