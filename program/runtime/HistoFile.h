#pragma once
// The history files: "Histo" + yyyymm (or yyyymmdd with daily files) + ".his"
// in the program folder, Windows-1252 lines ended by CR LF, the title record
// first. Each append opens, writes and closes the file.

#include <QDate>
#include <QString>

namespace HistoFile {

// Daily files when "Files"/"PeriodUnit" reads above 0, else monthly ones.
bool Daily();
// The history file of that day.
QString FileName(const QDate& day, bool daily);

// Appends record as one line, after the title record when the file is new
// (or empty), in a single write. A failure raises and leaves the file as it
// was: a write cut short is cut off again, and a file the append created is
// removed, so that the next append starts it with its title.
void Append(const QString& path, const QString& record);

} // namespace HistoFile
