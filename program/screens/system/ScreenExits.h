#pragma once
// How the system and parameter screens are left: the save question when
// something is not yet accepted, the main window shown again, and the menu
// that the close button reopens.

#include <functional>

namespace plat {
class Form;
}

namespace ScreenExits {

// Main window menu entries that the close buttons reopen.
constexpr int ParametersMenu = 1;
constexpr int SystemMenu = 2;

// Shows the main window again and unloads the screen.
void ShowMain(plat::Form* screen);

// Leaves a full screen: with changes, asks whether to save them (Cancel
// stays; Yes runs accept, which answers false to stay; No drops them); then
// shows the main window. False when the screen stays.
bool Leave(plat::Form* screen, bool changed, const std::function<bool()>& accept);

// Opens that menu of the main window again, when the main window is loaded.
void ReopenMenu(int entry);

} // namespace ScreenExits
