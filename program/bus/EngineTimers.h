#pragma once
// The engine form's background work besides the polling tick: the day
// change (housekeeping, midnight synchronisation, the counter reset of every
// module), the ten-second watchdog that tries a lost port again, keeps a
// screen up and re-announces the acknowledged alarms still active once their
// channel's delay has passed, and the logout of an absent user. wPolling fires these from its
// timers and from the inactivity detector; tests call them on virtual time.

#include "platform/DateTime.h"

#include <QString>
#include <QtGlobal>

#include <optional>

class PollingEngine;

class EngineTimers {
public:
    // A broadcast executed at once (polling stopped) is tried this often.
    static constexpr int BroadcastAttempts = 4;

    explicit EngineTimers(PollingEngine& engine) : m_engine(engine) {}

    void tmrMidnight_Timer();
    void tmrReactiv_Timer();
    void UserSleep_UserIsNotHere();
    // Re-announces the alarm of that row (its event ID, the date and time it
    // shows and its event number) when it is acknowledged, still active, of a
    // channel and a module in service, and its channel's delay has passed
    // since the row's time.
    void ReactiverAlarme(qint32 id, const plat::DateTime& rowTime, qint32 number);

    // The re-announcement delay of a channel's code in seconds (none for 0);
    // a code beyond the list takes the longest delay, as its text shows it.
    static std::optional<int> ReactivDelaySeconds(int reactTpo);
    // What the re-announcement reads of an alarm row: the saved value of an
    // unloaded screen (ID in hexadecimal, number, date, time), and the text of
    // a listed row (number, date, time). Nothing for one that does not read.
    struct RowAlarm {
        qint32 id = 0;
        plat::DateTime time;
        qint32 number = 0;
    };
    static std::optional<RowAlarm> SavedRowAlarm(const QString& value);
    static std::optional<RowAlarm> ListedRowAlarm(const QString& text, qint32 rowData);

private:
    void midnight(const plat::DateTime& now);
    void logout();

    PollingEngine& m_engine;
    // The time of the midnight timer's previous firing; none before the first.
    std::optional<plat::DateTime> m_previousFiring;
    // A closing screen may let the detector fire again while it asks.
    bool m_loggingOut = false;
};
