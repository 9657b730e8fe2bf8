#include "program/bus/EventDispatcher.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/bus/BusConstants.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/FixedRecord.h"
#include "program/core/ErrorHandling.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/Limits.h"
#include "program/core/VEXfonctions.h"

#include <utility>

namespace {

const QString kTraiteEvent = QStringLiteral("wPolling.TraiteEvent");

constexpr int kFirstChannel = 1;
constexpr int kHornStop = -1;
constexpr int kHornModuleWide = 1;

bool isChannel(int chnl)
{
    return chnl >= kFirstChannel && chnl <= Limits::LastChannel;
}

// One memory of the failure told for each of N steps, all under one name.
template <size_t... I>
std::array<plat::ReportOnce, sizeof...(I)> reportsNamed(const QString& name, std::index_sequence<I...>)
{
    return {((void)I, plat::ReportOnce(name))...};
}

// A seam that was never installed fails its step with error 91.
template <class T>
T& seam(T* installed)
{
    if (!installed)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *installed;
}

} // namespace

EventDispatcher::EventDispatcher(QObject* parent)
    : QObject(parent),
      m_seams(Dispatch::installed()),
      m_steps(reportsNamed(kTraiteEvent, std::make_index_sequence<StepCount>())),
      m_hornReports(QStringLiteral("wPolling.TraiteKlaxon")),
      m_now([] { return plat::DateTime::now(); })
{
}

VexLib22::_LogFileClass& EventDispatcher::log()
{
    return m_log ? *m_log : gTraceLog();
}

Dispatch::EventRules& EventDispatcher::rules()
{
    return seam(m_seams.rules);
}

void EventDispatcher::LoadLastEvent()
{
    plat::guard(QStringLiteral("wPolling.LoadLastEvent"), [&] {
        m_lastEvent = 0;
        const qint32 n = plat::CLng(
            plat::Val(VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, IniKeys::LastEventDefault)));
        // A number the counter cannot have given starts the count again.
        if (n >= 0 && n < EventNumberModulo)
            m_lastEvent = n;
    });
}

void EventDispatcher::IncEvtNum()
{
    m_lastEvent = (m_lastEvent + 1) % EventNumberModulo;
    if (m_lastEvent <= 0)
        m_lastEvent = 1;
    // A failed write keeps the new number in memory.
    plat::guard(QStringLiteral("wPolling.IncEvtNum"), [&] {
        VEXfonctions::SetIni(IniKeys::General, IniKeys::LastEvent, QString::number(m_lastEvent));
    });
}

void EventDispatcher::SendEvent(EventClass& ev)
{
    IncEvtNum();
    ev.setNum(m_lastEvent);
    ev.setGDH(m_now());
    TraiteEvent(ev);
}

void EventDispatcher::TraiteEvent(EventClass& ev)
{
    // Its errors are told without waiting: the event goes on to its other steps.
    const ErrorHandling::Unattended unattended;
    // State and horn: an error here ends the dispatch.
    bool goOn = true;
    const bool ok = step(StateAndHorn, [&] {
        if (isChannel(ev.Chnl())) {
            ChannelClass& channel = ConfigAccess::channel(ev.Panel(), ev.Chnl());
            channel.setState(ev.Aff());
            if (channel.OutOfOrder()) {
                goOn = false;
                return;
            }
        }
        if (rules().IsToKlaxon(ev))
            TraiteKlaxon(ev);
    });
    if (!ok || !goOn)
        return;

    // From here on each step runs whatever became of the one before, so that a
    // failing history or printer never costs the trace line or the mirrors.
    step(Display, [&] {
        if (rules().IsToDisplay(ev))
            seam(m_seams.alarmScreen).BringToFront();
    });
    step(History, [&] {
        if (rules().IsToHisto(ev))
            seam(m_seams.history).HistoEvent(ev);
    });
    step(Printer, [&] {
        if (rules().IsToPrint(ev))
            seam(m_seams.printer).PrintEvent(ev);
    });
    step(Listeners, [&] { emit BusEvent(ev); });
    step(Trace, [&] {
        const QString line = plat::Trim(rules().FormateTrace(ev));
        log().Comment(line);
        log().FlushFile();
    });
    if (ev.Chnl() <= Limits::LastChannel) {
        step(OwnStates, [&] {
            if (ev.Chnl() == EventClass::ChnlModuleWide && ConfigAccess::panel(ev.Panel()).Model() == Bus::ModelK6200TX)
                seam(m_seams.mirrors).TraitementR2R2Self(ev);
        });
        step(Mirrors, [&] { seam(m_seams.mirrors).DoMirrors(ev); });
    }
}

void EventDispatcher::TraiteKlaxon(const EventClass& ev)
{
    m_hornReports.guard([&] {
        const int chnl = ev.Chnl();
        const int aff = ev.Aff();
        int level = 0;
        if (chnl == EventClass::ChnlPresence) {
            if (aff == 0)
                level = Limits::LastPriority;
        } else if (chnl == EventClass::ChnlModuleWide) {
            if (aff == 1)
                level = kHornStop;
            else if (aff > 1)
                level = kHornModuleWide;
        } else if (isChannel(chnl)) {
            if (ev.Param() == 0 && aff == 1)
                level = ConfigAccess::channel(ev.Panel(), chnl).AlmPrio();
            else if (aff == 2)
                level = Limits::LastPriority;
            else if (aff >= 3)
                level = ConfigAccess::channel(ev.Panel(), chnl).AlmPrio();
        }
        if (level != 0)
            seam(m_seams.horn).Alarme(level);
    });
}

void EventDispatcher::TraitePanelMove(qint16 module, bool present)
{
    movePanel(module, present, false);
}

void EventDispatcher::movePanel(qint16 module, bool present, bool announce)
{
    plat::guard(QStringLiteral("wPolling.TraitePanelMove"), [&] {
        PanelClass& panel = ConfigAccess::panel(module);
        if (bool(panel.Present()) == present && !announce)
            return;
        EventClass ev;
        IncEvtNum();
        ev.setNum(m_lastEvent);
        ev.setGDH(m_now());
        ev.setPanel(module);
        ev.setChnl(EventClass::ChnlPresence);
        ev.setParam(1);
        ev.setAff(present ? 1 : 0);
        ev.setClock(0);
        // Told once: polling that declares it missing afterwards does not tell it again.
        if (!present)
            m_declaredMissing.set(size_t(module));
        TraiteEvent(ev);
        panel.setPresent(present);
        emit PanelMove(present, module, ev.Num(), ev.ID());
    });
}

void EventDispatcher::AddError(qint16 module)
{
    plat::guard(QStringLiteral("wPolling.AddError"), [&] {
        PanelClass& panel = ConfigAccess::panel(module);
        if (m_busUsable && !m_busUsable())
            return;
        panel.setErrCptr(0, qint16((panel.ErrCptr(0) + 1) % ErrorCounterModulo));
        panel.setErrCptr(1, qint16((panel.ErrCptr(1) + 1) % ErrorCounterModulo));
        if (panel.ErrCptr(1) < ErrorsToMissing)
            return;  // still due: polled again in its turn
        const plat::DateTime now = m_now();
        panel.setNextPoll(now.addSeconds(ShortRestSeconds));
        panel.setErrCptr(1, 0);
        panel.setErrCptr(2, qint16((panel.ErrCptr(2) + 1) % ErrorCounterModulo));
        // A module that never answered in this run would otherwise never be told.
        movePanel(module, false, !m_declaredMissing.test(size_t(module)));
        if (panel.ErrCptr(2) >= MissingToLongRest)
            panel.setNextPoll(now.addSeconds(LongRestSeconds));
    });
}
