// The command record and its queue, and the event record's packed ID.

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "program/bus/CommandClasses.h"
#include "program/bus/EventClass.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

namespace {

CommandPtr write(qint16 module, qint32 address, QVector<qint16> values)
{
    auto c = std::make_shared<CommandClass>();
    c->setModule(module);
    c->setCmdType(CommandClass::CmdWrite);
    c->setAddress(address);
    c->ValuesCopy(values);
    return c;
}

class Reported : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors.push_back({name, e.number()});
        });
    }
    std::vector<std::pair<QString, int>> errors;
};

} // namespace

TEST(CommandClasses, QueueDropsACommandEqualToAQueuedOne)
{
    CommandClasses q;
    auto first = write(5, 288, {3});
    q.Add(first);

    struct Case {
        const char* name;
        CommandPtr cmd;
        bool appended;
    };
    auto otherTime = write(5, 288, {3});
    otherTime->setSendTime(plat::DateTime(45000.5));
    otherTime->setError(true);
    otherTime->setErrorCount(2);
    auto done = write(5, 288, {3});
    done->setCmdType(CommandClass::CmdDone);
    const Case cases[] = {
        {"only SendTime, Error and ErrorCount differ", otherTime, false},
        {"same target and values, another type", done, true},
        {"another module", write(6, 288, {3}), true},
        {"another address", write(5, 289, {3}), true},
        {"another value", write(5, 288, {4}), true},
        {"one value more", write(5, 288, {3, 0}), true},
    };
    for (const Case& c : cases) {
        const int before = q.Count();
        q.Add(c.cmd);
        EXPECT_EQ(q.Count(), before + (c.appended ? 1 : 0)) << c.name;
    }
    // Insertion order, 1-based; the first queued stays the one kept.
    EXPECT_EQ(q.Item(1), first);
    EXPECT_EQ(q.Item(2), done);
    EXPECT_EQ(q.Count(), 6);

    // An executed command still in the queue does not keep the same command out.
    CommandClasses q2;
    q2.Add(done);
    q2.Add(write(5, 288, {3}));
    EXPECT_EQ(q2.Count(), 2);
}

TEST(CommandClasses, RemoveAndPositions)
{
    CommandClasses q;
    for (int m = 1; m <= 3; ++m)
        q.Add(write(qint16(m), 67, {2}));
    q.Remove(2);
    ASSERT_EQ(q.Count(), 2);
    EXPECT_EQ(q.Item(2)->Module(), 3);
    std::vector<int> modules;
    for (const CommandPtr& c : q)
        modules.push_back(c->Module());
    EXPECT_EQ(modules, (std::vector<int> {1, 3}));
    for (int bad : {0, 3, -1}) {
        EXPECT_THROW(q.Item(bad), plat::RtError) << bad;
        EXPECT_THROW(q.Remove(bad), plat::RtError) << bad;
    }
    EXPECT_EQ(q.Count(), 2);
}

TEST_F(Reported, CommandValuesGrowAndReadZeroBeyondTheEnd)
{
    CommandClass c;
    EXPECT_EQ(c.ValuesCount(), 0);
    EXPECT_EQ(c.Value(0), 0);
    c.setValue(3, 9);
    EXPECT_EQ(c.Values(), QVector<qint16>({0, 0, 0, 9}));
    c.setValue(1, -5);
    EXPECT_EQ(c.Values(), QVector<qint16>({0, -5, 0, 9}));
    EXPECT_EQ(c.Value(5), 0);
    EXPECT_EQ(c.Value(-1), 0);

    c.setErrorCount(2);
    c.setError(true);
    c.ErrorInc();
    EXPECT_EQ(c.ErrorCount(), 3);
    c.ErrorsClear();
    EXPECT_EQ(c.ErrorCount(), 0);
    EXPECT_TRUE(c.Error());

    // CmdType keeps a 16-bit value; one that does not fit is reported and not stored.
    c.setCmdType(CommandClass::CmdRead);
    c.setCmdType(70000);
    EXPECT_EQ(c.CmdType(), CommandClass::CmdRead);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], std::make_pair(QString("CommandClass.CmdType"), 6));
}

TEST_F(Reported, EventIdPacksAndUnpacks)
{
    struct Case {
        const char* name;
        int panel, chnl, param, aff;
        qint32 id;
    } cases[] = {
        {"channel event", 3, 5, 1, 1, 0x03050101},
        {"Param 200 takes bits 8-15", 1, 2, 200, 3, 0x0102C803},
        {"program start", 0, 254, 0, 1, 254 * 65536 + 1},
        {"polling stopped", 0, 254, 0, 5, 254 * 65536 + 5},
        {"module disappeared", 64, 255, 1, 0, 0x40FF0100},
        {"re-announcement", 12, 24, 0, 255, 0x0C1800FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventClass e;
        e.setPanel(qint16(c.panel));
        e.setChnl(qint16(c.chnl));
        e.setParam(qint16(c.param));
        e.setAff(qint16(c.aff));
        EXPECT_EQ(e.ID(), c.id);
        EventClass back;
        back.setID(c.id);
        EXPECT_EQ(back.Panel(), c.panel);
        EXPECT_EQ(back.Chnl(), c.chnl);
        EXPECT_EQ(back.Param(), c.param);
        EXPECT_EQ(back.Aff(), c.aff);
        EXPECT_EQ(back.ID() / 65536, c.panel * 256 + c.chnl);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Reported, EventIdOfFieldsThatDoNotFit)
{
    EventClass e;
    e.setPanel(3);
    e.setChnl(5);
    // A parameter word above a byte keeps its low byte: the event still names its channel.
    e.setParam(0x1234);
    e.setAff(1);
    EXPECT_EQ(e.ID(), 0x03053401);
    EXPECT_TRUE(errors.empty());

    // So does a state word beyond a byte.
    e.setAff(256 + 2);
    EXPECT_EQ(e.ID(), 0x03053402);
    EXPECT_TRUE(errors.empty());

    e.setAff(1);
    e.setChnl(-1);
    EXPECT_EQ(e.ID(), 0);
    e.setChnl(5);
    e.setPanel(128);
    EXPECT_EQ(e.ID(), 0);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], std::make_pair(QString("EventClass.ID"), 6));

    EventClass fresh;
    EXPECT_EQ(fresh.ID(), 0);
    EXPECT_EQ(fresh.Num(), 0);
    EXPECT_EQ(fresh.Clock(), 0);
    EXPECT_EQ(fresh.GDH().serial(), 0.0);
}
