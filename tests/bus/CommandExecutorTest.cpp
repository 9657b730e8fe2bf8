// Execution of queued bus commands against a recording serial control: which
// frame a command becomes, its trace line, its outcome, and the queue's retry
// and drop rules.

#include "program/bus/CommandExecutor.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/SerialControl.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/CommandClasses.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/ModbusFrames.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A serial control that keeps every frame it is given and answers as a module
// would, unless told to stay silent; it runs on the virtual clock.
class RecordingPort : public plat::SerialControl {
public:
    explicit RecordingPort(plat::VirtualClock& clock) : m_clock(clock) {}

    int CommPort() const override { return 1; }
    void setCommPort(int) override {}
    QString Settings() const override { return QStringLiteral("9600,N,8,1"); }
    void setSettings(const QString&) override {}
    bool PortOpen() const override { return true; }
    void setPortOpen(bool) override {}
    bool RTSEnable() const override { return true; }
    void setRTSEnable(bool) override {}
    int InBufferCount() const override { return int(m_in.size()); }
    void setInBufferCount(int) override { m_in.clear(); }
    int OutBufferCount() const override { return 0; }
    void setOutBufferCount(int) override {}
    QByteArray Input() override { return std::exchange(m_in, {}); }

    void Output(const QByteArray& frame) override
    {
        frames.push_back(frame);
        sentAtMs.push_back(m_clock.nowMs());
        if (silent || quint8(frame[0]) == 0)
            return;
        const quint8 fn = quint8(frame[1]);
        QByteArray reply;
        if (fn == 6) {
            reply = frame;
        } else if (fn == 16) {
            reply = frame.left(6);
            ModbusFrames::appendCrc(reply);
        } else if (fn == 3) {
            const int n = (quint8(frame[4]) << 8) | quint8(frame[5]);
            reply.append(frame[0]).append(char(3)).append(char(2 * n));
            for (int i = 0; i < n; ++i) {
                const quint16 w = quint16(i < readWords.size() ? readWords[i] : 0);
                reply.append(char(w >> 8)).append(char(w & 0xFF));
            }
            ModbusFrames::appendCrc(reply);
        }
        m_in = reply;
    }

    bool silent = false;
    QVector<qint16> readWords;
    std::vector<QByteArray> frames;
    std::vector<qint64> sentAtMs;

private:
    plat::VirtualClock& m_clock;
    QByteArray m_in;
};

class RecordingRules : public Dispatch::EventRules {
public:
    bool IsToDisplay(const EventClass&) override { return false; }
    bool IsToHisto(const EventClass&) override { return false; }
    bool IsToPrint(const EventClass&) override { return false; }
    bool IsToKlaxon(const EventClass&) override { return false; }
    QString FormateTrace(const EventClass&) override { return {}; }
    void TraceWriteError(const CommandClass& cmd) override { dropped.push_back(cmd.Address()); }
    std::vector<qint32> dropped;
};

class CommandExecution : public ::testing::Test {
protected:
    void SetUp() override
    {
        CommFunctions::setClock(&clock);
        m_config = std::make_unique<ConfigClass>([](int) { return QString(); });
        m_savedConfig = gConfig;
        gConfig = m_config.get();
        gPanelLetter = QStringLiteral("M");
        logPath = testing_support::programFolder() + "/trace.log";
        gTraceLog().OpenFile(logPath, VexLib22::eLogModeFileAppend);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors << name + ":" + QString::number(e.number());
        });
        exec.setPort(&port);
        exec.setRules(&rules);
        exec.setNow([this] { return now; });
    }
    void TearDown() override
    {
        gTraceLog().CloseFile();
        plat::setErrorReporter({});
        gConfig = m_savedConfig;
        gPanelLetter.clear();
        CommFunctions::setClock(nullptr);
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

    plat::VirtualClock clock{1000000};
    RecordingPort port{clock};
    RecordingRules rules;
    CommandExecutor exec;
    plat::DateTime now = plat::DateTime::fromDate(QDate(2024, 12, 10), QTime(14, 3, 5));
    QString logPath;
    QStringList errors;

private:
    std::unique_ptr<ConfigClass> m_config;
    ConfigClass* m_savedConfig = nullptr;
};

TEST_F(CommandExecution, OneValueIsWrittenWithFunction6AndTraced)
{
    auto cmd = write(5, 67, {2});
    exec.TraiteCommande(*cmd);

    ASSERT_EQ(port.frames.size(), 1u);
    EXPECT_EQ(port.frames[0], ModbusFrames::writeSingleRequest(5, 67, 2));
    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    EXPECT_FALSE(cmd->Error());
    EXPECT_EQ(cmd->SendTime(), now);  // "at once" takes the time of execution
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList{"10/12/2024 14:03:05 WRITE  COMMAND M05:0043 0002"});
}

TEST_F(CommandExecution, SeveralValuesAreWrittenWithFunction16InOneFrame)
{
    auto cmd = write(7, 25, {1, 2, 3, 4, -1});
    exec.TraiteCommande(*cmd);

    ASSERT_EQ(port.frames.size(), 1u);
    EXPECT_EQ(port.frames[0], ModbusFrames::writeMultipleRequest(7, 25, {1, 2, 3, 4, -1}));
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

    ASSERT_EQ(port.frames.size(), 2u);
    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    // broadcast sent, then its sleep, then the next frame's own pause
    EXPECT_EQ(port.sentAtMs[1] - port.sentAtMs[0], CommandExecutor::BroadcastSleepMs + 25);
    EXPECT_EQ(testing_support::fileLines(logPath).value(0), "10/12/2024 14:03:05 WRITE  COMMAND M00:0121 0000");
}

TEST_F(CommandExecution, CommandNotYetDueIsLeftAlone)
{
    auto cmd = write(5, 67, {2});
    cmd->setSendTime(now.addSeconds(1));
    exec.TraiteCommande(*cmd);

    EXPECT_TRUE(port.frames.empty());
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
    EXPECT_TRUE(port.frames.empty());
    EXPECT_EQ(testing_support::fileLines(logPath), QStringList({"10/12/2024 14:03:05 CMD??? COMMAND M05:0043 0002",
                                              "10/12/2024 14:03:05 CMD??? COMMAND M05:0043 0002"}));
}

TEST_F(CommandExecution, FailedWriteIsTracedAndCounted)
{
    port.silent = true;
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
    port.readWords = {1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1, 2};
    auto cmd = std::make_shared<CommandClass>();
    cmd->setModule(4);
    cmd->setCmdType(CommandClass::CmdRead);
    cmd->setAddress(1);
    cmd->ValuesCopy(QVector<qint16>(12, 0));
    exec.TraiteCommande(*cmd);

    EXPECT_EQ(cmd->CmdType(), CommandClass::CmdDone);
    EXPECT_EQ(cmd->Values(), port.readWords);
    for (int c = 1; c <= 12; ++c)
        EXPECT_EQ(ConfigAccess::channel(panel, c).State(), port.readWords[c - 1]) << c;
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
    port.silent = true;
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
        EXPECT_EQ(port.frames.size(), size_t(tick));
    }
    EXPECT_TRUE(exec.RunQueue(queue));
    EXPECT_EQ(port.frames.size(), 3u);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(writeErrors, 1);
    EXPECT_EQ(rules.dropped, std::vector<qint32>{67});
}

TEST_F(CommandQueue, AlwaysFailingCommandIsDroppedAfterThreeTries)
{
    CommandClasses queue;
    queue.Add(write(5, 70000, {2}));
    for (int tick = 0; tick < 3; ++tick)
        exec.RunQueue(queue);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(errors.size(), 3);
    EXPECT_EQ(rules.dropped, std::vector<qint32>{70000});
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
    EXPECT_EQ(port.frames.size(), 2u);
}

TEST_F(CommandQueue, ClosingDuringAYieldEndsThePass)
{
    CommandClasses queue;
    queue.Add(write(5, 67, {2}));
    queue.Add(write(6, 67, {2}));
    EXPECT_FALSE(exec.RunQueue(queue, [] { return false; }));
    EXPECT_EQ(port.frames.size(), 1u);
    EXPECT_EQ(queue.Count(), 2);  // no clean-up
}

} // namespace
