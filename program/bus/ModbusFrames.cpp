#include "program/bus/ModbusFrames.h"

#include "platform/SerialPort.h"
#include "program/bus/BusBytes.h"
#include "program/bus/BusConstants.h"

#include <cmath>

namespace ModbusFrames {

namespace {

void appendWord(QByteArray& frame, qint32 value)
{
    // Only the low 16 bits travel.
    const qint32 word = qint16(value & 0xFFFF);
    frame.append(char(BusBytes::hiByte(word)));
    frame.append(char(BusBytes::loByte(word)));
}

quint8 byteAt(const QByteArray& bytes, int i) { return quint8(bytes[i]); }

bool crcMatches(const QByteArray& reply)
{
    const int n = int(reply.size());
    if (n < 3)
        return false;
    const quint16 crc = crc16(reply, n - 2);
    return byteAt(reply, n - 2) == (crc & 0xFF) && byteAt(reply, n - 1) == (crc >> 8);
}

} // namespace

quint16 crc16(const QByteArray& bytes, int count)
{
    if (count > bytes.size())
        count = int(bytes.size());
    quint16 crc = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        crc ^= quint8(bytes[i]);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

void appendCrc(QByteArray& frame)
{
    const quint16 crc = crc16(frame, int(frame.size()));
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
}

QByteArray readRequest(quint8 slave, qint32 firstRegister, int count)
{
    QByteArray f;
    f.append(char(slave));
    f.append(char(Bus::FnReadHoldingRegisters));
    appendWord(f, firstRegister);
    appendWord(f, count);
    appendCrc(f);
    return f;
}

QByteArray writeSingleRequest(quint8 slave, qint32 reg, qint16 value)
{
    QByteArray f;
    f.append(char(slave));
    f.append(char(Bus::FnWriteSingleRegister));
    appendWord(f, reg);
    appendWord(f, value);
    appendCrc(f);
    return f;
}

QByteArray writeMultipleRequest(quint8 slave, qint32 firstRegister, const QVector<qint16>& values)
{
    QByteArray f;
    f.append(char(slave));
    f.append(char(Bus::FnWriteMultipleRegisters));
    appendWord(f, firstRegister);
    appendWord(f, int(values.size()));
    f.append(char(quint8(2 * values.size())));
    for (qint16 v : values)
        appendWord(f, v);
    appendCrc(f);
    return f;
}

const char* replyName(Reply r)
{
    switch (r) {
    case Reply::Ok: return "Ok";
    case Reply::WrongLength: return "WrongLength";
    case Reply::WrongSlave: return "WrongSlave";
    case Reply::WrongFunction: return "WrongFunction";
    case Reply::BadCrc: return "BadCrc";
    }
    return "?";
}

Reply checkReadReply(const QByteArray& reply, quint8 slave, int count)
{
    if (reply.size() != readReplyLength(count))
        return Reply::WrongLength;
    if (!crcMatches(reply))
        return Reply::BadCrc;
    if (byteAt(reply, 1) != Bus::FnReadHoldingRegisters)
        return Reply::WrongFunction;
    if (byteAt(reply, 0) != slave)
        return Reply::WrongSlave;
    return Reply::Ok;
}

Reply checkWriteReply(const QByteArray& reply, quint8 slave, quint8 function)
{
    if (reply.size() != WriteReplyLength)
        return Reply::WrongLength;
    // A garbled write reply is no proof that the module took the value.
    if (!crcMatches(reply))
        return Reply::BadCrc;
    if (byteAt(reply, 1) != function)
        return Reply::WrongFunction;
    if (byteAt(reply, 0) != slave)
        return Reply::WrongSlave;
    return Reply::Ok;
}

void dropStale(QByteArray& in, quint8 slave, quint8 function, int expected, bool& stale)
{
    const quint8 exception = function | Bus::ExceptionBit;
    while (!in.isEmpty()) {
        const bool wrongSlave = byteAt(in, 0) != slave;
        const bool wrongFunction = in.size() >= 2 && byteAt(in, 1) != function && byteAt(in, 1) != exception;
        const bool falseStart = stale && expected > 0 && in.size() >= expected && !crcMatches(in.left(expected));
        if (!wrongSlave && !wrongFunction && !falseStart)
            break;
        in.remove(0, 1);
        stale = true;
    }
}

QVector<qint16> replyWords(const QByteArray& reply, int count)
{
    QVector<qint16> words(count);
    for (int i = 0; i < count; ++i)
        words[i] = BusBytes::makeInt(byteAt(reply, 4 + 2 * i), byteAt(reply, 3 + 2 * i));
    return words;
}

int lineSpeed(const QString& settings)
{
    int speed = 0;
    for (QChar c : settings.trimmed()) {
        if (!c.isDigit())
            break;
        speed = speed * 10 + c.digitValue();
        if (speed > 10000000)
            break;
    }
    return speed;
}

double bitsPerCharacter(const QString& settings)
{
    plat::LineSettings s;
    if (plat::LineSettings::parse(settings, s))
        return s.bitsPerCharacter();
    return 10;
}

qint64 lineTimeMs(int characters, const QString& settings)
{
    const int speed = lineSpeed(settings);
    if (speed <= 0 || characters <= 0)
        return 0;
    return qint64(std::ceil(characters * bitsPerCharacter(settings) * 1000.0 / speed));
}

qint64 readReplyTimeoutMs(int count, const QString& settings)
{
    return Bus::ReadReplyTimeoutMs + lineTimeMs(readReplyLength(count), settings);
}

qint64 writeReplyTimeoutMs(const QString& settings)
{
    return Bus::WriteReplyTimeoutMs + lineTimeMs(WriteReplyLength, settings);
}

} // namespace ModbusFrames
