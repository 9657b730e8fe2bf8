#pragma once
// One running instance of the program per program folder: a lock file beside
// the INI file, held until the process ends. A lock left by a process that
// died is taken over.

#include <QString>

namespace plat::SingleInstance {

// <program folder>/<exe>.lock
QString lockFileName();

// Takes the lock; false when another running instance holds it. Taking it
// again while held answers true; so does a folder where no lock file can be
// made (the start goes on unguarded rather than not at all).
bool acquire();
// Gives the lock back (the end of the process does it too).
void release();
bool held();

} // namespace plat::SingleInstance
