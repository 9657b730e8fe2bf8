// Execution of queued bus commands against the module simulator on virtual
// time: which frame a command becomes, its trace line, its outcome, and the
// queue's retry and drop rules.

#include "program/bus/CommandExecutor.h"

#include "tests/support/VirtualClock.h"
#include "platform/Guard.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/CommandClasses.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/ModbusFrames.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/ProgramGlobals.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "VexLib22/_LogFileClass.h"

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

class CommandExecution : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        CommFunctions::setClock(&clock);
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gPanelLetter = QStringLiteral("M");
        logPath = testing_support::programFolder() + "/trace.log";
        gTraceLog().OpenFile(logPath, VexLib22::eLogModeFileAppend);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors << name + ":" + QString::number(e.number());
        });
        // Model 2 modules take writes of their packed states (25..29).
        for (int module : {3, 5, 6})
            sim.addModule(module, 1);
        for (int module : {4, 7})
            sim.addModule(module, 2);
        port.setPortOpen(true);
        exec.setPort(&port);
        exec.setRules(&rules);
        exec.setNow([this] { return now; });
    }

    static CommandPtr write(qint16 module, qint32 address, QVector<qint16> values)
    {
        auto cmd = std::make_shared<CommandClass>();
        cmd->setModule(module);
        cmd->setCmdType(CommandClass::CmdWrite);
        cmd->setAddress(address);
        cmd->ValuesCopy(values);
        return cmd;
    }

    const std::vector<QByteArray>& frames() const { return port.sentFrames(); }

    testing_support::VirtualClock clock{1000000};
    modsim::Simulator sim{clock};
    modsim::SimSerialControl port{sim, clock};
    testing_support::RecordingRules rules;
    CommandExecutor exec;
    plat::DateTime now = plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(14, 3, 5));
    QString logPath;
    QStringList errors;
};

TEST_F(CommandExecution, OneValueIsWrittenWithFunction6AndTraced)
{
    auto cmd = write(5, 67, {2});
    exec.TraiteCommande(*cmd);

    ASSERT_EQ(frames().size(), 1u);
    EXPECT_EQ(frames()[0], ModbusFrames::writeSingleRequest(5, 67, 2));
    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    EXPECT_FALSE(cmd->Error());
    EXPECT_EQ(cmd->SendTime(), now);  // "at once" takes the time of execution
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList{"10/12/2024 14:03:05 WRITE  COMMAND M05:0043 0002"});
}

TEST_F(CommandExecution, SeveralValuesAreWrittenWithFunction16InOneFrame)
{
    auto cmd = write(7, 25, {1, 2, 3, 4, -1});
    exec.TraiteCommande(*cmd);

    ASSERT_EQ(frames().size(), 1u);
    EXPECT_EQ(frames()[0], ModbusFrames::writeMultipleRequest(7, 25, {1, 2, 3, 4, -1}));
    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    EXPECT_EQ(testing_support::fileLines(logPath),
              QStringList{"10/12/2024 14:03:05 WRITE  COMMAND M07:0019 0001 0002 0003 0004 FFFF"});
}

TEST_F(CommandExecution, BroadcastSleepsAfterItsFrameAndAwaitsNoReply)
{
    auto cmd = write(0, 289, {0});
    auto next = write(3, 67, {2});
    exec.TraiteCommande(*cmd);
    exec.TraiteCommande(*next);

    ASSERT_EQ(frames().size(), 2u);
    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    // broadcast sent, then its sleep, then the next frame's own pause
    const auto& writes = sim.writeLog();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].address, 0);
    EXPECT_EQ(writes[1].timeMs - writes[0].timeMs, CommandExecutor::BroadcastSleepMs + 25);
    EXPECT_EQ(testing_support::fileLines(logPath).value(0), "10/12/2024 14:03:05 WRITE  COMMAND M00:0121 0000");
}

TEST_F(CommandExecution, CommandNotYetDueIsLeftAlone)
{
    auto cmd = write(5, 67, {2});
    cmd->setSendTime(now.addSeconds(1));
    exec.TraiteCommande(*cmd);

    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdWrite);
    EXPECT_EQ(cmd->ErrorCount(), 0);
    EXPECT_FALSE(cmd->Error());
    EXPECT_TRUE(testing_support::fileLines(logPath).isEmpty());
}

TEST_F(CommandExecution, OtherCommandTypesAreTracedAndDoneWithoutFrame)
{
    for (qint16 type : {qint16(0), qint16(3)}) {
        auto cmd = write(5, 67, {2});
        cmd->setCmdType(type);
        exec.TraiteCommande(*cmd);
        EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    }
    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList({"10/12/2024 14:03:05 CMD??? COMMAND M05:0043 0002",
                                              "10/12/2024 14:03:05 CMD??? COMMAND M05:0043 0002"}));
}

TEST_F(CommandExecution, FailedWriteIsTracedAndCounted)
{
    sim.setFault(5, "silent");
    auto cmd = write(5, 67, {2});
    exec.TraiteCommande(*cmd);

    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdWrite);
    EXPECT_TRUE(cmd->Error());
    EXPECT_EQ(cmd->ErrorCount(), 1);
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList{"10/12/2024 14:03:05 WRITE  COMMAND M05:0043 0002"});
}

TEST_F(CommandExecution, LongLineIsCutAt80)
{
    QVector<qint16> values(20, 0x1234);
    exec.TraiteCommande(*write(5, 25, values));
    const QStringList lines = testing_support::fileLines(logPath);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), 80);
    EXPECT_TRUE(lines[0].startsWith("10/12/2024 14:03:05 WRITE  COMMAND M05:0019 1234 1234"));
}

TEST_F(CommandExecution, ReadAtAddressOneSetsOnlyTheChannelsRead)
{
    PanelClass& panel = ConfigAccess::panel(4);
    panel.setModel(2);  // 24 channels
    for (int c = 1; c <= 24; ++c)
        ConfigAccess::channel(panel, c).setState(9);
    const QVector<qint16> states{1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1, 2};
    for (int c = 1; c <= 12; ++c)
        sim.setChannelState(4, c, std::uint16_t(states[c - 1]));
    auto cmd = std::make_shared<CommandClass>();
    cmd->setModule(4);
    cmd->setCmdType(CommandClass::CmdRead);
    cmd->setAddress(1);
    cmd->ValuesCopy(QVector<qint16>(12, 0));
    exec.TraiteCommande(*cmd);

    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    EXPECT_EQ(cmd->Values(), states);
    for (int c = 1; c <= 12; ++c)
        EXPECT_EQ(ConfigAccess::channel(panel, c).State(), states[c - 1]) << c;
    for (int c = 13; c <= 24; ++c)
        EXPECT_EQ(ConfigAccess::channel(panel, c).State(), 9) << c;
    // the words read, cut at 80 characters
    EXPECT_EQ(testing_support::fileLines(logPath).value(0), "10/12/2024 14:03:05 READ   COMMAND M04:0001 0001 0002 0003 0004 0000 0001 0002 0");
}

// An error inside the execution counts as a failed attempt, so that the queue
// drops the command instead of retrying it for ever.
TEST_F(CommandExecution, ErrorInsideCountsAsFailure)
{
    auto cmd = write(5, 70000, {2});  // no 16-bit register
    exec.TraiteCommande(*cmd);
    EXPECT_TRUE(cmd->Error());
    EXPECT_EQ(cmd->ErrorCount(), 1);
    EXPECT_EQ(errors, QStringList{"wPolling.TraiteCommande:6"});
}

class CommandQueue : public CommandExecution {};

TEST_F(CommandQueue, FailingWriteIsRetriedAtEachTickAndDroppedAfterThree)
{
    sim.setFault(5, "silent");
    CommandClasses queue;
    queue.Add(write(5, 67, {2}));
    int writeErrors = 0;
    QObject::connect(&exec, &CommandExecutor::WriteError, [&](const CommandClass& cmd) {
        ++writeErrors;
        EXPECT_EQ(cmd.ErrorCount(), 3);
    });

    for (int tick = 1; tick <= 2; ++tick) {
        EXPECT_TRUE(exec.RunQueue(queue));
        EXPECT_EQ(queue.Count(), 1) << tick;
        EXPECT_EQ(frames().size(), size_t(tick));
    }
    EXPECT_TRUE(exec.RunQueue(queue));
    EXPECT_EQ(frames().size(), 3u);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(writeErrors, 1);
    ASSERT_EQ(rules.dropped.size(), 1u);
    EXPECT_EQ(rules.dropped[0].Address(), 67);
}

TEST_F(CommandQueue, AlwaysFailingCommandIsDroppedAfterThreeTries)
{
    CommandClasses queue;
    queue.Add(write(5, 70000, {2}));
    for (int tick = 0; tick < 3; ++tick)
        exec.RunQueue(queue);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(errors.size(), 3);
    ASSERT_EQ(rules.dropped.size(), 1u);
    EXPECT_EQ(rules.dropped[0].Address(), 70000);
}

TEST_F(CommandQueue, DoneCommandsGoAndOnesNotDueStay)
{
    CommandClasses queue;
    auto later = write(6, 67, {2});
    later->setSendTime(now.addSeconds(60));
    queue.Add(write(5, 67, {2}));
    queue.Add(later);
    int yields = 0;
    EXPECT_TRUE(exec.RunQueue(queue, [&] {
        // a screen queues a command during the yield: it runs in the same pass
        if (++yields == 1)
            queue.Add(write(7, 67, {2}));
        return true;
    }));
    EXPECT_EQ(yields, 3);
    ASSERT_EQ(queue.Count(), 1);
    EXPECT_EQ(queue.Item(1), later);
    EXPECT_EQ(later->ErrorCount(), 0);
    EXPECT_EQ(frames().size(), 2u);
}

TEST_F(CommandQueue, ClosingDuringAYieldEndsThePass)
{
    CommandClasses queue;
    queue.Add(write(5, 67, {2}));
    queue.Add(write(6, 67, {2}));
    EXPECT_FALSE(exec.RunQueue(queue, [] { return false; }));
    EXPECT_EQ(frames().size(), 1u);
    EXPECT_EQ(queue.Count(), 2);  // no clean-up
}

} // namespace
