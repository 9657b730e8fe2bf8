#pragma once
// The program's daily trace log (gTraceLog): the library's log file, with two
// things the program needs of it. Its folder is made when missing. And a log
// that could not be opened (a folder that cannot be written at start-up or at
// midnight) is tried again at every later line, so that tracing resumes once
// the folder can be written: the open's failure is raised once, to the one
// who opened it, and the lines meanwhile are dropped quietly.

#include "VexLib22/_LogFileClass.h"
#include "platform/Component.h"

#include <QString>

#include <optional>

class DailyTraceLog final : public plat::ComObject<VexLib22::_LogFileClass, VexLib22::IID_LogFileClass> {
public:
    explicit DailyTraceLog(plat::ComPtr<VexLib22::_LogFileClass> file);

    void setNoRaiseError(bool value) override { m_file->setNoRaiseError(value); }
    bool NoRaiseError() override { return m_file->NoRaiseError(); }
    VexLib22::LogModeConstants Mode() override { return m_file->Mode(); }
    QString LogPath() override { return m_file->LogPath(); }
    bool Opened() override { return m_file->Opened(); }
    void OpenFile(const QString& LogPath, VexLib22::LogModeConstants LogMode) override;
    void Comment(const QString& CommentString) override;
    void Rewind() override { m_file->Rewind(); }
    void CloseFile() override;
    void FlushFile() override;

private:
    struct Wanted {
        QString path;
        VexLib22::LogModeConstants mode;
    };
    // The folder made when missing, then the file opened; raises as the
    // library's log does.
    void open(const Wanted& wanted);

    plat::ComPtr<VexLib22::_LogFileClass> m_file;
    // The log that did not open, tried again at the next line.
    std::optional<Wanted> m_pending;
};
