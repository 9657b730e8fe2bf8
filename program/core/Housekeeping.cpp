#include "program/core/Housekeeping.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Housekeeping {

namespace {

const QString kTraceFolder = QStringLiteral("Trace");
const QString kHistoryPattern = QStringLiteral("*.his");
constexpr qint64 kCopyChunk = 1 << 16;

[[noreturn]] void fail(int err, const QString& path)
{
    const plat::RtError e = plat::errnoError(err);
    throw plat::RtError(e.number(), e.description() + QStringLiteral(": ") + QDir::toNativeSeparators(path));
}

QFileInfoList filesOf(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryInfoList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

void remove(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        fail(errno, path);
}

// The date a trace log's name gives ("20241206.log"); none for another name,
// which the purge leaves alone: it cannot be one of the program's logs.
std::optional<QDate> logDate(const QFileInfo& file)
{
    const QString name = file.completeBaseName();
    if (name.size() != 8 || !std::all_of(name.begin(), name.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    const QDate d(name.left(4).toInt(), name.mid(4, 2).toInt(), name.mid(6, 2).toInt());
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

void purgeTraceLogs(const QDate& today)
{
    const double days = plat::Val(Config::GetConfig(TraceRetentionKey));
    if (!(days > 0))
        return;
    const plat::DateTime limit = plat::DateTime::fromDate(today).addDays(-days);
    for (const QFileInfo& f : filesOf(TraceFolder(), QStringLiteral("*.log"))) {
        const std::optional<QDate> d = logDate(f);
        if (d && plat::DateTime::fromDate(*d) < limit)
            remove(f.filePath());
    }
}

void purgeHistory(const QString& folder, const plat::DateTime& limit)
{
    for (const QFileInfo& f : filesOf(folder, kHistoryPattern))
        if (plat::DateTime::fromQDateTime(f.lastModified()) < limit)
            remove(f.filePath());
}

timespec modifiedAt(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        fail(errno, path);
    return st.st_mtim;
}

bool before(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Copies source over target through a temporary file, so that a copy cut
// short never takes the place of a good one; the copy keeps the source's
// modification time, by which the next day's copy and purge judge it.
void copyFile(const QString& source, const QString& target, const timespec& modified)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(EACCES, source);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        fail(EACCES, target);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            fail(EIO, source);
        if (out.write(chunk) != chunk.size())
            fail(ENOSPC, target);
    }
    if (!out.commit())
        fail(EIO, target);
    const timespec times[2] = {{0, UTIME_OMIT}, modified};
    if (::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), times, 0) != 0)
        fail(errno, target);
}

void copyHistory(const QString& folder)
{
    const QDir copies(folder);
    for (const QFileInfo& f : filesOf(plat::AppIdentity::programFolder(), kHistoryPattern)) {
        const QString target = copies.filePath(f.fileName());
        const timespec source = modifiedAt(f.filePath());
        if (!QFileInfo::exists(target) || before(modifiedAt(target), source))
            copyFile(f.filePath(), target, source);
    }
}

} // namespace

QString TraceFolder()
{
    return plat::AppIdentity::programFolder() + QLatin1Char('/') + kTraceFolder;
}

void OpenTraceLog(const QDate& day)
{
    // The daily log makes the folder when it is missing.
    const QString name = day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
    gTraceLog().OpenFile(TraceFolder() + QLatin1Char('/') + name, VexLib22::eLogModeFileAppend);
}

QString CopyFolder()
{
    const QString program = plat::AppIdentity::programFolder();
    QString path = VEXfonctions::GetIni(IniKeys::Files, IniKeys::Histo, program).trimmed();
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    if (path.isEmpty())
        return {};
    path = QDir(program).absoluteFilePath(path);
    if (!QFileInfo(path).isDir()
        || ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK | X_OK, AT_EACCESS) != 0)
        return {};
    return path;
}

void DoMidnightActions(const plat::DateTime& now)
{
    const QDate today = now.date();
    gTraceLog().CloseFile();
    OpenTraceLog(today);

    purgeTraceLogs(today);

    const QString copyFolder = CopyFolder();
    const bool limited = Global::IniBoolean(
        VEXfonctions::GetIni(IniKeys::Files, IniKeys::PeriodLimit, IniKeys::PeriodLimitDefault), false);
    const double period = plat::Val(VEXfonctions::GetIni(IniKeys::Files, IniKeys::PeriodTime, IniKeys::PeriodTimeDefault));
    if (limited && period > 0) {
        const bool days =
            plat::CInt(plat::Val(VEXfonctions::GetIni(IniKeys::Files, IniKeys::PeriodUnit, IniKeys::PeriodUnitDefault))) > 0;
        const plat::DateTime midnight = plat::DateTime::fromDate(today);
        const plat::DateTime limit =
            days ? midnight.addDays(-period) : plat::DateTime::fromDate(today.addMonths(-plat::CLng(period)));
        purgeHistory(plat::AppIdentity::programFolder(), limit);
        if (!copyFolder.isEmpty())
            purgeHistory(copyFolder, limit);
    }

    if (!copyFolder.isEmpty()
        && QFileInfo(copyFolder).canonicalFilePath() != QFileInfo(plat::AppIdentity::programFolder()).canonicalFilePath())
        copyHistory(copyFolder);
}

} // namespace Housekeeping
