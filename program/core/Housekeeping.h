#pragma once
// The day change housekeeping of the program folder: the new day's trace log,
// the purge of trace logs older than their retention, the purge of history
// files older than the history retention (here and in the copy folder), and
// the copy of the history files to the copy folder "Files"/"Histo".

#include "platform/DateTime.h"

#include <QString>

namespace Housekeeping {

// T_Config key of the trace log retention in days (0 or less keeps them all).
constexpr int TraceRetentionKey = 100100;

// <program folder>/Trace.
QString TraceFolder();
// Opens the trace log of that day ("yyyyMMdd.log" in the trace folder, both
// created when missing) in gTraceLog for appending; raises when it cannot,
// and the log then tries again at each later line.
void OpenTraceLog(const QDate& day);

// The housekeeping as at now, step by step; the first error raises and ends
// it (the caller reports it). A copy folder that is missing or cannot be used
// is no error: its purge and the copy are left out.
void DoMidnightActions(const plat::DateTime& now);

// The copy folder that "Files"/"Histo" names (default: the program folder),
// without a trailing separator; "" when it is missing or cannot be read and
// written (an unmounted or read-only drive).
QString CopyFolder();

} // namespace Housekeeping
