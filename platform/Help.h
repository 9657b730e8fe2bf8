#pragma once
// The application's help file: the one file that the F1 key opens, in
// whatever window it is pressed. The program chooses the file (by language);
// the opener shows it (the desktop's viewer unless a test gives another).

#include <QString>
#include <functional>

namespace plat::Help {

// "" means no help file: F1 then does nothing. Setting one also makes F1
// open it from every window of the program.
void setHelpFile(const QString& path);
QString helpFile();

using Opener = std::function<void(const QString& path)>;
// An empty opener restores the desktop's.
void setOpener(Opener opener);

// Opens the help file; false when there is none.
bool open();

} // namespace plat::Help
