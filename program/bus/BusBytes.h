#pragma once
// The byte and word helpers of the frames: the one place that reaches the
// function library's HexFunctions.

#include <QtGlobal>

namespace BusBytes {

// High and low byte of a 16-bit value.
quint8 hiByte(qint32 word);
quint8 loByte(qint32 word);
// The signed 16-bit value of two bytes.
qint16 makeInt(quint8 lsb, quint8 msb);

} // namespace BusBytes
