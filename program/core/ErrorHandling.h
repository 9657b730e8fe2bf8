#pragma once
// The central error handler: every procedure's error exit hands its qualified
// name ("Object.Procedure", "Form.control_Event") and the error to ShowError,
// which tells the operator in one fixed layout and lets the program go on.

#include "platform/RtError.h"

#include <QString>

namespace ErrorHandling {

// The report's text: "Error Nr n : description", an empty line, then the
// module and the function, or the module, the object and the event.
QString ErrorText(const QString& procName, int errNumber, const QString& description);

// Restores the default mouse pointer and shows the report (critical, OK),
// modal; returns when the operator has closed it.
void ShowError(const QString& procName, const plat::RtError& error);
// The same for a bare error number, with the run-time's standard text.
void ShowError(const QString& procName, int errNumber);

// Makes ShowError the reporter of every guarded handler (plat::guard).
void Install();

} // namespace ErrorHandling
