#include "program/runtime/HistoFile.h"

#include "platform/AppIdentity.h"
#include "platform/Cp1252.h"
#include "platform/FileIo.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/HistoFileRecord.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HistoFile {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

[[noreturn]] void fail(int err, const QString& path)
{
    const plat::RtError e = plat::errnoError(err);
    throw plat::RtError(e.number(), e.description() + QStringLiteral(": ") + QDir::toNativeSeparators(path));
}

} // namespace

bool Daily()
{
    return plat::Val(VEXfonctions::GetIni(IniKeys::Files, IniKeys::PeriodUnit, IniKeys::PeriodUnitDefault)) > 0;
}

QString FileName(const QDate& day, bool daily)
{
    return plat::AppIdentity::programFolder() + QStringLiteral("/Histo")
        + day.toString(daily ? QStringLiteral("yyyyMMdd") : QStringLiteral("yyyyMM")) + QStringLiteral(".his");
}

void Append(const QString& path, const QString& record)
{
    const QByteArray name = QFile::encodeName(path);
    // The period's file is there but for its first entry: open it without
    // creating it first.
    bool created = false;
    int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        created = true;
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) {
            created = false;
            fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        }
    }
    if (fd < 0)
        fail(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        fail(err, path);
    }
    QByteArray line;
    if (st.st_size == 0)
        line = plat::Cp1252::encode(HistoFileRecord::Title()) + kLineEnd;
    line += plat::Cp1252::encode(record) + kLineEnd;
    int err = plat::writeFully(fd, line) ? 0 : errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0)
        return;
    // No half line stays behind; the error says why the entry is lost.
    if (created) {
        ::unlink(name.constData());
    } else {
        [[maybe_unused]] const int cut = ::truncate(name.constData(), st.st_size);
    }
    fail(err, path);
}

} // namespace HistoFile
