#pragma once
// The forms of the bus layer in the form registry, by name.

namespace BusForms {

// Registers wPolling (replacing any stand-in registered under its name).
void registerForms();

} // namespace BusForms
