#pragma once
// The folder browser behind FilesPaths.ChooseDirectory: a modal tree of the
// file system's folders with the caller's prompt above it and the selected
// folder's path as status text below.

#include <QString>

class QWidget;

namespace VexLib22::BrowseDirectory {

// Object names, so that callers and tests find the parts of the dialog.
inline constexpr const char* kDialogName = "BrowseDirectory";
inline constexpr const char* kTreeName = "tvwFolders";
inline constexpr const char* kPromptName = "lblPrompt";
inline constexpr const char* kStatusName = "lblStatus";

constexpr int kPromptMax = 1024;

// Shows the browser owned by owner, starting at startPath (selected when it
// exists). Returns the chosen folder, "" on cancel. noNetwork (do not go below
// the domain level) has nothing to restrict on a POSIX file system.
QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startPath, bool noNetwork);

} // namespace VexLib22::BrowseDirectory
