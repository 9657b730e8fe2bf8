#include <algorithm>
// The simulated modules as the panel sees them on the bus: registers of each
// model, the event buffer, writes, broadcast, framing and faults.

#include "SimTestSupport.h"

#include "tools/modsim/SimConstants.h"

#include <gtest/gtest.h>

using modsim::BufferEntry;
using modsim::Fault;
using modsim::FaultKind;
using simtest::Bus;

namespace {

QByteArray bytes(std::initializer_list<int> b)
{
    QByteArray out;
    for (int x : b)
        out.append(char(x));
    return out;
}

} // namespace

TEST(RtuFrame, CrcMatchesThePublishedCheckValue)
{
    EXPECT_EQ(modsim::crc16(QByteArray("123456789")), 0x4B37);
}

TEST(RtuFrame, BuildsTheFramesThePanelAndModulesExchange)
{
    EXPECT_EQ(modsim::readRequest(1, 144, 1), bytes({0x01, 0x03, 0x00, 0x90, 0x00, 0x01, 0x84, 0x27}));
    EXPECT_EQ(modsim::readRequest(1, 132, 1), bytes({0x01, 0x03, 0x00, 0x84, 0x00, 0x01, 0xC4, 0x23}));
    EXPECT_EQ(modsim::writeSingleRequest(5, 67, 2), bytes({0x05, 0x06, 0x00, 0x43, 0x00, 0x02, 0xF8, 0x5B}));
    EXPECT_EQ(modsim::writeSingleRequest(0, 289, 0), bytes({0x00, 0x06, 0x01, 0x21, 0x00, 0x00, 0xD9, 0xED}));
    EXPECT_EQ(modsim::writeMultipleRequest(7, 25, {1, 0, 0, 0, 0}),
              bytes({0x07, 0x10, 0x00, 0x19, 0x00, 0x05, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7, 0x10}));
    EXPECT_EQ(modsim::readReply(1, {3}), bytes({0x01, 0x03, 0x02, 0x00, 0x03, 0xF8, 0x45}));
}

// What each model shows at the registers the panel reads; nothing means an
// exception reply (illegal data address).
struct RegisterCase {
    int model;
    int reg;
    std::optional<int> value;
};

class ModelRegisters : public testing::TestWithParam<RegisterCase> {};

TEST_P(ModelRegisters, AnswerAsTheModelDoes)
{
    const RegisterCase c = GetParam();
    Bus bus;
    ASSERT_TRUE(bus.sim.addModule(9, c.model));
    const QByteArray reply = bus.send(modsim::readRequest(9, c.reg, 1));
    if (c.value) {
        EXPECT_EQ(reply, modsim::readReply(9, {std::uint16_t(*c.value)}));
    } else {
        EXPECT_EQ(bus.exceptionOf(reply, 9, 3), modsim::exc::IllegalDataAddress);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ModelRegisters, testing::Values(
    RegisterCase{1, 132, 1}, RegisterCase{1, 133, 1}, RegisterCase{1, 144, 0}, RegisterCase{1, 12, 0},
    RegisterCase{1, 60, 0}, RegisterCase{1, 13, std::nullopt}, RegisterCase{1, 68, std::nullopt},
    RegisterCase{2, 132, 2}, RegisterCase{2, 133, std::nullopt}, RegisterCase{2, 68, 0}, RegisterCase{2, 24, 0},
    RegisterCase{2, 144, std::nullopt}, RegisterCase{2, 49, std::nullopt},
    RegisterCase{3, 132, 1}, RegisterCase{3, 133, std::nullopt}, RegisterCase{3, 144, 0},
    RegisterCase{4, 132, 1}, RegisterCase{4, 133, std::nullopt}, RegisterCase{4, 144, std::nullopt},
    RegisterCase{4, 13, std::nullopt},
    RegisterCase{5, 132, 1}, RegisterCase{5, 133, 2}, RegisterCase{5, 144, std::nullopt}));

TEST(SimModules, ChannelStatesAndStatusWordAreRead)
{
    Bus bus;
    bus.sim.addModule(4, 4);
    bus.sim.addModule(2, 2);
    ASSERT_TRUE(bus.sim.setChannelState(4, 5, 3));
    ASSERT_TRUE(bus.sim.setChannelState(4, 12, 2));
    EXPECT_FALSE(bus.sim.setChannelState(4, 13, 1));
    auto states = bus.read(4, 1, 12);
    ASSERT_TRUE(states);
    EXPECT_EQ(*states, (std::vector<std::uint16_t>{0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 2}));

    ASSERT_TRUE(bus.sim.setStatusWord(2, 0x8000));
    EXPECT_FALSE(bus.sim.setStatusWord(4, 1));
    EXPECT_EQ(bus.read1(2, 68), 0x8000);
    bus.sim.setChannelState(2, 24, 4);
    auto states2 = bus.read(2, 1, 24);
    ASSERT_TRUE(states2);
    EXPECT_EQ(states2->back(), 4);
}

TEST(SimModules, EventBufferCountReadAcknowledgeCycle)
{
    Bus bus;
    bus.sim.addModule(3, 1);
    ASSERT_TRUE(bus.sim.raiseEvent(3, 5, 1, 1, 0x3FFFF));
    ASSERT_TRUE(bus.sim.raiseEvent(3, 0, 2, 0, 7));  // module-wide acknowledgement
    ASSERT_TRUE(bus.sim.raiseEvent(3, 12, 0, 0, 0xFFFFF));

    EXPECT_EQ(bus.read1(3, 144), 3);
    auto entries = bus.read(3, 146, 6);
    ASSERT_TRUE(entries);
    EXPECT_EQ(*entries, (std::vector<std::uint16_t>{0x5113, 0xFFFF, 0x0020, 0x0007, 0xC00F, 0xFFFF}));
    // A channel event leaves the state and parameter registers in step.
    EXPECT_EQ(bus.read1(3, 5), 1);
    EXPECT_EQ(bus.read1(3, 49 + 4), 1);

    // Reading does not consume; the acknowledgement drops the oldest entries.
    EXPECT_EQ(bus.read1(3, 144), 3);
    EXPECT_EQ(bus.send(modsim::writeSingleRequest(3, 288, 2)), modsim::writeSingleRequest(3, 288, 2));
    EXPECT_EQ(bus.read1(3, 144), 1);
    EXPECT_EQ(bus.read(3, 146, 2), (std::vector<std::uint16_t>{0xC00F, 0xFFFF}));
    bus.send(modsim::writeSingleRequest(3, 288, 40));
    EXPECT_EQ(bus.read1(3, 144), 0);
}

TEST(SimModules, BufferWindowServesAtMost62Entries)
{
    Bus bus;
    bus.sim.addModule(1, 3);
    for (int i = 0; i < 70; ++i)
        bus.sim.raiseEvent(1, 1 + i % 12, 1, 0, std::uint32_t(i));
    EXPECT_EQ(bus.read1(1, 144), 70);
    auto all = bus.read(1, 146, 124);
    ASSERT_TRUE(all);
    EXPECT_EQ((*all)[123], 61); // the 62nd entry's clock
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::readRequest(1, 146, 126)), 1, 3), modsim::exc::IllegalDataValue);
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::readRequest(1, 146 + 124, 1)), 1, 3), modsim::exc::IllegalDataAddress);
    bus.send(modsim::writeSingleRequest(1, 288, 62));
    EXPECT_EQ(bus.read1(1, 144), 8);
    EXPECT_EQ(bus.read(1, 147, 1), (std::vector<std::uint16_t>{62}));

    for (int i = 0; i < 300; ++i)
        bus.sim.raiseEvent(1, 1, 1, 0, 0);
    EXPECT_EQ(bus.read1(1, 144), 255);
}

TEST(SimModules, EventsTakeTheModuleClockAndOnlyBufferModelsHaveThem)
{
    Bus bus;
    bus.sim.addModule(1, 1);
    bus.sim.addModule(2, 2);
    bus.sim.addModule(4, 4);
    bus.clock.advance(2500); // 102.5 s
    ASSERT_TRUE(bus.sim.raiseEvent(1, 2, 3, 0));
    EXPECT_EQ(bus.sim.module(1)->events().front().second, 102);
    EXPECT_FALSE(bus.sim.raiseEvent(2, 1, 1, 0));
    EXPECT_FALSE(bus.sim.raiseEvent(4, 1, 1, 0));
    EXPECT_FALSE(bus.sim.raiseEvent(1, 16, 1, 0));
    EXPECT_FALSE(bus.sim.raiseEvent(1, 1, 16, 0));
    EXPECT_FALSE(bus.sim.raiseEvent(9, 1, 1, 0));
}

TEST(SimModules, WritesAreKeptInTheLog)
{
    Bus bus;
    bus.sim.addModule(5, 1);
    bus.sim.addModule(7, 2);
    bus.sim.addModule(8, 4);
    const qint64 t0 = bus.clock.nowMs();
    EXPECT_EQ(bus.send(modsim::writeSingleRequest(5, 67, 2)), modsim::writeSingleRequest(5, 67, 2));
    // Packed states of channels 1..24, 3 bits each, five channels a word.
    const QByteArray packed = modsim::writeMultipleRequest(7, 25, {0x0001, 0x0000, 0x0018, 0x0000, 0x0800});
    const QByteArray reply = bus.send(packed);
    EXPECT_EQ(reply, [&] { QByteArray r = packed.left(6); modsim::appendCrc(r); return r; }());
    bus.send(modsim::writeSingleRequest(7, 24, 3));
    // Refused writes change and log nothing.
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::writeSingleRequest(8, 288, 1)), 8, 6), modsim::exc::IllegalDataAddress);
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::writeSingleRequest(5, 132, 1)), 5, 6), modsim::exc::IllegalDataAddress);
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::writeMultipleRequest(5, 60, {1, 2, 3, 4, 5, 6, 7, 8, 9})), 5, 16),
              modsim::exc::IllegalDataAddress);
    // A byte count that does not match the quantity.
    QByteArray badCount = bytes({0x05, 0x10, 0x00, 0x11, 0x00, 0x02, 0x03, 0x00, 0x00, 0x00});
    modsim::appendCrc(badCount);
    EXPECT_EQ(bus.exceptionOf(bus.send(badCount), 5, 16), modsim::exc::IllegalDataValue);

    const auto& log = bus.sim.writeLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].timeMs, t0);
    EXPECT_EQ(log[0].address, 5);
    EXPECT_EQ(log[0].reg, 67);
    EXPECT_EQ(log[0].values, (std::vector<std::uint16_t>{2}));
    EXPECT_EQ(log[0].function, 6);
    EXPECT_EQ(log[1].address, 7);
    EXPECT_EQ(log[1].reg, 25);
    EXPECT_EQ(log[1].values.size(), 5u);
    EXPECT_EQ(log[1].function, 16);
    EXPECT_GT(log[1].timeMs, t0);

    const modsim::SimModule* m7 = bus.sim.module(7);
    EXPECT_EQ(m7->packedState(1), 1);
    EXPECT_EQ(m7->packedState(12), 3);
    EXPECT_EQ(m7->packedState(24), 4);
    EXPECT_EQ(m7->packedState(2), 0);
    EXPECT_EQ(m7->channelState(24), 3); // a single-channel write sets the state shown
    EXPECT_EQ(bus.sim.module(5)->writtenValue(67), 2);
    EXPECT_EQ(bus.read1(5, 64), 0);
}

TEST(SimModules, BroadcastActsEverywhereAndNeverAnswers)
{
    Bus bus;
    for (int a = 1; a <= 5; ++a)
        bus.sim.addModule(a, a);
    bus.sim.setPower(2, false);
    bus.sim.setFault(3, Fault{FaultKind::FailNext, 1});
    bus.sim.setFault(4, Fault{FaultKind::Silent, 0});

    EXPECT_TRUE(bus.send(modsim::writeSingleRequest(0, 66, 1)).isEmpty());
    EXPECT_EQ(bus.sim.pendingReplyBytes(), 0);
    EXPECT_EQ(bus.sim.module(1)->writtenValue(66), 1);
    EXPECT_EQ(bus.sim.module(2)->writtenValue(66), 0); // switched off
    EXPECT_EQ(bus.sim.module(3)->writtenValue(66), 0); // the request never reached it
    EXPECT_EQ(bus.sim.module(4)->writtenValue(66), 1); // silent modules still hear
    EXPECT_EQ(bus.sim.module(5)->writtenValue(66), 1);
    EXPECT_TRUE(bus.send(modsim::writeMultipleRequest(0, 17, {3, 3})).isEmpty());
    EXPECT_EQ(bus.sim.module(5)->writtenValue(18), 3);
    EXPECT_TRUE(bus.send(modsim::readRequest(0, 132, 1)).isEmpty());

    ASSERT_EQ(bus.sim.writeLog().size(), 2u);
    EXPECT_EQ(bus.sim.writeLog()[0].address, 0);
    EXPECT_EQ(bus.sim.writesTo(1).size(), 2u);
}

TEST(SimModules, SwitchedOffModuleIsSilentAndKeepsItsState)
{
    Bus bus;
    bus.sim.addModule(6, 1);
    bus.sim.raiseEvent(6, 1, 1, 0);
    ASSERT_TRUE(bus.sim.setPower(6, false));
    EXPECT_TRUE(bus.send(modsim::readRequest(6, 144, 1)).isEmpty());
    EXPECT_TRUE(bus.send(modsim::writeSingleRequest(6, 288, 1)).isEmpty());
    bus.sim.setPower(6, true);
    EXPECT_EQ(bus.read1(6, 144), 1);
    EXPECT_FALSE(bus.sim.setPower(7, true));
}

TEST(SimFraming, FramesArePickedOutOfTheByteStream)
{
    Bus bus;
    bus.sim.addModule(1, 1);
    bus.sim.addModule(2, 2);
    const qint64 t = bus.clock.nowMs() * 1000;
    // One request in two pieces, then two requests in one piece.
    const QByteArray r1 = modsim::readRequest(1, 132, 1);
    bus.sim.receive(r1.left(3), t);
    bus.sim.receive(r1.mid(3), t + 500);
    bus.sim.receive(modsim::readRequest(2, 132, 1) + modsim::writeSingleRequest(1, 64, 1), t + 1000);
    EXPECT_EQ(bus.sim.takeDue(t + 1000),
              modsim::readReply(1, {1}) + modsim::readReply(2, {2}) + modsim::writeSingleRequest(1, 64, 1));
}

TEST(SimFraming, DamagedAndUnknownFramesAreHandledAsASlaveDoes)
{
    Bus bus;
    bus.sim.addModule(1, 1);
    // A bad CRC: ignored, and the write does not happen.
    QByteArray bad = modsim::writeSingleRequest(1, 64, 1);
    bad[7] = char(bad[7] ^ 1);
    EXPECT_TRUE(bus.send(bad).isEmpty());
    EXPECT_EQ(bus.sim.module(1)->writtenValue(64), 0);
    // A frame cut short is dropped after the silence; the next one is answered.
    EXPECT_TRUE(bus.send(modsim::readRequest(1, 132, 1).left(5)).isEmpty());
    EXPECT_EQ(bus.read1(1, 132), 1);
    // An unknown function is refused once the silence ends it.
    QByteArray unknown = bytes({0x01, 0x2B, 0x0E, 0x01, 0x00});
    modsim::appendCrc(unknown);
    EXPECT_TRUE(bus.send(unknown).isEmpty());
    EXPECT_EQ(bus.exceptionOf(bus.sim.takeDue(std::numeric_limits<qint64>::max()), 1, 0x2B), modsim::exc::IllegalFunction);
    // Nobody answers for an address without a module.
    EXPECT_TRUE(bus.send(modsim::readRequest(2, 132, 1)).isEmpty());
    // Quantities a module cannot serve.
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::readRequest(1, 1, 0)), 1, 3), modsim::exc::IllegalDataValue);
}

// Each fault by name, on a read of register 144 of module 1 (normal reply 01 03 02 00 00 B8 44).
struct FaultCase {
    const char* name;
    std::optional<int> param;
    std::function<void(const QByteArray& normal, const QByteArray& got)> check;
};

class FaultsByName : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultsByName, ShapeTheReply)
{
    const FaultCase& c = GetParam();
    Bus bus;
    bus.sim.addModule(1, 1);
    bus.sim.addModule(2, 1);
    const QByteArray normal = bus.send(modsim::readRequest(1, 144, 1));
    ASSERT_EQ(normal, bytes({0x01, 0x03, 0x02, 0x00, 0x00, 0xB8, 0x44}));
    ASSERT_TRUE(bus.sim.setFault(1, QString::fromLatin1(c.name), c.param));
    EXPECT_EQ(Fault::name(bus.sim.module(1)->fault().kind), QString::fromLatin1(c.name));
    c.check(normal, bus.send(modsim::readRequest(1, 144, 1)));
    // Faults are per module.
    EXPECT_EQ(bus.read1(2, 144), 0);
}

INSTANTIATE_TEST_SUITE_P(Each, FaultsByName, testing::Values(
    FaultCase{"silent", {}, [](const QByteArray&, const QByteArray& got) { EXPECT_TRUE(got.isEmpty()); }},
    FaultCase{"exception", {}, [](const QByteArray&, const QByteArray& got) {
        EXPECT_EQ(got, modsim::exceptionReply(1, 3, 4));
        EXPECT_EQ(got, bytes({0x01, 0x83, 0x04, 0x40, 0xF3}));
    }},
    FaultCase{"exception", 6, [](const QByteArray&, const QByteArray& got) { EXPECT_EQ(got, modsim::exceptionReply(1, 3, 6)); }},
    FaultCase{"bad-crc", {}, [](const QByteArray& normal, const QByteArray& got) {
        EXPECT_EQ(got.size(), normal.size());
        EXPECT_EQ(got.left(5), normal.left(5));
        EXPECT_FALSE(modsim::crcValid(got));
    }},
    FaultCase{"wrong-address", {}, [](const QByteArray& normal, const QByteArray& got) {
        EXPECT_EQ(got.size(), normal.size());
        EXPECT_EQ(got[0], char(2));
        EXPECT_EQ(got.mid(1, 4), normal.mid(1, 4));
        EXPECT_TRUE(modsim::crcValid(got));
    }},
    FaultCase{"wrong-function", {}, [](const QByteArray& normal, const QByteArray& got) {
        EXPECT_EQ(got.size(), normal.size());
        EXPECT_EQ(got[0], char(1));
        EXPECT_NE(got[1], char(3));
        EXPECT_EQ(got[1] & 0x80, 0);
        EXPECT_TRUE(modsim::crcValid(got));
    }},
    FaultCase{"byte-too-many", {}, [](const QByteArray& normal, const QByteArray& got) {
        EXPECT_EQ(got.size(), normal.size() + 1);
        EXPECT_EQ(got.left(5), normal.left(5));
        EXPECT_TRUE(modsim::crcValid(got));
    }},
    FaultCase{"byte-too-few", {}, [](const QByteArray& normal, const QByteArray& got) {
        EXPECT_EQ(got.size(), normal.size() - 1);
        EXPECT_EQ(got.left(4), normal.left(4));
        EXPECT_TRUE(modsim::crcValid(got));
    }},
    FaultCase{"late", 200, [](const QByteArray& normal, const QByteArray& got) { EXPECT_EQ(got, normal); }},
    FaultCase{"pieces", {}, [](const QByteArray& normal, const QByteArray& got) { EXPECT_EQ(got, normal); }},
    FaultCase{"fail-next", 1, [](const QByteArray&, const QByteArray& got) { EXPECT_TRUE(got.isEmpty()); }}),
    [](const testing::TestParamInfo<FaultCase>& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), '-', '_');
        return n + "_" + std::to_string(info.index);
    });

TEST(SimFaults, TimingFaultsMoveTheReplyBytes)
{
    Bus bus;
    bus.sim.addModule(1, 1);
    const qint64 t = bus.clock.nowMs() * 1000;
    bus.sim.setFault(1, "late", 200);
    bus.sim.receive(modsim::readRequest(1, 144, 1), t);
    EXPECT_TRUE(bus.sim.takeDue(t + 199999).isEmpty());
    EXPECT_EQ(bus.sim.takeDue(t + 200000).size(), 7);

    bus.sim.setFault(1, "pieces", 10);
    bus.sim.receive(modsim::readRequest(1, 144, 1), t + 300000);
    EXPECT_EQ(bus.sim.takeDue(t + 300000).size(), 2);
    EXPECT_EQ(bus.sim.takeDue(t + 309999).size(), 0);
    EXPECT_EQ(bus.sim.takeDue(t + 310000).size(), 2);
    EXPECT_EQ(bus.sim.takeDue(t + 320000).size(), 3);
}

TEST(SimFaults, SilentActsButFailNextAndExceptionDoNot)
{
    Bus bus;
    bus.sim.addModule(1, 1);
    bus.sim.raiseEvent(1, 1, 1, 0);
    bus.sim.raiseEvent(1, 2, 1, 0);
    bus.sim.raiseEvent(1, 3, 1, 0);
    bus.sim.raiseEvent(1, 4, 1, 0);

    bus.sim.setFault(1, "fail-next", 2);
    EXPECT_TRUE(bus.send(modsim::writeSingleRequest(1, 288, 1)).isEmpty());
    EXPECT_TRUE(bus.send(modsim::writeSingleRequest(1, 288, 1)).isEmpty());
    EXPECT_EQ(bus.sim.module(1)->pendingEvents(), 4);
    EXPECT_EQ(bus.sim.module(1)->fault().kind, FaultKind::None); // used up
    EXPECT_EQ(bus.read1(1, 144), 4);

    bus.sim.setFault(1, "exception");
    EXPECT_EQ(bus.exceptionOf(bus.send(modsim::writeSingleRequest(1, 288, 1)), 1, 6), 4);
    EXPECT_EQ(bus.sim.module(1)->pendingEvents(), 4);

    // The reply of a silent module is lost on the way back: it did act.
    bus.sim.setFault(1, "silent");
    EXPECT_TRUE(bus.send(modsim::writeSingleRequest(1, 288, 1)).isEmpty());
    EXPECT_EQ(bus.sim.module(1)->pendingEvents(), 3);

    bus.sim.setFault(1, "none");
    EXPECT_EQ(bus.read1(1, 144), 3);
    EXPECT_FALSE(bus.sim.setFault(1, "sometimes"));
    EXPECT_FALSE(bus.sim.setFault(2, "silent"));
}
