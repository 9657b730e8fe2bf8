#pragma once
// Programs that this program starts (the on-screen keyboard, a file
// browser) and their end. Only processes started here can be ended here:
// the program never reaches processes of other users or sessions.

#include <QString>
#include <QStringList>

namespace plat::Process {

// Starts program with its arguments, without a shell, and lists it under
// exeName (the program's file name when empty), the name that
// terminateStarted() is given later. Answers false when it cannot start.
bool start(const QString& program, const QStringList& arguments = {}, const QString& exeName = {});

// Ends the running processes started under exeName (compared without regard
// to case) and answers how many were ended.
int terminateStarted(const QString& exeName);

// How many processes started under exeName still run.
int runningCount(const QString& exeName);

} // namespace plat::Process
