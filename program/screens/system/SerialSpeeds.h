#pragma once
// The line speeds a settings screen offers for a serial port, the bus's and
// the printer's alike, as the value picker's list.

#include <QString>

namespace SerialSpeeds {

inline const QString Picker = QStringLiteral("@|1200|2400|4800|9600|19200");

} // namespace SerialSpeeds
