#pragma once
// A polling engine on virtual time against the in-process module simulator:
// the configuration in gConfig, a recording trace log, recording doubles in
// every seam of the dispatch, a timer fired by hand, and the engine's seams
// replaced by recorders. The requests each module received can be read back
// in a short form ("R132", "R49x12", "W17=0", "W25=1,0,0,0,0").

#include "program/bus/CommFunctions.h"
#include "program/bus/PollingEngine.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"

#include "tests/support/DispatchDoubles.h"
#include "tests/support/EngineMessages.h"
#include "tests/support/ManualPollTimer.h"
#include "tests/support/ProgramGlobals.h"
#include "tests/support/RecordingLog.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "tests/support/VirtualClock.h"
#include "platform/Guard.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace pollingtest {

// Forwards to the simulator's line, which the test keeps: the serial control
// of an engine form, which owns the one it is given.
class SharedPort : public plat::SerialControl {
public:
    explicit SharedPort(plat::SerialControl& inner) : m(inner) {}
    int CommPort() const override { return m.CommPort(); }
    void setCommPort(int p) override { m.setCommPort(p); }
    QString Settings() const override { return m.Settings(); }
    void setSettings(const QString& s) override { m.setSettings(s); }
    bool PortOpen() const override { return m.PortOpen(); }
    void setPortOpen(bool o) override { m.setPortOpen(o); }
    bool DeviceLost() const override { return m.DeviceLost(); }
    bool RTSEnable() const override { return m.RTSEnable(); }
    void setRTSEnable(bool e) override { m.setRTSEnable(e); }
    int InBufferCount() const override { return m.InBufferCount(); }
    void setInBufferCount(int n) override { m.setInBufferCount(n); }
    int OutBufferCount() const override { return m.OutBufferCount(); }
    void setOutBufferCount(int n) override { m.setOutBufferCount(n); }
    void Output(const QByteArray& b) override { m.Output(b); }
    QByteArray Input() override { return m.Input(); }
    bool waitForInput(int ms) override { return m.waitForInput(ms); }

private:
    plat::SerialControl& m;
};

// A write of one value, as the screens queue them.
inline CommandPtr writeCommand(int module, int reg, qint16 value)
{
    auto c = std::make_shared<CommandClass>();
    c->setCmdType(CommandClass::CmdWrite);
    c->setModule(qint16(module));
    c->setAddress(reg);
    c->setValue(0, value);
    return c;
}

struct Report {
    QString name;
    int number;
};

class PollingFixture : public testing_support::ProgramGlobals {
protected:
    // The panel's calendar: a fixed morning, moving with the virtual clock.
    static plat::DateTime baseTime() { return plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0)); }

    void SetUp() override
    {
        CommFunctions::setClock(&clock);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports.push_back({name, e.number()});
        });
        // Defaults play no part here: no database is opened.
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
        gConfig->setPrtSettings(QString());
        gConfig->setInactivityTime(0);
        log = new testing_support::RecordingLog;
        makeEngine();
    }

    void TearDown() override
    {
        engine.reset();
        log->Release();
        ProgramGlobals::TearDown();
    }

    // A new engine on the same bus, log and configuration (a restart).
    void makeEngine()
    {
        engine.reset();
        engine = std::make_unique<PollingEngine>();
        engine->setPort(&port);
        pollTimer = testing_support::ManualPollTimer();
        engine->setTimer(&pollTimer);
        engine->setNow([this] { return now(); });
        engine->setYield([this] {
            ++yields;
            if (onYield)
                onYield();
        });
        engine->setTraceLog(log);
        doubles.wire(engine->dispatcher());
        engine->setHorn(&horn);
        engine->executor().setRules(&rules);
        PollingSeams s;
        s.message = testing_support::noteEngineMessages(messages, notices, true);
        s.newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        engine->setSeams(s);
        QObject::connect(engine.get(), &PollingEngine::BusEvent, engine.get(),
                         [this](const EventClass& ev) { events.push_back(ev); });
        QObject::connect(engine.get(), &PollingEngine::PollDone, engine.get(), [this] { ++pollDones; });
        QObject::connect(engine.get(), &PollingEngine::UpdateDone, engine.get(), [this] { ++updateDones; });
        QObject::connect(engine.get(), &PollingEngine::WriteError, engine.get(),
                         [this](const CommandClass& cmd) { writeErrors.push_back(cmd); });
    }

    plat::DateTime now() const { return baseTime().addSeconds(double(clock.nowMs()) / 1000.0); }

    // A module on the bus and in the configuration, polled.
    void configure(int module, int model, bool onBus = true)
    {
        if (onBus)
            sim.addModule(module, model);
        PanelClass& p = *gConfig->Panel(qint16(module));
        p.setModel(model);
        p.setActive(true);
    }
    PanelClass& panel(int module) { return *gConfig->Panel(qint16(module)); }

    // Loads the engine (it opens the port) and starts polling.
    void loadAndRun()
    {
        engine->Load();
        engine->setRun(true);
        events.clear();
    }

    // The timer's interval passes and it fires; false when it was not armed.
    bool tick()
    {
        if (!engine->timer().Enabled())
            return false;
        clock.advance(PollingEngine::PollIntervalMs);
        engine->tmrPoll_Timer();
        return true;
    }

    // The slave addresses of the poll reads sent since the last call (event
    // buffer reads and writes left out).
    std::vector<int> takePolledAddresses()
    {
        std::vector<int> out;
        const auto& frames = port.sentFrames();
        for (; m_seenFrames < frames.size(); ++m_seenFrames) {
            const QByteArray& f = frames[m_seenFrames];
            if (f.size() < 6 || f[1] != char(3))
                continue;
            const int reg = (quint8(f[2]) << 8) | quint8(f[3]);
            if (reg == 144 || reg == 68 || reg == 1)
                out.push_back(quint8(f[0]));
        }
        return out;
    }

    // One frame the panel sent, in the short form above; its slave in module.
    static QString requestText(const QByteArray& f, int* module = nullptr)
    {
        if (f.size() < 8)
            return QStringLiteral("?");
        if (module)
            *module = quint8(f[0]);
        const int fn = quint8(f[1]);
        const int reg = (quint8(f[2]) << 8) | quint8(f[3]);
        const int word = qint16((quint8(f[4]) << 8) | quint8(f[5]));
        if (fn == 3)
            return word == 1 ? QString("R%1").arg(reg) : QString("R%1x%2").arg(reg).arg(word);
        if (fn == 6)
            return QString("W%1=%2").arg(reg).arg(word);
        QStringList values;
        for (int i = 0; i < word && 8 + 2 * i < f.size(); ++i)
            values << QString::number(qint16((quint8(f[7 + 2 * i]) << 8) | quint8(f[8 + 2 * i])));
        return QString("W%1=%2").arg(reg).arg(values.join(','));
    }
    // The requests sent to a module (broadcasts left out), from frame first on.
    QStringList requestsTo(int module, size_t first = 0) const
    {
        QStringList out;
        const auto& frames = port.sentFrames();
        for (size_t i = first; i < frames.size(); ++i) {
            int to = -1;
            const QString text = requestText(frames[i], &to);
            if (to == module)
                out << text;
        }
        return out;
    }
    size_t framesSent() const { return port.sentFrames().size(); }
    // General synchronisation passes run so far: the line each writes.
    int synchroPasses() const
    {
        int n = 0;
        for (const QString& line : log->lines)
            n += line.mid(20, 6) == QLatin1String("SYNCHR");
        return n;
    }

    std::vector<EventClass> eventsOnChannel(int chnl) const
    {
        std::vector<EventClass> out;
        for (const EventClass& e : events)
            if (e.Chnl() == chnl)
                out.push_back(e);
        return out;
    }

    testing_support::VirtualClock clock{1000};
    modsim::Simulator sim{clock};
    modsim::SimSerialControl port{sim, clock};
    testing_support::RecordingLog* log = nullptr;
    testing_support::RecordingSeams doubles;
    testing_support::RecordingRules& rules = doubles.rules;
    testing_support::RecordingHorn& horn = doubles.horn;
    testing_support::ManualPollTimer pollTimer;
    std::unique_ptr<PollingEngine> engine;

    std::vector<EventClass> events;
    std::vector<Report> reports;
    std::vector<CommandClass> writeErrors;
    // The engine's messages that waited for an answer, and those shown
    // without waiting ("style|text").
    QStringList messages;
    QStringList notices;
    int yields = 0;
    int pollDones = 0;
    int updateDones = 0;
    std::function<void()> onYield;

private:
    size_t m_seenFrames = 0;
};

} // namespace pollingtest
