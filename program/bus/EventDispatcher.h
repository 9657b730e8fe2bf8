#pragma once
// The engine's event path: numbering (IncEvtNum), dispatch in its fixed order
// (TraiteEvent), the horn decision (TraiteKlaxon), module presence changes
// (TraitePanelMove) and the per-module bus error count (AddError). The polling
// engine owns one and hands every event through it, on its one thread.

#include "platform/DateTime.h"
#include "platform/ReportOnce.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/EventClass.h"
#include "program/core/Limits.h"

#include <QObject>

#include <array>
#include <bitset>
#include <functional>

namespace VexLib22 {
struct _LogFileClass;
}

class EventDispatcher : public QObject {
    Q_OBJECT

public:
    // Event numbers run 1 .. EventNumberModulo - 1, then start again at 1.
    static constexpr qint32 EventNumberModulo = 1000000;
    // The per-module error counters wrap at this value.
    static constexpr int ErrorCounterModulo = 32000;
    // Consecutive errors that declare a module missing, and declarations after
    // which it rests the longer time.
    static constexpr int ErrorsToMissing = 3;
    static constexpr int MissingToLongRest = 3;
    static constexpr int ShortRestSeconds = 60;
    static constexpr int LongRestSeconds = 600;

    explicit EventDispatcher(QObject* parent = nullptr);

    // The seams start as Dispatch::installed() holds them. A step whose seam
    // is missing fails with error 91 (reported), the others still run.
    void setRules(Dispatch::EventRules* rules) { m_seams.rules = rules; }
    void setHorn(Dispatch::Horn* horn) { m_seams.horn = horn; }
    void setAlarmScreen(Dispatch::AlarmScreen* screen) { m_seams.alarmScreen = screen; }
    void setHistory(Dispatch::History* history) { m_seams.history = history; }
    void setPrinter(Dispatch::Printer* printer) { m_seams.printer = printer; }
    void setMirrors(Dispatch::Mirrors* mirrors) { m_seams.mirrors = mirrors; }
    // The seams the dispatch hands events to (also the re-announcement's).
    const Dispatch::Seams& seams() const { return m_seams; }
    // The trace log; gTraceLog() unless set.
    void setTraceLog(VexLib22::_LogFileClass* log) { m_log = log; }
    // The clock of GDH and NextPoll; the system's date and time unless set.
    void setNow(std::function<plat::DateTime()> now) { m_now = std::move(now); }
    // Whether the bus can carry an exchange (the engine's port is open);
    // always unless set. No module is charged an error while it cannot.
    void setBusUsable(std::function<bool()> usable) { m_busUsable = std::move(usable); }

    // mLastEvent from INI "General"/"LastEvent" (the engine does it at load).
    void LoadLastEvent();
    qint32 LastEvent() const { return m_lastEvent; }

    // Advances the event number and writes it to the INI file at once.
    void IncEvtNum();
    // Numbers the event, stamps it with the date and time, dispatches it.
    void SendEvent(EventClass& ev);
    // Dispatches one numbered, dated event: channel state (an out-of-service
    // channel stops there), horn, alarm screen, history, printer, BusEvent,
    // trace line, mirrors. Once past the horn, a failing step is reported and
    // the next one runs. A step that keeps failing (a history folder gone) is
    // reported once per cause until it works again, not at every event.
    void TraiteEvent(EventClass& ev);
    void TraiteKlaxon(const EventClass& ev);
    void TraitePanelMove(qint16 module, bool present);
    // Counts one failed exchange with the module (none while the bus is not
    // usable: the port failed, not the module); the third in a row declares
    // it missing. Its first declaration of the run announces it even when it
    // was never present (a module dead from power-on), later ones only when
    // it was.
    void AddError(qint16 module);
    // The alarm list was emptied (a general synchronisation): a module
    // announced missing before is announced again at its next declaration.
    void ForgetMissingAnnouncements() { m_declaredMissing.reset(); }

signals:
    // Raised during the dispatch; every listener has run when it returns (one
    // thread, direct connections).
    void BusEvent(const EventClass& ev);
    void PanelMove(bool present, qint16 module, qint32 evtNum, qint32 id);

private:
    // The steps of the dispatch, each with its own memory of the failure told.
    enum Step { StateAndHorn, Display, History, Printer, Listeners, Trace, OwnStates, Mirrors, StepCount };

    VexLib22::_LogFileClass& log();
    Dispatch::EventRules& rules();
    // A presence change; with announce, also one the module's Present already shows.
    void movePanel(qint16 module, bool present, bool announce);
    bool step(Step s, const std::function<void()>& fn) { return m_steps[s].guard(fn); }

    Dispatch::Seams m_seams;
    std::array<plat::ReportOnce, StepCount> m_steps;
    plat::ReportOnce m_hornReports;
    VexLib22::_LogFileClass* m_log = nullptr;
    std::function<plat::DateTime()> m_now;
    std::function<bool()> m_busUsable;
    qint32 m_lastEvent = 0;
    // The modules announced missing at least once in this run (by polling
    // or by a re-read that found them gone).
    std::bitset<Limits::Modules + 1> m_declaredMissing;
};
