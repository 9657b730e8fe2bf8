#pragma once
// Modbus RTU framing as pure functions over bytes: the CRC, building the
// replies a slave sends, and building requests (for the tests and tools that
// play the master). The simulator keeps its own copy of the CRC so that it
// stays an independent peer of the panel's code.

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace modsim {

// CRC-16/MODBUS (reflected 0xA001, initial 0xFFFF, no final XOR).
std::uint16_t crc16(const char* data, int count);
std::uint16_t crc16(const QByteArray& bytes);

// Appends the CRC of the whole array, low byte first.
void appendCrc(QByteArray& frame);
// True when the last two bytes are the CRC (low, high) of the bytes before them.
bool crcValid(const QByteArray& frame);
// Replaces the last two bytes by the CRC of the bytes before them.
void fixCrc(QByteArray& frame);

// Reads a 16-bit big-endian field.
std::uint16_t word(const QByteArray& bytes, int at);
void appendWord(QByteArray& bytes, std::uint16_t value);

// The length a request of this function has, from what has arrived so far:
// 0 while more bytes are needed to tell, -1 when the function is unknown.
int requestLength(const QByteArray& partial);

QByteArray readRequest(int slave, int first, int count);
QByteArray writeSingleRequest(int slave, int reg, std::uint16_t value);
QByteArray writeMultipleRequest(int slave, int first, const std::vector<std::uint16_t>& values);

QByteArray readReply(int slave, const std::vector<std::uint16_t>& values);
QByteArray exceptionReply(int slave, int function, int code);

} // namespace modsim
