// The in-process serial control: reply bytes become readable only when the
// virtual clock has passed their line time and any late-reply fault.

#include "tools/modsim/RtuFrame.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "tests/support/VirtualClock.h"
#include "platform/RtError.h"

#include <gtest/gtest.h>

using modsim::SimSerialControl;

namespace {

class SerialFixture : public testing::Test {
protected:
    SerialFixture()
    {
        sim.addModule(1, 1);
        sim.addModule(4, 4);
        port.setPortOpen(true);
    }
    // The count of bytes readable at ms after the start.
    int countAt(qint64 ms)
    {
        clock.advance(start + ms - clock.nowMs());
        return port.InBufferCount();
    }

    testing_support::VirtualClock clock{5000};
    modsim::Simulator sim{clock};
    SimSerialControl port{sim, clock};
    const qint64 start = 5000;
};

} // namespace

TEST_F(SerialFixture, WithoutLineTimeTheReplyIsThereAtOnce)
{
    port.setRTSEnable(true);
    port.setOutBufferCount(0);
    port.setInBufferCount(0);
    port.Output(modsim::readRequest(1, 132, 1));
    EXPECT_EQ(port.OutBufferCount(), 0);
    EXPECT_EQ(port.InBufferCount(), 7);
    EXPECT_EQ(port.Input(), modsim::readReply(1, {1}));
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_TRUE(port.Input().isEmpty());
    ASSERT_EQ(port.sentFrames().size(), 1u);
    EXPECT_TRUE(port.RTSEnable());
}

TEST_F(SerialFixture, LateReplyComesAfterItsDelayEvenPastADiscard)
{
    sim.setFault(1, "late", 300);
    port.Output(modsim::readRequest(1, 144, 1));
    EXPECT_EQ(countAt(100), 0);
    // A discard drops only what has come in; the late answer is still on its way.
    port.setInBufferCount(0);
    EXPECT_EQ(countAt(299), 0);
    EXPECT_EQ(countAt(300), 7);
    EXPECT_EQ(port.Input(), modsim::readReply(1, {0}));
}

struct LineCase {
    int baud;
    int bits;
    int words;
    qint64 completeMs; // first whole millisecond at which the reply is all in
};

class LineTime : public SerialFixture, public testing::WithParamInterface<LineCase> {};

TEST_P(LineTime, ReplyIsCompleteAfterRequestGapAndReplyCharacters)
{
    const LineCase c = GetParam();
    sim.setLineSpeed(c.baud, c.bits);
    const int length = 5 + 2 * c.words;
    port.Output(modsim::readRequest(4, 1, c.words));
    // Output returns once the request has left the line.
    EXPECT_EQ(port.OutBufferCount(), 0);
    EXPECT_EQ(clock.nowMs() - start, (8 * c.bits * 1000 + c.baud - 1) / c.baud);
    const int before = countAt(c.completeMs - 1);
    EXPECT_GT(before, 0);
    EXPECT_LT(before, length);
    EXPECT_EQ(countAt(c.completeMs), length);
    EXPECT_EQ(port.OutBufferCount(), 0);
}

// (8 request + 3.5 silence + reply) characters of 10 or 11 bits.
INSTANTIATE_TEST_SUITE_P(Speeds, LineTime, testing::Values(
    LineCase{1200, 10, 1, 155},  // 154.2 ms
    LineCase{1200, 11, 1, 170},  // 169.6 ms
    LineCase{9600, 10, 1, 20},   // 19.3 ms
    LineCase{9600, 10, 12, 43},  // 42.2 ms
    LineCase{19200, 11, 12, 24}, // 23.2 ms
    LineCase{4800, 10, 1, 39}));  // 38.5 ms

TEST_F(SerialFixture, BytesLeaveAtLineSpeedAndADiscardCutsTheFrame)
{
    sim.setLineSpeed(9600, 10);
    port.setDrainOnOutput(false);
    port.Output(modsim::writeSingleRequest(1, 64, 1));
    EXPECT_EQ(port.OutBufferCount(), 8);
    EXPECT_EQ(countAt(4), 0);
    EXPECT_EQ(port.OutBufferCount(), 5); // 3 of 8 bytes sent after 4 ms
    port.setOutBufferCount(0);
    EXPECT_EQ(port.OutBufferCount(), 0);
    // The module saw a frame cut short: no reply, no write.
    EXPECT_EQ(countAt(50), 0);
    EXPECT_EQ(sim.module(1)->writtenValue(64), 0);
    port.Output(modsim::writeSingleRequest(1, 64, 1));
    EXPECT_EQ(countAt(100), 8);
    EXPECT_EQ(sim.module(1)->writtenValue(64), 1);
}

TEST_F(SerialFixture, WaitForInputMovesVirtualTimeToTheNextByte)
{
    sim.setFault(1, "late", 500);
    port.Output(modsim::readRequest(1, 144, 1));
    EXPECT_TRUE(port.waitForInput(2000));
    EXPECT_EQ(clock.nowMs(), start + 500);
    EXPECT_EQ(port.InBufferCount(), 7);

    // Nothing more comes: the whole time-out passes.
    EXPECT_TRUE(port.waitForInput(300));
    EXPECT_EQ(clock.nowMs(), start + 800);
    EXPECT_EQ(port.InBufferCount(), 7);
}

TEST_F(SerialFixture, AWaitLoopOnTheClockSeesPiecesArriveInTurn)
{
    sim.setLineSpeed(9600, 10);
    sim.setFault(4, "pieces", 30);
    port.Output(modsim::readRequest(4, 1, 12));
    std::vector<int> seen;
    const qint64 deadline = clock.nowMs() + 1000;
    while (port.InBufferCount() < 29 && clock.nowMs() < deadline) {
        if (seen.empty() || seen.back() != port.InBufferCount())
            seen.push_back(port.InBufferCount());
        clock.sleepMs(1);
    }
    EXPECT_EQ(port.InBufferCount(), 29);
    EXPECT_EQ(clock.nowMs(), start + 43 + 60);
    EXPECT_GT(seen.size(), 3u);
    EXPECT_TRUE(modsim::crcValid(port.Input()));
}

TEST_F(SerialFixture, ClosedPortRefusesTheLineOperations)
{
    port.setPortOpen(false);
    auto expectClosed = [](auto&& op) {
        try {
            op();
            ADD_FAILURE() << "no error on a closed port";
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), SimSerialControl::PortNotOpenError);
        }
    };
    expectClosed([&] { port.Output(modsim::readRequest(1, 132, 1)); });
    expectClosed([&] { (void)port.InBufferCount(); });
    expectClosed([&] { (void)port.Input(); });
    expectClosed([&] { port.setOutBufferCount(0); });
    // Settings stay usable while closed; the port number only then.
    port.setSettings(QStringLiteral("1200,N,8,2"));
    port.setCommPort(3);
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_EQ(port.Settings(), QStringLiteral("1200,N,8,2"));

    port.setOpenFails(true);
    EXPECT_THROW(port.setPortOpen(true), plat::RtError);
    EXPECT_FALSE(port.PortOpen());
    port.setOpenFails(false);
    port.setPortOpen(true);
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.openCount(), 2);
    EXPECT_THROW(port.setCommPort(2), plat::RtError);
}

TEST_F(SerialFixture, ReplyToAPortClosedMeanwhileIsLost)
{
    sim.setFault(1, "late", 100);
    port.Output(modsim::readRequest(1, 144, 1));
    port.setPortOpen(false);
    clock.advance(200);
    port.setPortOpen(true);
    EXPECT_EQ(port.InBufferCount(), 0);
}

TEST_F(SerialFixture, AVanishingDeviceTakesTheNthFrameAndEveryOperationAfterIt)
{
    ASSERT_TRUE(port.setFault("vanish", 1));
    EXPECT_FALSE(port.setFault("unplugged"));
    port.Output(modsim::readRequest(1, 132, 1));
    EXPECT_EQ(port.Input(), modsim::readReply(1, {1}));
    EXPECT_FALSE(port.DeviceLost());
    try {
        port.Output(modsim::readRequest(1, 132, 1));
        ADD_FAILURE() << "the frame went out";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), SimSerialControl::VanishedError);
    }
    EXPECT_EQ(port.sentFrames().size(), 1u);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_THROW((void)port.InBufferCount(), plat::RtError);
    // Closed and opened again, it is there once more, unless it stays away.
    port.setOpenFails(true);
    port.setPortOpen(false);
    EXPECT_FALSE(port.DeviceLost());
    EXPECT_THROW(port.setPortOpen(true), plat::RtError);
    port.setOpenFails(false);
    port.setPortOpen(true);
    EXPECT_TRUE(port.PortOpen());
    port.Output(modsim::readRequest(1, 132, 1));
    EXPECT_EQ(port.Input(), modsim::readReply(1, {1}));
}
