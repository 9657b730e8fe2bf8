#pragma once
// How the library raises its own errors: the id of its string as number, the
// string as description, the library's title as source.

#include "platform/RtError.h"

class QObject;

namespace VexLib22 {

// The library's string for an id of its table (1024, 1025, 1040..1043).
QString libString(int id);
[[noreturn]] void raiseLibError(int id);
// A run-time error (9, 13, ...) raised by the library itself: standard text, the library as source.
[[noreturn]] void raiseRtError(int number);

// Raises 1024 unless arg is a form: a top-level window of the user interface.
void CheckFormArg(const QObject* arg);

} // namespace VexLib22
