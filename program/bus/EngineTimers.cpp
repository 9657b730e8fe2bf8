#include "program/bus/EngineTimers.h"

#include "program/bus/AlarmScreenLink.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommandClass.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/EventClass.h"
#include "program/bus/PollingEngine.h"

#include "program/core/ErrorHandling.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/PollingLink.h"
#include "program/core/VEXfonctions.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "platform/Values.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kSecondsPerDay = 86400.0;

// Runs fn, reporting an error under name; the caller goes on. Nobody asked
// for this work: its errors are told without waiting.
void trapped(const char* name, const std::function<void()>& fn)
{
    const ErrorHandling::Unattended unattended;
    plat::guard(QStringLiteral("wPolling.") + QLatin1String(name), fn);
}

std::optional<qint32> hexId(const QString& text)
{
    bool ok = false;
    const quint32 v = text.toUInt(&ok, 16);
    if (!ok || text.size() > 8)
        return std::nullopt;
    return qint32(v);
}

std::optional<qint32> eventNumber(const QString& text)
{
    bool ok = false;
    const qint32 v = text.toInt(&ok);
    return ok ? std::optional<qint32>(v) : std::nullopt;
}

// The clock to the whole second: the row shows whole seconds, so "later than
// the row's time plus the delay" is decided in whole seconds.
plat::DateTime wholeSecond(const plat::DateTime& t)
{
    const QDateTime q = t.toQDateTime();
    return plat::DateTime::fromDate(q.date(), QTime(q.time().hour(), q.time().minute(), q.time().second()));
}

} // namespace

// ---- Midnight ---------------------------------------------------------------

void EngineTimers::tmrMidnight_Timer()
{
    trapped("tmrMidnight_Timer", [&] {
        const plat::DateTime now = m_engine.now();
        const bool newDay = m_previousFiring && m_previousFiring->date().day() != now.date().day();
        // Kept before the actions: one that fails is not run again a second later.
        m_previousFiring = now;
        if (newDay)
            midnight(now);
    });
}

void EngineTimers::midnight(const plat::DateTime& now)
{
    // Each action on its own: a failing housekeeping costs neither the
    // synchronisation nor the counter reset.
    trapped("tmrMidnight_Timer", [&] {
        if (m_engine.seams().doMidnightActions)
            m_engine.seams().doMidnightActions();
    });
    if (m_engine.Run())
        trapped("tmrMidnight_Timer", [&] { m_engine.MidnightSynchro(); });
    trapped("tmrMidnight_Timer", [&] {
        const CommandPtr reset = CommandClass::Write(Bus::BroadcastAddress, Bus::RegCounterReset, {0}, now);
        if (m_engine.Run()) {
            m_engine.SendCommand(reset);
            return;
        }
        // Nothing can go out on a closed port: no attempt, no error reports.
        // The attempts are counted here: a clock set back meanwhile makes the
        // command wait for its time, and counts none of them.
        const plat::SerialControl* port = m_engine.port();
        for (int attempt = 0; attempt < BroadcastAttempts && port && port->PortOpen()
                              && reset->CmdType() != CommandClass::CmdDone;
             ++attempt)
            m_engine.TraiteCommande(*reset);
    });
}

// ---- Watchdog and re-announcement --------------------------------------------

void EngineTimers::tmrReactiv_Timer()
{
    // The port first, on its own: polling comes back as soon as it can.
    trapped("tmrReactiv_Timer", [&] { m_engine.WatchPort(); });
    trapped("tmrReactiv_Timer", [&] {
        const QString& screen = FormNames::wRunAlarms;
        if (!plat::Forms::AnyVisible() && plat::Forms::isRegistered(screen))
            plat::Forms::Get(screen)->Show();

        // Read first: a re-announcement loads the screen and changes its rows.
        std::vector<RowAlarm> alarms;
        if (Global::NbInstances(screen) == 0) {
            for (const auto& [key, value] : VEXfonctions::GetIniSection(IniKeys::LastAlarms))
                if (const std::optional<RowAlarm> a = SavedRowAlarm(value))
                    alarms.push_back(*a);
        } else if (const AlarmScreenLink* rows = AlarmScreen::Loaded()) {
            for (int r = 0; r < rows->AlarmRowCount(); ++r)
                if (const std::optional<RowAlarm> a = ListedRowAlarm(rows->AlarmRowText(r), rows->AlarmRowData(r)))
                    alarms.push_back(*a);
        }
        for (const RowAlarm& a : alarms)
            ReactiverAlarme(a.id, a.time, a.number);
    });
}

std::optional<EngineTimers::RowAlarm> EngineTimers::SavedRowAlarm(const QString& value)
{
    QString v = plat::Trim(value);
    while (v.contains(QStringLiteral("  ")))
        v.replace(QStringLiteral("  "), QStringLiteral(" "));
    const QStringList parts = v.split(QLatin1Char(' '));
    if (parts.size() < 4)
        return std::nullopt;
    const std::optional<qint32> id = hexId(parts[0]);
    const std::optional<plat::DateTime> time = plat::parseDate(parts[2] + QLatin1Char(' ') + parts[3]);
    const std::optional<qint32> number = eventNumber(parts[1]);
    if (!id || !time || !number)
        return std::nullopt;
    return RowAlarm{*id, *time, *number};
}

std::optional<EngineTimers::RowAlarm> EngineTimers::ListedRowAlarm(const QString& text, qint32 rowData)
{
    const QStringList parts = plat::Trim(text).split(QLatin1Char(' '));
    if (parts.size() < 3)
        return std::nullopt;
    const std::optional<plat::DateTime> time = plat::parseDate(parts[1] + QLatin1Char(' ') + parts[2]);
    const std::optional<qint32> number = eventNumber(parts[0]);
    if (!time || !number)
        return std::nullopt;
    return RowAlarm{rowData, *time, *number};
}

std::optional<int> EngineTimers::ReactivDelaySeconds(int reactTpo)
{
    // "hh:mm", as the channel editor shows it.
    const QString text = Global::ReactivTime(reactTpo);
    const QStringList hm = text.split(QLatin1Char(':'));
    if (hm.size() != 2)
        return std::nullopt;
    return hm[0].toInt() * 3600 + hm[1].toInt() * 60;
}

void EngineTimers::ReactiverAlarme(qint32 id, const plat::DateTime& rowTime, qint32 number)
{
    trapped("ReactiverAlarme", [&] {
        EventClass ev;
        ev.setID(id);
        ev.setGDH(m_engine.now());
        ev.setNum(number);
        // Only an alarm acknowledged at the module and still active.
        if (ev.Aff() < 1 || ev.Param() != 1)
            return;
        const ChannelClass& channel = ConfigAccess::channel(ev.Panel(), ev.Chnl());
        if (!channel.React() || channel.ReactTpo() <= 0)
            return;
        // Out of service, a channel's return to normal is only recorded: its
        // row would come back at every delay for ever.
        if (channel.OutOfOrder() || !ConfigAccess::panel(ev.Panel()).Active())
            return;
        const std::optional<int> delay = ReactivDelaySeconds(channel.ReactTpo());
        if (!delay)
            return;
        const double elapsed =
            std::round(plat::DateTime::daysBetween(rowTime, wholeSecond(m_engine.now())) * kSecondsPerDay);
        if (elapsed <= *delay)
            return;
        ev.setAff(EventClass::AffReannounce);

        const Dispatch::Seams& seams = m_engine.dispatcher().seams();
        if (seams.alarmScreen)
            seams.alarmScreen->BringToFront();
        // Straight to the screen: no new number, history, printer, trace or mirror.
        if (AlarmScreenLink* screen = AlarmScreen::Loaded())
            screen->mwComm_BusEvent(ev);
        if (!seams.rules)
            plat::raise(plat::rt::ObjectVariableNotSet);
        if (seams.rules->IsToKlaxon(ev) && seams.horn)
            seams.horn->Alarme(channel.AlmPrio());
    });
}

// ---- Inactivity ---------------------------------------------------------------

void EngineTimers::UserSleep_UserIsNotHere()
{
    trapped("UserSleep_UserIsNotHere", [&] {
        if (m_loggingOut || gUserLevel == 0 || gUserLevel == 1)
            return;
        m_loggingOut = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{m_loggingOut};
        logout();
    });
}

void EngineTimers::logout()
{
    // No event and no trace line; the name goes with the level, so that a
    // later acknowledgement is not booked to the user who left.
    gUserLevel = 0;
    gUserName.clear();

    // Every screen goes but the engine (the notices stay: nobody has read
    // them yet); one that still refuses is hidden and ends the round, so that
    // the loop never spins on it.
    auto others = [] {
        std::vector<QPointer<plat::Form>> forms;
        for (plat::Form* f : plat::Forms::Screens())
            if (f->Name() != FormNames::wPolling)
                forms.emplace_back(f);
        return forms;
    };
    for (auto forms = others(); !forms.empty(); forms = others()) {
        bool refused = false;
        for (const QPointer<plat::Form>& f : forms) {
            bool unloaded = false;
            try {
                unloaded = !f || plat::Forms::Unload(f);
            } catch (const plat::RtError&) {
                unloaded = !f || f->IsUnloaded();
            }
            if (!unloaded) {
                f->Hide();
                refused = true;
            }
        }
        if (refused)
            break;
    }

    plat::Forms::Get(FormNames::wRunAlarms)->Show();
    for (plat::Form* f : plat::Forms::Screens()) {
        if (f->Name() == FormNames::wPolling)
            continue;
        if (f->Name() == FormNames::wRunAlarms) {
            if (auto* screen = dynamic_cast<AlarmScreenLink*>(f))
                screen->ShowLoginLevel(gUserLevel);
        } else {
            plat::Forms::Unload(f);
        }
    }
}
