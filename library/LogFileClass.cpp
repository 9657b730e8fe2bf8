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

void LogFileClass::loseOnReopen(LogModeConstants mode)
{
    closeHandle();
    m_opened = false;
    m_mode = eLogModeNone;
    m_lostMode = mode;
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
    if (m_mode != eLogModeFileNew && m_mode != eLogModeFileAppend)
        return;
    if (plat::writeFully(m_fd, plat::Cp1252::encode(CommentString + QStringLiteral("\r\n"))))
        return;
    const int err = errno;
    if (m_noRaiseError)
        return;
    // Raise once, then stay quiet until the log is opened again: a log that
    // cannot be written must not turn every later line into an error.
    closeHandle();
    m_opened = false;
    m_mode = eLogModeNone;
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
        // A log lost to a failed reopen is tried again quietly: the error
        // was raised once when it happened.
        if (m_lostMode != eLogModeNone && openHandle(m_logPath, true) == 0) {
            m_opened = true;
            m_mode = m_lostMode;
            m_lostMode = eLogModeNone;
        }
        return;
    }
    closeHandle();
    if (const int err = openHandle(m_logPath, true); err != 0) {
        loseOnReopen(m_mode);
        raiseErrno(err);
    }
}

COMPONENT_CLASS(LogFileClass, _LogFileClass, CLSID_LogFileClass, IID_LogFileClass);

} // namespace VexLib22
