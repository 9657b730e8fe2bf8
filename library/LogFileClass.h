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
    // After a failed write or reopen: closed, but remembered so that the
    // next line or flush picks the log up again without raising.
    void lose(LogModeConstants mode);
    // Opens a lost log again for appending; false while it still fails.
    bool reopenLost();

    bool m_opened = false;
    QString m_logPath;
    LogModeConstants m_mode = eLogModeNone;
    int m_fd = -1;
    bool m_noRaiseError = false;
    LogModeConstants m_lostMode = eLogModeNone;  // mode of a lost log, until a line gets through
};

} // namespace VexLib22
