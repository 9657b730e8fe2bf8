#pragma once
// The two input dialogs of every settings screen, the value picker and the
// on-screen keyboard: their registration in the form registry and the icons
// of their touch buttons.

#include <QByteArray>

namespace InputDialogs {

// Registers dlgListInput and dlgKeyboard by name.
void registerForms();

enum class Icon { Up, Down, Ok, Cancel, LineBreak };
// The SVG of a button icon, drawn in the program's palette.
QByteArray icon(Icon which);

} // namespace InputDialogs
