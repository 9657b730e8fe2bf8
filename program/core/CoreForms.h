#pragma once
// The forms of the core services in the form registry, by name.

namespace CoreForms {

// Registers dlgMessage.
void registerForms();

} // namespace CoreForms
