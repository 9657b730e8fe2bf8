#include "tools/modsim/RtuFrame.h"

#include "tools/modsim/SimConstants.h"

namespace modsim {

std::uint16_t crc16(const char* data, int count)
{
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        crc ^= static_cast<std::uint8_t>(data[i]);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::uint16_t crc16(const QByteArray& bytes)
{
    return crc16(bytes.constData(), static_cast<int>(bytes.size()));
}

void appendCrc(QByteArray& frame)
{
    const std::uint16_t crc = crc16(frame);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
}

bool crcValid(const QByteArray& frame)
{
    const int n = static_cast<int>(frame.size());
    if (n < 3)
        return false;
    const std::uint16_t crc = crc16(frame.constData(), n - 2);
    return static_cast<std::uint8_t>(frame[n - 2]) == (crc & 0xFF)
        && static_cast<std::uint8_t>(frame[n - 1]) == (crc >> 8);
}

void fixCrc(QByteArray& frame)
{
    frame.chop(2);
    appendCrc(frame);
}

std::uint16_t word(const QByteArray& bytes, int at)
{
    return static_cast<std::uint16_t>((static_cast<std::uint8_t>(bytes[at]) << 8) | static_cast<std::uint8_t>(bytes[at + 1]));
}

void appendWord(QByteArray& bytes, std::uint16_t value)
{
    bytes.append(static_cast<char>(value >> 8));
    bytes.append(static_cast<char>(value & 0xFF));
}

int requestLength(const QByteArray& partial)
{
    if (partial.size() < 2)
        return 0;
    switch (static_cast<std::uint8_t>(partial[1])) {
    case fn::ReadHolding:
    case fn::WriteSingle:
        return 8;
    case fn::WriteMultiple:
        if (partial.size() < 7)
            return 0;
        return 9 + static_cast<std::uint8_t>(partial[6]);
    default:
        return -1;
    }
}

QByteArray readRequest(int slave, int first, int count)
{
    QByteArray f;
    f.append(static_cast<char>(slave));
    f.append(static_cast<char>(fn::ReadHolding));
    appendWord(f, static_cast<std::uint16_t>(first));
    appendWord(f, static_cast<std::uint16_t>(count));
    appendCrc(f);
    return f;
}

QByteArray writeSingleRequest(int slave, int reg, std::uint16_t value)
{
    QByteArray f;
    f.append(static_cast<char>(slave));
    f.append(static_cast<char>(fn::WriteSingle));
    appendWord(f, static_cast<std::uint16_t>(reg));
    appendWord(f, value);
    appendCrc(f);
    return f;
}

QByteArray writeMultipleRequest(int slave, int first, const std::vector<std::uint16_t>& values)
{
    QByteArray f;
    f.append(static_cast<char>(slave));
    f.append(static_cast<char>(fn::WriteMultiple));
    appendWord(f, static_cast<std::uint16_t>(first));
    appendWord(f, static_cast<std::uint16_t>(values.size()));
    f.append(static_cast<char>(2 * values.size()));
    for (std::uint16_t v : values)
        appendWord(f, v);
    appendCrc(f);
    return f;
}

QByteArray readReply(int slave, const std::vector<std::uint16_t>& values)
{
    QByteArray f;
    f.append(static_cast<char>(slave));
    f.append(static_cast<char>(fn::ReadHolding));
    f.append(static_cast<char>(2 * values.size()));
    for (std::uint16_t v : values)
        appendWord(f, v);
    appendCrc(f);
    return f;
}

QByteArray exceptionReply(int slave, int function, int code)
{
    QByteArray f;
    f.append(static_cast<char>(slave));
    f.append(static_cast<char>(function | 0x80));
    f.append(static_cast<char>(code));
    appendCrc(f);
    return f;
}

} // namespace modsim
