#include "program/screens/system/SettingsDialogs.h"

#include "program/core/Components.h"

#include <QWidget>

namespace SettingsDialogs {

namespace {

QString libraryFolder(QWidget* owner, const QString& prompt, const QString& start)
{
    return Components::FilesPaths().ChooseDirectory(owner, prompt, start, nullptr);
}

QString libraryFile(QWidget* owner, const QString& filter, const QString& folder)
{
    return Components::FilesPaths().GetFileName(owner, filter, false, false, QString(), folder, QString(), nullptr);
}

FolderChooser& folderChooser()
{
    static FolderChooser chooser = libraryFolder;
    return chooser;
}

FileChooser& fileChooser()
{
    static FileChooser chooser = libraryFile;
    return chooser;
}

} // namespace

void setFolderChooser(FolderChooser chooser)
{
    folderChooser() = chooser ? std::move(chooser) : FolderChooser(libraryFolder);
}

QString ChooseFolder(QWidget* owner, const QString& prompt, const QString& start)
{
    return folderChooser()(owner, prompt, start);
}

void setFileChooser(FileChooser chooser)
{
    fileChooser() = chooser ? std::move(chooser) : FileChooser(libraryFile);
}

QString ChooseFile(QWidget* owner, const QString& filter, const QString& folder)
{
    return fileChooser()(owner, filter, folder);
}

} // namespace SettingsDialogs
