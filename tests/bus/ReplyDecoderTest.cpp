// The reply decoder on its own, without a port: what the words of each
// model's replies become.

#include "program/bus/BusConstants.h"
#include "program/bus/ReplyDecoder.h"

#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <gtest/gtest.h>

using testing_support::errorOf;

TEST(ReplyDecoder, EachModelIsPolledAtItsRegisters)
{
    struct Case {
        int model;
        bool polled;
        int reg, words;
    } cases[] = {
        {0, false, 0, 0},
        {1, true, Bus::RegEventCount, 1},
        {2, true, Bus::RegStatus, 1},
        {3, true, Bus::RegEventCount, 1},
        {4, true, Bus::RegChannelState, 12},
        {5, true, Bus::RegChannelState, 12},
        {6, false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto read = ReplyDecoder::pollRead(c.model);
        ASSERT_EQ(read.has_value(), c.polled) << c.model;
        if (read) {
            EXPECT_EQ(read->reg, c.reg) << c.model;
            EXPECT_EQ(read->words, c.words) << c.model;
        }
    }
}

TEST(ReplyDecoder, TheCountIsTheLowByteAtMostOneBufferRead)
{
    struct Case {
        quint16 word;
        int count;
    } cases[] = {{0x0000, 0}, {0x0005, 5}, {0x1205, 5}, {0x7F00, 0}, {0x003E, 62}, {0x003F, 62}, {0xFFFF, 62}};
    for (const Case& c : cases)
        EXPECT_EQ(ReplyDecoder::bufferCount({qint16(c.word)}), c.count) << std::hex << c.word;
    EXPECT_EQ(errorOf([] { ReplyDecoder::bufferCount({}); }), plat::rt::SubscriptOutOfRange);
}

TEST(ReplyDecoder, BufferEntriesTableOfWords)
{
    struct Case {
        const char* what;
        quint16 first, second;
        bool horn;
        int chnl, param, aff;
        qint32 clock;
    } cases[] = {
        {"a channel event", 0x2110, 0x0000, false, 2, 1, 1, 0},
        {"the module itself (nibble 15), 20-bit clock", 0xF023, 0xFFFF, false, 0, 0, 2, 262143},
        {"code 5 is taken as 0", 0x3150, 0x0001, false, 3, 1, 0, 1},
        {"horn acknowledged at the module", 0x0010, 0x1234, true, 0, 0, 0, 0},
        {"horn acknowledged, nibble 15", 0xF713, 0x0000, true, 0, 0, 0, 0},
        {"every field at its top", 0xEFFF, 0xFFFF, false, 14, 15, 15, 0xFFFFF},
        {"channel 0 with another code", 0x0030, 0x0007, false, 0, 0, 3, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplyDecoder::BufferEntry e = ReplyDecoder::bufferEntry(c.first, c.second);
        EXPECT_EQ(e.hornAcknowledged, c.horn);
        if (c.horn)
            continue;
        EXPECT_EQ(e.event.Chnl(), c.chnl);
        EXPECT_EQ(e.event.Param(), c.param);
        EXPECT_EQ(e.event.Aff(), c.aff);
        EXPECT_EQ(e.event.Clock(), c.clock);
    }
    // Two words an entry; a last odd word is no entry.
    const auto entries = ReplyDecoder::bufferEntries({qint16(0x2110), 0, qint16(0x3150), 1, 7});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].event.Chnl(), 3);
}

TEST(ReplyDecoder, ANonZeroStatusWordIsOneModuleWideEvent)
{
    for (qint16 word : {qint16(1), qint16(0x0100), qint16(-32768), qint16(-1)}) {
        const auto ev = ReplyDecoder::statusEvent({word});
        ASSERT_TRUE(ev.has_value()) << word;
        EXPECT_EQ(ev->Chnl(), EventClass::ChnlModuleWide);
        EXPECT_EQ(ev->Param(), 0);
        EXPECT_EQ(ev->Aff(), 2);
        EXPECT_EQ(ev->Clock(), 0);
    }
    EXPECT_FALSE(ReplyDecoder::statusEvent({0}).has_value());
    EXPECT_EQ(errorOf([] { ReplyDecoder::statusEvent({}); }), plat::rt::SubscriptOutOfRange);
}

TEST(ReplyDecoder, OnlyTheChannelsWhoseStateChangedGiveEvents)
{
    const QVector<qint16> known{0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    const auto changes = ReplyDecoder::stateChanges({0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 9}, known);
    ASSERT_EQ(changes.size(), 3u);
    const int channels[] = {3, 7, 12};
    const int states[] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(changes[i].Chnl(), channels[i]);
        EXPECT_EQ(changes[i].Aff(), states[i]);
        EXPECT_EQ(changes[i].Param(), 0);
    }
    EXPECT_TRUE(ReplyDecoder::stateChanges(known, known).empty());
    EXPECT_EQ(errorOf([&] { ReplyDecoder::stateChanges(known.mid(1), known); }), plat::rt::SubscriptOutOfRange);
}
