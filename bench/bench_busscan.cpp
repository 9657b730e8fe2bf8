// bench_busscan: the bus scan screen's scan of the 64 addresses against the
// module simulator program on a pseudo-terminal with line-time emulation at
// 9600 baud: 54 modules of mixed models and 10 silent addresses, polling
// stopped. Prints the scan's time and its ratio to the floor that the frame
// routine imposes: for each read, the 25 ms pause before it, the request on
// the line, and either the reply on the line after 3.5 characters of silence
// or, when no whole reply comes, the reply deadline.
//
//   bench_busscan [path/to/modsim]     exit status 1 when the goal is missed

#include "bench/BusBench.h"
#include "program/App.h"
#include "program/bus/BusConstants.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/FormNames.h"
#include "program/screens/bus/wTechFindPanels.h"

#include "platform/Captions.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int Modules = 54;
constexpr int Baud = 9600;
constexpr double RatioGoal = 1.1;

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString simulator = bench::findSimulator(argc, argv, "bench_busscan");
    if (simulator.isEmpty())
        return 2;
    QTemporaryDir folder;
    if (!bench::useScratchProgramFolder(folder, "bench_busscan"))
        return 2;
    std::vector<int> models;
    const int mix[] = {1, 2, 5, 1, 3, 2, 4, 1, 5};
    for (int i = 0; i < Modules; ++i)
        models.push_back(mix[i % 9]);
    QProcess sim;
    if (!bench::serveBus(folder, sim, simulator, models, Baud, "bench_busscan"))
        return 2;
    if (!Config::OpenConfigBase())
        return 2;
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });

    bench::FloorPort* port = nullptr;
    App::registerForms();
    App::installSeams();
    PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
    wPolling::setPortFactory([&port] {
        auto p = std::make_unique<bench::FloorPort>(Baud);
        port = p.get();
        return std::unique_ptr<plat::SerialControl>(std::move(p));
    });
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    if (!engine || !engine->PortOpen()) {
        std::fprintf(stderr, "bench_busscan: the simulator's line did not open\n");
        sim.terminate();
        sim.waitForFinished(3000);
        return 2;
    }
    auto* screen = qobject_cast<wTechFindPanels*>(plat::Forms::Get(FormNames::wTechFindPanels));
    screen->Show();
    QCoreApplication::processEvents();
    port->frames = 0;
    port->floorMs = 0;

    QElapsedTimer clock;
    clock.start();
    screen->imgFind_Click(wTechFindPanels::FindStart);
    while (screen->scan().Running())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double wallS = double(clock.nsecsElapsed()) / 1e9;

    int found = 0;
    for (int a = 1; a <= 64; ++a)
        found += screen->scan().Result(a) > 0 ? 1 : 0;
    plat::Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sim.terminate();
    sim.waitForFinished(3000);

    const double floorS = port ? port->floorMs / 1000.0 : 0;
    const double ratio = floorS > 0 ? wallS / floorS : 0;
    const bool ok = found == Modules && ratio <= RatioGoal;
    std::printf("bus scan of 64 addresses (%d modules of mixed models, %d silent) at %d baud over a pseudo-terminal\n",
                Modules, 64 - Modules, Baud);
    std::printf("reads: %d, modules found: %d\n", port ? port->frames : 0, found);
    std::printf("floor: per read %d ms pause + request on the line + reply after %.1f characters, or the deadline"
                " = %.3f s\n",
                Bus::FramePauseMs, bench::FloorPort::SilenceChars, floorS);
    std::printf("scan: %.3f s  ratio %.4f (goal <= %.2f: %s)\n", wallS, ratio, RatioGoal, ok ? "yes" : "NO");
    ReplaceConfig(nullptr);
    return ok ? 0 : 1;
}
