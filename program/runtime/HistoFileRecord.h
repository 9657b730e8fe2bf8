#pragma once
// One line of a history file: 138 characters, the fields of a history entry
// in file order. The first line of every file is the title record.

#include "program/bus/FieldRecord.h"

class HistoFileRecord : public FieldRecord<HistoFileRecord> {
public:
    static constexpr int Length = 138;

    enum Field {
        Date,       // "Short Date"
        Time,       // "Long Time"
        Num,        // event number, six digits
        PnlCnt,
        Origin,
        Parameter,
        Display,
        Common,
        Specific,
    };

    static constexpr FieldSlot kLayout[] = {
        {0, 10},   // Date
        {11, 8},   // Time
        {20, 6},   // Num
        {27, 7},   // PnlCnt
        {35, 7},   // Origin
        {43, 11},  // Parameter
        {55, 15},  // Display
        {71, 26},  // Common
        {98, 40},  // Specific
    };

    // The title record: each field's title left-aligned in it; two-word titles
    // are held together by a no-break space, so that each reads as one word.
    static QString Title();
};
