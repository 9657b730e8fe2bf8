#pragma once
// Who the program is and where it lives: the program folder is the folder of
// the executable, and every file the program names (INI, database, working
// configuration, trace folder) is derived from it and from the base name.

#include <QString>

namespace plat::AppIdentity {

// Folder of the executable, without a trailing "/".
QString programFolder();
// File name of the executable without folder and extension ("PLX2").
QString exeBaseName();
// programFolder() + "/" + exeBaseName() + extension (extension with its dot).
QString programFile(const QString& extension);

// Tests run from a fresh temporary folder under the program's own name.
void setProgramFolder(const QString& folder);
void setExeBaseName(const QString& name);

} // namespace plat::AppIdentity
