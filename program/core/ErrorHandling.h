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

// Restores the default mouse pointer and shows the report (critical, OK)
// through Global::Message, which decides whether it waits; a report that no
// box could show goes to standard error.
void ShowError(const QString& procName, const plat::RtError& error);
// The same for a bare error number, with the run-time's standard text.
void ShowError(const QString& procName, int errNumber);

// Marks, for its lifetime, work that runs with nobody being asked anything (a
// polling tick, a bus pass, the dispatch of an event, an automatic start):
// its boxes must not hold the bus or the start until someone answers, so
// Global::Message shows a box with the OK button alone without waiting
// meanwhile. A modal box opened meanwhile (Suspend) asks someone: what runs
// inside it is attended.
class Unattended {
public:
    // Marks nothing when on is false.
    explicit Unattended(bool on = true);
    ~Unattended();
    Unattended(const Unattended&) = delete;
    Unattended& operator=(const Unattended&) = delete;

    static bool active();

    class Suspend {
    public:
        Suspend();
        ~Suspend();
        Suspend(const Suspend&) = delete;
        Suspend& operator=(const Suspend&) = delete;

    private:
        int m_saved;
    };

private:
    bool m_on;
};

// Makes ShowError the reporter of every guarded handler (plat::guard).
void Install();

} // namespace ErrorHandling
