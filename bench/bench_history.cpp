// bench_history: 10,000 events appended to the history file of the month when
// it already holds 100,000 records (a busy month), each through the history
// writer as the dispatch calls it: the screen record, the file record, the
// file opened, appended to and closed. Prints appends per second; fails below
// 10,000 per second, so that a full buffer of 62 events costs a few ms.
// Run from the build's bin folder; the scratch folder is TMPDIR's.

#include "bench/BenchSupport.h"
#include "platform/Cp1252.h"
#include "program/bus/EventClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoFileRecord.h"
#include "program/runtime/HistoProcs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

constexpr int Records = 100000;
constexpr int Appends = 10000;
constexpr double RequiredPerSecond = 10000.0;

// Event i, numbered and stamped as the dispatch hands it on.
EventClass numbered(int i)
{
    EventClass ev = bench::channelEvent(i);
    ev.setNum(i % 999999 + 1);
    ev.setGDH(plat::DateTime::now());
    return ev;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    if (!bench::useScratchProgramFolder(work, "bench_history"))
        return 2;

    ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
    ConfigClass& config = *gConfig;
    bench::eightModules(config);

    // The month's file, already long.
    const plat::DateTime now = plat::DateTime::now();
    HistoProcs::setHistoClock([now] { return now; });
    const QString month = HistoFile::FileName(now.date(), false);
    {
        QFile f(month);
        if (!f.open(QIODevice::WriteOnly))
            return 2;
        QByteArray block = plat::Cp1252::encode(HistoFileRecord::Title()) + "\r\n";
        for (int i = 0; i < Records; ++i) {
            block += plat::Cp1252::encode(HistoProcs::HistoScreenLineToHistoFileLine(
                         HistoProcs::FormateHistoScreen(numbered(i))))
                     + "\r\n";
            if (block.size() > (1 << 20)) {
                f.write(block);
                block.clear();
            }
        }
        f.write(block);
    }
    const qint64 before = QFileInfo(month).size();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Appends; ++i)
        HistoProcs::HistoEvent(numbered(i));
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double perSecond = Appends / seconds;
    const qint64 added = QFileInfo(month).size() - before;
    std::printf("bench_history: %d appends to a file of %d records in %.3f s: %.0f appends per second "
                "(goal %.0f); %lld bytes added; folder %s\n",
                Appends, Records, seconds, perSecond, RequiredPerSecond, static_cast<long long>(added),
                qPrintable(work.path()));
    ReplaceConfig(nullptr);
    if (added != qint64(Appends) * (HistoFileRecord::Length + 2)) {
        std::fprintf(stderr, "bench_history: not every append reached the file\n");
        return 1;
    }
    if (perSecond < RequiredPerSecond) {
        std::fprintf(stderr, "bench_history: below %.0f appends per second\n", RequiredPerSecond);
        return 1;
    }
    return 0;
}
