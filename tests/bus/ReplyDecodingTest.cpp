// ExploitePanneau: what the words of one poll read become, for every model,
// with the module's event buffer behind it in the simulator.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"

#include "platform/Values.h"

using namespace pollingtest;

namespace {

class ReplyDecoding : public PollingFixture {
protected:
    void SetUp() override
    {
        PollingFixture::SetUp();
        engine->Load();
        events.clear();
        takePolledAddresses();
    }

    void decode(int module, std::initializer_list<qint16> words)
    {
        engine->ExploitePanneau(panel(module), QVector<qint16>(words));
    }

    // The sizes of the buffer reads sent to the module.
    std::vector<int> bufferReads(int module) const
    {
        std::vector<int> out;
        for (const QByteArray& f : port.sentFrames())
            if (f.size() == 8 && quint8(f[0]) == module && f[1] == char(3)
                && ((quint8(f[2]) << 8) | quint8(f[3])) == Bus::RegEventBuffer)
                out.push_back((quint8(f[4]) << 8) | quint8(f[5]));
        return out;
    }
};

} // namespace

TEST_F(ReplyDecoding, BufferEntriesBecomeEventsInOrder)
{
    configure(1, 1);
    struct Entry {
        std::uint16_t first, second;
        bool event;
        int chnl, param, aff;
        qint32 clock;
    } entries[] = {
        {0xF023, 0xFFFF, true, 0, 0, 2, 262143},    // channel nibble 15: module-wide; 20-bit clock
        {0x3150, 0x0001, true, 3, 1, 0, 1},         // code 5 is taken as 0
        {0x0010, 0x0000, false, 0, 0, 0, 0},        // horn acknowledged at the module
        {0x1A4F, 0x1234, true, 1, 10, 4, 0xF1234},
        {0x0030, 0x0007, true, 0, 0, 3, 7},         // channel nibble 0 with another code
    };
    for (const Entry& e : entries)
        sim.module(1)->pushEntry({e.first, e.second});
    const qint32 before = engine->dispatcher().LastEvent();
    decode(1, {qint16(0x1205)});   // high byte of the count word is not the count
    EXPECT_EQ(bufferReads(1), std::vector<int>{10});
    std::vector<EventClass> got = events;
    size_t k = 0;
    for (const Entry& e : entries) {
        if (!e.event)
            continue;
        ASSERT_LT(k, got.size());
        const EventClass& ev = got[k++];
        EXPECT_EQ(ev.Panel(), 1);
        EXPECT_EQ(ev.Chnl(), e.chnl);
        EXPECT_EQ(ev.Param(), e.param);
        EXPECT_EQ(ev.Aff(), e.aff);
        EXPECT_EQ(ev.Clock(), e.clock);
        EXPECT_EQ(ev.Num(), before + qint32(k)) << "the horn entry takes no number";
    }
    EXPECT_EQ(k, got.size());
    EXPECT_EQ(horn.levels, std::vector<int>{-1});
    ASSERT_EQ(engine->commands().Count(), 1);
    EXPECT_EQ(engine->commands().Item(1)->Value(0), 5) << "every entry taken is acknowledged";
    EXPECT_EQ(engine->commands().Item(1)->SendTime(), plat::DateTime());
}

TEST_F(ReplyDecoding, CountByteDecidesHowManyEntriesAreRead)
{
    configure(1, 3);
    for (int i = 0; i < 70; ++i)
        sim.raiseEvent(1, 1, i % 2, 0, std::uint32_t(i));
    decode(1, {qint16(0x7F00)});   // count byte 0
    EXPECT_TRUE(bufferReads(1).empty());
    EXPECT_EQ(engine->commands().Count(), 0);
    EXPECT_TRUE(events.empty());
    decode(1, {qint16(0x00FF)});
    EXPECT_EQ(bufferReads(1), std::vector<int>{124});
    EXPECT_EQ(events.size(), 62u);
    ASSERT_EQ(engine->commands().Count(), 1);
    EXPECT_EQ(engine->commands().Item(1)->Value(0), 62);
}

TEST_F(ReplyDecoding, FailedBufferReadCountsAnErrorAndAcknowledgesNothing)
{
    configure(1, 1);
    sim.raiseEvent(1, 2, 1, 0, 5u);
    sim.setFault(1, QStringLiteral("fail-next"), 1);
    decode(1, {1});
    EXPECT_EQ(panel(1).ErrCptr(0), 1);
    EXPECT_EQ(panel(1).ErrCptr(1), 1);
    EXPECT_EQ(engine->commands().Count(), 0);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(sim.module(1)->pendingEvents(), 1);
}

TEST_F(ReplyDecoding, StatusWordNonZeroIsOneModuleWideEvent)
{
    configure(2, 2);
    for (qint16 word : {qint16(0), qint16(1), qint16(-32768)}) {
        events.clear();
        decode(2, {word});
        if (word == 0) {
            EXPECT_TRUE(events.empty());
            continue;
        }
        ASSERT_EQ(events.size(), 1u) << word;
        EXPECT_EQ(events[0].Chnl(), 0);
        EXPECT_EQ(events[0].Param(), 0);
        EXPECT_EQ(events[0].Aff(), 2);
        EXPECT_EQ(events[0].Clock(), 0);
    }
    EXPECT_EQ(engine->commands().Count(), 0);
    EXPECT_TRUE(port.sentFrames().empty()) << "a status word needs no further read";
}

TEST_F(ReplyDecoding, StateModelsReportChangedChannelsOnly)
{
    configure(4, 5);
    panel(4).Channel(7)->setState(3);
    decode(4, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    ASSERT_EQ(events.size(), 3u);
    const int channels[] = {3, 7, 12};
    const int codes[] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(events[i].Chnl(), channels[i]);
        EXPECT_EQ(events[i].Aff(), codes[i]);
        EXPECT_EQ(events[i].Param(), 0);
        EXPECT_EQ(events[i].Clock(), plat::CLng(now().serial()));
        EXPECT_EQ(panel(4).Channel(qint16(channels[i]))->State(), codes[i]);
    }
    events.clear();
    decode(4, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    EXPECT_TRUE(events.empty());
}

// A state word is whatever the module holds: one beyond a byte still gives an
// event that names its module and channel, its word kept whole for the lines.
TEST_F(ReplyDecoding, StateWordBeyondAByteStillGivesAValidIdentifier)
{
    configure(4, 4);
    decode(4, {0, 0, 300, 0, 0, 0, 0, 0, 0, 0, 0, -1});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Aff(), 300);
    EXPECT_EQ(events[0].ID(), 0x0403002C);
    EXPECT_EQ(events[1].Aff(), -1);
    EXPECT_EQ(events[1].ID(), 0x040C00FF);
    EXPECT_EQ(panel(4).Channel(3)->State(), 300);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ReplyDecoding, ModulesWithoutAKnownModelMakeNoEvent)
{
    for (int model : {0, 6}) {
        panel(9).setModel(model);
        decode(9, {qint16(0x0003), 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
        EXPECT_TRUE(events.empty()) << model;
        EXPECT_TRUE(port.sentFrames().empty()) << model;
    }
}
