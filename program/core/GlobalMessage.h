#pragma once
// Global::Message: the program's message box, called like the usual
// message-box function (style flags in, result code out). It alone decides
// whether a box waits for its answer (HowMessageShown).

#include <QString>

namespace Global {

enum class MessageShown {
    // No box opens: the answer is Cancel.
    Not,
    // Shown without waiting, a notice on top until its own button: the
    // answer is 0.
    WithoutWaiting,
    // Shown modally: the answer is the button pressed.
    Waiting,
};

// How a box of that style is shown now. Once the program ends, or a stop
// waits to be taken, nobody is there to answer: none is. Where nobody is
// asked (an ErrorHandling::Unattended scope stands) a box with the OK button
// alone is shown without waiting, so that it holds nothing; a question still
// waits.
MessageShown HowMessageShown(int style);

int Message(const QString& text, int style);

} // namespace Global
