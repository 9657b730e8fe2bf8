// The panel's own transactions against the simulator on virtual time: each
// fault gives the outcome the panel's checks call for, and the waits end on
// virtual time.

#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "tests/support/VirtualClock.h"
#include "program/bus/CommFunctions.h"

#include <gtest/gtest.h>

namespace {

class PanelFixture : public testing::Test {
protected:
    PanelFixture()
    {
        for (int a = 1; a <= 5; ++a)
            sim.addModule(a, a);
        CommFunctions::setClock(&clock);
        port.setPortOpen(true);
    }
    ~PanelFixture() override { CommFunctions::setClock(nullptr); }

    testing_support::VirtualClock clock{1000000};
    modsim::Simulator sim{clock};
    modsim::SimSerialControl port{sim, clock};
};

struct ReadFaultCase {
    const char* fault;
    std::optional<int> param;
    bool succeeds;
    bool waitsOut; // too few bytes come: the wait lasts until the deadline
};

class PanelReadUnderFault : public PanelFixture, public testing::WithParamInterface<ReadFaultCase> {};

} // namespace

TEST_F(PanelFixture, ModuleTypeQueryTellsTheModels)
{
    EXPECT_EQ(CommFunctions::GetModuleType(port, 1), 1);
    EXPECT_EQ(CommFunctions::GetModuleType(port, 2), 2);
    EXPECT_EQ(CommFunctions::GetModuleType(port, 3), 3);
    EXPECT_EQ(CommFunctions::GetModuleType(port, 4), 3); // a T7100 is never reported as such
    EXPECT_EQ(CommFunctions::GetModuleType(port, 5), 5);
    const qint64 before = clock.nowMs();
    EXPECT_EQ(CommFunctions::GetModuleType(port, 9), 0);
    EXPECT_GE(clock.nowMs() - before, 1000); // waited out the read deadline, on virtual time
}

TEST_P(PanelReadUnderFault, GivesThePanelsOutcome)
{
    const ReadFaultCase c = GetParam();
    sim.setChannelState(4, 2, 3);
    ASSERT_TRUE(sim.setFault(4, QString::fromLatin1(c.fault), c.param));
    QVector<qint16> words(12, -7);
    const qint64 before = clock.nowMs();
    EXPECT_EQ(CommFunctions::LitMots(port, 4, 1, words), c.succeeds);
    if (c.succeeds) {
        EXPECT_EQ(words[1], 3);
    } else {
        EXPECT_EQ(words, QVector<qint16>(12, -7));
        if (c.waitsOut)
            EXPECT_GE(clock.nowMs() - before, 1000);
        else
            EXPECT_LT(clock.nowMs() - before, 100);
    }
    EXPECT_LT(clock.nowMs() - before, 5000);
    // Whatever came late is discarded before the next transaction, which works.
    sim.setFault(4, "none");
    clock.advance(5000);
    EXPECT_TRUE(CommFunctions::LitMots(port, 4, 1, words));
    EXPECT_EQ(words[1], 3);
}

INSTANTIATE_TEST_SUITE_P(Faults, PanelReadUnderFault, testing::Values(
    ReadFaultCase{"none", {}, true, false},
    ReadFaultCase{"pieces", 50, true, false},
    ReadFaultCase{"late", 300, true, false},
    ReadFaultCase{"late", 4000, false, true},
    ReadFaultCase{"silent", {}, false, true},
    ReadFaultCase{"exception", {}, false, true},
    ReadFaultCase{"bad-crc", {}, false, false},
    // A reply naming another module or function is no reply to this request.
    ReadFaultCase{"wrong-address", {}, false, true},
    ReadFaultCase{"wrong-function", {}, false, true},
    ReadFaultCase{"byte-too-many", {}, false, false},
    ReadFaultCase{"byte-too-few", {}, false, true},
    ReadFaultCase{"fail-next", 1, false, true}),
    [](const testing::TestParamInfo<ReadFaultCase>& info) {
        std::string n = std::string(info.param.fault) + (info.param.param ? std::to_string(*info.param.param) : "");
        for (char& ch : n)
            if (ch == '-')
                ch = '_';
        return n;
    });

TEST_F(PanelFixture, FullBufferReadAtTheSlowestSpeedSucceeds)
{
    sim.setLineSpeed(1200, 11);
    port.setSettings(QStringLiteral("1200,N,8,2"));
    for (int i = 0; i < 62; ++i)
        sim.raiseEvent(1, 1 + i % 12, 1, 0, std::uint32_t(i));
    QVector<qint16> words(124);
    const qint64 before = clock.nowMs();
    ASSERT_TRUE(CommFunctions::LitMots(port, 1, 146, words));
    EXPECT_EQ(words[123], 61);
    EXPECT_GE(clock.nowMs() - before, 2400); // 8 + 3.5 + 253 characters of 11 bits at 1200 baud
    ASSERT_TRUE(CommFunctions::EcritUnMot(port, 1, 288, 62));
    EXPECT_EQ(sim.module(1)->pendingEvents(), 0);
}

TEST_F(PanelFixture, BroadcastAndWritesReachTheModules)
{
    sim.setLineSpeed(1200, 10);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 0, 66, 1));
    // The next frame follows at once: the broadcast has left the line whole.
    EXPECT_TRUE(CommFunctions::EcritMots(port, 2, 25, {1, 0, 0, 0, 0}));
    for (int a = 1; a <= 5; ++a)
        EXPECT_EQ(sim.module(a)->writtenValue(66), 1) << a;
    EXPECT_EQ(sim.module(2)->packedState(1), 1);
    ASSERT_EQ(sim.writeLog().size(), 2u);
    EXPECT_EQ(sim.writeLog()[0].address, 0);
    EXPECT_EQ(sim.writeLog()[1].function, 16);
}
