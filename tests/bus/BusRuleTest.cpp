// The bus shared by the engine and the technician screens, on one thread with
// no lock: an exchange begun on a port while another is under way on it is
// refused and reported, the first one unharmed; direct reads, between ticks
// or in a tick's yield, leave the engine's round robin, counters, presence
// and next polls alone; a touch during a tick's yield waits for the tick; a
// screen just shown is painted before a tick holds the program, and a touch
// made during the midnight pass is dropped.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"
#include "platform/InputClock.h"
#include "platform/InputGate.h"
#include "platform/InputHold.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <optional>

using namespace pollingtest;

namespace {

// A line that runs something of the test's while a request goes out, as code
// run from inside an exchange would.
class ReentrantPort : public SharedPort {
public:
    using SharedPort::SharedPort;
    std::function<void()> duringOutput;
    void Output(const QByteArray& b) override
    {
        SharedPort::Output(b);
        if (auto f = std::exchange(duringOutput, nullptr))
            f();
    }
};

// What the engine keeps of each module and of its round.
struct EngineState {
    qint16 position = 0;
    std::vector<QString> modules;
    bool operator==(const EngineState&) const = default;
};

class BusRule : public PollingFixture {
protected:
    EngineState state()
    {
        EngineState s;
        s.position = engine->RoundRobinPosition();
        for (int m = 1; m <= 64; ++m) {
            const PanelClass& p = panel(m);
            s.modules.push_back(QString("%1 %2 %3 %4 %5 %6")
                                    .arg(p.ErrCptr(0))
                                    .arg(p.ErrCptr(1))
                                    .arg(p.ErrCptr(2))
                                    .arg(p.Present())
                                    .arg(p.ActualModel())
                                    .arg(p.NextPoll().serial(), 0, 'f', 9));
        }
        return s;
    }
    std::vector<std::pair<QString, int>> reported() const
    {
        std::vector<std::pair<QString, int>> out;
        for (const Report& r : reports)
            out.emplace_back(r.name, r.number);
        return out;
    }
};

} // namespace

TEST_F(BusRule, AnExchangeBegunWhileAnotherIsUnderWayOnThePortIsRefusedAndTheFirstGoesOn)
{
    sim.addModule(3, 4);
    sim.setChannelState(3, 2, 1);
    port.setPortOpen(true);
    ReentrantPort line(port);
    QVector<qint16> inner(1, 77);
    bool innerOk = true;
    line.duringOutput = [&] { innerOk = CommFunctions::LitMots(line, 3, Bus::RegHorn, inner); };
    QVector<qint16> words(12);
    EXPECT_TRUE(CommFunctions::LitMots(line, 3, Bus::RegChannelState, words));
    EXPECT_EQ(words[1], 1);
    EXPECT_FALSE(innerOk);
    EXPECT_EQ(inner, QVector<qint16>(1, 77)) << "the refused read keeps its words";
    EXPECT_EQ(reported(), (std::vector<std::pair<QString, int>>{{"CommFunctions.LitMots", 68}}));
    EXPECT_EQ(requestsTo(3), QStringList({"R1x12"})) << "the refused frame never went out";

    // The same inside a write, and once the first has ended the port is free.
    reports.clear();
    bool innerWrite = true;
    line.duringOutput = [&] { innerWrite = CommFunctions::EcritUnMot(line, 3, Bus::RegLedTest, 1); };
    EXPECT_TRUE(CommFunctions::EcritUnMot(line, 3, Bus::RegHorn, 1));
    EXPECT_FALSE(innerWrite);
    EXPECT_EQ(reported(), (std::vector<std::pair<QString, int>>{{"CommFunctions.EcritUnMot", 68}}));
    reports.clear();
    EXPECT_TRUE(CommFunctions::LitMots(line, 3, Bus::RegHorn, inner));
    EXPECT_EQ(inner[0], 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(BusRule, AnExchangeOnAnotherPortIsNoConflict)
{
    sim.addModule(3, 4);
    modsim::Simulator other{clock};
    other.addModule(5, 4);
    modsim::SimSerialControl otherPort{other, clock};
    otherPort.setPortOpen(true);
    port.setPortOpen(true);
    ReentrantPort line(port);
    bool innerOk = false;
    line.duringOutput = [&] {
        QVector<qint16> w(1);
        innerOk = CommFunctions::LitMots(otherPort, 5, Bus::RegHorn, w);
    };
    QVector<qint16> words(1);
    EXPECT_TRUE(CommFunctions::LitMots(line, 3, Bus::RegHorn, words));
    EXPECT_TRUE(innerOk);
    EXPECT_TRUE(reports.empty());
}

TEST_F(BusRule, DirectReadsBetweenTicksAndInATicksYieldLeaveTheEnginesStateAlone)
{
    configure(1, 1);
    configure(2, 4);
    configure(3, 4, false);  // configured, silent
    loadAndRun();
    for (int i = 0; i < 70; ++i)
        tick();
    const EngineState before = state();

    // Between ticks: a present module, a silent one, an unconfigured address.
    QVector<qint16> words(12);
    EXPECT_TRUE(CommFunctions::LitMots(port, 2, Bus::RegChannelState, words));
    EXPECT_FALSE(CommFunctions::LitMots(port, 3, Bus::RegChannelState, words));
    EXPECT_EQ(CommFunctions::GetModuleType(port, 9), 0);
    EXPECT_EQ(CommFunctions::GetModuleType(port, 1), 1);
    EXPECT_TRUE(state() == before);

    // In the yield after a queued command: the tick still reads its module
    // next in the round, and only the tick's read counts.
    engine->SendCommand(writeCommand(2, Bus::RegLedTest, 1));
    int direct = 0;
    onYield = [&] {
        QVector<qint16> w(12);
        direct += CommFunctions::LitMots(port, 3, Bus::RegChannelState, w) ? 0 : 1;
        direct += CommFunctions::GetModuleType(port, 1) == 1 ? 1 : 0;
    };
    takePolledAddresses();
    clock.advance(2000);
    ASSERT_TRUE(tick());
    EXPECT_EQ(direct, 2);
    const std::vector<int> polled = takePolledAddresses();
    // The direct read of module 3's states is there; the tick's own poll follows.
    ASSERT_EQ(polled.size(), 2u);
    EXPECT_EQ(polled[0], 3);
    EXPECT_NE(engine->RoundRobinPosition(), before.position) << "the tick moved on, by its own read";
    EXPECT_EQ(panel(2).ErrCptr(0), 0);
    EXPECT_TRUE(panel(2).Present());
    EXPECT_TRUE(reports.empty());
}

// The engine's own yield with nothing set: timers run, touches wait for the
// tick's end.
TEST_F(BusRule, ATouchDuringATicksYieldIsHeldUntilTheTickEnds)
{
    configure(1, 4);
    loadAndRun();
    engine->setYield({});
    QWidget window;
    auto* button = new QPushButton("x", &window);
    button->setGeometry(0, 0, 80, 40);
    window.show();
    int clicks = 0;
    bool clickedInTick = false;
    QObject::connect(button, &QPushButton::clicked, [&] {
        ++clicks;
        clickedInTick = engine->InTick();
    });
    int timerRuns = 0;
    bool touched = false;
    // A timer that the yield runs touches the button, as a finger would then.
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++timerRuns;
        if (!touched && engine->InTick()) {
            touched = true;
            QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    timer.start();
    engine->SendCommand(writeCommand(1, Bus::RegLedTest, 1));
    ASSERT_TRUE(tick());
    timer.stop();
    EXPECT_GE(timerRuns, 1) << "the yield ran the timer";
    EXPECT_TRUE(touched);
    EXPECT_EQ(clicks, 0) << "not inside the tick";
    EXPECT_EQ(plat::InputHold::held(), 0) << "handed back at the tick's end";
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1) << "after the tick";
    EXPECT_FALSE(clickedInTick);
}

namespace {

// A window that counts its paints.
class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

// A screen opened just before a tick is on the glass before the tick's first
// frame holds the program: what the operator sees is what a touch reaches.
TEST_F(BusRule, AScreenJustShownIsPaintedBeforeTheTicksFirstFrame)
{
    plat::InputGate::install();
    configure(1, 4);
    ReentrantPort line(port);
    engine->setPort(&line);
    loadAndRun();
    PaintCounter window;
    window.setGeometry(0, 0, 200, 100);
    window.show();
    int paintsAtFrame = -1;
    line.duringOutput = [&] { paintsAtFrame = window.paints; };
    ASSERT_TRUE(tick());
    EXPECT_GE(paintsAtFrame, 1) << "painted before the bus held the program";
}

// The midnight pass runs without a yield; a touch made meanwhile waits in the
// window system's queue and is dropped at the pass's end, not played onto
// whatever screen is up then.
TEST_F(BusRule, ATouchMadeDuringTheMidnightPassIsDroppedAtItsEnd)
{
    configure(1, 1);
    ReentrantPort line(port);
    engine->setPort(&line);
    loadAndRun();
    QWidget window;
    auto* button = new QPushButton("x", &window);
    button->setGeometry(0, 0, 80, 40);
    window.show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    auto touch = [&](quint32 stamp) {
        const QPoint at(40, 20);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            auto* e = new QMouseEvent(type, at, window.mapToGlobal(at), Qt::LeftButton,
                                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            e->setTimestamp(stamp);
            QCoreApplication::postEvent(window.windowHandle(), e);
        }
    };
    std::optional<quint32> during;
    line.duringOutput = [&] {
        during = plat::InputClock::now();
        QThread::msleep(2);
    };
    engine->MidnightSynchro();
    ASSERT_TRUE(during.has_value()) << "the pass asked the module";
    touch(*during);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0) << "made during the pass";
    QThread::msleep(2);
    touch(plat::InputClock::now());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1) << "a touch after the pass is acted on";
}
