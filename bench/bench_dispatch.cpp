// bench_dispatch: 10,000 channel events through the engine's numbering and
// dispatch with every rule on: the real rules and trace line (flushed to the
// trace log for each event), "LastEvent" written to the INI file for each,
// the real history writer (one append to the month's file for each) and the
// real printed line on a raw printer whose LPT port is a plain file,
// recording stand-ins for the horn, alarm screen and mirrors.
// Prints events per second; fails below 2,000 per second, the rate at which a
// full buffer of 62 events takes well under a tick's worth of a second.
// Run from the build's bin folder. The INI file is written durably (synced to
// disk) at every event, so the figure depends on the file system that holds
// the scratch folder (TMPDIR); it is printed with the result.

#include "VexLib22/_LogFileClass.h"
#include "bench/BenchSupport.h"
#include "program/bus/DispatchStandIns.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/DirectPrinting.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoProcs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Events = 10000;
constexpr double RequiredPerSecond = 2000.0;

// Lines of a history file or of the printer's output (each ends with a CR).
qsizetype linesIn(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().count('\r') : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    if (!bench::useScratchProgramFolder(work, "bench_dispatch"))
        return 2;

    ConfigClass config([](int) { return QString(); });
    gConfig = &config;
    for (int bit = 0; bit < 5; ++bit) {
        config.setOptionScreen(bit, true);
        config.setOptionHisto(bit, true);
        config.setOptionPrinter(bit, true);
        config.setOptionKlaxon(bit, true);
    }
    bench::eightModules(config);
    gTraceLog().OpenFile(work.path() + "/trace.log", VexLib22::eLogModeFileAppend);

    Dispatch::RecordingHorn horn;
    Dispatch::RecordingAlarmScreen screen;
    // The printer's port: a plain file that the printer appends to.
    const QString paper = work.path() + "/printer.out";
    if (QFile out(paper); !out.open(QIODevice::WriteOnly))
        return 2;
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("LPT1"), paper);
    DirectPrinting printer;
    printer.setPort(QStringLiteral("LPT1"));
    const auto printing = HistoProcs::PrinterOn(printer);
    Dispatch::RecordingMirrors mirrors;
    EventDispatcher dispatcher;
    dispatcher.setRules(&HistoProcs::Rules());
    dispatcher.setHorn(&horn);
    dispatcher.setAlarmScreen(&screen);
    dispatcher.setHistory(&HistoProcs::History());
    dispatcher.setPrinter(printing.get());
    dispatcher.setMirrors(&mirrors);
    dispatcher.LoadLastEvent();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Events; ++i) {
        EventClass ev = bench::channelEvent(i);
        dispatcher.SendEvent(ev);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double perSecond = Events / seconds;
    const qsizetype recorded = linesIn(HistoFile::FileName(plat::DateTime::now().date(), false));
    const qsizetype printed = linesIn(paper);
    std::printf("bench_dispatch: %d events in %.3f s: %.0f events per second (%.2f ms for 62 events; goal %.0f "
                "per second); history %lld lines, printer %lld lines; folder %s\n",
                Events, seconds, perSecond, 62 * 1000.0 / perSecond, RequiredPerSecond, static_cast<long long>(recorded),
                static_cast<long long>(printed), qPrintable(work.path()));
    gTraceLog().CloseFile();
    if (perSecond < RequiredPerSecond) {
        std::fprintf(stderr, "bench_dispatch: below %.0f events per second\n", RequiredPerSecond);
        return 1;
    }
    return 0;
}
