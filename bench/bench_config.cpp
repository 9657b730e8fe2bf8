// Reads and saves a full configuration file: 64 modules of 24 channels with
// texts, 64 library and 48 instruction texts, 200 mirrors. Prints the file's
// size and the time of each operation (median and worst of the runs); both
// should stay under 20 ms.

#include "bench/BenchSupport.h"
#include "program/core/ConfigClass.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 50;
constexpr double kBudgetMs = 20.0;

struct Timing {
    double median;
    double worst;
};

template <class F>
Timing measure(F&& f)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

QString noDefaults(int)
{
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath("full.px2");
    ConfigClass config(noDefaults);
    bench::fillFullConfiguration(config);

    bool ok = true;
    const Timing save = measure([&] { ok = ok && config.Save(path) == -1; });
    const qint64 size = QFileInfo(path).size();
    const Timing read = measure([&] {
        ConfigClass c(noDefaults);
        ok = ok && c.Read(path) == 0;
    });
    if (!ok) {
        std::fprintf(stderr, "a save or a read failed\n");
        return 1;
    }
    std::printf("configuration file: %lld bytes, %d runs each\n", static_cast<long long>(size), kRuns);
    std::printf("save: median %.3f ms, worst %.3f ms\n", save.median, save.worst);
    std::printf("read: median %.3f ms, worst %.3f ms (into a new configuration)\n", read.median, read.worst);
    const bool fast = save.worst < kBudgetMs && read.worst < kBudgetMs;
    std::printf("%s (budget %.0f ms)\n", fast ? "within budget" : "OVER BUDGET", kBudgetMs);
    return fast ? 0 : 1;
}
