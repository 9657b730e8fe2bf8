#pragma once
// Interface of FilesPaths: the open, save and folder dialogs, temporary file
// names, and cutting paths into folder, name, title and extension. Paths are
// POSIX paths: "/" is the separator.

#include "platform/Component.h"

#include <QString>

class QObject;
class QWidget;

namespace VexLib22 {

struct _FilesPaths : plat::IUnknown {
    // The open (or, with bSave, save) dialog owned by hwndParent. sFilter is
    // "description|pattern|description|pattern..."; nFilterIndex is 1-based
    // (0 = the first filter) and receives the chosen filter on confirm. With
    // bMulti and several files: folder, NUL, name, NUL, name... A cancel gives
    // "" and leaves nFilterIndex alone.
    virtual QString GetFileName(QWidget* hwndParent, const QString& sFilter, bool bSave = false, bool bMulti = false,
                                const QString& sFileName = QString(), const QString& sInitDir = QString(),
                                const QString& sDialogTitle = QString(), int* nFilterIndex = nullptr) = 0;
    // Creates a new empty file "~VEhhhh.TMP" in Path (default: the system's
    // temporary folder) and returns its path; "" on failure.
    virtual QString GetTempFileName(const QString& Path = QString()) = 0;
    // sAbsPath relative to the folder sRefPath ("../x"); sAbsPath unchanged
    // when the two do not share their first folder. Drops a trailing "/" of
    // the caller's sAbsPath.
    virtual QString RelPath(const QString& sRefPath, QString& sAbsPath) = 0;
    virtual QString DeleteLastSlash(const QString& sPath) = 0;
    // The folder browser owned by the form frmSrc (error 1024 when it is not
    // a form); "" on cancel. SansReseau has no meaning without network
    // neighbourhoods and is accepted for compatibility.
    virtual QString ChooseDirectory(QObject* frmSrc, const QString& sPrompt, const QString& sPath,
                                    bool* SansReseau = nullptr) = 0;
    virtual QString GetDirectoryFromPath(const QString& sPath) = 0;
    virtual QString GetFilenameFromPath(const QString& sPath) = 0;
    // Title and extension split at the last "." anywhere in the path, also in
    // a folder name: pass bare file names.
    virtual QString GetFileTitle(const QString& sPath) = 0;
    virtual QString GetFileExt(const QString& sPath) = 0;

protected:
    ~_FilesPaths() = default;
};

} // namespace VexLib22
