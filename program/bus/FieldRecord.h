#pragma once
// A fixed-width record whose fields are named: Record declares the enumeration
// of its fields, its Length and a table kLayout of one Slot (position, width)
// per field, in the enumeration's order.
//
//     class TraceRecord : public FieldRecord<TraceRecord> { ... };

#include "program/bus/FixedRecord.h"

struct FieldSlot {
    int pos;
    int width;
};

template <typename Record>
class FieldRecord : public FixedRecord {
public:
    FieldRecord() : FixedRecord(Record::Length) {}

    template <typename Field>
    static int position(Field f)
    {
        return Record::kLayout[f].pos;
    }
    template <typename Field>
    static int width(Field f)
    {
        return Record::kLayout[f].width;
    }

    template <typename Field>
    void set(Field f, const QString& value)
    {
        setField(position(f), width(f), value);
    }
    template <typename Field>
    QString get(Field f) const
    {
        return field(position(f), width(f));
    }
    // The field filled with stars.
    template <typename Field>
    void setStars(Field f)
    {
        set(f, QString(width(f), QLatin1Char('*')));
    }
};
