#include "library/LogFileClass.h"
#include "platform/FileIo.h"

#include "library/LibErrors.h"
#include "platform/ComponentClasses.h"
#include "platform/Cp1252.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace VexLib22 {

namespace {

[[noreturn]] void raiseErrno(int err)
{
    throw plat::errnoError(err, kTitle);
}

} // namespace

LogFileClass::~LogFileClass()
{
    closeHandle();
}

void LogFileClass::setNoRaiseError(bool value)
{
    m_noRaiseError = value;
}

bool LogFileClass::NoRaiseError()
{
    return m_noRaiseError;
}

LogModeConstants LogFileClass::Mode()
{
    return m_mode;
}

QString LogFileClass::LogPath()
{
    return m_logPath;
}

bool LogFileClass::Opened()
{
    return m_opened;
}

void LogFileClass::closeHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int LogFileClass::openHandle(const QString& path, bool append)
{
    if (path.isEmpty())
        return ENOENT;
    // Lines are written straight to the file, unbuffered: another process
    // reading it sees each line once Comment returns.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (fd < 0)
        return errno;
    m_fd = fd;
    return 0;
}

void LogFileClass::lose(LogModeConstants mode)
{
    closeHandle();
    m_opened = false;
    m_mode = eLogModeNone;
    m_lostMode = mode;
}

bool LogFileClass::reopenLost()
{
    if (openHandle(m_logPath, true) != 0)
        return false;
    m_opened = true;
    m_mode = m_lostMode;
    return true;
}

void LogFileClass::OpenFile(const QString& LogPath, LogModeConstants LogMode)
{
    const QString path = LogPath.isEmpty() ? m_logPath : LogPath;
    closeHandle();
    m_opened = false;
    m_mode = eLogModeNone;
    m_lostMode = eLogModeNone;

    switch (LogMode) {
    case eLogModeDebug:
        m_mode = eLogModeDebug;
        return;
    case eLogModeFileNew:
    case eLogModeFileAppend:
        break;
    default:
        return;
    }
    if (const int err = openHandle(path, LogMode == eLogModeFileAppend); err != 0) {
        if (!m_noRaiseError)
            raiseErrno(err);
        return;
    }
    m_opened = true;
    m_mode = LogMode;
    m_logPath = path;
}

void LogFileClass::Comment(const QString& CommentString)
{
    // A log lost to a failed write or reopen is tried again at every line, so
    // that only the lines written while it failed are missing.
    if (m_lostMode != eLogModeNone && !m_opened && !reopenLost())
        return;
    if (m_mode != eLogModeFileNew && m_mode != eLogModeFileAppend)
        return;
    if (plat::writeFully(m_fd, plat::Cp1252::encode(CommentString + QStringLiteral("\r\n")))) {
        m_lostMode = eLogModeNone;
        return;
    }
    const int err = errno;
    if (m_noRaiseError)
        return;
    // Raised once: until a line gets through again the failure stays quiet,
    // so that a log that cannot be written does not turn every event into an error.
    const bool reported = m_lostMode != eLogModeNone;
    lose(m_mode);
    if (!reported)
        raiseErrno(err);
}

void LogFileClass::Rewind()
{
    const QString path = m_logPath;
    // A log lost to a failed reopen starts again in the mode it had.
    const LogModeConstants mode = m_mode != eLogModeNone ? m_mode : m_lostMode;
    CloseFile();
    if (!path.isEmpty() && QFile::exists(path)) {
        if (::unlink(QFile::encodeName(path).constData()) != 0)
            raiseErrno(errno);
    }
    OpenFile(path, mode);
}

void LogFileClass::CloseFile()
{
    m_lostMode = eLogModeNone;
    if (!m_opened)
        return;
    closeHandle();
    m_opened = false;
    m_mode = eLogModeNone;
}

void LogFileClass::FlushFile()
{
    if (!m_opened) {
        // A lost log is tried again quietly: its failure was raised once.
        if (m_lostMode != eLogModeNone)
            reopenLost();
        return;
    }
    closeHandle();
    if (const int err = openHandle(m_logPath, true); err != 0) {
        const bool reported = m_lostMode != eLogModeNone;
        lose(m_mode);
        if (!reported)
            raiseErrno(err);
    }
}

COMPONENT_CLASS(LogFileClass, _LogFileClass, CLSID_LogFileClass, IID_LogFileClass);

} // namespace VexLib22
