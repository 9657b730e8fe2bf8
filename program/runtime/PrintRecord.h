#pragma once
// The printed line of an event: 130 characters, after the printer's control
// prefix. The event number is right-aligned, unlike the history's.

#include "program/bus/FieldRecord.h"

class PrintRecord : public FieldRecord<PrintRecord> {
public:
    static constexpr int Length = 130;

    enum Field {
        Date,       // "Short Date"
        Time,       // "Long Time"
        Num,        // event number, blank-padded on the left
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
        {27, 7},   // Origin
        {35, 11},  // Parameter
        {47, 15},  // Display
        {63, 26},  // Common
        {90, 40},  // Specific
    };
};
