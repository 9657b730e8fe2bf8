#include "program/screens/bus/TraceCopy.h"

#include "platform/AppIdentity.h"
#include "platform/RtError.h"
#include "program/core/Components.h"
#include "program/core/Global.h"

#include "VexLib22/_FilesPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

namespace TraceCopy {

namespace {

bool windowsDrive(const QString& path)
{
    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:"));
    return letter.match(path).hasMatch();
}

// "/media/usb/x" -> "/media"; the root for a path directly under it.
QString driveOf(const QString& absolute)
{
    const int second = int(absolute.indexOf(QLatin1Char('/'), 1));
    return second < 0 ? QStringLiteral("/") : absolute.left(second);
}

} // namespace

QString Target(const QString& histo, const QString& traceFolder)
{
    QString base = histo.trimmed();
    base.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (base.isEmpty())
        base = traceFolder;
    base = Components::FilesPaths().DeleteLastSlash(base);
    const QString target = base + QStringLiteral("/Trace");
    if (windowsDrive(target))
        return target;
    // A relative folder is the program folder's, as the history copy's is.
    return QDir::cleanPath(QDir(plat::AppIdentity::programFolder()).absoluteFilePath(target));
}

Outcome Run(const QString& traceFolder, const QString& target)
{
    if (QDir::cleanPath(target) == QDir::cleanPath(traceFolder))
        return Outcome::SameFolder;
    if (windowsDrive(target))
        return Outcome::NoDrive;
    const QString drive = driveOf(target);
    if (!QFileInfo(drive).isDir())
        return Outcome::NoDrive;
    if (::access(QFile::encodeName(drive).constData(), R_OK | X_OK) != 0)
        return Outcome::DriveNotReady;
    if (!QFileInfo(target).isDir()) {
        bool made = false;
        try {
            made = Global::CreateFolderPath(target);
        } catch (const plat::RtError&) {
            made = false;
        }
        if (!made)
            return Outcome::CannotCreate;
    }
    const QFileInfoList files = QDir(traceFolder).entryInfoList(QDir::Files);
    if (files.isEmpty())
        plat::raise(plat::rt::FileNotFound);
    const QDir into(target);
    for (const QFileInfo& f : files) {
        const QString to = into.filePath(f.fileName());
        if (QFileInfo::exists(to) && !QFile::remove(to))
            plat::raise(plat::rt::PermissionDenied);
        if (!QFile::copy(f.filePath(), to))
            plat::raise(plat::rt::PathFileAccessError);
    }
    return Outcome::Copied;
}

} // namespace TraceCopy
