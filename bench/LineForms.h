#pragma once
// The engine form and the alarm screen as the program registers them, for
// the benchmarks that run them on a real serial line (the simulator program
// on a pseudo-terminal), in a program folder of their own: the real event
// rules and display step, history, printer and mirrors recorded, the horn on
// a recording player, the trace log in the program folder and messages said
// on stderr.

#include "bench/BenchSupport.h"
#include "program/bus/BusForms.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/Globals.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/RuntimeForms.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/SoundPlayer.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/FakeSoundPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace bench {

// The scratch program folder with the libraries beside the simulator
// program registered and a copy of its PLX2.cfg opened; false (after saying
// why) when they cannot be had.
inline bool useFolderOfSimulator(const QTemporaryDir& folder, const QString& simulator, const char* name)
{
    const QString bin = QFileInfo(simulator).absolutePath();
    plat::AppIdentity::setProgramFolder(folder.path());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    if (registerLibraries(bin, folder.path() + "/Registry.ini")
        && QFile::copy(bin + "/PLX2.cfg", folder.path() + "/PLX2.cfg") && Config::OpenConfigBase())
        return true;
    std::fprintf(stderr, "%s: the libraries or PLX2.cfg are not beside %s\n", name, qPrintable(simulator));
    return false;
}

class LineForms {
public:
    // Without the alarm screen, no displayed event takes the front from a
    // screen of the bench's own.
    enum Screens { EngineOnly, WithAlarmScreen };

    LineForms(const QString& programFolder, Screens screens)
    {
        gTraceLog().OpenFile(programFolder + "/trace.log", VexLib22::eLogModeFileAppend);
        plat::setSoundPlayer(&m_horn);
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        Dispatch::Seams& dispatch = Dispatch::installed();
        dispatch.rules = &HistoProcs::Rules();
        dispatch.history = &m_doubles.history;
        dispatch.printer = &m_doubles.printer;
        dispatch.mirrors = &m_doubles.mirrors;
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        PollingSeams::installed().message = [](const QString& text, int) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
            return 1;
        };
        wPolling::setPortFactory([] { return std::make_unique<plat::SerialPort>(); });
        CommFunctions::setClock(&plat::systemClock());
        CoreForms::registerForms();
        BusForms::registerForms();
        if (screens == WithAlarmScreen)
            RuntimeForms::registerForms();
    }
    ~LineForms()
    {
        gTraceLog().CloseFile();
        plat::setSoundPlayer(nullptr);
    }
    LineForms(const LineForms&) = delete;
    LineForms& operator=(const LineForms&) = delete;

private:
    testing_support::FakeSoundPlayer m_horn;
    testing_support::RecordingSeams m_doubles;
};

} // namespace bench
