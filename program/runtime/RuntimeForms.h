#pragma once
// The forms of the operator run time in the form registry, by name.

namespace RuntimeForms {

// Registers wRunAlarms and dlgConsigne.
void registerForms();

} // namespace RuntimeForms
