#pragma once
// The forms of the bus layer in the form registry, by name.

namespace BusForms {

// Registers wPolling.
void registerForms();

} // namespace BusForms
