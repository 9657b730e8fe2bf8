#include "program/bus/BusBytes.h"

#include "program/core/Components.h"

namespace BusBytes {

quint8 hiByte(qint32 word) { return Components::HexFunctions().HiByte(word); }
quint8 loByte(qint32 word) { return Components::HexFunctions().LoByte(word); }
qint16 makeInt(quint8 lsb, quint8 msb) { return Components::HexFunctions().MakeInt(lsb, msb); }

} // namespace BusBytes
