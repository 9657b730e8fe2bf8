#pragma once
// The program's INI file: thin wrappers over the library's application-wide
// IniParam, so that no caller names the file. Nothing is cached and nothing
// is trapped: an IniParam error reaches the caller's own error handler.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace VEXfonctions {

// <program folder>/<exe>.ini
QString IniFileName();

// The value, or def when the key (or the section, or the file) is missing.
QString GetIni(const QString& section, const QString& key, const QString& def);
// Creates the file and the section when needed.
void SetIni(const QString& section, const QString& key, const QString& value);
void DelIniKey(const QString& section, const QString& key);
void DelIniSection(const QString& section);
// Fills keys(0) .. keys(n - 1) with the section's key names in file order and
// answers n; with no keys, keys is left as it was.
int16_t GetIniKeys(QStringList& keys, const QString& section);

// A whole section in one go, for sections of many keys (the alarm rows):
// its keys and values in file order, each value as GetIni reads it; and the
// section replaced by these keys in one rewrite of the file (none removes it).
using IniEntries = QList<QPair<QString, QString>>;
IniEntries GetIniSection(const QString& section);
void SetIniSection(const QString& section, const IniEntries& entries);

} // namespace VEXfonctions
