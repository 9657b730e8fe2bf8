#pragma once
// guard(): the error trap of every event handler. It runs the handler body and
// hands a caught run-time error, with the handler's qualified name, to the
// reporter that the program installs (the central error handler).

#include "platform/RtError.h"

#include <QString>
#include <functional>

namespace plat {

using ErrorReporter = std::function<void(const QString& qualifiedName, const RtError& error)>;

// Installs the reporter; an empty one restores the default (a warning on stderr).
void setErrorReporter(ErrorReporter reporter);
// The reporter installed; empty for the default.
ErrorReporter errorReporter();

// Hands an error to the installed reporter.
void reportError(const QString& qualifiedName, const RtError& error);

// Runs fn; a run-time error (or any other exception, as error 51) is reported
// and swallowed. Returns false when fn ended on an error.
bool guard(const QString& qualifiedName, const std::function<void()>& fn);

// Runs fn; a run-time error (or any other exception, as error 51) is handed to
// onError and swallowed. Returns false when fn ended on an error.
bool trapErrors(const std::function<void()>& fn, const std::function<void(const RtError&)>& onError);

} // namespace plat
