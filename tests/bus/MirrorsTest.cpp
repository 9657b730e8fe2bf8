// The mirrors against the in-process simulator: what each kind of mirror
// writes to its target (read back from the simulator's write log once the
// queue has run), the error line of an unsupported one, the channel copies
// with the target's state and mirror type, the packed states of a model 2
// module, mirrors in the dispatch of polled events, and the loop test of
// the mirror editors.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"
#include "program/bus/Miroirs.h"
#include "program/core/ConfigFile.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "tests/harness/TestSupport.h"

#include <QStringList>

using namespace pollingtest;

namespace {

class Mirrors : public PollingFixture {
protected:
    void SetUp() override
    {
        PollingFixture::SetUp();
        mirrors.setEngine(engine.get());
        engine->dispatcher().setMirrors(&mirrors);
    }

    // A module of that model on the bus and in the configuration.
    void module(int address, int model) { configure(address, model); }
    void mirror(int fromModule, int fromChannel, int toModule, int toChannel, int type = 0)
    {
        gConfig->Mirrors()->Add(qint16(fromModule), qint16(fromChannel), qint16(toModule), qint16(toChannel),
                                qint16(type));
    }
    static EventClass event(int module, int chnl, int param, int aff)
    {
        EventClass ev;
        ev.setPanel(qint16(module));
        ev.setChnl(qint16(chnl));
        ev.setParam(qint16(param));
        ev.setAff(qint16(aff));
        return ev;
    }
    // The queue runs as a tick runs it; what reached the modules, as
    // "module: W<register>=<values> fn<function>", in order.
    QStringList written()
    {
        sim.clearWriteLog();
        engine->executor().RunQueue(engine->commands());
        QStringList out;
        for (const modsim::WriteRecord& w : sim.writeLog()) {
            QStringList values;
            for (std::uint16_t v : w.values)
                values << QString::number(qint16(v));
            out << QString("%1: W%2=%3 fn%4").arg(w.address).arg(w.reg).arg(values.join(',')).arg(w.function);
        }
        return out;
    }
    ChannelClass& channel(int module, int chnl) { return *gConfig->Panel(qint16(module))->Channel(qint16(chnl)); }

    Miroirs mirrors;
};

} // namespace

// ---- Every row of the table of families ---------------------------------------

struct FamilyRow {
    const char* row;
    int sourceModel, fromChannel, targetModel, toChannel;
    int param, aff;          // the event of the source
    const char* expected;    // the writes, "|" between them; "ERROR" for the error line; "" nothing
};

TEST_F(Mirrors, EveryRowOfTheFamilyTableWritesWhatItSaysOrLogsTheError)
{
    const FamilyRow rows[] = {
        {"buffer module to buffer module", 1, 0, 3, 0, 0, 2, "2: W67=2 fn6"},
        {"buffer module to buffer module, any target channel", 3, 0, 1, 7, 0, 2, "2: W67=2 fn6"},
        {"buffer module to buffer module, not an acknowledgement", 1, 0, 1, 0, 0, 3, ""},
        {"buffer module to packed module", 1, 0, 2, 0, 0, 2, "2: W25=0,0,0,0,0 fn16"},
        {"buffer module to a packed module's channel", 1, 0, 2, 4, 0, 2, "ERROR"},
        {"buffer module to model 4", 1, 0, 4, 0, 0, 2, ""},
        {"buffer module to model 5", 3, 0, 5, 3, 0, 2, ""},
        {"channel to channel, buffer modules", 1, 3, 3, 5, 0, 1, "2: W21=3 fn6"},
        {"channel to channel 12", 3, 12, 1, 12, 0, 1, "2: W28=3 fn6"},
        {"channel to a buffer module's channel 13", 1, 3, 1, 13, 0, 1, "ERROR"},
        {"channel to a buffer module as a whole", 1, 3, 1, 0, 0, 1, "ERROR"},
        {"channel to a packed module's channel", 1, 3, 2, 20, 0, 1, "2: W20=1 fn6"},
        {"channel to a packed module's channel 24", 1, 3, 2, 24, 0, 1, "2: W24=1 fn6"},
        {"channel to a packed module as a whole", 1, 3, 2, 0, 0, 1, "ERROR"},
        {"channel to a packed module's channel 25", 1, 3, 2, 25, 0, 1, "ERROR"},
        {"channel to model 4", 1, 3, 4, 3, 0, 1, ""},
        {"channel 13 of a buffer module", 1, 13, 1, 3, 0, 1, "ERROR"},
        {"packed module to buffer module", 2, 0, 1, 0, 0, 3, "2: W67=2 fn6"},
        {"packed module to a buffer module's channel", 2, 0, 3, 2, 0, 2, "ERROR"},
        {"packed module to packed module", 2, 0, 2, 0, 0, 2, "2: W25=0,0,0,0,0 fn16"},
        {"packed module to a packed module's channel", 2, 0, 2, 9, 0, 2, "ERROR"},
        {"packed module to model 5", 2, 0, 5, 0, 0, 2, ""},
        {"a packed module's channel", 2, 3, 1, 0, 0, 1, "ERROR"},
        {"model 4 source", 4, 2, 1, 2, 0, 1, "ERROR"},
        {"model 5 source", 5, 0, 3, 0, 0, 2, "ERROR"},
    };
    engine->Load();
    for (const FamilyRow& r : rows) {
        SCOPED_TRACE(r.row);
        for (int m : {1, 2})
            sim.removeModule(m);
        module(1, r.sourceModel);
        module(2, r.targetModel);
        gConfig->Mirrors()->RemoveAll();
        mirror(1, r.fromChannel, 2, r.toChannel, 1);
        log->lines.clear();
        mirrors.DoMirrors(event(1, r.fromChannel, r.param, r.aff));
        const QString id = QString("01%1").arg(r.fromChannel, 2, 10, QChar('0'))
                           + QString("02%1").arg(r.toChannel, 2, 10, QChar('0'));
        if (QString(r.expected) == "ERROR") {
            ASSERT_EQ(log->lines.size(), 1);
            EXPECT_EQ(log->lines[0], "02/05/2024 10:00:01 MIRROR ERROR   " + id);
            EXPECT_EQ(log->flushes, 1);
            EXPECT_TRUE(written().isEmpty());
        } else {
            EXPECT_TRUE(log->lines.isEmpty()) << log->lines.join('\n').toStdString();
            EXPECT_EQ(written().join('|'), r.expected);
        }
        log->flushes = 0;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Mirrors, AnUnsupportedMirrorLogsAtEachEventOfItsSourceOnlyAndTheLineIsCut)
{
    engine->Load();
    module(1, 1);
    module(2, 1);
    mirror(1, 13, 2, 3);
    mirror(1, 4, 2, 4);   // another source channel: not this event's
    log->lines.clear();
    mirrors.DoMirrors(event(1, 13, 0, 1));
    mirrors.DoMirrors(event(1, 13, 0, 0));
    EXPECT_EQ(log->lines, QStringList({"02/05/2024 10:00:01 MIRROR ERROR   01130203",
                                       "02/05/2024 10:00:01 MIRROR ERROR   01130203"}));
    EXPECT_TRUE(written().isEmpty());
    // The line is trimmed and never longer than 80 characters.
    const QString line = Miroirs::ErrorLine(now(), QString(100, QChar('9')));
    EXPECT_EQ(line.size(), Miroirs::ErrorLineMax);
    EXPECT_TRUE(line.startsWith("02/05/2024 10:00:01 MIRROR ERROR   9999"));
}

// ---- Channel copies ----------------------------------------------------------

struct V3V3Row {
    int param, aff, mirrorType;
    int expected;  // -1: nothing written
};

TEST_F(Mirrors, ChannelCopyBetweenBufferModulesWritesTheChannelCommandByStateAndType)
{
    const V3V3Row rows[] = {
        {0, 1, 0, 3},   // active, not acknowledged
        {0, 1, 2, 3},
        {1, 1, 1, -1},  // active, acknowledged
        {0, 0, 0, 0},   // normal
        {1, 0, 2, 0},
        {1, 2, 1, 2},   // an acknowledged fault: by the mirror's type
        {1, 2, 2, 3},
        {1, 2, 0, -1},
        {1, 4, 1, 2},
        {1, 3, 2, 3},
        {0, 2, 1, -1},  // a fault not yet acknowledged
        {0, 3, 2, -1},
        {2, 2, 1, -1},
    };
    engine->Load();
    module(1, 1);
    module(2, 3);
    for (const V3V3Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "param " << r.param << " aff " << r.aff << " type " << r.mirrorType);
        gConfig->Mirrors()->RemoveAll();
        mirror(1, 3, 2, 5, r.mirrorType);
        mirrors.DoMirrors(event(1, 3, r.param, r.aff));
        EXPECT_EQ(written().join('|'), r.expected < 0 ? QString() : QString("2: W21=%1 fn6").arg(r.expected));
        const std::optional<qint16> v = Miroirs::V3V3Value(r.param, r.aff, r.mirrorType);
        EXPECT_EQ(v ? int(*v) : -1, r.expected);
    }
}

struct V3V2Row {
    int param, aff;
    int stateBefore;
    const char* expected;
    int stateAfter;
    int mirrorTypeAfter;
};

TEST_F(Mirrors, ChannelCopyToAPackedModuleWritesItsStateAndKeepsTheTargetsStateAndType)
{
    // The mirror is of type 2; the target channel starts with type 1.
    const V3V2Row rows[] = {
        {0, 1, 0, "2: W7=1 fn6", 1, 2},
        {0, 0, 3, "2: W7=0 fn6", 0, 2},
        {1, 0, 1, "2: W7=0 fn6", 0, 2},
        {1, 0, 3, "", -1, 1},   // still latched at the target: marked, nothing written
        {1, 0, 0, "", 0, 1},
        {1, 3, 0, "2: W7=3 fn6|2: W64=1 fn6", 3, 2},
        {1, 4, 1, "2: W7=4 fn6|2: W64=1 fn6", 4, 2},
        {0, 2, 0, "", 0, 1},
        {1, 1, 0, "", 0, 1},
        {1, 2, 0, "", 0, 1},
    };
    engine->Load();
    module(1, 3);
    module(2, 2);
    mirror(1, 6, 2, 7, 2);
    for (const V3V2Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "param " << r.param << " aff " << r.aff << " state " << r.stateBefore);
        ChannelClass& target = channel(2, 7);
        target.setState(qint16(r.stateBefore));
        target.setMirrorType(1);
        mirrors.DoMirrors(event(1, 6, r.param, r.aff));
        EXPECT_EQ(written().join('|'), r.expected);
        EXPECT_EQ(target.State(), r.stateAfter);
        EXPECT_EQ(target.MirrorType(), r.mirrorTypeAfter);
    }
}

// ---- Whole module copies -------------------------------------------------------

TEST_F(Mirrors, PackedStatesHoldFiveChannelsAWordThreeBitsEachLowestChannelFirst)
{
    engine->Load();
    module(1, 2);
    module(2, 2);
    mirror(1, 0, 2, 0);
    const int states[] = {1, 0, 0, 0, 2};
    for (int c = 1; c <= 5; ++c)
        channel(2, c).setState(qint16(states[c - 1]));
    mirrors.DoMirrors(event(1, 0, 0, 2));
    EXPECT_EQ(written(), QStringList{QString("2: W25=%1,0,0,0,0 fn16").arg(1 + 2 * 8 * 8 * 8 * 8)});
    EXPECT_EQ(sim.module(2)->packedState(1), 1);
    EXPECT_EQ(sim.module(2)->packedState(5), 2);
    for (int c = 6; c <= 24; ++c)
        EXPECT_EQ(sim.module(2)->packedState(c), 0) << c;
}

TEST_F(Mirrors, PackingNormalisesMirroredChannelsAndNeverSpillsOntoTheNeighbours)
{
    engine->Load();
    module(1, 2);
    module(2, 2);
    mirror(1, 0, 2, 0);
    struct Channel {
        int number, state, mirrorType, packed;
    };
    const Channel channels[] = {
        {6, -1, 2, 0},   // a latched copy whose source went back: normal
        {7, 4, 2, 1},    // a latched fault: shown as active
        {8, 2, 1, 0},    // a plain copy: cleared
        {9, -1, 0, 7},   // not a copy: as it is, in its own three bits only
        {10, 9, 0, 1},   // beyond three bits: the low three
        {21, 3, 0, 3},   // the last word holds channels 21 to 24
        {24, 6, 0, 6},
    };
    for (const Channel& c : channels) {
        channel(2, c.number).setState(qint16(c.state));
        channel(2, c.number).setMirrorType(qint16(c.mirrorType));
    }
    mirrors.DoMirrors(event(1, 0, 0, 2));
    ASSERT_EQ(written().size(), 1);
    for (const Channel& c : channels)
        EXPECT_EQ(sim.module(2)->packedState(c.number), c.packed) << "channel " << c.number;
    EXPECT_EQ(sim.module(2)->packedState(5), 0);
    EXPECT_EQ(sim.module(2)->packedState(11), 0);
    EXPECT_EQ(sim.module(2)->packedState(20), 0);
    EXPECT_EQ(channel(2, 6).State(), 0);
    EXPECT_EQ(channel(2, 7).State(), 1);
    EXPECT_EQ(channel(2, 8).State(), 0);
    EXPECT_EQ(channel(2, 9).State(), -1) << "kept in the model as it is";
}

// ---- In the dispatch -------------------------------------------------------------

TEST_F(Mirrors, AnAlarmOfAPolledModuleIsCopiedToItsTargetAtALaterTickAndItsReturnToNormal)
{
    module(1, 1);
    module(2, 3);
    mirror(1, 3, 2, 5);
    loadAndRun();
    sim.clearWriteLog();
    ASSERT_TRUE(sim.raiseEvent(1, 3, 1, 0));
    tick();   // module 1 read: the alarm is dispatched, its copy queued
    EXPECT_TRUE(sim.writesTo(2).empty());
    ASSERT_EQ(engine->commands().Count(), 2) << "the buffer's acknowledgement and the copy";
    tick();
    auto channelCommands = [&] {
        QStringList out;
        for (const modsim::WriteRecord& w : sim.writesTo(2))
            out << QString("W%1=%2").arg(w.reg).arg(w.values.front());
        return out;
    };
    EXPECT_EQ(channelCommands(), QStringList{"W21=3"});
    ASSERT_TRUE(sim.raiseEvent(1, 3, 0, 0));
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_EQ(channelCommands(), QStringList({"W21=3", "W21=0"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Mirrors, AModuleWideEventOfAPackedModuleRewritesItsOwnStatesBeforeItsMirrorsRun)
{
    module(7, 2);
    module(8, 1);
    module(1, 1);
    module(3, 3);
    mirror(7, 0, 8, 0);
    mirror(1, 0, 3, 0);
    loadAndRun();
    channel(7, 2).setState(1);
    sim.clearWriteLog();
    sim.setStatusWord(7, 1);
    ASSERT_TRUE(sim.raiseEvent(1, 0, 2, 0));   // a module-wide acknowledgement of a model 1
    // Module 1 is read first, module 7 two ticks later; each copy goes out
    // at the tick after its event.
    for (int i = 0; i < 4; ++i)
        tick();
    QStringList order;
    for (const modsim::WriteRecord& w : sim.writeLog())
        if (w.reg != Bus::RegEventAck)
            order << QString("%1: W%2").arg(w.address).arg(w.reg);
    // Module 1 writes nothing of its own, only its mirror's acknowledgement
    // of module 3; module 7 gets its own packed states back before its
    // mirror acknowledges module 8.
    EXPECT_EQ(order, QStringList({"3: W67", "7: W25", "8: W67"}));
    EXPECT_EQ(sim.module(7)->packedState(2), 1);
    EXPECT_TRUE(reports.empty());
}

// ---- The loop test ----------------------------------------------------------------

namespace {

MirrorClasses listOf(std::initializer_list<std::array<int, 4>> mirrors)
{
    MirrorClasses list;
    for (const auto& m : mirrors)
        list.Add(qint16(m[0]), qint16(m[1]), qint16(m[2]), qint16(m[3]), 0);
    return list;
}

} // namespace

TEST(MirrorLoop, ANewMirrorThatWouldCloseACycleIsRefused)
{
    const MirrorClasses aToB = listOf({{1, 2, 5, 7}});
    EXPECT_TRUE(Miroirs::IsMirrorLoop(aToB, 5, 7, 1, 2)) << "B to A when A to B exists";
    EXPECT_FALSE(Miroirs::IsMirrorLoop(aToB, 1, 2, 9, 0)) << "A to C";
    EXPECT_FALSE(Miroirs::IsMirrorLoop(aToB, 5, 0, 1, 2)) << "channel 0 is another pair";
    EXPECT_TRUE(Miroirs::IsMirrorLoop(MirrorClasses(), 4, 1, 4, 1)) << "a channel onto itself";
    // A longer way round: A to B, B to C; C to A closes it, D to A does not.
    const MirrorClasses chain = listOf({{1, 1, 2, 1}, {2, 1, 3, 1}});
    EXPECT_TRUE(Miroirs::IsMirrorLoop(chain, 3, 1, 1, 1));
    EXPECT_FALSE(Miroirs::IsMirrorLoop(chain, 4, 1, 1, 1));
}

TEST_F(Mirrors, AListReadFromAFileWithACycleStillGivesItsAnswer)
{
    // Mirrors of a file are read without the editors' test: this one holds
    // 1.1 -> 2.1 -> 1.1, and 4.1 -> 1.1 on the side, and 3.3 onto itself.
    ConfigClass written([](int) { return QString(); });
    written.Mirrors()->Add(1, 1, 2, 1, 0);
    written.Mirrors()->Add(2, 1, 1, 1, 0);
    written.Mirrors()->Add(4, 1, 1, 1, 0);
    written.Mirrors()->Add(3, 3, 3, 3, 0);
    const QString file = testing_support::programFolder() + "/cycle.px2";
    ASSERT_EQ(written.Save(file), -1);
    ConfigClass read([](int) { return QString(); });
    ASSERT_EQ(read.Read(file), 0);
    const MirrorClasses& list = *read.Mirrors();
    ASSERT_EQ(list.Count(), 4);
    EXPECT_FALSE(Miroirs::IsMirrorLoop(list, 2, 1, 5, 1)) << "round the cycle, never to 5.1";
    EXPECT_TRUE(Miroirs::IsMirrorLoop(list, 2, 1, 4, 1)) << "through the cycle to its side branch";
    EXPECT_FALSE(Miroirs::IsMirrorLoop(list, 3, 3, 6, 6));
    EXPECT_TRUE(Miroirs::IsMirrorLoop(list, 1, 1, 2, 1));
}

TEST(MirrorLoop, AChainOfTwoHundredMirrorsIsFollowedToItsEnd)
{
    auto point = [](int i) { return std::array<int, 2>{i % 64 + 1, i / 64}; };
    MirrorClasses chain;
    for (int i = 0; i < 200; ++i)
        chain.Add(qint16(point(i)[0]), qint16(point(i)[1]), qint16(point(i + 1)[0]), qint16(point(i + 1)[1]), 0);
    EXPECT_TRUE(Miroirs::IsMirrorLoop(chain, point(200)[0], point(200)[1], point(0)[0], point(0)[1]))
        << "from the end back to the start";
    EXPECT_FALSE(Miroirs::IsMirrorLoop(chain, point(0)[0], point(0)[1], point(200)[0], point(200)[1]));
    EXPECT_TRUE(Miroirs::IsMirrorLoop(chain, point(150)[0], point(150)[1], point(20)[0], point(20)[1]));
    // Closed into a ring by a file, it still ends.
    chain.Add(qint16(point(200)[0]), qint16(point(200)[1]), qint16(point(0)[0]), qint16(point(0)[1]), 0);
    EXPECT_FALSE(Miroirs::IsMirrorLoop(chain, point(100)[0], point(100)[1], 64, 24));
}
