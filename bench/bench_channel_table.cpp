// Exports and imports the channel table of 64 modules of model 2 (1,536
// channel lines with texts) through a file. Prints the file's size and the
// time of each (median, 95th percentile and worst of the runs) and the goal:
// the 95th percentile of each stays under 100 ms. The import goes into a new
// configuration of the same modules, so that every channel takes its values.

#include "bench/BenchSupport.h"
#include "program/core/ConfigClass.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ChannelTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kRuns = 50;
constexpr double kBudgetMs = 100.0;

QString noDefaults(int)
{
    return {};
}

// The table holds no model: a new configuration with the modules of the full one.
std::unique_ptr<ConfigClass> sameModules()
{
    auto c = std::make_unique<ConfigClass>(noDefaults);
    for (int m = 1; m <= 64; ++m)
        c->Panel(int16_t(m))->setModel(2);
    return c;
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
    const QString path = dir.filePath("channels.txt");
    ConfigClass config(noDefaults);
    bench::fillFullConfiguration(config);

    bool ok = true;
    auto failed = [&](const plat::RtError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        ok = false;
    };
    const bench::Timing exported = bench::measure(kRuns, [&] {
        try {
            ChannelTable::Export(config, path);
        } catch (const plat::RtError& e) {
            failed(e);
        }
    });
    const qint64 size = QFileInfo(path).size();
    std::unique_ptr<ConfigClass> target = sameModules();
    bool taken = true;
    const bench::Timing imported = bench::measure(
        kRuns,
        [&] {
            try {
                ChannelTable::Import(path, *target);
            } catch (const plat::RtError& e) {
                failed(e);
            }
        },
        [&] {
            taken = taken && ChannelTable::Write(*target) == ChannelTable::Write(config);
            target = sameModules();
        });
    if (!ok || !taken) {
        std::fprintf(stderr, "an export or an import failed\n");
        return 1;
    }
    std::printf("channel table of 64 modules of model 2: %lld bytes, %d runs each\n", static_cast<long long>(size),
                kRuns);
    std::printf("export: median %.3f ms, 95th percentile %.3f ms, worst %.3f ms\n", exported.median, exported.p95,
                exported.worst);
    std::printf("import: median %.3f ms, 95th percentile %.3f ms, worst %.3f ms (into a new configuration)\n",
                imported.median, imported.p95, imported.worst);
    const bool fast = exported.p95 < kBudgetMs && imported.p95 < kBudgetMs;
    std::printf("goal: the 95th percentile of an export and of an import under %.0f ms: %s\n", kBudgetMs,
                fast ? "met" : "MISSED");
    return fast ? 0 : 1;
}
