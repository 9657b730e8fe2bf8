// The live module state: lamp colours by state word and blink phase, the
// layout of 12 and 24 lamps, the channel captions, the read cycle's tries
// against the simulator (two failures then a success, three failures, a
// close in the pause, a tick during the pause, a closed port), and the six
// command buttons with polling stopped and running.

#include "tests/screens/TechnicianFixture.h"

#include "program/bus/BusConstants.h"
#include "program/screens/bus/ModuleLamps.h"

#include "platform/Shape.h"

#include <QTimer>

using techtest::TechnicianFixture;
using namespace ModuleLamps;

namespace {

class ModuleState : public TechnicianFixture {
protected:
    // The screen laid out for module n, as the technician screen opens it,
    // without its modal loop: the test drives the timers.
    wTechEtatModule* open(int n)
    {
        engine();
        auto* s = qobject_cast<wTechEtatModule*>(plat::Forms::Get(FormNames::wTechEtatModule));
        s->setPanel(gConfig->Panel(qint16(n)));
        s->tmrPoll->setEnabled(true);
        s->tmrClign->setEnabled(true);
        s->Show();
        settle();
        requests.clear();
        return s;
    }
    static QStringList tags(wTechEtatModule* s)
    {
        QStringList out;
        for (int i = 1; i <= s->Lamps(); ++i)
            out << s->LampTag(i);
        return out;
    }
    static QStringList twelve(const QString& tag) { return QStringList(QList<QString>(12, tag)); }
};

} // namespace

// ---- Lamps, without the window ------------------------------------------------

TEST(ModuleLamps, LampColourByStateWordAndBlinkPhase)
{
    // Eight steps of 150 ms from the start: the phase, then the colour of
    // states 2, 3 and 4 (R red, g grey).
    const char* const expected[] = {"1 ggg", "2 gRg", "3 gRg", "0 RgR", "1 ggR", "2 gRR", "3 gRR", "0 Rgg"};
    Blink blink;
    for (const char* e : expected) {
        blink.step();
        QString seen = QString::number(blink.phase) + ' ';
        for (const char* tag : {"2", "3", "4"})
            seen += LampColor(tag, blink) == Red ? 'R' : 'g';
        EXPECT_EQ(seen, e);
    }
    for (int step = 0; step < 4; ++step, blink.step()) {
        EXPECT_EQ(LampColor("0", blink), Grey);
        EXPECT_EQ(LampColor("1", blink), Red);
        for (const char* other : {"5", "255", "-1", "", "x"})
            EXPECT_EQ(LampColor(other, blink), Yellow) << other;
    }
    EXPECT_EQ(HornColor(0), Grey);
    for (qint16 w : {1, 2, -1})
        EXPECT_EQ(HornColor(w), Red) << w;
}

TEST(ModuleLamps, TwelveAndTwentyFourLampsInTwoColumns)
{
    EXPECT_EQ(LampCount(24), 24);
    EXPECT_EQ(LampCount(12), 12);
    const Row seven = RowOf(7, 12, 240);
    EXPECT_EQ(seven.lamp.topLeft(), QPoint(4320, 540));
    EXPECT_EQ(seven.label.topLeft(), QPoint(4860, 330));
    EXPECT_EQ(seven.label.size(), QSize(3195, 855));
    EXPECT_EQ(seven.number.x(), 8130);
    EXPECT_EQ(RowOf(6, 12, 240).label.top(), 330 + 5 * 990);
    EXPECT_EQ(RowOf(1, 12, 240).number.x(), 120);
    const Row thirteen = RowOf(13, 24, 240);
    EXPECT_EQ(thirteen.label.topLeft(), QPoint(4860, 330));
    EXPECT_EQ(thirteen.lamp.size(), QSize(435, 240));
    EXPECT_EQ(RowOf(12, 24, 240).label.top(), 330 + 11 * 495);
    EXPECT_EQ(RowOf(12, 24, 240).label.height(), 420);
}

// ---- The screen ------------------------------------------------------------------

TEST_F(ModuleState, TheLayoutFollowsTheModuleAndTheCaptionsTheirTexts)
{
    configure(5, 4);
    configure(6, 2);
    gConfig->setBiblio(2, QStringLiteral("Smoke"));
    ChannelClass& none = channel(5, 1);
    none.setBibNum(0);
    none.setScreenText("Hall");
    ChannelClass& blank = channel(5, 2);
    blank.setBibNum(1);  // never assigned: NULs
    blank.setScreenText("Stairs");
    ChannelClass& both = channel(5, 3);
    both.setBibNum(2);
    both.setScreenText("");

    wTechEtatModule* s = open(5);
    EXPECT_EQ(s->Lamps(), 12);
    EXPECT_EQ(s->lblModType(0)->text(), "5");
    EXPECT_EQ(s->lblModType(1)->text(), Global::ModuleName(4));
    EXPECT_EQ(s->lblCommResult->text(), QString(24, '-'));
    EXPECT_EQ(s->shpKlaxon->FillColor(), DarkGrey);
    EXPECT_EQ(s->shpVoyant(7)->geometry().topLeft(), QPoint(288, 36));
    EXPECT_EQ(s->lblVoyant(7)->geometry().topLeft(), QPoint(324, 22));
    EXPECT_EQ(s->lblNum(7)->x(), 542);
    EXPECT_EQ(s->lblNum(7)->text(), "7");
    auto caption = [&](int i) { return s->lblVoyant(i)->text().remove('\n'); };
    EXPECT_EQ(caption(1), "Hall");
    EXPECT_EQ(caption(2), QString(24, ' ') + " - Stairs");
    EXPECT_EQ(caption(3), QString("Smoke").leftJustified(24, ' ') + " - ");
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(s->shpVoyant(i)->FillColor(), Yellow);
    plat::Forms::Unload(s);
    settle();

    wTechEtatModule* wide = open(6);
    EXPECT_EQ(wide->Lamps(), 24);
    EXPECT_EQ(wide->shpVoyant(13)->x(), 288);
    EXPECT_EQ(wide->shpVoyant(13)->height(), 16);
    EXPECT_EQ(wide->lblVoyant(2)->y() - wide->lblVoyant(1)->y(), 33);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleState, LampsFollowTheStatesReadAtTheNextBlink)
{
    configure(5, 4);
    sim.setChannelState(5, 1, 1);
    sim.setChannelState(5, 2, 2);
    sim.setChannelState(5, 3, 3);
    sim.setChannelState(5, 4, 4);
    sim.setChannelState(5, 5, 5);
    sim.setChannelState(5, 6, 0xFFFF);
    sim.module(5)->writeRegister(Bus::RegHorn, 2);
    wTechEtatModule* s = open(5);
    s->tmrPoll_Timer();
    EXPECT_EQ(requestsTo(5), QStringList({"5:R1x12", "5:R64"}));
    EXPECT_EQ(tags(s).mid(0, 7), QStringList({"1", "2", "3", "4", "5", "-1", "0"}));
    EXPECT_EQ(s->lblCommResult->text(), Config::GetText(830102));
    EXPECT_EQ(s->shpKlaxon->FillColor(), Red);
    EXPECT_EQ(s->shpVoyant(1)->FillColor(), Yellow) << "until the next blink";
    s->tmrClign_Timer();  // phase 1
    EXPECT_EQ(s->shpVoyant(1)->FillColor(), Red);
    EXPECT_EQ(s->shpVoyant(2)->FillColor(), Grey);
    EXPECT_EQ(s->shpVoyant(5)->FillColor(), Yellow);
    EXPECT_EQ(s->shpVoyant(6)->FillColor(), Yellow);
    EXPECT_EQ(s->shpVoyant(7)->FillColor(), Grey);
    EXPECT_TRUE(s->tmrPoll->Enabled());
    EXPECT_FALSE(s->Busy());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleState, TwoFailedReadsThenASuccessAndThreeThenTheHornStillRead)
{
    configure(5, 4);
    sim.setChannelState(5, 3, 1);
    wTechEtatModule* s = open(5);

    sim.setFault(5, QStringLiteral("fail-next"), 2);
    s->tmrPoll_Timer();
    EXPECT_EQ(requestsTo(5), QStringList({"5:R1x12", "5:R1x12", "5:R1x12", "5:R64"}));
    EXPECT_EQ(s->LampTag(3), "1");
    EXPECT_EQ(s->shpKlaxon->FillColor(), Grey);

    // Three in a row: every lamp unknown, the horn read with its own tries.
    requests.clear();
    sim.setFault(5, QStringLiteral("fail-next"), 4);
    s->tmrPoll_Timer();
    EXPECT_EQ(requestsTo(5), QStringList({"5:R1x12", "5:R1x12", "5:R1x12", "5:R64", "5:R64"}));
    EXPECT_EQ(tags(s), twelve(""));
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(s->shpVoyant(i)->FillColor(), Yellow);
    EXPECT_EQ(s->shpKlaxon->FillColor(), Grey) << "the horn's second try worked";

    requests.clear();
    sim.setFault(5, QStringLiteral("fail-next"), 6);
    s->tmrPoll_Timer();
    EXPECT_EQ(requestsTo(5).size(), 6);
    EXPECT_EQ(s->shpKlaxon->FillColor(), Yellow);
    EXPECT_EQ(s->lblCommResult->text(), Config::GetText(830103));
    EXPECT_FALSE(s->Busy());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleState, CloseInThePauseAfterAFailureSendsNoFurtherFrame)
{
    configure(5, 4);
    wTechEtatModule* s = open(5);
    sim.setFault(5, QStringLiteral("fail-next"), 5);
    QTimer::singleShot(0, s, [s] { s->imgClose->click(); });
    s->tmrPoll_Timer();
    settle();
    EXPECT_EQ(requestsTo(5), QStringList({"5:R1x12"}));
    EXPECT_EQ(moduleState(), nullptr);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleState, ATickDuringThePauseEndsAtOnceAndChangesNothing)
{
    configure(5, 4);
    wTechEtatModule* s = open(5);
    sim.setFault(5, QStringLiteral("fail-next"), 1);
    int nestedFrames = -1;
    QTimer::singleShot(0, s, [&] {
        const int before = int(requests.size());
        EXPECT_TRUE(s->Busy());
        s->tmrPoll_Timer();
        nestedFrames = int(requests.size()) - before;
    });
    s->tmrPoll_Timer();
    EXPECT_EQ(nestedFrames, 0);
    EXPECT_EQ(requestsTo(5), QStringList({"5:R1x12", "5:R1x12", "5:R64"}));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleState, AClosedPortIsReportedOnceAVisitAndTheLampsShowIt)
{
    configure(5, 4);
    wTechEtatModule* s = open(5);
    engine()->CommBus().setPortOpen(false);
    for (int cycle = 0; cycle < 3; ++cycle)
        s->tmrPoll_Timer();
    EXPECT_EQ(reports.size(), 1) << reports.join("; ").toStdString();
    EXPECT_EQ(tags(s), twelve(""));
    EXPECT_EQ(s->shpKlaxon->FillColor(), Yellow);
    plat::Forms::Unload(s);
    settle();

    // The next visit says it again, once.
    reports.clear();
    s = open(5);
    s->tmrPoll_Timer();
    s->tmrPoll_Timer();
    EXPECT_EQ(reports.size(), 1) << reports.join("; ").toStdString();
}

TEST_F(ModuleState, TheButtonsWriteTheirCommandsAtOnceOrQueueThem)
{
    const struct {
        int index;
        const char* write;
    } buttons[] = {{1, "66=1"}, {2, "67=2"}, {3, "67=1"}, {4, "64=1"}, {5, "64=0"}, {6, "67=3"}};
    configure(5, 4);
    wTechEtatModule* s = open(5);
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.index);
        requests.clear();
        click(s->cmdBoutons(b.index));
        EXPECT_EQ(requests, QStringList({QString("5:W") + b.write}));
        EXPECT_TRUE(s->tmrPoll->Enabled()) << "given back";
    }
    // With polling running each is queued for the engine's next tick.
    plat::Forms::Unload(s);
    settle();
    startPolling();
    s = open(5);
    s->tmrPoll->setEnabled(false);
    for (const auto& b : buttons) {
        requests.clear();
        click(s->cmdBoutons(b.index));
        EXPECT_TRUE(requests.isEmpty());
        EXPECT_FALSE(s->tmrPoll->Enabled()) << "as it was";
    }
    EXPECT_EQ(engine()->engine().commands().Count(), 6);
    // A touch of the caption is a touch of its button.
    const int queued = engine()->engine().commands().Count();
    click(s->lblLabels(3));
    EXPECT_EQ(engine()->engine().commands().Count(), queued) << "the same command is queued once";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
