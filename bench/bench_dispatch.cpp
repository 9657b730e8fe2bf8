// bench_dispatch: five runs of 10,000 channel events each through the engine's
// numbering and dispatch with every rule on: the real rules and trace line
// (flushed to the trace log for each event), "LastEvent" written to the INI
// file for each, recording doubles for the horn, alarm screen, history,
// printer and mirrors. Prints the events per second of each run and their
// median, and the goal: the median holds 2,000 events per second, the rate at
// which a full buffer of 62 events takes well under a tick's worth of a
// second; the median keeps one run slowed by a busy machine from deciding.
// Run from the build's bin folder. The INI file is rewritten at every event:
// a new file renamed over the old, not synced to disk. The figure still
// depends on the file system that holds the scratch folder (TMPDIR; ext4
// writes a file renamed over another out to the disk at the rename), which is
// printed with the result.

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Regional.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/runtime/HistoProcs.h"
#include "tests/support/DispatchDoubles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <vector>

namespace {

constexpr int Events = 10000;
constexpr int Runs = 5;
constexpr double RequiredPerSecond = 2000.0;

bool registerLibrary(const QString& binFolder)
{
    const QByteArray file = (binFolder + "/libVexLib22.so").toLocal8Bit();
    void* handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "bench_dispatch: %s\n", ::dlerror());
        return false;
    }
    auto reg = reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer"));
    return reg && reg() == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString binFolder = QCoreApplication::applicationDirPath();
    QTemporaryDir work;
    // Nothing is written beside the binaries: registry, INI, trace log and database copy live in a scratch folder.
    qputenv("PLX_REGISTRY_FILE", (work.path() + "/Registry.ini").toLocal8Bit());
    plat::AppIdentity::setProgramFolder(work.path());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    plat::Regional::reset();
    if (!registerLibrary(binFolder))
        return 2;
    if (!QFile::copy(binFolder + "/PLX2.cfg", work.path() + "/PLX2.cfg") || !Config::OpenConfigBase()) {
        std::fprintf(stderr, "bench_dispatch: no configuration database in %s\n", qPrintable(binFolder));
        return 2;
    }

    ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
    ConfigClass& config = *gConfig;
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

    testing_support::RecordingSeams doubles;
    EventDispatcher dispatcher;
    doubles.wire(dispatcher);
    dispatcher.setRules(&HistoProcs::Rules());
    dispatcher.LoadLastEvent();

    std::vector<double> rates;
    for (int run = 1; run <= Runs; ++run) {
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
        rates.push_back(Events / seconds);
        std::printf("bench_dispatch: run %d: %d events in %.3f s: %.0f events per second\n", run, Events, seconds,
                    rates.back());
    }
    gTraceLog().CloseFile();
    std::sort(rates.begin(), rates.end());
    const double median = rates[rates.size() / 2];
    const bool met = median >= RequiredPerSecond;
    std::printf("bench_dispatch: median %.0f events per second (%.2f ms for 62 events); history %zu, printer %zu; "
                "folder %s\n",
                median, 62 * 1000.0 / median, doubles.history.events.size(), doubles.printer.events.size(), qPrintable(work.path()));
    std::printf("bench_dispatch: goal: a median of at least %.0f events per second: %s\n", RequiredPerSecond,
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
