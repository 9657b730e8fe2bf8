#pragma once
// The desktop's file manager, opened on a folder for the technician to look
// at and tidy the program's files. Tests put another opener in its place.

#include <QString>
#include <functional>

namespace plat::FileManager {

using Opener = std::function<bool(const QString& folder)>;
// An empty opener restores the desktop's.
void setOpener(Opener opener);

// Opens the folder; false when the desktop has no file manager for it.
bool open(const QString& folder);

} // namespace plat::FileManager
