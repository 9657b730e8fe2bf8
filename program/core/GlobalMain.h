#pragma once
// The program's start-up (Global::Main) and the end of a run.

#include "platform/DateTime.h"
#include "platform/Form.h"

#include <QString>
#include <functional>

namespace Global {

// The start-up, in its fixed order: single instance, the day's trace log,
// the saved alarm rows dropped, the database, the working configuration,
// the hidden engine form, the start event, the automatic start, the alarm
// sound files, the main window. An error ends it after the report, with the
// main window shown when no window is.
void Main();

// The end of a run: a start-up box that waits is closed, a stop event,
// polling stopped, the engine form unloaded (it closes the port and keeps the
// queued commands), then every other form, then the message loop is left.
// Stopped from outside before the engine loaded, the stop's line is traced
// when the log is open. From here on no box opens.
void EndProgram();

// True once EndProgram has run during this start-up or run: the message loop
// is then not entered (its quit came before it ran).
bool Ending();
// Nobody is to be asked anything any more: the program ends, or a stop from
// outside has come and waits for the message loop to take it.
bool Stopping();
// Forgets the end and the stop request of a previous run in this process;
// Main does it first.
void ResetRun();

// A stop asked from outside the program: the task manager's end
// (vbAppTaskManager), the session's (vbAppWindows) or an interrupt
// (vbFormCode). The first one ends the run as EndProgram does; the engine's
// query-unload reads its cause.
void RequestStop(plat::UnloadMode cause);
// The cause of the stop requested during this run; vbFormCode when none was.
plat::UnloadMode StopCause();
// The trace line of a stop by the end of the session (windows) or by a
// termination (the task manager's).
QString ShutdownTraceLine(const plat::DateTime& at, bool taskManager);

// The texts of start-up's two plain message boxes, shown before the
// program's own message box can be (it needs the database).
inline const QString SecondInstanceText = QStringLiteral(
    "Pellonaris is already in use. Multiple instances are not allowed.\r"
    "If Pellonaris is not visible please use the task manager for shutdown it "
    "then restart it (or reboot the panel).");
inline const QString NoDatabaseText = QStringLiteral("Unable to open configuration file.");
inline const QString AppTitle = QStringLiteral("Pellonaris II");

// The plain critical box (title, text); tests put a recorder in its place.
using CriticalBox = std::function<void(const QString& title, const QString& text)>;
void setCriticalBox(CriticalBox box);
// Shows the plain critical box (also the platform's standard box of the
// main window's file commands).
void ShowCriticalBox(const QString& title, const QString& text);

// The Boolean value of an INI text: "True"/"False" in any case, or a number
// (0 is false); anything else is the default.
bool IniBoolean(const QString& text, bool def);

} // namespace Global
