#pragma once
// The forms of the main window and of the system and parameter screens in
// the form registry, by name.

namespace SystemScreens {

// Registers the main window, its menus and the system and parameter screens.
void registerForms();

} // namespace SystemScreens
