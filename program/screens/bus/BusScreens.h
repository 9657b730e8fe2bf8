#pragma once
// The bus configuration and technician screens in the form registry. The
// screens they open that this folder does not hold yet are reached by name:
// a button that opens one is shown (or enabled) once its form is registered.

namespace BusScreens {

// Registers wBusModules, wBusPanneau, dlgBusCopy, wTechnician and
// wTechEtatModule.
void registerForms();

} // namespace BusScreens
