#pragma once
// The bus master's transactions: each routine sends one Modbus RTU frame on
// the serial control it is given, waits for the reply without yielding, checks
// it and returns a plain success flag. They keep no state and never retry.
//
// A run-time error inside a routine (port closed, a bad argument) is reported
// to the central error handler under "CommFunctions.<routine>" and the routine
// fails. A port whose device has gone fails every transaction at once and
// quietly: the port's owner (the engine) tells the loss once.
//
// One thread, no lock: an exchange begun on a port while another is under way
// on it (from code the first one's wait ran) is refused as a reported error
// (68) and fails; the first goes on. The direct reads of the technician
// screens touch nothing of the engine's (round robin, counters, presence,
// next poll): only the polling tick charges a module.

#include "platform/Clock.h"
#include "platform/SerialControl.h"

#include <QByteArray>
#include <QVector>

#include <functional>

namespace CommFunctions {

// CRC-16/MODBUS of the first count bytes. count must leave room for the two CRC
// bytes (count <= size - 2); otherwise the error is reported and 0 returned.
quint16 CRC16(const QByteArray& bytes, int count);

// Function 3: reads words.size() registers from firstRegister into words.
// words keeps its contents when the read fails.
bool LitMots(plat::SerialControl& port, quint8 slave, qint32 firstRegister, QVector<qint16>& words);
// Function 16: writes 1..127 values from firstRegister. Slave 0 is a broadcast:
// true once the frame has left the line, no reply awaited.
bool EcritMots(plat::SerialControl& port, quint8 slave, qint32 firstRegister, const QVector<qint16>& values);
// Function 6: writes one register; slave 0 as for EcritMots.
bool EcritUnMot(plat::SerialControl& port, quint8 slave, qint32 reg, qint16 value);
// The model a module reports: 1, 2, 3 or 5; 0 when nothing answers. A
// buffer module takes a second frame: mayGoOn, when given, is asked before
// it, and false gives up there with 0.
qint16 GetModuleType(plat::SerialControl& port, quint8 slave, const std::function<bool()>& mayGoOn = {});

// The clock that the pause before each frame and the reply deadlines run on;
// nullptr restores the real monotonic clock.
void setClock(plat::Clock* clock);
plat::Clock& clock();

} // namespace CommFunctions
