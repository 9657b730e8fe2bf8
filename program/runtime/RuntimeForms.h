#pragma once
// The forms of the operator run time in the form registry, by name.

namespace RuntimeForms {

// Registers the alarm screen, the instruction dialog, the history viewer and
// the remote-control screens.
void registerForms();

} // namespace RuntimeForms
