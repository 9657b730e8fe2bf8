// The frame routines and the real serial control against the module simulator
// program, over the pseudo-terminal that it serves, in real time.

#include "platform/AppIdentity.h"
#include "platform/Guard.h"
#include "platform/ProfileFile.h"
#include "platform/RtError.h"
#include "platform/SerialPort.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

using ModuleSimulatorPty = testing_support::ProgramGlobals;

TEST_F(ModuleSimulatorPty, ReadsWritesAndIdentifiesEveryReportedModel)
{
    std::vector<std::pair<QString, int>> reported;
    plat::setErrorReporter([&](const QString& name, const plat::RtError& e) { reported.push_back({name, e.number()}); });

    const QString link = plat::AppIdentity::programFolder() + "/bus";
    e2e::SimulatorProgram sim;
    ASSERT_TRUE(sim.start(link, {"--modules", "1:1,2:2,3:3,5:5"}, plat::AppIdentity::programFolder()))
        << sim.log().toStdString();
    ASSERT_TRUE(plat::ProfileFile::writeString("Ports", "COM8", link, plat::AppIdentity::programFile(".ini")));
    plat::SerialPort port;
    port.setCommPort(8);
    port.setSettings("9600,N,8,1");
    port.setPortOpen(true);

    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 1, Bus::RegHorn, 1));
    QVector<qint16> horn(1);
    ASSERT_TRUE(CommFunctions::LitMots(port, 1, Bus::RegHorn, horn));
    EXPECT_EQ(horn[0], 1);

    const QVector<qint16> packed {0x0001, 0x0208, -1, 0, 0x7FFF};
    EXPECT_TRUE(CommFunctions::EcritMots(port, 2, Bus::RegPackedStates, packed));
    QVector<qint16> back(5);
    ASSERT_TRUE(CommFunctions::LitMots(port, 2, Bus::RegPackedStates, back));
    EXPECT_EQ(back, packed);

    // A model 2 module takes its channel states as written registers.
    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 2, Bus::RegChannelState + 2, 4));
    QVector<qint16> states(24);
    ASSERT_TRUE(CommFunctions::LitMots(port, 2, Bus::RegChannelState, states));
    EXPECT_EQ(states[2], 4);

    // A broadcast reaches every module and is answered by none.
    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 0, Bus::RegHorn, 0));
    ASSERT_TRUE(CommFunctions::LitMots(port, 1, Bus::RegHorn, horn));
    EXPECT_EQ(horn[0], 0);

    for (auto [address, model] : {std::pair {1, 1}, {2, 2}, {3, 3}, {5, 5}, {9, 0}})
        EXPECT_EQ(CommFunctions::GetModuleType(port, quint8(address)), model) << "address " << address;
    EXPECT_TRUE(reported.empty());
}
