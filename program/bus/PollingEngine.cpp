#include "program/bus/PollingEngine.h"

#include "program/bus/BusConstants.h"
#include "program/bus/ClockStep.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/PendingCommands.h"
#include "program/bus/PollingRound.h"
#include "program/bus/ReplyDecoder.h"
#include "program/bus/TraceRecord.h"

#include "program/core/ConfigClass.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/ErrorHandling.h"
#include "program/core/GlobalMain.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"
#include "program/core/PollingLink.h"
#include "program/core/TextIds.h"
#include "program/core/VEXfonctions.h"

#include "Stillmark/_ActivityDetect.h"
#include "VexLib22/_LogFileClass.h"

#include "platform/Guard.h"
#include "platform/InputHold.h"
#include "platform/NestedLoop.h"
#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "platform/Values.h"

#include <QGuiApplication>
#include <QStringList>

#include <algorithm>

namespace {

const QString kEngine = QStringLiteral("wPolling.");

QString qualified(const char* procedure) { return kEngine + QLatin1String(procedure); }

} // namespace

// Receives the detector's events and passes UserIsNotHere on.
class PollingEngine::DetectorSink : public plat::ComObject<Stillmark::__ActivityDetect, Stillmark::IID___ActivityDetect> {
public:
    explicit DetectorSink(PollingEngine* engine) : m_engine(engine) {}
    void detach() { m_engine = nullptr; }
    void UserIsNotHere() override
    {
        if (m_engine)
            emit m_engine->UserIsNotHere();
    }
    void Timer() override {}

private:
    PollingEngine* m_engine;
};

PollingEngine::PollingEngine(QObject* parent) : QObject(parent), m_seams(PollingSeams::installed())
{
    m_dispatcher.setBusUsable([this] { return portUsable(); });
    connect(&m_dispatcher, &EventDispatcher::BusEvent, this, &PollingEngine::BusEvent, Qt::DirectConnection);
    connect(&m_dispatcher, &EventDispatcher::PanelMove, this, &PollingEngine::PanelMove, Qt::DirectConnection);
    connect(&m_executor, &CommandExecutor::WriteError, this, &PollingEngine::WriteError, Qt::DirectConnection);
}

PollingEngine::~PollingEngine()
{
    releaseDetector();
}

void PollingEngine::setPort(plat::SerialControl* port)
{
    m_port = port;
    m_executor.setPort(port);
}

void PollingEngine::setNow(std::function<plat::DateTime()> now)
{
    m_now = std::move(now);
    m_dispatcher.setNow(m_now);
    m_executor.setNow(m_now);
}

void PollingEngine::setTraceLog(VexLib22::_LogFileClass* log)
{
    m_log = log;
    m_dispatcher.setTraceLog(log);
    m_executor.setTraceLog(log);
}

void PollingEngine::setHorn(Dispatch::Horn* horn)
{
    m_horn = horn;
    m_dispatcher.setHorn(horn ? horn : Dispatch::installed().horn);
}

Dispatch::Horn& PollingEngine::horn()
{
    Dispatch::Horn* h = m_horn ? m_horn : Dispatch::installed().horn;
    if (!h)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *h;
}

PollTimer& PollingEngine::timer() const
{
    if (!m_timer)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *m_timer;
}

ConfigClass& PollingEngine::config() const
{
    return m_tickConfig ? *m_tickConfig : ConfigAccess::config();
}

PanelClass& PollingEngine::panelAt(int module) const
{
    const std::shared_ptr<PanelClass> panel = config().Panel(qint16(module));
    if (!panel)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *panel;
}

PollingEngine::HeldConfig::HeldConfig(PollingEngine& e) : engine(e), holds(!e.m_tickConfig)
{
    if (holds)
        engine.m_tickConfig = HoldConfig();
}

PollingEngine::HeldConfig::~HeldConfig()
{
    if (holds)
        engine.m_tickConfig.reset();
}

plat::DateTime PollingEngine::now() const
{
    return m_now ? m_now() : plat::DateTime::now();
}

void PollingEngine::yield()
{
    // A screen whose code runs the bus (a pass, a module read) waits here.
    const plat::NestedLoop yielding;
    if (m_yield)
        m_yield();
    else
        plat::InputHold::yield();
}

int PollingEngine::message(const QString& text, int style)
{
    return m_seams.message ? m_seams.message(text, style) : Global::Message(text, style);
}

void PollingEngine::tellPortCannotOpen(int number)
{
    message(Config::GetText(TextIds::PortCannotOpen).replace(QLatin1Char('$'), QString::number(number)),
            StyleCritical);
}

void PollingEngine::traceLine(const QString& line)
{
    log().Comment(line);
    log().FlushFile();
}

VexLib22::_LogFileClass& PollingEngine::log()
{
    return m_log ? *m_log : gTraceLog();
}

CommandClasses& PollingEngine::commands()
{
    if (!m_commands)
        m_commands = std::make_unique<CommandClasses>();
    return *m_commands;
}

// ---- Public members ---------------------------------------------------------

void PollingEngine::setUserSleep(plat::ComPtr<Stillmark::_ActivityDetect> detector)
{
    releaseDetector();
    m_userSleep = std::move(detector);
    if (m_userSleep) {
        m_sink = new DetectorSink(this);
        m_sinkCookie = m_userSleep->Advise(m_sink);
    }
}

void PollingEngine::setRun(bool value)
{
    plat::guard(qualified("Run"), [&] {
        if (value && !(m_port && m_port->PortOpen())) {
            bool opened = false;
            if (m_port) {
                try {
                    m_port->setPortOpen(true);
                } catch (const plat::RtError&) {
                }
                opened = m_port->PortOpen();
            }
            if (!opened) {
                tellPortCannotOpen(m_port ? m_port->CommPort() : 0);
                return;
            }
        }
        // Started or stopped now: nothing waits for the port any more.
        m_runWhenPortOpens = false;
        EventClass ev;
        ev.setPanel(0);
        ev.setChnl(EventClass::ChnlStation);
        ev.setParam(0);
        ev.setAff(value ? Polling::StationEvent::PollingStart : Polling::StationEvent::PollingStop);
        SendEvent(ev);
        timer().setInterval(PollIntervalMs);
        if (value && !m_run) {
            // Owed until a pass reaches the bus: the next start runs it.
            if (!m_synchroDone)
                m_synchroDone = synchronise();
            timer().setEnabled(true);
        }
        m_run = value;
        emit RunIndicator(m_run);
    });
}

void PollingEngine::ReinitComm()
{
    plat::guard(qualified("ReinitComm"), [&] {
        resetCounters();
        ConfigCommPort();
        // Unloaded while the port message waited (the program was stopped):
        // nothing is written after its last lines.
        if (m_closing)
            return;
        reinitDone();
    });
}

void PollingEngine::reinitDone()
{
    traceLine(ReinitTraceLine(now()));
    if (m_runWhenPortOpens && portUsable())
        setRun(true);
}

void PollingEngine::resetCounters()
{
    const plat::DateTime due = now().addSeconds(-1);
    for (int m = 1; m <= Limits::Modules; ++m) {
        PanelClass& p = panelAt(m);
        for (int i = 0; i < 3; ++i)
            p.setErrCptr(i, 0);
        p.setNextPoll(due);
    }
}

void PollingEngine::ConfigurationChanged()
{
    plat::guard(qualified("ConfigurationChanged"), [&] {
        using namespace IniKeys;
        m_histoDaily = plat::Val(VEXfonctions::GetIni(Files, PeriodUnit, PeriodUnitDefault)) != 0;
        m_histoTime = plat::CInt(plat::Val(VEXfonctions::GetIni(Files, PeriodTime, PeriodTimeDefault)));
        m_histoLimit = plat::Val(VEXfonctions::GetIni(Files, PeriodLimit, PeriodLimitDefault)) != 0;
    });
}

void PollingEngine::SendCommand(const CommandPtr& cmd)
{
    plat::guard(qualified("SendCommand"), [&] { commands().Add(cmd); });
}

void PollingEngine::LeaveLine()
{
    plat::guard(qualified("LeaveLine"), [&] {
        CommandClasses& queue = commands();
        for (int i = queue.Count(); i >= 1; --i)
            queue.Remove(i);
    });
}

void PollingEngine::SendEvent(EventClass& evt)
{
    m_dispatcher.SendEvent(evt);
}

void PollingEngine::TraiteCommande(CommandClass& cmd)
{
    m_executor.TraiteCommande(cmd);
}

void PollingEngine::ClockChanged()
{
    plat::guard(qualified("ClockChanged"), [&] { ClockStep::BringBack(config(), commands(), now()); });
}

int PollingEngine::configuredPort()
{
    return plat::CInt(plat::Val(ConfigAccess::config().BusSettings().split(QLatin1Char(':')).value(0).mid(3)));
}

bool PollingEngine::onConfiguredPort() const
{
    int configured = 0;
    // Settings that name no usable port: nothing to tell the lines apart by.
    if (!plat::trapErrors([&] { configured = configuredPort(); }, [](const plat::RtError&) {}) || configured < 1)
        return true;
    return m_port->CommPort() == configured;
}

void PollingEngine::ConfigCommPort()
{
    plat::guard(qualified("ConfigCommPort"), [&] {
        if (!m_port)
            return;
        const QStringList parts = ConfigAccess::config().BusSettings().split(QLatin1Char(':'));
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // Each step may fail on its own; the port's state afterwards is what counts.
        auto attempt = [](const std::function<void()>& step) {
            try {
                step();
            } catch (const plat::RtError&) {
            }
        };
        attempt([&] { m_port->setPortOpen(false); });
        attempt([&] { m_port->setCommPort(configuredPort()); });
        attempt([&] {
            if (parts.size() < 2)
                plat::raise(plat::rt::SubscriptOutOfRange);
            m_port->setSettings(parts.value(1));
        });
        attempt([&] {
            if (!m_port->PortOpen())
                m_port->setPortOpen(true);
        });
        QGuiApplication::restoreOverrideCursor();
        if (!m_port->PortOpen())
            tellPortCannotOpen(m_port->CommPort());
    });
}

// ---- The port gone and back -------------------------------------------------

void PollingEngine::RunWhenPortOpens()
{
    if (portUsable())
        setRun(true);
    else
        m_runWhenPortOpens = true;
}

void PollingEngine::traceLoss()
{
    if (m_port && m_port->DeviceLost())
        tracePortLost();
}

void PollingEngine::tracePortLost()
{
    if (m_portLost || !m_port)
        return;
    m_portLost = true;
    traceLine(LostTraceLine(now(), m_port->CommPort()));
}

void PollingEngine::portGone()
{
    // No box: nobody may have to answer before the bus can go on. The
    // operator sees polling stop, with its event.
    traceLoss();
    if (!m_run)
        return;
    stopPolling();
    m_runWhenPortOpens = true;
}

void PollingEngine::WatchPort()
{
    if (m_closing || !m_port)
        return;
    if (m_port->PortOpen()) {
        // Opened by someone else meanwhile (the bus scan's load): as when
        // reopened here.
        if (m_portLost || m_runWhenPortOpens)
            portBack();
        return;
    }
    traceLoss();
    if (!m_portLost && !m_runWhenPortOpens)
        return;
    // Tried again as it stands: the port number and settings it holds.
    try {
        m_port->setPortOpen(false);
        m_port->setPortOpen(true);
    } catch (const plat::RtError&) {
    }
    if (m_port->PortOpen())
        portBack();
}

void PollingEngine::portBack()
{
    m_portLost = false;
    // The modules were not charged while it was gone; they start afresh and
    // are all due at once.
    resetCounters();
    reinitDone();
}

// ---- Life cycle -------------------------------------------------------------

void PollingEngine::Load()
{
    // With the automatic start the panel may be unattended: the messages that
    // the bus or the printer port did not open, and the load's errors, must
    // not hold the start.
    const bool automaticStart = gConfig && gConfig->AutoStart();
    const ErrorHandling::Unattended unattended(automaticStart);
    plat::guard(qualified("Form_Load"), [&] {
        m_dispatcher.LoadLastEvent();
        ConfigurationChanged();
        m_closing = false;
        m_run = false;
        ReinitComm();
        // Unloaded while the port message waited: the load ends there, and
        // the commands saved by the previous run stay saved.
        if (m_closing)
            return;
        // Nobody may have seen the message: the trace says the port failed.
        if (automaticStart && !portUsable())
            tracePortLost();

        // A printer whose port does not open (the test has said so) is set up
        // all the same: it opens at the first line once it is there. Settings
        // that cannot be tried leave it unconfigured until the printer
        // settings set it.
        m_printer = EnginePrinter::New();
        const QString prt = ConfigAccess::config().PrtSettings();
        if (Config::TryPrintPort(prt) != Config::PrintPortTest::Refused && m_printer) {
            const int colon = prt.indexOf(QLatin1Char(':'));
            m_printer->setPort(colon < 0 ? prt : prt.left(colon));
            m_printer->setSettings(colon < 0 ? QString() : prt.mid(colon + 1));
            m_printer->setAddLF(true);
        }

        PendingCommands::Restore(commands());
        m_queueRestored = true;
        createDetector();
    });
}

void PollingEngine::createDetector()
{
    plat::ComPtr<Stillmark::_ActivityDetect> detector =
        m_seams.newDetector ? m_seams.newDetector()
                            : Components::CreateObject<Stillmark::_ActivityDetect>(Stillmark::CLSID_ActivityDetect,
                                                                                    Stillmark::IID_ActivityDetect);
    setUserSleep(detector);
    if (!m_userSleep)
        return;
    m_userSleep->setSamplingInterval(SamplingIntervalMs);
    SetInactivityTime(*m_userSleep, ConfigAccess::config().InactivityTime());
}

void PollingEngine::SetInactivityTime(Stillmark::_ActivityDetect& detector, int minutes)
{
    detector.setEnabled(false);
    detector.setN(SamplesPerMinute * std::max(minutes, 1));
    detector.setEnabled(minutes >= 1);
}

void PollingEngine::releaseDetector()
{
    if (m_userSleep && m_sinkCookie) {
        try {
            m_userSleep->setEnabled(false);
            m_userSleep->Unadvise(m_sinkCookie);
        } catch (const plat::RtError&) {
        }
    }
    if (m_sink) {
        m_sink->detach();
        m_sink->Release();
    }
    m_sink = nullptr;
    m_sinkCookie = 0;
    m_userSleep.reset();
}

void PollingEngine::QueryUnload(plat::UnloadMode mode)
{
    plat::guard(qualified("Form_QueryUnload"), [&] {
        horn().Alarme(-1);
        if (mode == plat::vbAppWindows || mode == plat::vbAppTaskManager)
            log().Comment(Global::ShutdownTraceLine(now(), mode == plat::vbAppTaskManager));
    });
}

void PollingEngine::Unload()
{
    plat::guard(qualified("Form_Unload"), [&] {
        m_closing = true;
        // A port tried from the bus settings is still set: what is queued is
        // that line's, and the next start opens the configured one.
        if (m_port && !onConfiguredPort())
            LeaveLine();
        if (m_port && m_port->PortOpen())
            m_port->setPortOpen(false);
        // Unloaded before its load restored the saved commands (a stop while
        // the port message waited): they are kept with the rest.
        if (!m_queueRestored) {
            PendingCommands::Restore(commands());
            m_queueRestored = true;
        }
        PendingCommands::Save(commands());
    });
    releaseDetector();
}

// ---- Trace lines and monitor texts ------------------------------------------

QString PollingEngine::ReinitTraceLine(const plat::DateTime& at)
{
    return TraceRecord::commLine(at, QStringLiteral("REINIT")).text();
}

QString PollingEngine::LostTraceLine(const plat::DateTime& at, int portNumber)
{
    TraceRecord r = TraceRecord::stationLine(at, QStringLiteral("LOST"), QStringLiteral("COMM"), QStringLiteral("LOST"));
    r.set(TraceRecord::Common, QStringLiteral("COM") + QString::number(portNumber));
    r.setStars(TraceRecord::Specific);
    return r.text();
}

QString PollingEngine::ErrorRowText(const PanelClass& panel)
{
    auto two = [](int n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); };
    const int total = panel.ErrCptr(0);
    return QString::number(total).rightJustified(4, QLatin1Char('0')) + QStringLiteral("  ")
           + QStringLiteral("  ") + two(panel.ErrCptr(1)) + QStringLiteral("  ")
           + QStringLiteral("  ") + two(panel.ErrCptr(2)) + QStringLiteral("  ")
           + QStringLiteral("  ") + plat::Format(panel.NextPoll(), QStringLiteral("hh:mm:ss"));
}

// ---- The tick ---------------------------------------------------------------

void PollingEngine::tmrPoll_Timer()
{
    timer().setEnabled(false);
    // A timer re-enabled while a tick yields (Run set off and on again) must
    // not start a second tick inside the first: the running tick re-arms it.
    if (m_inTick)
        return;
    RunComm();
}

bool PollingEngine::portUsable() const
{
    return m_port && m_port->PortOpen();
}

void PollingEngine::stopPolling()
{
    if (m_stopping)
        return;
    m_stopping = true;
    // Run false sends the stop event and shows the stopped indicator; the
    // timer is not armed again.
    if (m_run)
        setRun(false);
    m_stopping = false;
    emit PollingStopped();
}

void PollingEngine::RunComm()
{
    struct InTick {
        PollingEngine& engine;
        const HeldConfig held{engine};
        explicit InTick(PollingEngine& e) : engine(e) { engine.m_inTick = true; }
        ~InTick() { engine.m_inTick = false; }
    };
    // An error of the tick is told without waiting; it still stops polling.
    const ErrorHandling::Unattended unattended;
    bool rearm = false;
    bool ok = false;
    {
        // The yields of the tick run timers and paints; a touch meanwhile
        // waits for the tick's end, so no screen opens in the middle of it.
        const plat::InputHold hold;
        InTick inTick(*this);
        // A screen just opened is on the glass before the bus holds the program.
        plat::InputHold::awaitPaint();
        ok = plat::guard(qualified("RunComm"), [&] { rearm = tick(); });
    }
    if (!ok) {
        // Reported once; polling then reads as stopped, which it is.
        stopPolling();
        return;
    }
    if (rearm)
        timer().setEnabled(true);
}

// One tick; true when the timer is to be armed again.
bool PollingEngine::tick()
{
    auto closeDown = [&] {
        m_run = false;
        emit RunIndicator(false);
        emit UnloadRequested();
        return false;
    };
    if (m_closing)
        return closeDown();
    if (!m_run)
        return false;
    // A port that went away, or one closed under the engine (a
    // re-initialisation that could not reopen it, which has said so):
    // polling stops until the port is back, instead of failing at every tick.
    if (!portUsable()) {
        portGone();
        return false;
    }
    m_portLost = false;

    // Commands, a yield after each; the executor then removes the done ones
    // and drops those that failed too often. A port that goes away ends the
    // commands, charging none of them.
    m_executor.RunQueue(commands(), [&] {
        yield();
        return !m_closing;
    });
    if (m_closing)
        return closeDown();
    if (!portUsable()) {
        portGone();
        return false;
    }

    const plat::DateTime t = now();
    const PollingRound::Choice next = PollingRound::next(m_position, t, config());
    const qint16 p = next.module;
    if (next.due) {
        PanelClass& panel = panelAt(p);
        ++m_roundReads;
        emit PanelRead(p);
        if (const std::optional<ReplyDecoder::PollRead> read = ReplyDecoder::pollRead(panel.Model())) {
            panel.setNextPoll(t.addSeconds(-1));
            QVector<qint16> words(read->words);
            const bool answered = CommFunctions::LitMots(*m_port, quint8(p), read->reg, words);
            // A module is not charged for a port that went away (AddError
            // sees to it); the buffer read of models 1 and 3 can meet it too.
            if (answered)
                ExploitePanneau(panel, words);
            else
                m_dispatcher.AddError(p);
            if (!portUsable()) {
                portGone();
                return false;
            }
            if (answered) {
                if (!panel.Present() || panel.ErrCptr(2) > 0)
                    m_dispatcher.TraitePanelMove(p, true);
                if (panel.ErrCptr(1) > 0)
                    panel.setErrCptr(1, panel.ErrCptr(1) - 1);
                panel.setErrCptr(2, 0);
            }
            emit ErrorRow(p, ErrorRowText(panel));
        }
    }
    emit TickTime(plat::Format(now(), QStringLiteral("hh:mm:ss")));
    m_position = qint16(p % Limits::Modules);

    if (next.roundComplete && m_roundReads > 0) {
        m_roundReads = 0;
        emit PollDone();
    }

    if (m_updateIndex >= 1 && next.roundComplete) {
        PanelClass& panel = panelAt(m_updateIndex);
        if (panel.Model() > 0 && panel.Active())
            UpdatePanel(m_updateIndex, true);
        if (m_updateIndex >= Limits::Modules) {
            m_updateIndex = 0;
            emit UpdateDone();
        } else if (m_updateIndex >= 1) {
            ++m_updateIndex;
        }
    }
    return true;
}

// ---- Reply decoding ---------------------------------------------------------

void PollingEngine::ExploitePanneau(PanelClass& panel, const QVector<qint16>& words)
{
    plat::guard(qualified("ExploitePanneau"), [&] {
        switch (panel.Model()) {
        case Bus::ModelK7150:
        case Bus::ModelK7100:
            exploitBuffer(panel, words);
            break;
        case Bus::ModelK6200TX:
            exploitStatus(panel, words);
            break;
        case Bus::ModelT7100:
        case Bus::ModelT7150:
            exploitStates(panel, words);
            break;
        default:
            break;
        }
    });
}

void PollingEngine::dispatchNew(EventClass& ev)
{
    ev.setGDH(now());
    m_dispatcher.IncEvtNum();
    ev.setNum(m_dispatcher.LastEvent());
    m_dispatcher.TraiteEvent(ev);
}

void PollingEngine::exploitBuffer(PanelClass& panel, const QVector<qint16>& words)
{
    const int count = ReplyDecoder::bufferCount(words);
    if (count < 1)
        return;
    const qint16 module = qint16(panel.Numero());
    QVector<qint16> entries(2 * count);
    if (!CommFunctions::LitMots(*m_port, quint8(module), Bus::RegEventBuffer, entries)) {
        m_dispatcher.AddError(module);
        return;
    }
    // Queued before decoding: the module drops the entries once it sees it.
    commands().Add(CommandClass::Write(module, Bus::RegEventAck, {qint16(count)}));

    for (ReplyDecoder::BufferEntry& entry : ReplyDecoder::bufferEntries(entries)) {
        // The horn was acknowledged at the module: only this station's horn stops.
        if (entry.hornAcknowledged) {
            horn().Alarme(-1);
            continue;
        }
        entry.event.setPanel(module);
        dispatchNew(entry.event);
    }
}

void PollingEngine::exploitStatus(PanelClass& panel, const QVector<qint16>& words)
{
    if (std::optional<EventClass> ev = ReplyDecoder::statusEvent(words)) {
        ev->setPanel(qint16(panel.Numero()));
        dispatchNew(*ev);
    }
}

void PollingEngine::exploitStates(PanelClass& panel, const QVector<qint16>& words)
{
    QVector<qint16> known;
    for (int c = 1; c <= ReplyDecoder::StateWords; ++c)
        known << ConfigAccess::channel(panel, c).State();
    for (EventClass& ev : ReplyDecoder::stateChanges(words, known)) {
        ConfigAccess::channel(panel, ev.Chnl()).setState(ev.Aff());
        ev.setPanel(qint16(panel.Numero()));
        // The module has no clock of its own: the panel's date as a whole serial day.
        ev.setClock(plat::CLng(now().serial()));
        dispatchNew(ev);
    }
}
