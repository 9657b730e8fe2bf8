// The synchronisation passes of the engine on virtual time against the
// in-process simulator: the general pass as the requests each module
// received and the events it emits again, the re-read of one module, and the
// midnight pass with its day records and the clearing of latched mirror
// targets.

#include "tests/bus/PollingFixture.h"

#include "program/bus/BusConstants.h"
#include "program/bus/Miroirs.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PollingLink.h"
#include "tests/harness/TestSupport.h"

#include "platform/Screen.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

using namespace pollingtest;

namespace {

// The requests of a module that does not answer its type.
const QStringList kAbsent = {"R132", "R132", "R132"};

QStringList channelCommandsCleared(int channels)
{
    QStringList out;
    for (int c = 1; c <= channels; ++c)
        out << QString("W%1=0").arg(16 + c);
    return out;
}

class Synchro : public PollingFixture {
protected:
    void SetUp() override
    {
        PollingFixture::SetUp();
        mirrors.setEngine(engine.get());
        engine->dispatcher().setMirrors(&mirrors);
    }

    ChannelClass& channel(int module, int chnl) { return *panel(module).Channel(qint16(chnl)); }

    // Modules 1 and 2 polled, module 2 switched off and announced missing.
    void pollWithModuleTwoMissing()
    {
        configure(1, 1);
        configure(2, 1);
        loadAndRun();
        sim.setPower(2, false);
        ASSERT_TRUE(declaredMissing(2));
        ASSERT_EQ(eventsOnChannel(EventClass::ChnlPresence).size(), 1u);
    }
    // Polling runs until the module is declared missing; false when it is not.
    bool declaredMissing(int module)
    {
        for (int i = 0; i < 40 && panel(module).ErrCptr(2) == 0; ++i)
            tick();
        return panel(module).ErrCptr(2) > 0;
    }

    // From the next request that module gets on, the n after it never reach it.
    void failAfter(int module, int reg, int n)
    {
        auto armed = std::make_shared<bool>(true);
        sim.setObserver([this, module, reg, n, armed](const modsim::Exchange& x) {
            const QByteArray& f = x.request;
            if (*armed && quint8(f[0]) == module && ((quint8(f[2]) << 8) | quint8(f[3])) == reg) {
                *armed = false;
                sim.setFault(module, QStringLiteral("fail-next"), n);
            }
        });
    }

    std::vector<EventClass> channelEvents() const
    {
        std::vector<EventClass> out;
        for (const EventClass& e : events)
            if (e.Chnl() >= 1 && e.Chnl() <= 24)
                out.push_back(e);
        return out;
    }

    Miroirs mirrors;
};

QString describe(const EventClass& e)
{
    return QString("%1.%2 param %3 aff %4 clock %5")
        .arg(e.Panel())
        .arg(e.Chnl())
        .arg(e.Param())
        .arg(e.Aff())
        .arg(e.Clock());
}

} // namespace

// ---- General pass --------------------------------------------------------------

TEST_F(Synchro, TheGeneralPassAsEachModuleOfEveryModelReceivesIt)
{
    for (int m = 1; m <= 64; ++m)
        configure(m, (m - 1) % 5 + 1, m != 23);
    sim.setPower(6, false);                              // a model 1 switched off
    sim.setFault(12, QStringLiteral("silent"));          // a model 2 whose replies are lost
    sim.setPower(64, false);                             // a model 4; 23 is not on the bus at all
    // Module 1: three entries waiting in its buffer, three channels not normal.
    for (int i = 0; i < 3; ++i)
        sim.module(1)->pushEntry({quint16(0x9100), 0});
    sim.setChannelState(1, 3, 1);
    sim.setChannelState(1, 5, 5);
    sim.setChannelState(1, 7, 3);
    sim.module(1)->setChannelParam(7, 1);
    sim.setChannelState(3, 12, 2);
    // Module 4 reports words that are no state codes, and a parameter beyond a byte.
    sim.setChannelState(4, 2, 300);
    sim.module(4)->setChannelParam(2, 400);
    sim.setChannelState(5, 1, 5);
    for (int c = 1; c <= 24; ++c)
        channel(2, c).setState(1);
    panel(6).setPresent(true);
    gConfig->Mirrors()->Add(1, 3, 3, 5, 0);

    engine->Load();
    ASSERT_EQ(framesSent(), 0u);
    const plat::DateTime startedAt = now();
    engine->setRun(true);
    ASSERT_EQ(synchroPasses(), 1);

    const QStringList buffer = QStringList{"R132", "R133", "R49x12"} + channelCommandsCleared(12)
                               + QStringList{"W67=2", "R144"};
    const QStringList silentSubType = QStringList{"R132", "R133", "R49x12"} + channelCommandsCleared(12)
                                      + QStringList{"W67=2", "R144", "R1x12"};
    EXPECT_EQ(requestsTo(1), (buffer + QStringList{"W288=3", "R1x12"}));
    EXPECT_EQ(requestsTo(11), (buffer + QStringList{"R1x12"})) << "nothing pending: no acknowledgement";
    EXPECT_EQ(requestsTo(2), QStringList({"R132", "W64=0", "R68", "W0=0"}));
    EXPECT_EQ(requestsTo(3), silentSubType);
    EXPECT_EQ(requestsTo(4), silentSubType) << "a model 4 is taken for a model 3";
    EXPECT_EQ(requestsTo(5),
              (QStringList({"R132", "R133"}) + channelCommandsCleared(12) + QStringList{"W67=2", "R144", "R1x12"}));
    for (int m : {6, 12, 23, 64})
        EXPECT_EQ(requestsTo(m), kAbsent) << "module " << m;
    EXPECT_EQ(requestsTo(0), QStringList()) << "no broadcast";

    const int detected[] = {1, 2, 3, 3, 5};
    for (int m = 1; m <= 64; ++m) {
        const bool absent = m == 6 || m == 12 || m == 23 || m == 64;
        EXPECT_EQ(panel(m).ActualModel(), absent ? 0 : detected[(m - 1) % 5]) << "module " << m;
        EXPECT_EQ(panel(m).Present(), !absent) << "module " << m;
        EXPECT_EQ(panel(m).ErrCptr(0), 0) << "the pass counts no error";
    }
    EXPECT_EQ(sim.module(1)->pendingEvents(), 0);
    for (int c = 1; c <= 24; ++c)
        EXPECT_EQ(channel(2, c).State(), 0) << "a model 2's channels start again from normal";

    // The channels found active, in module order, with new numbers; 5 is normal.
    QStringList emitted;
    qint32 previous = 0;
    for (const EventClass& e : channelEvents()) {
        emitted << describe(e);
        EXPECT_GT(e.Num(), previous);
        previous = e.Num();
    }
    EXPECT_EQ(emitted, QStringList({"1.3 param 0 aff 1 clock -1", "1.5 param 0 aff 0 clock -1",
                                    "1.7 param 1 aff 3 clock -1", "3.12 param 0 aff 2 clock -1",
                                    "4.2 param 400 aff 300 clock -1", "5.1 param 0 aff 0 clock -1"}));
    EXPECT_TRUE(eventsOnChannel(EventClass::ChnlPresence).empty()) << "presence set silently";

    // The copy of 1.3 was queued by the dispatch and by the pass, and goes out once.
    sim.clearWriteLog();
    tick();
    int copies = 0;
    for (const modsim::WriteRecord& w : sim.writesTo(3))
        copies += w.reg == 21;
    EXPECT_EQ(copies, 1);

    const QString stars26(26, QChar('*')), stars39(39, QChar('*'));
    const QString line = plat::formatShortDate(startedAt) + " " + plat::formatLongTime(startedAt)
                         + " SYNCHR         ******** SYSTEM  COMM   SYNCHR " + stars26 + " " + stars39;
    ASSERT_EQ(line.size(), 132);
    EXPECT_TRUE(log->lines.contains(line)) << log->lines.join('\n').toStdString();
    EXPECT_EQ(log->lines.filter(" SYNCHR ").size(), 1);
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_TRUE(reports.empty()) << reports.front().name.toStdString();
}

TEST_F(Synchro, TheGeneralPassChargesNoModuleWhenTheLineCannotOpen)
{
    // The texts of the message that tells it.
    ASSERT_TRUE(
        QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    configure(1, 1);
    panel(1).setPresent(true);
    panel(1).setActualModel(1);
    engine->Load();
    port.setOpenFails(true);
    engine->SynchroGeneraleBus();
    EXPECT_EQ(framesSent(), 0u);
    EXPECT_TRUE(panel(1).Present());
    EXPECT_EQ(panel(1).ActualModel(), 1);
    EXPECT_TRUE(messages.isEmpty()) << "nobody is asked during a pass";
    EXPECT_EQ(notices.size(), 1) << "the line that did not open, told once without waiting";
    EXPECT_TRUE(reports.empty()) << reports.front().name.toStdString() << " " << reports.front().number;
}

TEST_F(Synchro, APollDueWhileTheNoticePaintsLeavesThePassOnItsConfiguration)
{
    ASSERT_TRUE(
        QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    configure(1, 1);
    loadAndRun();
    // The notice's yield: polling runs on, then a box opens another configuration.
    CoreForms::registerForms();
    bool yielded = false;
    onYield = [&] {
        if (yielded)
            return;
        yielded = true;
        ASSERT_TRUE(tick());
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
    };
    const size_t from = framesSent();
    engine->SynchroGeneraleBus();
    ASSERT_TRUE(yielded);
    EXPECT_TRUE(requestsTo(1, from).contains(QStringLiteral("R132"))) << "the module the pass began with is detected";
    EXPECT_TRUE(reports.empty()) << reports.front().name.toStdString() << " " << reports.front().number;
}

TEST_F(Synchro, AnOutOfServiceChannelIsNotCopiedByThePass)
{
    configure(1, 1);
    configure(2, 1);
    gConfig->Mirrors()->Add(1, 4, 2, 4, 0);
    channel(1, 4).setOutOfOrder(true);
    sim.setChannelState(1, 4, 1);
    engine->Load();
    engine->SynchroGeneraleBus();
    EXPECT_EQ(engine->commands().Count(), 0);
    EXPECT_EQ(channel(1, 4).State(), 1);
    EXPECT_TRUE(channelEvents().empty());
}

TEST_F(Synchro, AModuleOutOfServiceGetsNoFrameFromEitherPassAndKeepsWhatThePanelKnew)
{
    configure(1, 1);
    sim.setChannelState(1, 2, 1);
    // Out of service: one on the bus with an alarm standing and an entry in
    // its buffer, one that has left the bus.
    configure(2, 1);
    configure(3, 4, false);
    sim.setChannelState(2, 3, 1);
    sim.module(2)->pushEntry({quint16(0x9100), 0});
    for (int m : {2, 3}) {
        panel(m).setActive(false);
        panel(m).setPresent(true);
        panel(m).setActualModel(qint16(m == 2 ? 1 : 4));
    }
    // A latched target whose source is back to normal.
    channel(2, 3).setState(3);
    gConfig->Mirrors()->Add(1, 5, 2, 3, qint16(Miroirs::MirrorTypeLatch));
    engine->Load();

    const struct {
        const char* name;
        std::function<void()> run;
    } passes[] = {
        {"general", [this] { engine->SynchroGeneraleBus(); }},
        {"midnight", [this] { engine->MidnightSynchro(); }},
    };
    for (const auto& pass : passes) {
        SCOPED_TRACE(pass.name);
        events.clear();
        doubles.history.events.clear();
        const size_t from = framesSent();
        pass.run();
        EXPECT_FALSE(requestsTo(1, from).isEmpty()) << "the module in service is asked";
        for (int m : {2, 3}) {
            EXPECT_EQ(requestsTo(m, from).join(' ').toStdString(), "") << "module " << m;
            EXPECT_TRUE(panel(m).Present()) << "module " << m;
            EXPECT_EQ(panel(m).ActualModel(), m == 2 ? 1 : 4);
        }
        for (const EventClass& e : events)
            EXPECT_EQ(e.Panel(), 1) << describe(e).toStdString();
        EXPECT_EQ(channel(2, 3).State(), 3);
        EXPECT_EQ(sim.module(2)->pendingEvents(), 1);
    }
    // The midnight pass still writes the day record of every configured module.
    std::vector<int> recorded;
    for (const EventClass& e : doubles.history.events)
        if (e.Chnl() == EventClass::ChnlStation && e.Aff() == Polling::StationEvent::DailyState)
            recorded.push_back(e.Panel());
    EXPECT_EQ(recorded, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(reports.empty());
}

// ---- Re-read of one module -------------------------------------------------------

struct UpdateRow {
    const char* name;
    int model;
    bool presentBefore;
    std::function<void()> setUp;
    QStringList requests;
    QStringList events;   // "<chnl> param <p> aff <a> clock <c>" of module 1
    bool presentAfter;
    int actualModel;
};

TEST_F(Synchro, ReReadingAModuleReadsByItsModelAndAnnouncesOnlyWhatChanged)
{
    const QStringList typeAndParams{"R132", "R133", "R49x12"};
    const UpdateRow rows[] = {
        {"a model 5: its presence only", 5, true, [this] { sim.setChannelState(1, 2, 1); },
         {"R132", "R133"}, {}, true, 5},
        {"a model 2: its type only", 2, true, {}, {"R132"}, {}, true, 2},
        {"a model 1 whose channel parameters fail three times", 1, true,
         [this] { failAfter(1, Bus::RegModuleSubType, 3); },
         {"R132", "R133", "R49x12", "R49x12", "R49x12"}, {"255 param 1 aff 0 clock 0"}, false, 1},
        {"a model 1 that no longer answers its type", 1, true, [this] { sim.setPower(1, false); },
         kAbsent, {"255 param 1 aff 0 clock 0"}, false, 0},
        {"a model 1 that answers again", 1, false, {}, typeAndParams + QStringList{"R1x12"},
         {"255 param 1 aff 1 clock 0"}, true, 1},
        {"a model 1 whose channels changed", 1, true,
         [this] {
             channel(1, 1).setState(1);
             sim.setChannelState(1, 1, 1);
             sim.setChannelState(1, 2, 3);
             sim.module(1)->setChannelParam(2, 1);
             sim.setChannelState(1, 4, 5);
             channel(1, 6).setState(3);
         },
         typeAndParams + QStringList{"R1x12"},
         {"2 param 1 aff 3 clock 0", "4 param 0 aff 0 clock 0", "6 param 0 aff 0 clock 0"}, true, 1},
        {"a model 3 reporting words beyond a byte", 3, true,
         [this] {
             sim.setChannelState(1, 9, 1000);
             sim.module(1)->setChannelParam(9, 300);
         },
         typeAndParams + QStringList{"R1x12"}, {"9 param 300 aff 1000 clock 0"}, true, 3},
    };
    for (const UpdateRow& r : rows) {
        SCOPED_TRACE(r.name);
        sim.removeModule(1);
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
        configure(1, r.model);
        panel(1).setPresent(r.presentBefore);
        panel(1).setActualModel(r.presentBefore ? r.model : 0);
        if (!port.PortOpen())
            engine->Load();
        if (r.setUp)
            r.setUp();
        events.clear();
        const size_t from = framesSent();
        engine->UpdatePanel(1, true);
        EXPECT_EQ(requestsTo(1, from), r.requests);
        QStringList got;
        for (const EventClass& e : events) {
            EXPECT_EQ(e.Panel(), 1);
            got << QString("%1 param %2 aff %3 clock %4").arg(e.Chnl()).arg(e.Param()).arg(e.Aff()).arg(e.Clock());
        }
        EXPECT_EQ(got, r.events);
        EXPECT_EQ(bool(panel(1).Present()), r.presentAfter);
        EXPECT_EQ(panel(1).ActualModel(), r.actualModel);
        sim.setObserver({});
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Synchro, AChannelBackToNormalAsFiveStaysFiveAndIsNotAnnouncedAgain)
{
    configure(1, 1);
    panel(1).setPresent(true);
    engine->Load();
    sim.setChannelState(1, 4, 5);
    sim.setChannelState(1, 8, 2);
    engine->UpdatePanel(1, true);
    ASSERT_EQ(channelEvents().size(), 2u);
    EXPECT_EQ(channel(1, 4).State(), 5);
    EXPECT_EQ(channel(1, 8).State(), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(panel(1).ErrCptr(i), 0);
    events.clear();
    engine->UpdatePanel(1, true);
    EXPECT_TRUE(events.empty());
}

TEST_F(Synchro, ReReadingWithTheLineClosedOrWithoutDetectionReadsNothingAndChargesNobody)
{
    configure(1, 1);
    panel(1).setPresent(true);
    panel(1).setActualModel(1);
    engine->Load();
    port.setPortOpen(false);
    engine->UpdatePanel(1, true);
    EXPECT_EQ(framesSent(), 0u);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(panel(1).Present());
    EXPECT_EQ(panel(1).ErrCptr(0), 0);
    EXPECT_TRUE(reports.empty());

    port.setPortOpen(true);
    engine->UpdatePanel(1, false);
    EXPECT_EQ(framesSent(), 0u);
    EXPECT_TRUE(events.empty()) << "recorded absent without an announcement";
    EXPECT_FALSE(panel(1).Present());
    EXPECT_EQ(panel(1).ActualModel(), 0);
}

// ---- Midnight --------------------------------------------------------------------

TEST_F(Synchro, AtMidnightEachConfiguredModuleGetsOneDayRecordNumberedInTurnAndNothingElse)
{
    configure(1, 1);
    configure(2, 4);
    configure(5, 2, false);         // absent
    panel(2).setActive(false);      // inactive modules get their record too
    for (int m : {1, 2, 5})
        panel(m).setPresent(m != 5);
    loadAndRun();
    const int linesBefore = int(log->lines.size());
    engine->MidnightSynchro();
    std::vector<EventClass> records;
    for (const EventClass& e : doubles.history.events)
        if (e.Chnl() == EventClass::ChnlStation && e.Aff() == 6)
            records.push_back(e);
    ASSERT_EQ(records.size(), 3u);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].Panel(), (std::array<int, 3>{1, 2, 5}[i]));
        EXPECT_EQ(records[i].Param(), 0);
        EXPECT_EQ(records[i].Clock(), 0);
        if (i > 0) {
            EXPECT_EQ(records[i].Num(), records[i - 1].Num() + 1);
        }
    }
    EXPECT_TRUE(events.empty()) << "no BusEvent";
    EXPECT_TRUE(doubles.printer.events.empty());
    EXPECT_EQ(rules.display + rules.print, 0);
    EXPECT_EQ(int(log->lines.size()), linesBefore) << "no trace line";
    for (int m : {1, 2})
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(panel(m).ErrCptr(i), 0);
    EXPECT_TRUE(reports.empty());
}

struct LatchRow {
    const char* name;
    int targetModel;
    int targetChannel;
    int targetState;
    std::vector<std::array<int, 4>> mirrors;   // from module, from channel, type, source state
    QStringList writes;
    int stateAfter;
};

TEST_F(Synchro, AtMidnightALatchedTargetWhoseSourcesAreAllNormalIsCleared)
{
    const LatchRow rows[] = {
        {"one latching mirror, its source normal", 1, 4, 3, {{1, 3, 2, 0}}, {"W20=0"}, 0},
        {"another latching source still active", 1, 4, 3, {{1, 3, 2, 0}, {4, 2, 2, 1}}, {}, 3},
        {"the active source first", 3, 4, 1, {{4, 2, 2, 1}, {1, 3, 2, 0}}, {}, 1},
        {"two latching sources, both normal", 3, 6, 4, {{1, 3, 2, 0}, {4, 2, 2, 0}}, {"W22=0"}, 0},
        {"only a copying mirror", 1, 4, 3, {{1, 3, 1, 0}}, {}, 3},
        {"no mirror at all", 1, 4, 3, {}, {}, 3},
        {"latching sources outside the bus, from a file", 1, 4, 3, {{70, 3, 2, 1}, {1, 30, 2, 1}}, {"W20=0"}, 0},
        {"a model 2 target: its horn, its cleared channels, then the channel", 2, 9, 1, {{1, 3, 2, 0}},
         {"W64=1", "W11=0", "W9=0"}, 0},
    };
    for (const LatchRow& r : rows) {
        SCOPED_TRACE(r.name);
        for (int m : {1, 2, 4})
            sim.removeModule(m);
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
        configure(1, 1);
        configure(4, 1);
        configure(2, r.targetModel);
        for (int m : {1, 2, 4}) {
            panel(m).setPresent(true);
            panel(m).setActualModel(qint16(m == 2 ? r.targetModel : 1));
        }
        for (const auto& mirror : r.mirrors) {
            gConfig->Mirrors()->Add(qint16(mirror[0]), qint16(mirror[1]), 2, qint16(r.targetChannel),
                                    qint16(mirror[2]));
            if (mirror[0] > 64 || mirror[1] > 24)
                continue;
            channel(mirror[0], mirror[1]).setState(qint16(mirror[3]));
            sim.setChannelState(mirror[0], mirror[1], quint16(mirror[3]));
        }
        channel(2, r.targetChannel).setState(qint16(r.targetState));
        sim.setChannelState(2, r.targetChannel, quint16(r.targetState));
        if (r.targetModel == 2)
            channel(2, 11).setState(-1);
        if (!port.PortOpen())
            engine->Load();
        sim.clearWriteLog();
        engine->MidnightSynchro();
        QStringList writes;
        for (const modsim::WriteRecord& w : sim.writesTo(2)) {
            EXPECT_EQ(w.function, 6);
            writes << QString("W%1=%2").arg(w.reg).arg(w.values.front());
        }
        EXPECT_EQ(writes, r.writes);
        EXPECT_EQ(channel(2, r.targetChannel).State(), r.stateAfter);
        EXPECT_EQ(engine->commands().Count(), 0) << "executed at once, not queued";
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Synchro, AClearingWriteThatFailsIsTriedOnceAndTheChannelStillCleared)
{
    configure(1, 1);
    configure(2, 1);
    for (int m : {1, 2}) {
        panel(m).setPresent(true);
        panel(m).setActualModel(1);
    }
    gConfig->Mirrors()->Add(1, 3, 2, 4, 2);
    channel(2, 4).setState(3);
    sim.setChannelState(2, 4, 3);
    engine->Load();
    // The re-read of module 2 goes through; the write after it is lost.
    failAfter(2, Bus::RegChannelState, 1);
    const size_t from = framesSent();
    engine->MidnightSynchro();
    EXPECT_EQ(requestsTo(2, from).filter("W20=0").size(), 1);
    EXPECT_EQ(channel(2, 4).State(), 0);
    EXPECT_EQ(log->lines.filter("WRITE").size(), 1) << "its command line";
}

TEST_F(Synchro, AModuleLostOrBackAtMidnightIsAnnouncedOnceAlsoWhenPollingThenDeclaresItMissing)
{
    configure(1, 1);
    configure(2, 1);
    loadAndRun();
    for (int m : {1, 2})
        ASSERT_TRUE(panel(m).Present());
    // Module 2 is declared missing by polling and comes back before
    // midnight; module 1 goes away just before it.
    sim.setPower(2, false);
    for (int i = 0; i < 40 && panel(2).ErrCptr(2) == 0; ++i)
        tick();
    ASSERT_FALSE(panel(2).Present());
    sim.setPower(2, true);
    sim.setPower(1, false);
    events.clear();
    engine->MidnightSynchro();
    // Then polling goes on until module 1 has been declared missing by it too.
    for (int i = 0; i < 40 && panel(1).ErrCptr(2) == 0; ++i)
        tick();
    ASSERT_GT(panel(1).ErrCptr(2), 0);
    for (int i = 0; i < 10; ++i)
        tick();
    QStringList moves;
    for (const EventClass& e : eventsOnChannel(EventClass::ChnlPresence))
        moves << QString("%1 aff %2").arg(e.Panel()).arg(e.Aff());
    EXPECT_EQ(moves, QStringList({"1 aff 0", "2 aff 1"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Synchro, AModuleMissingBeforeAPassIsAnnouncedAgainAfterItAsTheListWasEmptied)
{
    ASSERT_NO_FATAL_FAILURE(pollWithModuleTwoMissing());
    engine->SynchroGeneraleBus();
    EXPECT_EQ(eventsOnChannel(EventClass::ChnlPresence).size(), 1u) << "the pass itself is silent";
    ASSERT_TRUE(declaredMissing(2));
    const std::vector<EventClass> moves = eventsOnChannel(EventClass::ChnlPresence);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[1].Panel(), 2);
    EXPECT_EQ(moves[1].Aff(), 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Synchro, APassWithTheLineDownKeepsTheMissingAnnouncements)
{
    // The texts of the message that tells it.
    ASSERT_TRUE(
        QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    ASSERT_NO_FATAL_FAILURE(pollWithModuleTwoMissing());
    port.setOpenFails(true);
    engine->SynchroGeneraleBus();
    EXPECT_EQ(log->lines.filter(QRegularExpression("^.{20}LOST ")).size(), 1);
    // The line back: the module, still missing, is not announced a second time.
    port.setOpenFails(false);
    engine->setRun(false);
    engine->setRun(true);
    ASSERT_TRUE(declaredMissing(2));
    EXPECT_EQ(eventsOnChannel(EventClass::ChnlPresence).size(), 1u);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_TRUE(reports.empty());
}

// A stop asked while a pass runs is seen before the next frame, without the
// message loop: the pass ends there and leaves what it had not reached.
TEST_F(Synchro, AStopAskedDuringAPassEndsItBeforeItsNextFrame)
{
    for (int m = 1; m <= 3; ++m)
        configure(m, 1);
    sim.setChannelState(3, 2, 1);
    panel(3).setPresent(true);
    panel(3).setActualModel(1);
    engine->Load();
    bool stop = false;
    engine->seams().stopRequested = [&] { return stop; };
    // Asked as module 2's type query goes out.
    sim.setObserver([&](const modsim::Exchange& x) {
        if (quint8(x.request[0]) == 2)
            stop = true;
    });

    const size_t before = framesSent();
    engine->SynchroGeneraleBus();
    EXPECT_EQ(requestsTo(2, before), QStringList{"R132"});
    EXPECT_TRUE(requestsTo(3, before).isEmpty());
    EXPECT_TRUE(panel(3).Present()) << "a module not reached keeps what it was";
    EXPECT_TRUE(channelEvents().empty()) << "nothing emitted again";
    EXPECT_EQ(synchroPasses(), 1);
    EXPECT_TRUE(log->lines.filter(QRegularExpression("^.{20}LOST ")).isEmpty()) << "the line is not lost";

    // The midnight pass ends at once, before its first module.
    sim.setObserver({});
    const size_t later = framesSent();
    doubles.history.events.clear();
    engine->MidnightSynchro();
    EXPECT_EQ(framesSent(), later);
    EXPECT_TRUE(doubles.history.events.empty());
    EXPECT_TRUE(reports.empty());
}
