// Loads and shows the main window with 64 modules configured, and changes
// its language; prints the median and the worst of the runs of each. Both
// should stay under 100 ms. Runs on the offscreen platform, on a program
// folder of its own (a copy of PLX2.cfg beside this program) and a simulated
// bus line.

#include "bench/BenchSupport.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"
#include "program/App.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/screens/system/wMain.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRuns = 30;
constexpr double kBudgetMs = 100.0;

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    plat::Theme::apply(app);
    QTemporaryDir folder;
    if (!folder.isValid() || !bench::useScratchProgramFolder(folder, "bench_main"))
        return 1;
    bool errors = false;
    plat::setErrorReporter([&](const QString& name, const plat::RtError& e) {
        std::fprintf(stderr, "error %d in %s\n", e.number(), qPrintable(name));
        errors = true;
    });
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
    App::registerForms();
    modsim::Simulator bus;
    wPolling::setPortFactory([&] { return std::make_unique<modsim::SimSerialControl>(bus, plat::systemClock()); });
    PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
    ReplaceConfig(std::make_unique<ConfigClass>());
    bench::fillFullConfiguration(*gConfig);

    // The engine form loads once, at start-up; it is not part of the window's load.
    plat::Forms::Get(FormNames::wPolling);
    const bench::Timing load = bench::measure(
        kRuns,
        [] {
            plat::Forms::Get(FormNames::wMain)->Show();
            QCoreApplication::processEvents();
        },
        [] {
            plat::Forms::Unload(plat::Forms::Find(FormNames::wMain));
            settle();
        });
    auto* main = qobject_cast<wMain*>(plat::Forms::Get(FormNames::wMain));
    settle();
    const bench::Timing language = bench::measure(
        kRuns,
        [&] {
            main->imgLanguage_Click();
            QCoreApplication::processEvents();
        });
    plat::Forms::UnloadAllExcept({});
    settle();

    std::printf("main window with %d modules configured, %d runs each\n", Limits::Modules, kRuns);
    std::printf("load and show: median %.3f ms, worst %.3f ms\n", load.median, load.worst);
    std::printf("language change: median %.3f ms, worst %.3f ms\n", language.median, language.worst);
    const bool fast = load.worst < kBudgetMs && language.worst < kBudgetMs;
    std::printf("%s (budget %.0f ms each)\n", fast ? "within budget" : "OVER BUDGET", kBudgetMs);
    return fast && !errors ? 0 : 1;
}
