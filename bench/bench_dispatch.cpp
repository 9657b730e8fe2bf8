// bench_dispatch: 10,000 channel events through the engine's numbering and
// dispatch with every rule on: the real rules and trace line (flushed to the
// trace log for each event), "LastEvent" written to the INI file for each,
// recording stand-ins for the horn, alarm screen, history, printer and mirrors.
// Prints events per second; fails below 2,000 per second, the rate at which a
// full buffer of 62 events takes well under a tick's worth of a second.
// Run from the build's bin folder. The INI file is written durably (synced to
// disk) at every event, so the figure depends on the file system that holds
// the scratch folder (TMPDIR); it is printed with the result.

#include "VexLib22/_LogFileClass.h"
#include "bench/BenchSupport.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/DispatchStandIns.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/runtime/HistoProcs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Events = 10000;
constexpr double RequiredPerSecond = 2000.0;

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    // Nothing is written beside the binaries: registry, INI, trace log and database copy live in a scratch folder.
    if (!bench::openScratchProgramFolder(work.path(), "bench_dispatch"))
        return 2;

    ConfigClass config([](int) { return QString(); });
    gConfig = &config;
    gPanelLetter = QStringLiteral("M");
    gChannelLetter = QStringLiteral("C");
    for (int bit = 0; bit < 5; ++bit) {
        config.setOptionScreen(bit, true);
        config.setOptionHisto(bit, true);
        config.setOptionPrinter(bit, true);
        config.setOptionKlaxon(bit, true);
    }
    for (int module = 1; module <= 8; ++module) {
        ConfigAccess::panel(module).setModel(1);
        for (int c = 1; c <= 12; ++c) {
            ChannelClass& ch = ConfigAccess::channel(module, c);
            ch.setScrAlm(true);
            ch.setHisto(true);
            ch.setPrtAlm(true);
            ch.setKlaxon(true);
            ch.setBibNum(c);
            ch.setScreenText(QStringLiteral("Channel text %1").arg(c));
        }
    }
    gTraceLog().OpenFile(work.path() + "/trace.log", VexLib22::eLogModeFileAppend);

    Dispatch::RecordingHorn horn;
    Dispatch::RecordingAlarmScreen screen;
    Dispatch::RecordingHistory history;
    Dispatch::RecordingPrinter printer;
    Dispatch::RecordingMirrors mirrors;
    EventDispatcher dispatcher;
    dispatcher.setRules(&HistoProcs::Rules());
    dispatcher.setHorn(&horn);
    dispatcher.setAlarmScreen(&screen);
    dispatcher.setHistory(&history);
    dispatcher.setPrinter(&printer);
    dispatcher.setMirrors(&mirrors);
    dispatcher.LoadLastEvent();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Events; ++i) {
        EventClass ev;
        ev.setPanel(qint16(1 + i % 8));
        ev.setChnl(qint16(1 + i % 12));
        ev.setParam(qint16(i % 2));
        ev.setAff(qint16(1 + i % 4));
        ev.setClock(i);
        dispatcher.SendEvent(ev);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double perSecond = Events / seconds;
    std::printf("bench_dispatch: %d events in %.3f s: %.0f events per second (%.2f ms for 62 events); "
                "history %zu, printer %zu; folder %s\n",
                Events, seconds, perSecond, 62 * 1000.0 / perSecond, history.events.size(), printer.events.size(),
                qPrintable(work.path()));
    gTraceLog().CloseFile();
    if (perSecond < RequiredPerSecond) {
        std::fprintf(stderr, "bench_dispatch: below %.0f events per second\n", RequiredPerSecond);
        return 1;
    }
    return 0;
}
