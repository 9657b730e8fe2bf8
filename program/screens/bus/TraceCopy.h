#pragma once
// The technician's copy of the trace logs: every file of the trace folder
// into the folder "Trace" of the history copy folder ("Files"/"Histo"; by
// default the trace folder itself, so the copy goes into Trace/Trace).
//
// On this system a path's "drive" is its first folder below the root (the
// mount point of a removable drive, /media or /mnt); a Windows drive letter
// carried over from another panel ("D:\...") names a drive that is missing.

#include <QString>

namespace TraceCopy {

enum class Outcome {
    SameFolder,     // the target is the trace folder: nothing to do
    NoDrive,        // text 30016
    DriveNotReady,  // text 30017
    CannotCreate,   // text 30018
    Copied,
};

// The target folder for the INI value of "Files"/"Histo" (empty when the key
// is missing), absolute (a relative one is the program folder's), with '/'
// separators.
QString Target(const QString& histo, const QString& traceFolder);

// Checks the target's drive, creates the folder when missing and copies
// every file of the trace folder into it, overwriting. Any other failure
// (an empty trace folder, a file that cannot be copied) raises.
Outcome Run(const QString& traceFolder, const QString& target);

} // namespace TraceCopy
