#include "platform/Cp1252.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(Cp1252, RoundTripsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(Cp1252::encode(Cp1252::decode(all)), all);
    // A whole text decodes as its characters one by one.
    const QString text = Cp1252::decode(all);
    ASSERT_EQ(text.size(), all.size());
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(text[b], Cp1252::decodeChar(static_cast<unsigned char>(b))) << b;
}

TEST(Cp1252, MapsTheWesternSpecials)
{
    struct Case { char16_t unicode; unsigned char byte; };
    const Case cases[] = {{0x20AC, 0x80}, {0x0152, 0x8C}, {0x0178, 0x9F}, {0x00E9, 0xE9}, {0x00C9, 0xC9}, {'A', 0x41}};
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<unsigned char>(Cp1252::encodeChar(QChar(c.unicode))), c.byte) << int(c.unicode);
        EXPECT_EQ(Cp1252::decodeChar(c.byte).unicode(), c.unicode);
    }
}

TEST(Cp1252, WritesUnmappableCharactersAsQuestionMarks)
{
    EXPECT_EQ(Cp1252::encode(QString::fromUtf8("a\u4E2Db")), QByteArray("a?b"));
    EXPECT_FALSE(Cp1252::canEncode(QChar(0x4E2D)));
}
