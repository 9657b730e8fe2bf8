#pragma once
// The desktop's own on-screen keyboard, for typing into the system's file
// dialogs and, by F12, into the main window and the configuration screens
// (the program's own keyboard serves its own fields). Started and ended here
// only, under one name; a desktop without one simply has none.

#include <QString>
#include <QStringList>

namespace plat::SystemKeyboard {

// Starts the keyboard unless one started here still runs. False when it
// cannot start (not installed): the caller goes on without it.
bool start();
// Ends the keyboard started here, if it still runs.
void end();
// Whether a keyboard started here runs.
bool running();

// Another program in its place (tests); an empty program restores the desktop's.
void setProgram(const QString& program, const QStringList& arguments = {});

} // namespace plat::SystemKeyboard
