#pragma once
// The system's folder and file dialogs as the settings screens open them
// (the function library's, unless a test or a tool installs others).

#include <QString>
#include <functional>

class QWidget;

namespace SettingsDialogs {

// The folder chosen, "" when cancelled.
using FolderChooser = std::function<QString(QWidget* owner, const QString& prompt, const QString& start)>;
// An empty chooser restores the library's.
void setFolderChooser(FolderChooser chooser);
QString ChooseFolder(QWidget* owner, const QString& prompt, const QString& start);

// A file to open ("desc|pattern|..." filter, initial folder); "" when cancelled.
using FileChooser = std::function<QString(QWidget* owner, const QString& filter, const QString& folder)>;
void setFileChooser(FileChooser chooser);
QString ChooseFile(QWidget* owner, const QString& filter, const QString& folder);

} // namespace SettingsDialogs
