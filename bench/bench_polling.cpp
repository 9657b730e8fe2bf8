// One full polling round of 64 one-register modules over a pseudo-terminal,
// against the module simulator program with line-time emulation at 19200
// baud, on the engine's own polling timer. Prints the round time, its ratio
// to the floor that the fixed waits and the line impose (per module: the
// 25 ms tick, the 25 ms pause before the frame, the request and reply on the
// line) and the program's CPU time over the round.
//
//   bench_polling [path/to/modsim]     exit status 1 when a goal is missed

#include "bench/BusBench.h"
#include "program/bus/BusConstants.h"
#include "program/bus/PollingEngine.h"

#include "platform/SerialPort.h"

#include <algorithm>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int Modules = 64;
constexpr int Baud = 19200;
constexpr int BitsPerChar = 10;
constexpr int RoundsMeasured = 5;
constexpr double RatioGoal = 1.05;
constexpr double CpuGoal = 0.05;

double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString simulator = bench::findSimulator(argc, argv, "bench_polling");
    if (simulator.isEmpty())
        return 2;
    // Modules of the three one-register models, none with anything to report.
    std::vector<int> models;
    for (int m = 1; m <= Modules; ++m)
        models.push_back((m - 1) % 3 + 1);
    QTemporaryDir folder;
    QProcess sim;
    if (!bench::serveBus(folder, sim, simulator, models, Baud, "bench_polling"))
        return 2;
    plat::SerialPort port;
    bench::EngineRig rig(port);
    PollingEngine& engine = rig.engine;

    // Round 0 follows the first start's synchronisation; the rounds after it
    // are the steady state that is measured.
    std::vector<double> wall;
    std::vector<double> cpu;
    QElapsedTimer clock;
    double cpuAt = 0;
    int rounds = 0;
    QObject::connect(&engine, &PollingEngine::PollDone, &engine, [&] {
        if (rounds > 0) {
            wall.push_back(double(clock.nsecsElapsed()) / 1e9);
            cpu.push_back(cpuSeconds() - cpuAt);
        }
        clock.restart();
        cpuAt = cpuSeconds();
        if (++rounds > RoundsMeasured) {
            engine.setRun(false);
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
    });
    if (!rig.load(sim, "bench_polling"))
        return 2;
    engine.setRun(true);
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    app.exec();
    engine.Unload();
    sim.terminate();
    sim.waitForFinished(3000);

    const double lineMs = (8 + 7) * double(BitsPerChar) * 1000.0 / Baud;
    const double floorS = Modules * (PollingEngine::PollIntervalMs + Bus::FramePauseMs + lineMs) / 1000.0;
    std::printf("polling round of %d one-register modules at %d baud over a pseudo-terminal\n", Modules, Baud);
    std::printf("floor: %d x (%d ms tick + %d ms pause + %.3f ms on the line) = %.4f s\n", Modules,
                PollingEngine::PollIntervalMs, Bus::FramePauseMs, lineMs, floorS);
    if (wall.empty()) {
        std::printf("no round completed\n");
        return 1;
    }
    double sum = 0;
    double worstShare = 0;
    for (size_t i = 0; i < wall.size(); ++i) {
        const double share = cpu[i] / wall[i];
        std::printf("round %zu: %.4f s  ratio %.4f  cpu %.4f s (%.2f %%)\n", i + 1, wall[i], wall[i] / floorS, cpu[i],
                    100.0 * share);
        sum += wall[i];
        worstShare = std::max(worstShare, share);
    }
    const double mean = sum / double(wall.size());
    const bool ratioOk = mean / floorS <= RatioGoal;
    const bool cpuOk = worstShare < CpuGoal;
    // A slave answers only after 3.5 characters of silence: not in the floor, but on every poll.
    const double turnaroundS = Modules * 3.5 * double(BitsPerChar) / Baud;
    std::printf("mean: %.4f s  ratio %.4f (goal <= %.2f: %s)\n", mean, mean / floorS, RatioGoal, ratioOk ? "yes" : "NO");
    std::printf("of which the modules' 3.5-character turnaround: %.4f s (ratio without it %.4f)\n", turnaroundS,
                (mean - turnaroundS) / floorS);
    std::printf("cpu: at most %.2f %% of a round (goal < %.0f %%: %s)\n", 100 * worstShare, 100 * CpuGoal,
                cpuOk ? "yes" : "NO");
    const bool ok = ratioOk && cpuOk;
    ReplaceConfig(nullptr);
    return ok ? 0 : 1;
}
