// The general synchronisation pass over 16 model 1 modules on a
// pseudo-terminal, against the module simulator program with line-time
// emulation at 19200 baud. Prints the pass's time and its ratio to the floor
// that the frames impose: for each frame the pass sends, the 25 ms pause
// before it, the request and the reply on the line and the 3.5 characters of
// silence before the reply.
//
//   bench_synchro [path/to/modsim]     exit status 1 when the goal is missed

#include "bench/BusBench.h"
#include "program/bus/BusConstants.h"
#include "program/bus/PollingEngine.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int Modules = 16;
constexpr int Baud = 19200;
constexpr double RatioGoal = 1.05;

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString simulator = bench::findSimulator(argc, argv, "bench_synchro");
    if (simulator.isEmpty())
        return 2;
    QTemporaryDir folder;
    QProcess sim;
    if (!bench::serveBus(folder, sim, simulator, std::vector<int>(Modules, 1), Baud, "bench_synchro"))
        return 2;
    bench::FloorPort port(Baud);
    bench::EngineRig rig(port);
    PollingEngine& engine = rig.engine;
    if (!rig.load(sim, "bench_synchro"))
        return 2;

    QElapsedTimer clock;
    clock.start();
    engine.SynchroGeneraleBus();
    const double wallS = double(clock.nsecsElapsed()) / 1e9;
    engine.Unload();
    sim.terminate();
    sim.waitForFinished(3000);

    int present = 0;
    for (int m = 1; m <= Modules; ++m)
        present += gConfig->Panel(qint16(m))->Present() ? 1 : 0;
    const double floorS = port.floorMs / 1000.0;
    const double ratio = floorS > 0 ? wallS / floorS : 0;
    const bool ok = present == Modules && ratio <= RatioGoal;
    std::printf("general synchronisation of %d model 1 modules at %d baud over a pseudo-terminal\n", Modules, Baud);
    std::printf("frames: %d (%d modules found)\n", port.frames, present);
    std::printf("floor: per frame %d ms pause + request and reply on the line + %.1f characters of silence = %.4f s\n",
                Bus::FramePauseMs, bench::FloorPort::SilenceChars, floorS);
    std::printf("pass: %.4f s  ratio %.4f (goal <= %.2f: %s)\n", wallS, ratio, RatioGoal, ok ? "yes" : "NO");
    ReplaceConfig(nullptr);
    return ok ? 0 : 1;
}
