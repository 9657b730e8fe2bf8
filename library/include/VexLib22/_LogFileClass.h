#pragma once
// One log file of text lines (CR LF, Windows-1252). Each user creates its own
// objects; releasing one closes its file.

#include "VexLib22/VexLib22.h"
#include "platform/Component.h"

#include <QString>

namespace VexLib22 {

struct _LogFileClass : plat::IUnknown {
    // Swallow the file errors of OpenFile and Comment instead of raising them.
    virtual void setNoRaiseError(bool value) = 0;
    virtual bool NoRaiseError() = 0;
    virtual LogModeConstants Mode() = 0;
    // The last path opened successfully.
    virtual QString LogPath() = 0;
    virtual bool Opened() = 0;
    // An empty path reopens the stored one. Mode 2 empties the file, 3 appends,
    // 1 opens nothing; any other mode leaves the object closed.
    virtual void OpenFile(const QString& LogPath = QString(), LogModeConstants LogMode = eLogModeFileNew) = 0;
    virtual void Comment(const QString& CommentString = QString()) = 0;
    // Deletes the file and opens it again, empty, with the same mode.
    virtual void Rewind() = 0;
    virtual void CloseFile() = 0;
    // Closes and reopens for appending, so that every line so far is on disk.
    virtual void FlushFile() = 0;

protected:
    ~_LogFileClass() = default;
};

} // namespace VexLib22
