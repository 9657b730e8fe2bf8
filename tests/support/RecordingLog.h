#pragma once
// A trace log that keeps every line written to it and counts the flushes.

#include "VexLib22/_LogFileClass.h"
#include "platform/Component.h"

#include <QStringList>

namespace testing_support {

class RecordingLog : public plat::ComObject<VexLib22::_LogFileClass, VexLib22::IID_LogFileClass> {
public:
    void setNoRaiseError(bool) override {}
    bool NoRaiseError() override { return false; }
    VexLib22::LogModeConstants Mode() override { return VexLib22::eLogModeFileAppend; }
    QString LogPath() override { return {}; }
    bool Opened() override { return true; }
    void OpenFile(const QString&, VexLib22::LogModeConstants) override {}
    void Comment(const QString& line) override { lines << line; }
    void Rewind() override {}
    void CloseFile() override {}
    void FlushFile() override { ++flushes; }

    QStringList lines;
    int flushes = 0;
};

} // namespace testing_support
