#pragma once
// The help file of a language: in the program folder, the executable's name,
// "-", the first two letters of the language's name in lower case, ".chm".
// A language without its own file takes language 0's; without that either,
// there is no help file.

#include <QString>

namespace LanguageHelp {

// The name the help file of that language would have.
QString FileName(const QString& languageName);
// The existing help file for the language, or language 0's, or "".
QString FileFor(const QString& languageName, const QString& firstLanguageName);

} // namespace LanguageHelp
