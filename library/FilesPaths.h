#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_FilesPaths.h"
#include "VexLib22/_StrToKclass.h"

#include <QStringList>

namespace VexLib22 {

class FilesPaths : public plat::ComObject<_FilesPaths, IID_FilesPaths> {
public:
    QString GetFileName(QWidget* hwndParent, const QString& sFilter, bool bSave = false, bool bMulti = false,
                        const QString& sFileName = QString(), const QString& sInitDir = QString(),
                        const QString& sDialogTitle = QString(), int* nFilterIndex = nullptr) override;
    QString GetTempFileName(const QString& Path = QString()) override;
    QString RelPath(const QString& sRefPath, QString& sAbsPath) override;
    QString DeleteLastSlash(const QString& sPath) override;
    QString ChooseDirectory(QObject* frmSrc, const QString& sPrompt, const QString& sPath,
                            bool* SansReseau = nullptr) override;
    QString GetDirectoryFromPath(const QString& sPath) override;
    QString GetFilenameFromPath(const QString& sPath) override;
    QString GetFileTitle(const QString& sPath) override;
    QString GetFileExt(const QString& sPath) override;

    // "desc|pattern|desc|pattern" as the dialog's name filters "desc (patterns)",
    // "*.*" meaning every file. The dialog matches them without regard to case.
    static QStringList nameFilters(const QString& sFilter);

private:
    // The first component of a path's part after the root ("" when there is none).
    QString firstComponent(const QString& rest);
    plat::ComPtr<_StrToKclass> m_tokenizer;   // for RelPath, made on first need
};

} // namespace VexLib22
