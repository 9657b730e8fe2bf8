// Loads and shows the main window with 64 modules configured, and changes
// its language; prints the median and the worst of the runs of each. Both
// should stay under 100 ms. Runs on the offscreen platform, on a program
// folder of its own (a copy of PLX2.cfg beside this program) and a simulated
// bus line.

#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"
#include "program/bus/BusForms.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/CoreForms.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/screens/system/SystemScreens.h"
#include "program/screens/system/wMain.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"
#include "program/core/FormNames.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 30;
constexpr double kBudgetMs = 100.0;

struct Timing {
    double median;
    double worst;
};

// Times f in each run; after runs what prepares the next one, untimed.
template <class F, class G>
Timing measure(F&& f, G&& after)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        after();
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void configureModules()
{
    for (int16_t m = 1; m <= ConfigClass::kModules; ++m) {
        auto p = gConfig->Panel(m);
        p->setModel(2);
        p->setActive(true);
        p->setTitle(QString("Building %1|floor %2").arg(m).arg(m % 5));
        for (int16_t k = 1; k <= 24; ++k)
            p->Channel(k)->setScreenText(QString("Zone %1.%2 smoke detector").arg(m).arg(k));
    }
}

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
    const QString home = plat::AppIdentity::programFolder();
    if (qEnvironmentVariableIsEmpty("PLX_REGISTRY_FILE"))
        qputenv("PLX_REGISTRY_FILE", QFile::encodeName(home + QStringLiteral("/Registry.ini")));
    QTemporaryDir folder;
    if (!folder.isValid() || !QFile::copy(home + "/PLX2.cfg", folder.path() + "/PLX2.cfg")) {
        std::fprintf(stderr, "cannot prepare a program folder with %s/PLX2.cfg\n", qPrintable(home));
        return 1;
    }
    plat::AppIdentity::setProgramFolder(folder.path());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    bool errors = false;
    plat::setErrorReporter([&](const QString& name, const plat::RtError& e) {
        std::fprintf(stderr, "error %d in %s\n", e.number(), qPrintable(name));
        errors = true;
    });
    if (!Config::OpenConfigBase())
        return 1;
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
    CoreForms::registerForms();
    BusForms::registerForms();
    SystemScreens::registerForms();
    modsim::Simulator bus;
    wPolling::setPortFactory([&] { return std::make_unique<modsim::SimSerialControl>(bus, plat::systemClock()); });
    PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
    ReplaceConfig(std::make_unique<ConfigClass>());
    configureModules();

    // The engine form loads once, at start-up; it is not part of the window's load.
    plat::Forms::Get(FormNames::wPolling);
    const Timing load = measure(
        [] {
            plat::Forms::Get(wMain::FormName)->Show();
            QCoreApplication::processEvents();
        },
        [] {
            plat::Forms::Unload(plat::Forms::Find(wMain::FormName));
            settle();
        });
    auto* main = qobject_cast<wMain*>(plat::Forms::Get(wMain::FormName));
    settle();
    const Timing language = measure(
        [&] {
            main->imgLanguage_Click();
            QCoreApplication::processEvents();
        },
        [] {});
    plat::Forms::UnloadAllExcept({});
    settle();

    std::printf("main window with %d modules configured, %d runs each\n", ConfigClass::kModules, kRuns);
    std::printf("load and show: median %.3f ms, worst %.3f ms\n", load.median, load.worst);
    std::printf("language change: median %.3f ms, worst %.3f ms\n", language.median, language.worst);
    const bool fast = load.worst < kBudgetMs && language.worst < kBudgetMs;
    std::printf("%s (budget %.0f ms each)\n", fast ? "within budget" : "OVER BUDGET", kBudgetMs);
    return fast && !errors ? 0 : 1;
}
