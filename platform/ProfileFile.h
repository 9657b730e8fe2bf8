#pragma once
// Private profile (INI) files: sections in square brackets, then "key=value"
// lines. Section and key names match case-insensitively, the first match
// wins. Files are Windows-1252 with CR LF line ends. Lines that are neither a
// section header nor a key (comments, blank lines) are kept as they stand.
//
// Every change rewrites the file atomically (temporary file in the same
// folder, then rename), so an interrupted write leaves the old file whole.
// A file name without a folder lives in the program folder.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace plat::ProfileFile {

// The path a file name stands for: a bare name resolves against the program folder.
QString resolvePath(const QString& fileName);

// The value of a key: trimmed of blanks, one pair of enclosing double quotes
// removed. Nothing when the file, the section or the key is missing.
std::optional<QString> value(const QString& section, const QString& key, const QString& fileName);
QString getString(const QString& section, const QString& key, const QString& defaultValue,
                  const QString& fileName);

// Writes key=value: an existing key keeps its place, a new key goes at the end
// of its section, a new section at the end of the file; the file is created
// when missing. False when the file could not be written (it is then unchanged).
bool writeString(const QString& section, const QString& key, const QString& value,
                 const QString& fileName);
// Removes the key (every line of it in the section).
bool deleteKey(const QString& section, const QString& key, const QString& fileName);
// Removes the section with all its lines (every section of that name).
bool deleteSection(const QString& section, const QString& fileName);

// The keys and values of a whole section in file order (values as value()
// gives them), read in one go; empty when none.
using Entries = QList<QPair<QString, QString>>;
Entries sectionEntries(const QString& section, const QString& fileName);
// Replaces the section's keys with these, in this order, in one write: the
// section keeps its place (every other section of that name goes), a new one
// goes at the end of the file. No keys removes the section.
bool replaceSection(const QString& section, const Entries& entries, const QString& fileName);

// Key names of the section in file order, all of them; empty when none.
QStringList keys(const QString& section, const QString& fileName);
// Section names in file order.
QStringList sections(const QString& fileName);

// Test seam: called with the finished temporary file just before it is
// renamed over the target; returning false abandons the write as if the
// rename had failed. An empty function removes the hook.
void setBeforeRenameHook(std::function<bool(const QString& tempPath)> hook);

} // namespace plat::ProfileFile
