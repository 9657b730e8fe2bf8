#pragma once
// What the history viewer does without its window: the periods for which a
// history file exists, the one to preselect and the steps between them, the
// loading of a file into screen lines, and the instruction of a line.

#include "program/runtime/HistoricEntries.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

class ConfigClass;

namespace HistoricBrowser {

// One history file of the program folder: its period as the list shows it
// ("2026 - 12", "2026 - 12 - 08") and the file.
struct Period {
    QString text;
    QString path;
};

// The monthly and daily history files ("Histo" + yyyymm or yyyymmdd +
// ".his") of the folder, sorted by name: in ascending time, each month's
// file before the days of that month, so the period steps go through time.
std::vector<Period> Periods(const QString& folder);
// "2026 - 12" for "202612", "2026 - 12 - 08" for "20261208".
QString PeriodText(const QString& digits);

// The entry of the current period (the day's with daily files), else the
// first; none for an empty list.
std::optional<int> Preselected(const std::vector<Period>& periods, const QDate& today, bool daily);
// The entry before or after index; none at either end (nothing happens then).
std::optional<int> Previous(int index);
std::optional<int> Next(int index, int count);

// Whether text is a date in the "Short Date" format (blanks after it allowed,
// as in a date field).
bool IsShortDate(const QString& text);
// The entries of a history file in file order; the title and any line whose
// first 10 characters are no date are left out. Nothing when the file does not
// exist; a file that cannot be read raises path/file access error (75). The
// file is read through a buffer of ReadPiece bytes.
constexpr qint64 ReadPiece = 64 * 1024;
HistoricEntries Load(const QString& path);

// The instruction number of the channel a screen line names in its module
// and channel designation, 0 when it names none (a SYSTEM line, a module).
int InstructionNumber(const QString& rowText, const ConfigClass& config);
// The alarm line as the instruction dialog shows it: no-break spaces for
// blanks, two of them in front, and a line break after the 82nd character.
QString AlarmCaption(const QString& rowText);

} // namespace HistoricBrowser
