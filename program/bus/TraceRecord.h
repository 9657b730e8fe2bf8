#pragma once
// The 132-character line of the daily trace log. Event lines fill it from the
// event; the engine's own lines (port re-initialisation, synchronisation) put
// their words in the same fields, so that the log reads as one table.

#include "platform/DateTime.h"
#include "program/bus/FieldRecord.h"

class TraceRecord : public FieldRecord<TraceRecord> {
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

    // One blank between fields.
    static constexpr FieldSlot kLayout[] = {
        {0, 10},   // Date
        {11, 8},   // Time
        {20, 6},   // EvtNo
        {27, 7},   // PnlCnt
        {35, 8},   // Id
        {44, 7},   // Origin
        {52, 6},   // Kind
        {59, 6},   // State
        {66, 26},  // Common
        {93, 39},  // Specific
    };

    // A line of the station's own, not of an event: its word where the event
    // number stands, stars for the id, "SYSTEM" as the origin.
    static TraceRecord stationLine(const plat::DateTime& at, const QString& word, const QString& kind,
                                   const QString& state)
    {
        TraceRecord r;
        r.set(Date, plat::formatShortDate(at));
        r.set(Time, plat::formatLongTime(at));
        r.set(EvtNo, word);
        r.setStars(Id);
        r.set(Origin, QStringLiteral("SYSTEM"));
        r.set(Kind, kind);
        r.set(State, state);
        return r;
    }

    // A line of the engine about the bus itself ("REINIT", "SYNCHR"): the
    // word in the number and state fields, stars for both texts.
    static TraceRecord commLine(const plat::DateTime& at, const QString& word)
    {
        TraceRecord r = stationLine(at, word, QStringLiteral("COMM"), word);
        r.setStars(Common);
        r.setStars(Specific);
        return r;
    }
};
