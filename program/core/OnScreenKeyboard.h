#pragma once
// The system's on-screen keyboard, which F12 starts on the configuration
// screens so that a text can be typed without a keyboard. It is listed under
// the name the program ends it by (Global::KillProcess(OnScreenKeyboard::ExeName)).

#include <QString>

namespace OnScreenKeyboard {

inline const QString ExeName = QStringLiteral("osk.exe");

// Starts it; nothing happens when the system has none.
void Start();

} // namespace OnScreenKeyboard
