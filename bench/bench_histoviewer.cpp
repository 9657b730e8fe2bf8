// bench_histoviewer: how long the history viewer takes to open a month of
// 100,000 records written by the history writer, from the start of its
// loader (tmrUpdate_Timer) to the last entry selected and drawn, beside the
// floor: the time to read the file, decode it and split it into lines, the
// least any viewer of the whole file pays. Five loads, each after a floor;
// prints them all. Goal: every load, the first included, within 3 times the
// floor (the median of the five) and under 300 ms, the time an operator
// waits for a busy month to show. Run from the build's bin folder; the
// scratch folder is TMPDIR's.

#include "bench/BenchSupport.h"
#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/Theme.h"
#include "program/App.h"
#include "program/bus/EventClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/wHistoric.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>

namespace {

constexpr int Records = 100000;
constexpr int Loads = 5;
constexpr double GoalMs = 300.0;
constexpr double FloorTimes = 3.0;

// Reads, decodes and splits the file into its lines; the time in ms.
double floorMs(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QStringList lines = plat::Cp1252::decode(file.readAll()).split(QLatin1Char('\n'));
    const double ms = timer.nsecsElapsed() / 1e6;
    return lines.size() > Records ? ms : 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    plat::Theme::apply(app);
    QTemporaryDir work;
    if (!bench::useScratchProgramFolder(work, "bench_histoviewer"))
        return 2;
    ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
    bench::eightModules(*gConfig);

    // The month, entry by entry through the writer the dispatch calls.
    const plat::DateTime now = plat::DateTime::now();
    HistoProcs::setHistoClock([now] { return now; });
    for (int i = 0; i < Records; ++i) {
        EventClass ev = bench::channelEvent(i);
        ev.setNum(i % 999999 + 1);
        ev.setGDH(now);
        HistoProcs::HistoEvent(ev);
    }

    App::registerForms();
    auto* viewer = qobject_cast<wHistoric*>(plat::Forms::Get(FormNames::wHistoric));
    viewer->Show();
    QCoreApplication::processEvents();
    if (viewer->lstFiles->ListIndex() < 0) {
        std::fprintf(stderr, "bench_histoviewer: the month's file is not listed\n");
        return 1;
    }

    const QString month = HistoFile::FileName(now.date(), HistoFile::Daily());
    std::vector<double> ms, floors;
    for (int i = 0; i < Loads; ++i) {
        floors.push_back(floorMs(month));
        if (floors.back() <= 0) {
            std::fprintf(stderr, "bench_histoviewer: the month's file does not read\n");
            return 1;
        }
        QElapsedTimer timer;
        timer.start();
        viewer->tmrUpdate_Timer();
        viewer->grdAlarms->viewport()->repaint();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        // The last entry written is the one selected.
        if (viewer->grdAlarms->Rows() != Records || viewer->grdAlarms->Row() != Records - 1
            || viewer->grdAlarms->Text().left(6).toInt() != Records) {
            std::fprintf(stderr, "bench_histoviewer: %d entries loaded, %d selected\n", viewer->grdAlarms->Rows(),
                         viewer->grdAlarms->Row());
            return 1;
        }
    }
    const double slowest = *std::max_element(ms.begin(), ms.end());
    const double floor = median(floors);
    std::printf("bench_histoviewer: a month of %d records; floor (read, decode, split)", Records);
    for (double m : floors)
        std::printf(" %.1f", m);
    std::printf(" ms, median %.1f ms\nbench_histoviewer: opened in", floor);
    for (double m : ms)
        std::printf(" %.1f", m);
    std::printf(" ms; slowest %.1f ms = %.2f times the floor\n", slowest, slowest / floor);
    const bool met = slowest <= FloorTimes * floor && slowest < GoalMs;
    std::printf("bench_histoviewer: goal: every open within %.0f times the floor (%.1f ms) and under %.0f ms: %s\n",
                FloorTimes, FloorTimes * floor, GoalMs, met ? "met" : "MISSED");
    plat::Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ReplaceConfig(nullptr);
    return met ? 0 : 1;
}
