#pragma once
// Modbus RTU framing as the panel speaks it, apart from any port or clock:
// build a request, know the length of its reply, check a reply, take the
// words out of it, and the line time that the waits allow for. Every 16-bit
// field travels high byte first; the CRC travels low byte first.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace ModbusFrames {

// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final XOR)
// of the first count bytes; count is clamped to the array.
quint16 crc16(const QByteArray& bytes, int count);
// Appends the CRC of the whole frame, low byte first.
void appendCrc(QByteArray& frame);

// Requests. Register addresses are sent as their low 16 bits.
QByteArray readRequest(quint8 slave, qint32 firstRegister, int count);                    // function 3
QByteArray writeSingleRequest(quint8 slave, qint32 reg, qint16 value);                    // function 6
QByteArray writeMultipleRequest(quint8 slave, qint32 firstRegister, const QVector<qint16>& values); // 16

constexpr int readReplyLength(int count) { return 5 + 2 * count; }
constexpr int WriteReplyLength = 8;

enum class Reply { Ok, WrongLength, WrongSlave, WrongFunction, BadCrc };
const char* replyName(Reply r);

// A read reply: exactly 5 + 2 × count bytes, the slave asked, function 3 and a
// good CRC. The byte-count field is not looked at.
Reply checkReadReply(const QByteArray& reply, quint8 slave, int count);
// A write reply: exactly 8 bytes, the slave asked, the function sent and a good
// CRC. The echoed register and value are not looked at.
Reply checkWriteReply(const QByteArray& reply, quint8 slave, quint8 function);
// Drops from the front of what came in for a request to slave with function
// every byte that cannot begin its reply: while byte 0 is not slave, or byte 1
// is neither function nor function with bit 7 set (an exception reply). A
// reply late for an earlier request, to this slave or another, goes this way
// instead of failing this one. Once a byte has gone (stale, set here and kept
// by the caller through one wait) the bytes no longer start on a frame: a
// whole reply's length whose CRC fails is a false start in stale data, and its
// first byte goes too.
void dropStale(QByteArray& in, quint8 slave, quint8 function, int expected, bool& stale);
// The signed words of a read reply that passed its check.
QVector<qint16> replyWords(const QByteArray& reply, int count);

// Line timing from a settings text ("9600,N,8,1"): the speed is its leading
// number; a character is start, data, parity and stop bits (10 when the text
// says no more than the speed).
int lineSpeed(const QString& settings);
double bitsPerCharacter(const QString& settings);
// Milliseconds that characters take on the line, rounded up.
qint64 lineTimeMs(int characters, const QString& settings);
// How long to wait for a reply once the request has left the line.
qint64 readReplyTimeoutMs(int count, const QString& settings);
qint64 writeReplyTimeoutMs(const QString& settings);

} // namespace ModbusFrames
