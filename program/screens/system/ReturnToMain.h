#pragma once
// How the system and parameter screens go back to the main window: a full
// screen shows it and unloads itself; a screen's close button then asks, when
// the main window is loaded, for the menu it was opened from.

namespace plat {
class Form;
}

namespace ReturnToMain {

// The menu entries a closing screen asks for again.
constexpr int ParametersMenu = 1;
constexpr int SystemMenu = 2;

void Leave(plat::Form* screen);
void ReopenMenu(int entry);

} // namespace ReturnToMain
