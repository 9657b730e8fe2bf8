#pragma once
// Global::Message: the program's message box, called like the usual
// message-box function (style flags in, result code out). Modal by default;
// modeless, it answers 0 at once and the box stays on top until its button.
// Once the program is ending no box opens: the answer is Cancel.

#include <QString>

namespace Global {

int Message(const QString& text, int style, bool modeless = false);

} // namespace Global
