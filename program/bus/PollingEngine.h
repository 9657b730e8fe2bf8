#pragma once
// The bus engine without its window: the polling run state, the command queue,
// the life cycle and the polling tick (RunComm), which turns module replies
// into events (ExploitePanneau, through ReplyDecoder). The form wPolling hosts
// one engine and shows its state; tests drive one directly, on virtual time,
// against the simulator. Everything runs on the user-interface thread.

#include "program/bus/CommandClasses.h"
#include "program/bus/CommandExecutor.h"
#include "program/bus/EventDispatcher.h"
#include "program/bus/PollTimer.h"
#include "program/bus/PollingSeams.h"
#include "program/core/EnginePrinter.h"
#include "program/core/Limits.h"

#include "platform/Component.h"
#include "Stillmark/_ActivityDetect.h"
#include "platform/DateTime.h"
#include "platform/Form.h"

#include <QObject>
#include <QPointer>
#include <QVector>

#include <array>
#include <functional>
#include <memory>

class ConfigClass;
class PanelClass;

namespace plat {
class SerialControl;
}

class PollingEngine : public QObject {
    Q_OBJECT

public:
    // The interval of the polling timer once polling has been started.
    static constexpr int PollIntervalMs = 25;
    // The detector samples every 6 s, ten samples to a minute of inactivity.
    static constexpr int SamplingIntervalMs = 6000;
    static constexpr int SamplesPerMinute = 10;
    static constexpr int StyleCritical = 16;

    // Sets a detector for an inactivity time in minutes (0 = off); switched
    // off first, so that its count starts afresh.
    static void SetInactivityTime(Stillmark::_ActivityDetect& detector, int minutes);

    explicit PollingEngine(QObject* parent = nullptr);
    ~PollingEngine() override;

    // ---- What the engine runs on (set before Load) ----
    // The serial control CommBus; the engine does not own it.
    void setPort(plat::SerialControl* port);
    plat::SerialControl* port() const { return m_port; }
    // The polling timer; run-time error 91 while none is given.
    void setTimer(PollTimer* timer) { m_timer = timer; }
    PollTimer& timer() const;
    // The date and time of events, NextPoll and SendTime; the system's unless set.
    void setNow(std::function<plat::DateTime()> now);
    // The yield of the command loop and of the synchronisation notice: timers
    // and paints, touches held until the tick or pass ends
    // (plat::InputHold::yield) unless set.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    // The date and time as the engine takes it (setNow).
    plat::DateTime now() const;
    // Replaces the installed seams (tests).
    void setSeams(const PollingSeams& seams) { m_seams = seams; }
    PollingSeams& seams() { return m_seams; }
    // The trace log of the engine's own lines, the dispatch and the commands;
    // gTraceLog() unless set.
    void setTraceLog(VexLib22::_LogFileClass* log);
    VexLib22::_LogFileClass& traceLog() { return log(); }
    // The horn that a module's horn acknowledgement stops; also the
    // dispatch's. nullptr goes back to the installed horn.
    void setHorn(Dispatch::Horn* horn);

    EventDispatcher& dispatcher() { return m_dispatcher; }
    CommandExecutor& executor() { return m_executor; }

    // ---- Public members of the engine form, in its order ----
    plat::ComPtr<Stillmark::_ActivityDetect> UserSleep() const { return m_userSleep; }
    void setUserSleep(plat::ComPtr<Stillmark::_ActivityDetect> detector);
    EnginePrinterPtr dpPrinter() const { return m_printer; }
    void setdpPrinter(EnginePrinterPtr printer) { m_printer = std::move(printer); }
    bool Run() const { return m_run; }
    void setRun(bool value);
    void ReinitComm();
    void ConfigurationChanged();
    void SendCommand(const CommandPtr& cmd);
    // The port is moved to another line (a port tried from the bus
    // settings, or the configured one put back): every queued command was
    // meant for the line being left and would reach the module with the
    // same address on the other one. They are removed unsent, broadcasts
    // among them, so that none is saved for the next start either.
    void LeaveLine();
    void SendEvent(EventClass& evt);
    void StartUpdate() { m_updateIndex = 1; }
    // The general synchronisation pass: every configured module detected,
    // its outputs and event buffer reset, the alarm list emptied and the
    // state of every active channel emitted again (Clock -1). A notice stays
    // on top meanwhile; an error ends the pass at its clean-up. A line that
    // is down (the pass traces it LOST) or a stop request ends it before the
    // list is emptied: the list stays as it is, and the first start's pass
    // stays owed to the next start of polling.
    void SynchroGeneraleBus();
    // The midnight pass: every configured module in service re-read, the day
    // record of every configured module written to the history, and the
    // targets in service of latching mirrors whose sources are all back to
    // normal cleared.
    void MidnightSynchro();
    void TraiteCommande(CommandClass& cmd);
    // Re-reads one module: its type, and for a buffer module its channel
    // parameters and states, with an event (Clock 0) for each channel whose
    // state changed. A change of presence is announced. detect false records
    // the module absent and reads nothing.
    void UpdatePanel(qint16 module, bool detect);
    void HistoBusState() {}
    void PrintBusState() {}
    // The panel's clock was set: a poll or a command reckoned on the old
    // clock, now beyond any rest, is due at once (ClockStep).
    void ClockChanged();

    // ---- The port gone and back ----
    // Polling starts now when the port is open, else as soon as the watchdog
    // has it open (the automatic start with a port that is not there yet).
    void RunWhenPortOpens();
    bool RunsWhenPortOpens() const { return m_runWhenPortOpens; }
    // The watchdog's look at the port, every ten seconds: a port whose device
    // went away, or one that polling waits for, is tried again as the control
    // holds it; once open, whoever opened it, the counters start afresh
    // (REINIT line) and polling starts again when it waits for the port. A
    // port closed on purpose is left alone.
    void WatchPort();

    // ---- Life cycle (the form's load, query-unload and unload) ----
    // Load steps of the engine: the last event number, the history settings,
    // the run flags, the port, the printer, the saved queue, the detector.
    void Load();
    // The horn stops; a shutdown of the session or a termination leaves its
    // trace line.
    void QueryUnload(plat::UnloadMode mode);
    // Closes the port and saves the queue.
    void Unload();

    // ---- The tick ----
    // tmrPoll fired: disable it and run one tick (none while a tick is yielding).
    void tmrPoll_Timer();
    void RunComm();
    // Decodes the words of a successful poll read of the module into events.
    void ExploitePanneau(PanelClass& panel, const QVector<qint16>& words);
    // Applies the configuration's bus settings to the port and reopens it.
    void ConfigCommPort();

    // ---- State, for the monitor and for tests ----
    CommandClasses& commands();
    bool Closing() const { return m_closing; }
    bool SynchroDone() const { return m_synchroDone; }
    qint16 UpdateIndex() const { return m_updateIndex; }
    bool InTick() const { return m_inTick; }
    qint16 RoundRobinPosition() const { return m_position; }
    bool HistoPeriodDaily() const { return m_histoDaily; }
    qint16 HistoPeriodTime() const { return m_histoTime; }
    bool HistoPeriodLimit() const { return m_histoLimit; }

    // The monitor row of a module: counters and next poll time.
    static QString ErrorRowText(const PanelClass& panel);
    // The trace line of a port re-initialisation.
    static QString ReinitTraceLine(const plat::DateTime& at);
    // The trace line of a general synchronisation pass.
    static QString SynchroTraceLine(const plat::DateTime& at);
    // The trace line of a port whose device went away.
    static QString LostTraceLine(const plat::DateTime& at, int portNumber);

signals:
    void WriteError(const CommandClass& cmd);
    void BusEvent(const EventClass& evt);
    void PanelMove(bool present, qint16 module, qint32 evtNum, qint32 id);
    void PollDone();
    void UpdateDone();

    // For the monitor: the run indicator, the module read, the time of the
    // tick, a module's row of counters.
    void RunIndicator(bool running);
    void PanelRead(int module);
    void TickTime(const QString& time);
    void ErrorRow(int module, const QString& text);
    // The tick found the engine closing: the form unloads itself.
    void UnloadRequested();
    // Polling was stopped by the engine itself (a failed tick, a lost port).
    void PollingStopped();
    // The inactivity detector found nobody at the panel.
    void UserIsNotHere();

private:
    class DetectorSink;

    void yield();
    int message(const QString& text, int style);
    void tellPortCannotOpen(int number);
    // The REINIT line; polling starts when it waits for the port, now open.
    void reinitDone();
    // The port number of the configured bus settings ("COM<n>:...").
    static int configuredPort();
    // Whether the port is the configured one (a port tried from the bus
    // settings is another line).
    bool onConfiguredPort() const;
    void resetCounters();
    void traceLine(const QString& line);
    // The port is not usable under polling: its loss traced once, polling
    // stopped with its event, to start again once the port is back.
    void portGone();
    // The loss of the device, traced once until the port is open again.
    void traceLoss();
    // The LOST line, once until the port is open again; the watchdog then
    // tries the port until it opens.
    void tracePortLost();
    // The port opened again: the counters start afresh, and polling when it waits.
    void portBack();
    Dispatch::Horn& horn();
    // The configuration in use, or the one the running tick holds.
    ConfigClass& config() const;
    PanelClass& panelAt(int module) const;
    VexLib22::_LogFileClass& log();
    bool portUsable() const;
    void stopPolling();
    void createDetector();
    void releaseDetector();
    bool tick();
    // The buffer, status word and state families.
    void exploitBuffer(PanelClass& panel, const QVector<qint16>& words);
    void exploitStatus(PanelClass& panel, const QVector<qint16>& words);
    void exploitStates(PanelClass& panel, const QVector<qint16>& words);
    void dispatchNew(EventClass& ev);
    // The general pass; true when it reached the bus (the alarm list emptied
    // and filled again).
    bool synchronise();
    // A stop was asked (the engine closing, or a request that the message
    // loop has not taken yet): a pass ends at its next frame.
    bool stopAsked() const;
    // The next frame of a pass may go: the line is up and no stop asked.
    bool busGoesOn() const;
    // The synchronisation passes' parts.
    void showSynchroMarks(bool visible);
    QPointer<plat::Form> showSynchroNotice();
    // The register-49 words of one pass, by module 0..64 and channel 0..24.
    using ChannelParams = std::array<std::array<qint16, Limits::LastChannel + 1>, Limits::Modules + 1>;
    void detectModules(ChannelParams& params);
    void resetModules();
    void emptyAlarmList();
    void emitChannelStates(const ChannelParams& params);
    qint16 askModuleType(qint16 module);
    bool readCounted(qint16 module, int reg, QVector<qint16>& words);
    void clearLatchedTargets();
    void executeWrite(qint16 module, int reg, qint16 value);

    plat::SerialControl* m_port = nullptr;
    PollTimer* m_timer = nullptr;
    std::function<plat::DateTime()> m_now;
    std::function<void()> m_yield;
    PollingSeams m_seams;
    VexLib22::_LogFileClass* m_log = nullptr;
    Dispatch::Horn* m_horn = nullptr;

    EventDispatcher m_dispatcher;
    CommandExecutor m_executor;
    std::unique_ptr<CommandClasses> m_commands;

    plat::ComPtr<Stillmark::_ActivityDetect> m_userSleep;
    DetectorSink* m_sink = nullptr;
    uint32_t m_sinkCookie = 0;
    EnginePrinterPtr m_printer;

    bool m_run = false;
    bool m_closing = false;
    bool m_synchroDone = false;
    // A general pass is running (its notice yields: a second one waits for none).
    bool m_inSynchro = false;
    // The load has taken the commands saved by the previous run.
    bool m_queueRestored = false;
    qint16 m_updateIndex = 0;
    bool m_inTick = false;
    // Kept alive for the length of a tick or a pass: a configuration opened
    // from a box shown meanwhile replaces gConfig, not what they read.
    std::shared_ptr<ConfigClass> m_tickConfig;
    // Holds gConfig in m_tickConfig while it lives. One that finds it held (a
    // pass run inside a tick, a tick run in a pass's yield) leaves the hold,
    // and its end, to the holder.
    struct HeldConfig {
        explicit HeldConfig(PollingEngine& engine);
        ~HeldConfig();
        HeldConfig(const HeldConfig&) = delete;
        HeldConfig& operator=(const HeldConfig&) = delete;

        PollingEngine& engine;
        const bool holds;
    };
    bool m_stopping = false;
    // Polling starts (again) as soon as the port opens.
    bool m_runWhenPortOpens = false;
    // The port's device went away (its trace line is written): the port is
    // tried again until it opens, whoever met the loss.
    bool m_portLost = false;
    bool m_histoDaily = false;
    qint16 m_histoTime = 0;
    bool m_histoLimit = false;
    // Round robin: the address read last, modulo 64 (0 stands for 64), and the
    // reads since the last PollDone.
    qint16 m_position = 0;
    qint16 m_roundReads = 0;
};
