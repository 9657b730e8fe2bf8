#pragma once
// A history entry as the screens show it: 162 characters, two 80-column lines
// (a CR LF at 80 in a live record, two blanks in one read back from a file).

#include "program/bus/FieldRecord.h"

class HistoScreenRecord : public FieldRecord<HistoScreenRecord> {
public:
    static constexpr int Length = 162;
    static constexpr int LineBreakPos = 80;

    enum Field {
        Num,        // event number "0000000" (read back: six digits and a blank)
        Display,
        Parameter,
        Origin,
        Date,       // "Short Date"
        Time,       // "Long Time"
        PnlCnt,     // module clock, "SYNCHRO" or stars
        Common,
        Specific,
    };

    static constexpr FieldSlot kLayout[] = {
        {0, 7},     // Num
        {11, 15},   // Display
        {27, 11},   // Parameter
        {39, 7},    // Origin
        {53, 10},   // Date
        {69, 8},    // Time
        {82, 7},    // PnlCnt
        {93, 26},   // Common
        {121, 40},  // Specific
    };
};
