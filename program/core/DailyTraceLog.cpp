#include "program/core/DailyTraceLog.h"

#include "platform/RtError.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isFileMode(VexLib22::LogModeConstants mode)
{
    return mode == VexLib22::eLogModeFileNew || mode == VexLib22::eLogModeFileAppend;
}

} // namespace

DailyTraceLog::DailyTraceLog(plat::ComPtr<VexLib22::_LogFileClass> file) : m_file(std::move(file))
{
    if (!m_file)
        plat::raise(plat::rt::ObjectVariableNotSet);
}

void DailyTraceLog::open(const Wanted& wanted)
{
    const QString folder = QFileInfo(wanted.path).path();
    if (isFileMode(wanted.mode) && !wanted.path.isEmpty() && !QDir(folder).exists() && !QDir().mkdir(folder)) {
        m_file->CloseFile();
        if (!m_file->NoRaiseError())
            throw plat::RtError(plat::rt::PathFileAccessError,
                                QStringLiteral("Path/File access error: ") + QDir::toNativeSeparators(folder));
        return;
    }
    m_file->OpenFile(wanted.path, wanted.mode);
}

void DailyTraceLog::OpenFile(const QString& LogPath, VexLib22::LogModeConstants LogMode)
{
    const Wanted wanted{LogPath.isEmpty() ? m_file->LogPath() : LogPath, LogMode};
    m_pending.reset();
    try {
        open(wanted);
    } catch (const plat::RtError&) {
        if (isFileMode(LogMode))
            m_pending = wanted;
        throw;
    }
    // Swallowed by NoRaiseError: tried again all the same.
    if (isFileMode(LogMode) && !m_file->Opened())
        m_pending = wanted;
}

void DailyTraceLog::Comment(const QString& CommentString)
{
    if (m_pending && !m_file->Opened()) {
        try {
            open(*m_pending);
        } catch (const plat::RtError&) {
            return;
        }
        if (!m_file->Opened())
            return;
        m_pending.reset();
    }
    m_file->Comment(CommentString);
}

void DailyTraceLog::CloseFile()
{
    m_pending.reset();
    m_file->CloseFile();
}

void DailyTraceLog::FlushFile()
{
    // Nothing is written while the log waits to open.
    if (m_pending && !m_file->Opened())
        return;
    m_file->FlushFile();
}
