// From a finger's release to its handling and to the visible change it
// makes, while the engine form polls the module simulator program on a
// pseudo-terminal at 19200 baud (line-time emulation): polling stopped, 8
// and 64 modules polling, and 8 modules of which one answers 800 ms late.
// The touches come as the window system hands them over, from a thread of
// their own at scattered moments, onto a button of a screen; the release is
// handled when the program's thread is free, and its change is visible once
// the button is painted again. Prints the median, the 95th percentile and the
// worst of each, and the module reads per second meanwhile; the goal: no
// touch waits longer than the one bus exchange under way (its reply time-out)
// and 50 ms.
//
//   bench_touch_latency [path/to/modsim]     exit status 1 when the goal is missed

#include "bench/BenchSupport.h"
#include "bench/LineForms.h"

#include "program/bus/BusConstants.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"

#include "platform/AppIdentity.h"
#include "platform/Form.h"
#include "platform/Forms.h"
#include "platform/InputClock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int Baud = 19200;
constexpr int Touches = 40;
constexpr int SteadyMs = 3000;
constexpr double MarginMs = 50.0;

struct Scenario {
    const char* name;
    int modules;
    bool polling;
    QByteArray script;
};

// A screen with one button whose caption counts the touches it takes.
class TouchPad : public plat::Form {
public:
    TouchPad() : plat::Form(QStringLiteral("wTouchPad"))
    {
        setGeometry(0, 0, 800, 600);
        button = new QPushButton(QStringLiteral("0"), this);
        button->setGeometry(300, 250, 200, 100);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this] {
            handled = plat::InputClock::localNow();
            button->setText(QString::number(++count));
        });
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == button && event->type() == QEvent::Paint && handled > 0 && shown == 0)
            shown = plat::InputClock::localNow();
        return false;
    }
    QPushButton* button = nullptr;
    int count = 0;
    std::atomic<qint64> handled{0};
    std::atomic<qint64> shown{0};
};

struct Figures {
    bench::Timing handled;
    bench::Timing visible;
    double readsPerSecond = 0;
    int missed = 0;
};

bench::Timing timing(std::vector<double> ms)
{
    if (ms.empty())
        return {0, 0, 0};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[(ms.size() * 95 + 99) / 100 - 1], ms.back()};
}

bool startSimulator(QProcess& sim, const QString& simulator, const QString& link, const Scenario& s,
                    const QString& folder)
{
    QStringList modules;
    for (int m = 1; m <= s.modules; ++m)
        modules << QString("%1:%2").arg(m).arg(m % 2 ? 1 : 3);
    QStringList args{"--link", link, "--modules", modules.join(','), "--baud", QString::number(Baud)};
    if (!s.script.isEmpty()) {
        QFile script(folder + "/faults.txt");
        script.open(QIODevice::WriteOnly);
        script.write(s.script);
        args << "--script" << script.fileName();
    }
    sim.setReadChannel(QProcess::StandardError);
    sim.start(simulator, args);
    for (int i = 0; i < 100; ++i)
        if (sim.waitForReadyRead(100) && sim.readAll().contains("serving"))
            return true;
    return false;
}

Figures measure(const Scenario& s, const QString& simulator, const QString& folder)
{
    Figures f;
    const QString link = folder + "/ttyBENCH";
    QProcess sim;
    if (!startSimulator(sim, simulator, link, s, folder)) {
        std::fprintf(stderr, "bench_touch_latency: %s did not start\n", qPrintable(simulator));
        f.missed = Touches;
        return f;
    }
    QFile ini(plat::AppIdentity::programFile(".ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(QString("[Ports]\r\nCOM1=%1\r\n").arg(link).toLocal8Bit());
    ini.close();

    ReplaceConfig(std::make_unique<ConfigClass>());
    gConfig->setBusSettings(QString("COM1:%1,N,8,1").arg(Baud));
    gConfig->setInactivityTime(0);
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    // Steady polling is measured: the modules join the configuration once
    // polling runs, so that the first start's synchronisation is left out.
    if (s.polling)
        engine->setRun(true);
    for (int m = 1; m <= s.modules; ++m) {
        PanelClass& p = *gConfig->Panel(qint16(m));
        p.setModel(m % 2 ? 1 : 3);
        p.setActive(true);
    }
    auto* pad = new TouchPad;
    plat::Forms::Adopt(pad);
    pad->Show();
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < SteadyMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    int reads = 0;
    QObject::connect(&engine->engine(), &PollingEngine::PanelRead, engine, [&] { ++reads; });
    QElapsedTimer touching;
    touching.start();
    QWindow* window = pad->windowHandle();
    const QPoint at = pad->button->geometry().center();
    const QPointF global = window->mapToGlobal(at);
    std::vector<double> handled;
    std::vector<double> visible;
    std::atomic<bool> done{false};
    std::atomic<qint64> released{0};
    std::thread finger([&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pause(150, 450);
        for (int i = 0; i < Touches; ++i) {
            QThread::msleep(pause(random));
            qt_handleMouseEvent(window, at, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, {},
                                int(plat::InputClock::now()));
            QThread::msleep(60);
            released = plat::InputClock::localNow();
            // Back once the program has taken it.
            qt_handleMouseEvent(window, at, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, {},
                                int(plat::InputClock::now()));
        }
        done = true;
    });
    qint64 counted = 0;
    while (!done || counted < released) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (pad->shown > 0 && released > counted) {
            handled.push_back(double(pad->handled - released));
            visible.push_back(double(pad->shown - released));
            counted = released;
            pad->handled = 0;
            pad->shown = 0;
        }
        if (done && wait.elapsed() > SteadyMs + 120000)
            break;
    }
    finger.join();
    f.handled = timing(handled);
    f.visible = timing(visible);
    f.missed = Touches - int(handled.size());
    f.readsPerSecond = double(reads) * 1000.0 / double(std::max<qint64>(1, touching.elapsed()));

    engine->setRun(false);
    plat::Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sim.terminate();
    sim.waitForFinished(3000);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString simulator = bench::findSimulator(argc, argv, "bench_touch_latency");
    if (simulator.isEmpty())
        return 2;
    QTemporaryDir folder;
    if (!bench::useFolderOfSimulator(folder, simulator, "bench_touch_latency"))
        return 2;
    const bench::LineForms forms(folder.path(), bench::LineForms::EngineOnly);

    const Scenario scenarios[] = {
        {"polling stopped", 8, false, {}},
        {"8 modules polling", 8, true, {}},
        {"64 modules polling", 64, true, {}},
        {"8 modules, module 4 answering 800 ms late", 8, true, "0 fault 4 late 800\n"},
    };
    std::printf("touch latency, release to handling and to the change painted, %d touches each, %d baud\n", Touches,
                Baud);
    std::printf("%-44s %24s %24s %8s\n", "", "handled (median/p95/worst)", "visible (median/p95/worst)", "reads/s");
    bool ok = true;
    for (const Scenario& s : scenarios) {
        const Figures f = measure(s, simulator, folder.path());
        std::printf("%-44s %8.0f %6.0f %6.0f ms   %8.0f %6.0f %6.0f ms %8.1f", s.name, f.handled.median, f.handled.p95,
                    f.handled.worst, f.visible.median, f.visible.p95, f.visible.worst, f.readsPerSecond);
        if (f.missed)
            std::printf("   (%d touches not seen)", f.missed);
        std::printf("\n");
        std::fflush(stdout);
        ok = ok && f.missed == 0 && f.visible.worst <= Bus::ReadReplyTimeoutMs + MarginMs;
    }
    std::printf("goal: every touch seen and changed within one exchange (%d ms) + %.0f ms: %s\n",
                Bus::ReadReplyTimeoutMs, MarginMs, ok ? "yes" : "NO");
    ReplaceConfig(nullptr);
    return ok ? 0 : 1;
}
