#pragma once
// The 132-character line of the daily trace log. Event lines fill it from the
// event; the engine's own lines (port re-initialisation, synchronisation) put
// their words in the same fields, so that the log reads as one table.

#include "program/bus/FixedRecord.h"

class TraceRecord : public FixedRecord {
public:
    static constexpr int Length = 132;

    enum Field {
        Date,       // reception date, "Short Date"
        Time,       // reception time, "Long Time"
        EvtNo,      // event number "000000", or the engine's word
        PnlCnt,     // module clock "0000000", or "SYNCHRO"
        Id,         // event ID as 8 hexadecimal digits, or stars
        Origin,     // "SYSTEM" or the module and channel designation
        Kind,
        State,      // the event word
        Common,     // library text of the channel, user name or stars
        Specific,   // screen text of the channel, level or stars
    };

    TraceRecord() : FixedRecord(Length) {}

    static int position(Field f);
    static int width(Field f);

    void set(Field f, const QString& value) { setField(position(f), width(f), value); }
    QString get(Field f) const { return field(position(f), width(f)); }
    // The field filled with stars.
    void setStars(Field f) { set(f, QString(width(f), QLatin1Char('*'))); }
};
