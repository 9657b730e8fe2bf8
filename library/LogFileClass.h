#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_LogFileClass.h"

namespace VexLib22 {

class LogFileClass : public plat::ComObject<_LogFileClass, IID_LogFileClass> {
public:
    ~LogFileClass() override;

    void setNoRaiseError(bool value) override;
    bool NoRaiseError() override;
    LogModeConstants Mode() override;
    QString LogPath() override;
    bool Opened() override;
    void OpenFile(const QString& LogPath = QString(), LogModeConstants LogMode = eLogModeFileNew) override;
    void Comment(const QString& CommentString = QString()) override;
    void Rewind() override;
    void CloseFile() override;
    void FlushFile() override;

private:
    void closeHandle();
    // Opens the path for writing (emptied or appended); errno on failure.
    int openHandle(const QString& path, bool append);
    // After a failed reopen: closed, but remembered so that a later
    // FlushFile can pick the log up again without raising.
    void loseOnReopen(LogModeConstants mode);

    bool m_opened = false;
    QString m_logPath;
    LogModeConstants m_mode = eLogModeNone;
    int m_fd = -1;
    bool m_noRaiseError = false;
    LogModeConstants m_lostMode = eLogModeNone;  // mode of a log lost to a failed reopen
};

} // namespace VexLib22
