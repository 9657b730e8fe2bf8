// bench_dispatch: five runs of 10,000 channel events each through the engine's
// numbering and dispatch with every rule on: the real rules and trace line
// (flushed to the trace log for each event), "LastEvent" written to the INI
// file for each, the real history writer (one append to the month's file for
// each) and the real printed line on a raw printer whose LPT port is a plain
// file, recording doubles for the horn, alarm screen and mirrors. Prints the
// events per second of each run and their median, and the goal: the median
// holds 5,000 events per second, so that a general synchronisation of a full
// bus (64 modules of 24 channels, 1,536 events at once) keeps the operator's
// touches waiting about a third of a second; the median keeps one run slowed
// by a busy machine from deciding.
// Run from the build's bin folder. The INI file is rewritten at every event:
// a new file renamed over the old, not synced to disk. The figure depends on
// the file system that holds the scratch folder (TMPDIR; ext4 writes a file
// renamed over another out to the disk at the rename, most of an
// event's time there), which is printed with the result.

#include "VexLib22/_LogFileClass.h"
#include "bench/BenchSupport.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/DirectPrinting.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoProcs.h"
#include "tests/support/DispatchDoubles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Events = 10000;
constexpr int Runs = 5;
constexpr double RequiredPerSecond = 5000.0;

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

    ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
    ConfigClass& config = *gConfig;
    for (int bit = 0; bit < 5; ++bit) {
        config.setOptionScreen(bit, true);
        config.setOptionHisto(bit, true);
        config.setOptionPrinter(bit, true);
        config.setOptionKlaxon(bit, true);
    }
    bench::eightModules(config);
    gTraceLog().OpenFile(work.path() + "/trace.log", VexLib22::eLogModeFileAppend);

    // The printer's port: a plain file that the printer appends to.
    const QString paper = work.path() + "/printer.out";
    if (QFile out(paper); !out.open(QIODevice::WriteOnly))
        return 2;
    VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("LPT1"), paper);
    DirectPrinting printer;
    printer.setPort(QStringLiteral("LPT1"));
    const auto printing = HistoProcs::PrinterOn(printer);

    testing_support::RecordingSeams doubles;
    EventDispatcher dispatcher;
    doubles.wire(dispatcher);
    dispatcher.setRules(&HistoProcs::Rules());
    dispatcher.setHistory(&HistoProcs::History());
    dispatcher.setPrinter(printing.get());
    dispatcher.LoadLastEvent();

    std::vector<double> rates;
    for (int run = 1; run <= Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Events; ++i) {
            EventClass ev = bench::channelEvent(i);
            dispatcher.SendEvent(ev);
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        rates.push_back(Events / seconds);
        std::printf("bench_dispatch: run %d: %d events in %.3f s: %.0f events per second\n", run, Events, seconds,
                    rates.back());
    }
    gTraceLog().CloseFile();
    std::sort(rates.begin(), rates.end());
    const double median = rates[rates.size() / 2];
    const bool met = median >= RequiredPerSecond;
    const qsizetype recorded = linesIn(HistoFile::FileName(plat::DateTime::now().date(), false));
    const qsizetype printed = linesIn(paper);
    std::printf("bench_dispatch: median %.0f events per second (%.2f ms for 62 events); history %lld lines, printer "
                "%lld lines; folder %s (%s)\n",
                median, 62 * 1000.0 / median, static_cast<long long>(recorded), static_cast<long long>(printed),
                qPrintable(work.path()), QStorageInfo(work.path()).fileSystemType().constData());
    std::printf("bench_dispatch: goal: a median of at least %.0f events per second: %s\n", RequiredPerSecond,
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
