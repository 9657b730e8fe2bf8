#pragma once
// The bus configuration screens in the form registry. The screens they open
// that this folder does not hold yet (the mirrors) are reached by name: a
// button that opens one is shown once its form is registered.

namespace BusScreens {

// Registers wBusModules, wBusPanneau and dlgBusCopy.
void registerForms();

} // namespace BusScreens
