#include "library/FilesPaths.h"

#include "library/BrowseDirectory.h"
#include "library/LibErrors.h"
#include "library/StrToKclass.h"
#include "library/StringArray.h"

#include "platform/ComponentClasses.h"
#include "platform/NestedLoop.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace VexLib22 {

COMPONENT_CLASS(FilesPaths, _FilesPaths, CLSID_FilesPaths, IID_FilesPaths);

namespace {

const QChar kSep('/');
const QChar kNul(0);

// "*.*" means every file, also one whose name has no point.
QString dialogPattern(const QString& pattern)
{
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
}

// Splits a part of a path at "/" into an array that ends at the first empty component.
plat::ComPtr<_StringArray> splitPath(_StrToKclass& tok, const QString& rest)
{
    auto list = plat::ComPtr<_StringArray>::attach(new StringArray);
    if (rest.isEmpty())
        return list;   // an empty text would go on with the tokenizer's previous one
    for (QString part = tok.Strtok(rest, QString(kSep)); !part.isEmpty(); part = tok.Strtok(QString(), QString(kSep)))
        list->Add(part);
    return list;
}

} // namespace

QStringList FilesPaths::nameFilters(const QString& sFilter)
{
    // The list ends at its first empty part, as a NUL-separated list ends at two NULs.
    const QStringList parts = sFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& desc = parts[i];
        const QString& pattern = parts[i + 1];
        if (desc.isEmpty() || pattern.isEmpty())
            break;
        QStringList patterns;
        for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << dialogPattern(p.trimmed());
        filters << desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QString FilesPaths::GetFileName(QWidget* hwndParent, const QString& sFilter, bool bSave, bool bMulti,
                                const QString& sFileName, const QString& sInitDir, const QString& sDialogTitle,
                                int* nFilterIndex)
{
    QFileDialog dialog(hwndParent);
    // Qt's own dialog: the same on every platform, also the offscreen one.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // Show the descriptions only: the patterns mean nothing to an operator.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (bSave) {
        // Qt's save dialog asks before overwriting; a missing folder is refused.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(bMulti ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!sDialogTitle.isEmpty())
        dialog.setWindowTitle(sDialogTitle);

    const QStringList filters = nameFilters(sFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = nFilterIndex ? *nFilterIndex : 0;
        dialog.selectNameFilter(filters.value(index >= 1 && index <= filters.size() ? index - 1 : 0));
    }

    // A name with a folder opens in that folder, before any initial folder.
    QString folder = sInitDir, name = sFileName;
    if (const qsizetype slash = sFileName.lastIndexOf(kSep); slash >= 0) {
        folder = slash == 0 ? QString(kSep) : sFileName.left(slash);
        name = sFileName.mid(slash + 1);
    }
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!name.isEmpty())
        dialog.selectFile(name);

    int answer = QDialog::Rejected;
    {
        // The owner's code waits here; unloaded meanwhile, the owner closes
        // the dialog as cancelled.
        const plat::NestedLoop waiting;
        answer = dialog.exec();
    }
    if (answer != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return QString();

    if (nFilterIndex && !filters.isEmpty()) {
        // With the details hidden, the dialog may answer with the description alone.
        const QString selected = dialog.selectedNameFilter();
        for (qsizetype i = 0; i < filters.size(); ++i) {
            const QString& f = filters[i];
            if (selected == f || selected == f.left(f.lastIndexOf(QStringLiteral(" (")))) {
                *nFilterIndex = int(i + 1);
                break;
            }
        }
    }

    if (bMulti && !bSave && files.size() > 1) {
        // The folder, then each name, separated by NULs.
        QString result = QFileInfo(files.first()).absolutePath();
        for (const QString& f : files)
            result += kNul + QFileInfo(f).fileName();
        return result;
    }
    return files.first();
}

QString FilesPaths::GetTempFileName(const QString& Path)
{
    QString folder = Path.isEmpty() ? QDir::tempPath() : Path;
    if (folder.isEmpty())
        return QString();
    if (!folder.endsWith(kSep))
        folder += kSep;
    // "~" and the first two letters of the library's name, then a unique
    // hexadecimal number. Only the name is upper case: the folder keeps the
    // case it has on a case-sensitive file system.
    const QString prefix = (QLatin1Char('~') + kTitle).left(3).toUpper();
    const quint32 start = QRandomGenerator::global()->bounded(1u, 0x10000u);
    for (quint32 n = 0; n < 0xFFFF; ++n) {
        const quint32 unique = (start - 1 + n) % 0xFFFF + 1;   // 1..FFFF, never 0
        const QString path = folder + prefix + QString::number(unique, 16).toUpper().rightJustified(4, QLatin1Char('0'))
                           + QStringLiteral(".TMP");
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            return QString();
    }
    return QString();
}

QString FilesPaths::firstComponent(const QString& rest)
{
    if (rest.isEmpty())
        return QString();
    if (!m_tokenizer)
        m_tokenizer = plat::ComPtr<_StrToKclass>::attach(new StrToKclass);
    return m_tokenizer->Strtok(rest, QString(kSep));
}

QString FilesPaths::RelPath(const QString& sRefPath, QString& sAbsPath)
{
    // Both must be absolute and share their first folder below the root.
    if (!sRefPath.startsWith(kSep) || !sAbsPath.startsWith(kSep))
        return sAbsPath;
    if (firstComponent(sRefPath.mid(1)) != firstComponent(sAbsPath.mid(1)))
        return sAbsPath;

    // The root's own "/" stays.
    QString ref = sRefPath;
    if (ref.size() > 1)
        ref = DeleteLastSlash(ref);
    if (sAbsPath.size() > 1)
        sAbsPath = DeleteLastSlash(sAbsPath);

    auto refList = splitPath(*m_tokenizer, ref.mid(1));
    auto absList = splitPath(*m_tokenizer, sAbsPath.mid(1));
    while (refList->Count() > 0 && absList->Count() > 0 && refList->Item(0) == absList->Item(0)) {
        refList->Delete(0);
        absList->Delete(0);
    }

    QString result;
    for (int32_t i = 0; i < refList->Count(); ++i)
        result += QStringLiteral("../");
    for (int32_t i = 0; i < absList->Count(); ++i)
        result += absList->Item(i) + kSep;
    return DeleteLastSlash(result);
}

QString FilesPaths::DeleteLastSlash(const QString& sPath)
{
    return sPath.endsWith(kSep) ? sPath.chopped(1) : sPath;
}

QString FilesPaths::ChooseDirectory(QObject* frmSrc, const QString& sPrompt, const QString& sPath, bool* SansReseau)
{
    CheckFormArg(frmSrc);
    const QString start = sPath.isEmpty() ? QDir::currentPath() : sPath;
    return BrowseDirectory::BrowseForFolder(qobject_cast<QWidget*>(frmSrc), sPrompt, start,
                                            SansReseau ? *SansReseau : false);
}

QString FilesPaths::GetDirectoryFromPath(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf(kSep);
    return i >= 0 ? sPath.left(i) : QString();
}

QString FilesPaths::GetFilenameFromPath(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf(kSep);
    return i >= 0 ? sPath.mid(i + 1) : sPath;
}

QString FilesPaths::GetFileTitle(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf(QLatin1Char('.'));
    return i >= 0 ? sPath.left(i) : sPath;
}

QString FilesPaths::GetFileExt(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf(QLatin1Char('.'));
    return i >= 0 ? sPath.mid(i + 1) : QString();
}

} // namespace VexLib22
