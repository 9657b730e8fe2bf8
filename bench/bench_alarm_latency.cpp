// From a module's alarm to its row on the alarm screen: 64 modules of the
// event-buffer models on a pseudo-terminal at 19200 baud (the module
// simulator program with line-time emulation), alarms raised by the
// simulator's script at scattered times, the real engine form, event rules
// and alarm screen. Prints the worst and mean time from an alarm to its row
// and the polling round; the goal: no alarm waits longer than one round and
// 50 ms.
//
//   bench_alarm_latency [path/to/modsim]     exit status 1 when the goal is missed

#include "bench/BenchSupport.h"
#include "bench/LineForms.h"

#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/runtime/wRunAlarms.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Guard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int Modules = 64;
constexpr int Baud = 19200;
constexpr int Alarms = 48;
// The first alarm once every module is in; then one every 1.37 s, so that
// they fall at every point of the round.
constexpr double FirstAlarmS = 8.0;
constexpr double AlarmSpacingS = 1.37;
constexpr double MarginMs = 50.0;

struct Alarm {
    int module = 0;
    int channel = 0;
    double atS = 0;
    double latencyMs = -1;
};

qint32 key(int module, int channel)
{
    return qint32(module) * 256 + channel;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString simulator = bench::findSimulator(argc, argv, "bench_alarm_latency");
    if (simulator.isEmpty())
        return 2;
    QTemporaryDir folder;
    if (!bench::useFolderOfSimulator(folder, simulator, "bench_alarm_latency"))
        return 2;

    // The alarms: each on a module and channel of its own, at scattered modules.
    std::vector<Alarm> alarms;
    QString script;
    for (int k = 0; k < Alarms; ++k) {
        Alarm a;
        a.module = (k * 17) % Modules + 1;
        a.channel = k % 12 + 1;
        a.atS = FirstAlarmS + k * AlarmSpacingS;
        alarms.push_back(a);
        script += QString("%1 event %2 %3 1 0\n").arg(a.atS, 0, 'f', 3).arg(a.module).arg(a.channel);
    }
    QFile scriptFile(folder.path() + "/alarms.txt");
    scriptFile.open(QIODevice::WriteOnly);
    scriptFile.write(script.toLatin1());
    scriptFile.close();

    QStringList modules;
    for (int m = 1; m <= Modules; ++m)
        modules << QString("%1:%2").arg(m).arg(m % 2 ? 1 : 3);
    const QString link = folder.path() + "/ttyBENCH";
    QProcess sim;
    sim.setReadChannel(QProcess::StandardError);
    sim.start(simulator, {"--link", link, "--modules", modules.join(','), "--baud", QString::number(Baud), "--script",
                          scriptFile.fileName()});
    // The script's times count from the line being served, which the
    // simulator says just before; the bench waits idle for that line.
    QElapsedTimer clock;
    bool serving = false;
    for (int i = 0; i < 100 && !serving; ++i) {
        if (sim.waitForReadyRead(100))
            serving = sim.readAll().contains("serving");
        if (serving)
            clock.start();
    }
    if (!serving) {
        std::fprintf(stderr, "bench_alarm_latency: %s did not start\n", qPrintable(simulator));
        return 2;
    }
    QFile ini(plat::AppIdentity::programFile(".ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(QString("[Ports]\r\nCOM1=%1\r\n").arg(link).toLocal8Bit());
    ini.close();

    ReplaceConfig(std::make_unique<ConfigClass>());
    gConfig->setBusSettings(QString("COM1:%1,N,8,1").arg(Baud));
    gConfig->setInactivityTime(0);
    for (int bit = 0; bit < 5; ++bit) {
        gConfig->setOptionScreen(bit, true);
        gConfig->setOptionKlaxon(bit, true);
    }
    for (int m = 1; m <= Modules; ++m) {
        PanelClass& p = *gConfig->Panel(qint16(m));
        p.setModel(m % 2 ? 1 : 3);
        p.setActive(true);
        for (int c = 1; c <= 12; ++c)
            p.Channel(qint16(c))->setScrAlm(true);
    }
    gPanelLetter = QStringLiteral("M");
    gChannelLetter = QStringLiteral("C");
    // The real rules, horn and display step; history, printer and mirrors are not built yet.
    const bench::LineForms forms(folder.path(), bench::LineForms::WithAlarmScreen);

    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    auto* screen = qobject_cast<wRunAlarms*>(plat::Forms::Get(FormNames::wRunAlarms));
    screen->Show();

    // Rounds: the time between two PollDone.
    std::vector<double> rounds;
    qint64 roundStart = -1;
    QObject::connect(engine, &wPolling::PollDone, engine, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (roundStart >= 0)
            rounds.push_back(double(now - roundStart) / 1e6);
        roundStart = now;
    });
    // Connected after the screen: its handler has put the row in when this runs.
    std::map<qint32, size_t> byKey;
    for (size_t i = 0; i < alarms.size(); ++i)
        byKey[key(alarms[i].module, alarms[i].channel)] = i;
    int seen = 0;
    QObject::connect(engine, &wPolling::BusEvent, engine, [&](const EventClass& ev) {
        const auto it = byKey.find(key(ev.Panel(), ev.Chnl()));
        if (it == byKey.end() || ev.Param() != 0 || ev.Aff() != 1 || alarms[it->second].latencyMs >= 0)
            return;
        bool listed = false;
        for (int r = 0; r < screen->AlarmRowCount() && !listed; ++r)
            listed = screen->AlarmRowData(r) == ev.ID();
        if (!listed)
            return;
        Alarm& a = alarms[it->second];
        a.latencyMs = double(clock.nsecsElapsed()) / 1e6 - a.atS * 1000.0;
        if (++seen == Alarms)
            QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    });
    // Steady polling is measured: the modules join the configuration once
    // polling runs, so that the first start's synchronisation (a minute of
    // its own over these modules) is left out.
    for (int m = 1; m <= Modules; ++m)
        gConfig->Panel(qint16(m))->setModel(0);
    engine->setRun(true);
    for (int m = 1; m <= Modules; ++m)
        gConfig->Panel(qint16(m))->setModel(m % 2 ? 1 : 3);
    // exit, not quit: quit would close the windows first.
    QTimer::singleShot(int((FirstAlarmS + Alarms * AlarmSpacingS + 30) * 1000), &app, [] { QCoreApplication::exit(0); });
    app.exec();
    engine->setRun(false);
    plat::Forms::UnloadAllExcept({});
    sim.terminate();
    sim.waitForFinished(3000);

    std::printf("alarm to row: %d modules of models 1 and 3 at %d baud over a pseudo-terminal, %d alarms\n", Modules,
                Baud, Alarms);
    if (rounds.empty() || seen == 0) {
        std::printf("no round or no alarm seen (%d of %d)\n", seen, Alarms);
        return 1;
    }
    double worst = 0, sum = 0;
    for (const Alarm& a : alarms) {
        if (a.latencyMs < 0)
            continue;
        worst = std::max(worst, a.latencyMs);
        sum += a.latencyMs;
    }
    // The rounds while the alarms came (the first ones bring the modules in);
    // the longest, as alarms lengthen the round they are read in.
    const std::vector<double> steady(rounds.begin() + std::min<size_t>(2, rounds.size() - 1), rounds.end());
    const double worstRound = *std::max_element(steady.begin(), steady.end());
    double roundSum = 0;
    for (double r : steady)
        roundSum += r;
    const double goal = worstRound + MarginMs;
    const bool ok = seen == Alarms && worst <= goal;
    std::printf("alarms listed: %d of %d\n", seen, Alarms);
    std::printf("latency: worst %.1f ms, mean %.1f ms\n", worst, sum / seen);
    std::printf("round: longest %.1f ms, mean %.1f ms (%zu rounds)\n", worstRound, roundSum / double(steady.size()),
                steady.size());
    std::printf("goal: worst latency <= one round + %.0f ms = %.1f ms: %s\n", MarginMs, goal, ok ? "yes" : "NO");
    ReplaceConfig(nullptr);
    return ok ? 0 : 1;
}
