// bench_bus_screens: the bus overview, the module editor and the mirror list
// with all 64 modules configured (model 2, 24 channels with texts, the 64
// library and 48 instruction texts, 200 mirrors; some modules switched off):
// opening each screen (load, drawing from the configuration, texts from the
// database, first paint) and moving the editor to the next or previous module. Prints the median and the worst of the runs;
// an opening should stay under 100 ms and a module step under 50 ms.
// Run from the build's bin folder (it reads PLX2.cfg and the libraries there).

#include "bench/BenchSupport.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "program/App.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/screens/bus/wBusPanneau.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRuns = 30;
constexpr double kOpenBudgetMs = 100.0;
constexpr double kStepBudgetMs = 50.0;

void unloadAll()
{
    plat::Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool report(const char* what, const bench::Timing& t, double budget)
{
    const bool ok = t.worst < budget;
    std::printf("%-28s median %7.2f ms, worst %7.2f ms  (budget %.0f ms) %s\n", what, t.median, t.worst, budget,
                ok ? "ok" : "OVER BUDGET");
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    // Nothing is written beside the binaries: registry, INI and database copy live in a scratch folder.
    if (!bench::useScratchProgramFolder(work, "bench_bus_screens"))
        return 2;
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
    ReplaceConfig(std::make_unique<ConfigClass>());
    bench::fillFullConfiguration(*gConfig);
    // Some modules switched off, so that the tiles show their crosses.
    for (int m = 7; m <= Limits::Modules; m += 7)
        gConfig->Panel(int16_t(m))->setActive(false);
    gConfig->setModified(false);
    App::registerForms();

    // A screen loaded, shown and painted, then unloaded again.
    auto opening = [](const QString& form) {
        return bench::measure(
            kRuns,
            [&form] {
                plat::Form* f = plat::Forms::Get(form);
                f->Show();
                f->repaint();
            },
            unloadAll);
    };
    const bench::Timing overview = opening(FormNames::wBusModules);
    int module = 0;
    const bench::Timing editor = bench::measure(
        kRuns,
        [&] {
            auto* e = qobject_cast<wBusPanneau*>(plat::Forms::Get(FormNames::wBusPanneau));
            e->setNumModule(++module);
            e->Show();
            e->repaint();
        },
        unloadAll);
    const bench::Timing mirrors = opening(FormNames::wBusMiroirs);
    auto* e = qobject_cast<wBusPanneau*>(plat::Forms::Get(FormNames::wBusPanneau));
    e->setNumModule(1);
    e->Show();
    int step = wBusPanneau::NavPanelNext;
    const bench::Timing steps = bench::measure(
        kRuns,
        [&] {
            e->imgNavPanel_Click(step);
            e->repaint();
        },
        [&] {
            if (e->NumModule() >= Limits::Modules)
                step = wBusPanneau::NavPanelPrevious;
            else if (e->NumModule() <= 1)
                step = wBusPanneau::NavPanelNext;
        });
    const bool moved = e->NumModule() != 1;
    unloadAll();
    if (!moved) {
        std::fprintf(stderr, "bench_bus_screens: the editor did not move between modules\n");
        return 1;
    }

    std::printf("bus screens with 64 modules configured, %d runs each\n", kRuns);
    bool ok = report("opening the bus overview:", overview, kOpenBudgetMs);
    ok = report("opening the module editor:", editor, kOpenBudgetMs) && ok;
    ok = report("a module step in the editor:", steps, kStepBudgetMs) && ok;
    ok = report("opening the mirror list:", mirrors, kOpenBudgetMs) && ok;
    ReplaceConfig(nullptr);
    return ok ? 0 : 1;
}
