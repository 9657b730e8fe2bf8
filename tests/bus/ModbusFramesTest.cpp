// Frames and CRC as pure functions over bytes: no port, no clock.

#include "program/bus/BusConstants.h"
#include "program/bus/ModbusFrames.h"

#include <gtest/gtest.h>

using namespace ModbusFrames;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

QByteArray withCrc(const char* text)
{
    QByteArray f = hex(text);
    appendCrc(f);
    return f;
}

} // namespace

TEST(ModbusFrames, CrcCheckValue)
{
    EXPECT_EQ(crc16("123456789", 9), 0x4B37);
    EXPECT_EQ(crc16(QByteArray(), 0), 0xFFFF);
}

TEST(ModbusFrames, RequestsMatchKnownFramesByteForByte)
{
    struct Case {
        const char* name;
        QByteArray built;
        const char* expected;
    } cases[] = {
        {"read event count of module 1", readRequest(1, Bus::RegEventCount, 1), "01 03 00 90 00 01 84 27"},
        {"acknowledge module 5", writeSingleRequest(5, Bus::RegModuleCommand, 2), "05 06 00 43 00 02 F8 5B"},
        {"broadcast counter reset", writeSingleRequest(0, Bus::RegCounterReset, 0), "00 06 01 21 00 00 D9 ED"},
        {"packed states of module 7", writeMultipleRequest(7, Bus::RegPackedStates, {1, 0, 0, 0, 0}),
         "07 10 00 19 00 05 0A 00 01 00 00 00 00 00 00 00 00 F7 10"},
        {"type query of module 1", readRequest(1, Bus::RegModuleType, 1), "01 03 00 84 00 01 C4 23"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.built.toHex(' '), hex(c.expected).toHex(' ')) << c.name;
}

TEST(ModbusFrames, FieldsTravelHighByteFirstAsLow16Bits)
{
    // A negative value and an address beyond 16 bits both send their low 16 bits.
    EXPECT_EQ(writeSingleRequest(3, 0x12345, -2).left(6), hex("03 06 23 45 FF FE"));
    EXPECT_EQ(readRequest(9, 146, 124).left(6), hex("09 03 00 92 00 7C"));
    const QByteArray multi = writeMultipleRequest(2, 17, {0x1234, -1});
    EXPECT_EQ(multi.size(), 9 + 2 * 2);
    EXPECT_EQ(multi.left(11), hex("02 10 00 11 00 02 04 12 34 FF FF"));
}

TEST(ModbusFrames, ReadReplyCheckAndWords)
{
    const QByteArray good = hex("01 03 02 00 03 F8 45");
    EXPECT_EQ(good, withCrc("01 03 02 00 03"));
    EXPECT_EQ(checkReadReply(good, 1, 1), Reply::Ok);
    EXPECT_EQ(replyWords(good, 1), QVector<qint16>({3}));

    struct Case {
        const char* name;
        QByteArray reply;
        Reply expected;
    } cases[] = {
        {"byte count field is not looked at", withCrc("01 03 09 00 03"), Reply::Ok},
        {"one byte more, even with a good CRC", withCrc("01 03 02 00 03 00"), Reply::WrongLength},
        {"one byte less", hex("01 03 02 00 03 F8"), Reply::WrongLength},
        {"another slave", withCrc("02 03 02 00 03"), Reply::WrongSlave},
        {"another function", withCrc("01 04 02 00 03"), Reply::WrongFunction},
        {"bad CRC", hex("01 03 02 00 03 F8 46"), Reply::BadCrc},
        {"exception reply", withCrc("01 83 02"), Reply::WrongLength},
        {"nothing", QByteArray(), Reply::WrongLength},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replyName(checkReadReply(c.reply, 1, 1)), replyName(c.expected)) << c.name;

    const QByteArray words = withCrc("05 03 04 80 00 7F FF");
    ASSERT_EQ(checkReadReply(words, 5, 2), Reply::Ok);
    EXPECT_EQ(replyWords(words, 2), QVector<qint16>({-32768, 32767}));
}

TEST(ModbusFrames, WriteReplyCheck)
{
    struct Case {
        const char* name;
        QByteArray reply;
        quint8 function;
        Reply expected;
    } cases[] = {
        {"echo of a single write", hex("05 06 00 43 00 02 F8 5B"), 6, Reply::Ok},
        {"echo with another value still counts", withCrc("05 06 00 43 00 07"), 6, Reply::Ok},
        {"multiple write reply", withCrc("05 10 00 19 00 05"), 16, Reply::Ok},
        {"garbled reply", hex("05 06 00 43 00 02 F8 5C"), 6, Reply::BadCrc},
        {"another slave", withCrc("04 06 00 43 00 02"), 6, Reply::WrongSlave},
        {"another function", withCrc("05 10 00 43 00 02"), 6, Reply::WrongFunction},
        {"one byte more", withCrc("05 06 00 43 00 02 00"), 6, Reply::WrongLength},
        {"exception reply", withCrc("05 86 02"), 6, Reply::WrongLength},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replyName(checkWriteReply(c.reply, 5, c.function)), replyName(c.expected)) << c.name;
}

TEST(ModbusFrames, ReplyTimeoutsAllowForTheLineTimeOfTheReply)
{
    // 7 characters of 10 bits at 9600 baud: 7.3 ms, rounded up.
    EXPECT_EQ(lineTimeMs(7, "9600,N,8,1"), 8);
    EXPECT_EQ(readReplyTimeoutMs(1, "9600,N,8,1"), 1008);
    EXPECT_EQ(writeReplyTimeoutMs("9600,N,8,1"), 500 + 9);
    // A full event buffer at 1200 baud, 8N2: 253 characters of 11 bits take 2319.2 ms.
    EXPECT_EQ(readReplyTimeoutMs(2 * Bus::MaxEventsPerRead, "1200,N,8,2"), 1000 + 2320);
    EXPECT_DOUBLE_EQ(bitsPerCharacter("9600,E,8,1"), 11);
    EXPECT_DOUBLE_EQ(bitsPerCharacter("19200,N,7,1.5"), 9.5);
    // Only the speed known: 10 bits a character; no speed: no line time.
    EXPECT_EQ(lineSpeed("4800"), 4800);
    EXPECT_EQ(lineTimeMs(48, "4800"), 100);
    EXPECT_EQ(lineTimeMs(48, ""), 0);
}
