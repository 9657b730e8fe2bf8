// The remote-control overview and the remote command screen on the real
// engine form, polling the in-process simulator on virtual time: the pages of
// module buttons, the rows of a module's channels, the selection, the on and
// off commands reaching the module, the messages, the wait for a command that
// failed, and how the screens close.

#include "tests/runtime/RemoteScreensFixture.h"

#include "program/runtime/dlgConsigne.h"
#include "program/core/ChannelClass.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {

using remotetest::RemoteScreensFixture;

class RemoteCommand : public RemoteScreensFixture {
protected:
    void SetUp() override
    {
        RemoteScreensFixture::SetUp();
        remoteModule(9, 4);
        gConfig->setBiblio(1, "Pump");
        for (int c = 1; c <= 12; ++c) {
            channel(9, c).setBibNum(qint16(c % 2));
            channel(9, c).setScreenText(QString("Outlet %1").arg(c));
        }
    }
    // The writes of value to register reg that reached the module.
    int writesOf(int module, int reg, int value) const
    {
        int n = 0;
        for (const modsim::WriteRecord& w : sim.writesTo(module))
            n += w.reg == reg && w.values == std::vector<std::uint16_t>{std::uint16_t(value)};
        return n;
    }
    static QString caption(int i) { return commandScreen()->lblVoyant(i)->text().remove('\n'); }
    static unsigned int lamp(int i) { return commandScreen()->shpVoyant(i)->FillColor(); }
    // Something to run inside the first yield of the next command.
    static void duringTheCommand(std::function<void()> act)
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(act), Qt::QueuedConnection);
    }
    // Switches channel 5 of module 9 on; the first attempt fails in the
    // command's first yield, where then runs next. True when the wait ended by
    // itself: one that never ends is ended after a while by the engine going,
    // so that the test fails instead of hanging.
    bool failedOnceThen(const std::function<void()>& then)
    {
        pollingRuns();
        wTeleCmde* w = showCommandScreen(9);
        w->lblVoyant_Click(5);
        sim.setFault(9, "fail-next");
        bool forced = false;
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, [&] {
            forced = true;
            plat::Forms::Unload(plat::Forms::Find(FormNames::wPolling));
        });
        safety.start(10000);
        duringTheCommand([this, then] {
            ticks(1);
            if (then)
                then();
        });
        w->ImgTcmde(wTeleCmde::On)->click();
        EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault) << "the busy pointer goes with the wait";
        return !forced;
    }
};

TEST_F(RemoteCommand, TwelveGreyLampsThenTheChannelsStatesAtTheFirstSecond)
{
    const std::uint16_t states[] = {0, 1, 2, 3, 255, 1, 0, 0, 1, 0, 4, 0};
    for (int c = 1; c <= 12; ++c)
        sim.setChannelState(9, c, states[c - 1]);
    pollingRuns();
    ASSERT_EQ(channel(9, 5).State(), 255) << "the engine has read the states";
    wTeleCmde* w = showCommandScreen(9);
    for (int c = 0; c <= 12; ++c)
        EXPECT_EQ(lamp(c), 0xB2B2B2u) << c;
    EXPECT_TRUE(w->tmrPoll->Enabled());
    EXPECT_EQ(w->tmrPoll->Interval(), 1000);
    EXPECT_EQ(w->tmrClign->Interval(), 250);
    w->tmrPoll_Timer();
    for (int c = 1; c <= 12; ++c) {
        const unsigned int expected = states[c - 1] == 0 ? 0xB2B2B2u : states[c - 1] == 1 ? 0x0000FFu : 0xFF00FFu;
        EXPECT_EQ(lamp(c), expected) << "channel " << c;
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(RemoteCommand, RowsShowTheModuleAndTheChannelsTextsInTwoColumns)
{
    gConfig->setBiblio(2, "Valve   ");
    channel(9, 2).setBibNum(2);
    wTeleCmde* w = showCommandScreen(9);
    EXPECT_EQ(w->lblModType(0)->text(), "9") << "no leading zero here";
    EXPECT_EQ(w->lblModType(1)->text(), "T7100");
    EXPECT_EQ(w->lblChnlNo->text(), "");
    EXPECT_FALSE(shown(w->shpFocus));
    EXPECT_EQ(caption(1), "Pump - Outlet 1");
    EXPECT_EQ(caption(2), "Valve - Outlet 2");
    EXPECT_EQ(caption(4), "Outlet 4") << "no library text, no dash";
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(w->lblNum(i)->text(), QString::number(i));
        for (QWidget* c : std::initializer_list<QWidget*>{w->lblVoyant(i), w->shpVoyant(i), w->shpBkTxt(i), w->shpBkLed(i), w->lblNum(i)})
            EXPECT_TRUE(shown(c)) << c->objectName().toStdString();
    }
    for (QWidget* template0 : std::initializer_list<QWidget*>{w->lblVoyant(0), w->shpVoyant(0), w->lblNum(0)})
        EXPECT_FALSE(shown(template0));
    // Channels 1 to 6 down the left column, 7 to 12 down the right one,
    // where the number stands right of the text.
    const QRect first = w->lblVoyant(1)->geometry();
    EXPECT_EQ(w->lblVoyant(7)->y(), first.y());
    EXPECT_GT(w->lblVoyant(7)->x(), w->LineSep->x());
    EXPECT_LT(first.right(), w->LineSep->x());
    EXPECT_EQ(w->lblVoyant(12)->x(), w->lblVoyant(7)->x());
    EXPECT_EQ(w->lblVoyant(12)->y(), w->lblVoyant(6)->y());
    EXPECT_EQ(w->lblVoyant(6)->y() - first.y(), 5 * 990 / 15);
    EXPECT_LT(w->lblNum(1)->x(), w->shpVoyant(1)->x());
    EXPECT_LT(w->shpVoyant(1)->x(), first.x());
    EXPECT_GT(w->lblNum(7)->x(), w->lblVoyant(7)->geometry().right());
    EXPECT_LT(w->shpVoyant(7)->x(), w->lblVoyant(7)->x());
    // Lamp and number centred on their text, each frame around its control.
    EXPECT_EQ(w->shpVoyant(3)->geometry().center().y(), w->lblVoyant(3)->geometry().center().y());
    EXPECT_EQ(w->shpBkTxt(3)->geometry(), w->lblVoyant(3)->geometry().adjusted(-3, -3, 3, 3));
    EXPECT_EQ(w->shpBkLed(3)->geometry(), w->shpVoyant(3)->geometry().adjusted(-3, -3, 3, 3));
}

TEST_F(RemoteCommand, ACaptionIsCentredByLineFeedsInTheScreensMetrics)
{
    channel(9, 1).setScreenText("Short");
    channel(9, 2).setBibNum(0);
    channel(9, 2).setScreenText(QString(200, 'x'));
    engine();
    auto* w = qobject_cast<wTeleCmde*>(plat::Forms::Get(FormNames::wTeleCmde));
    // Room for four lines in a label; a caption of up to one label width is one line.
    const double labelWidth = w->lblVoyant(0)->width();
    const double labelHeight = 855 / 15;
    w->setTextMetrics({[=](const QString& t) { return t.size() > 20 ? 10 * labelWidth : labelWidth / 2; },
                       [=] { return labelHeight / 4; }});
    w->setPanel(gConfig->Panel(9));
    EXPECT_EQ(w->lblVoyant(1)->text(), "\nPump - Short");
    EXPECT_EQ(w->lblVoyant(2)->text(), QString(200, 'x')) << "too long: no line feed";
}

TEST_F(RemoteCommand, TouchingAChannelsTextSelectsItAndFramesItsRow)
{
    wTeleCmde* w = showCommandScreen(9);
    EXPECT_EQ(w->FocusDX(), -75 / 15);
    EXPECT_EQ(w->FocusDY(), -285 / 15);
    QTest::mouseClick(w->lblVoyant(5), Qt::LeftButton);
    EXPECT_EQ(w->lblChnlNo->text(), "5");
    EXPECT_TRUE(shown(w->shpFocus));
    EXPECT_EQ(w->shpFocus->pos(), w->shpVoyant(5)->pos() + QPoint(-5, -19));
    EXPECT_TRUE(w->shpFocus->geometry().contains(w->lblVoyant(5)->geometry()));
    EXPECT_TRUE(w->shpFocus->geometry().contains(w->shpVoyant(5)->geometry()));
    QTest::mouseClick(w->lblVoyant(11), Qt::LeftButton);
    EXPECT_EQ(w->lblChnlNo->text(), "11");
    EXPECT_EQ(w->shpFocus->pos(), w->shpVoyant(11)->pos() + QPoint(-5, -19));
    // A lamp or a number selects nothing.
    QTest::mouseClick(w->shpVoyant(2), Qt::LeftButton);
    QTest::mouseClick(w->lblNum(3), Qt::LeftButton);
    EXPECT_EQ(w->lblChnlNo->text(), "11");
}

TEST_F(RemoteCommand, OnAndOffSwitchTheSelectedChannelOfTheModule)
{
    pollingRuns();
    wTeleCmde* w = showCommandScreen(9);
    w->lblVoyant_Click(5);
    w->ImgTcmde(wTeleCmde::On)->click();
    ticks(1);
    EXPECT_EQ(writesOf(9, 21, 3), 1);
    w->ImgTcmde(wTeleCmde::Off)->click();
    ticks(1);
    EXPECT_EQ(writesOf(9, 21, 0), 1);
    w->lblVoyant_Click(12);
    w->ImgTcmde(wTeleCmde::On)->click();
    ticks(1);
    EXPECT_EQ(writesOf(9, 28, 3), 1);
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(RemoteCommand, PressedTwiceBeforeATickTheCommandIsQueuedOnce)
{
    pollingRuns();
    wTeleCmde* w = showCommandScreen(9);
    ticks(2);
    sim.clearWriteLog();
    engine()->tmrPoll->setEnabled(false);
    w->lblVoyant_Click(5);
    w->ImgTcmde(wTeleCmde::On)->click();
    w->ImgTcmde(wTeleCmde::On)->click();
    EXPECT_EQ(engine()->engine().commands().Count(), 1);
    ticks(2);
    EXPECT_EQ(writesOf(9, 21, 3), 1);
}

TEST_F(RemoteCommand, StoppedPollingIsToldFirstThenAMissingChannel)
{
    wTeleCmde* w = showCommandScreen(9);
    answerBox();
    w->ImgTcmde(wTeleCmde::On)->click();
    pollingRuns();
    w = showCommandScreen(9);
    answerBox();
    w->ImgTcmde(wTeleCmde::Off)->click();
    answerBox();
    w->imgConsigne->click();
    const QString stopped = "critical|" + Config::GetText(220101);
    const QString none = "critical|" + Config::GetText(220100);
    EXPECT_EQ(boxes, (QStringList{stopped, none, none}));
    ticks(2);
    for (int reg = 17; reg <= 28; ++reg)
        EXPECT_EQ(writesOf(9, reg, 3) + writesOf(9, reg, 0), 0) << reg;
}

TEST_F(RemoteCommand, TheInstructionOfTheSelectedChannel)
{
    channel(9, 4).setHelpNum(7);
    gConfig->setConsigne(7, "  Open valve V4 by hand.  ");
    channel(9, 5).setHelpNum(8);
    wTeleCmde* w = showCommandScreen(9);
    w->lblVoyant_Click(3);
    answerBox();
    w->imgConsigne->click();
    EXPECT_EQ(boxes, QStringList{"critical|" + Config::GetText(710021)});
    QStringList shownTexts;
    auto read = [&](plat::Form* f) {
        shownTexts << qobject_cast<dlgConsigne*>(f)->lblConsigne->text();
        qobject_cast<dlgConsigne*>(f)->imgClose->click();
    };
    w->lblVoyant_Click(4);
    testing_support::whenShown(FormNames::dlgConsigne, read);
    w->imgConsigne->click();
    w->lblVoyant_Click(5);
    testing_support::whenShown(FormNames::dlgConsigne, read);
    w->imgConsigne->click();
    EXPECT_EQ(shownTexts, (QStringList{"Open valve V4 by hand.", Config::GetText(710021)}));
}

TEST_F(RemoteCommand, ACommandThatFailedWhilePollingStopsEndsTheWaitAndTheBusyPointer)
{
    EXPECT_TRUE(failedOnceThen([this] { engine()->setRun(false); }));
    ASSERT_EQ(engine()->engine().commands().Count(), 1);
    EXPECT_EQ(engine()->engine().commands().Item(1)->ErrorCount(), 1);
}

TEST_F(RemoteCommand, TheWaitEndsAtItsDeadlineWhenNoTickComesAgain)
{
    EXPECT_TRUE(failedOnceThen([this] {
        // The tick left polling on, but no tick comes again.
        engine()->tmrPoll->setEnabled(false);
        clock.advance(RemoteChannels::WaitDeadlineMs(engine()->CommBus().Settings()));
    }));
    EXPECT_TRUE(engine()->Run());
}

TEST_F(RemoteCommand, TheWaitEndsWhenTheEngineCloses)
{
    EXPECT_TRUE(failedOnceThen([] { plat::Forms::Unload(plat::Forms::Find(FormNames::wPolling)); }));
    EXPECT_EQ(plat::Forms::Find(FormNames::wPolling), nullptr);
}

TEST_F(RemoteCommand, AnAlarmShownWhileACommandThatFailedIsWaitedForEndsTheWaitWithTheScreen)
{
    configure(3, 1);
    QPointer<wTeleCmde> screen;
    // The alarm comes in the command's first yield, before the wait proper;
    // no tick comes after it, so only the screen's going can end the wait.
    EXPECT_TRUE(failedOnceThen([this, &screen] {
        screen = commandScreen();
        send(3, 5, 0, 1);
        engine()->tmrPoll->setEnabled(false);
    }));
    EXPECT_TRUE(!screen || screen->IsUnloaded());
    ASSERT_NE(AlarmScreenFixture::screen(), nullptr);
    EXPECT_TRUE(AlarmScreenFixture::screen()->isVisible());
    EXPECT_TRUE(engine()->Run());
    EXPECT_EQ(engine()->engine().commands().Count(), 1) << "the command itself stays queued";
}

TEST_F(RemoteCommand, ACommandThatFailedOnceIsWaitedForUntilItGoes)
{
    // The polling timer sends it again at the next tick.
    EXPECT_TRUE(failedOnceThen({}));
    EXPECT_EQ(writesOf(9, 21, 3), 1);
    EXPECT_EQ(engine()->engine().commands().Count(), 0);
}

TEST_F(RemoteCommand, AnAlarmDuringTheCommandMayCloseTheScreenUnderIt)
{
    channel(9, 5).setScrAlm(true);
    pollingRuns();
    wTeleCmde* w = showCommandScreen(9);
    QPointer<wTeleCmde> screen(w);
    w->lblVoyant_Click(5);
    // The channel comes on with the command; its alarm shows the alarm screen.
    duringTheCommand([this] {
        sim.setChannelState(9, 5, 1);
        ticks(3);
    });
    w->ImgTcmde(wTeleCmde::On)->click();
    settle();
    EXPECT_EQ(writesOf(9, 21, 3), 1);
    EXPECT_TRUE(!screen || screen->IsUnloaded());
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
    ASSERT_NE(AlarmScreenFixture::screen(), nullptr);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(RemoteCommand, ClosedAnyWayTheScreenStopsItsTimers)
{
    wTeleCmde* w = showCommandScreen(9);
    w->tmrClign->setEnabled(true);
    QPointer<wTeleCmde> first(w);
    w->imgClose->click();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->IsUnloaded());
    EXPECT_FALSE(first->tmrPoll->Enabled());
    EXPECT_FALSE(first->tmrClign->Enabled());
    wTeleCmde* again = showCommandScreen(9);
    QPointer<wTeleCmde> second(again);
    EXPECT_NE(again, first.data()) << "a fresh screen";
    plat::Forms::Unload(again);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->tmrPoll->Enabled());
}

class RemoteOverview : public RemoteScreensFixture {};

TEST_F(RemoteOverview, PagesOfTwelveButtonsAndThePageButtons)
{
    remoteModules(20, 13);
    remoteModule(40, 4);
    gConfig->Panel(40)->setActive(false);
    configure(41, 1);
    wTeleCmdes* w = showOverview();
    QStringList first;
    for (int m = 20; m < 32; ++m)
        first << QString::number(m);
    EXPECT_EQ(buttons(), first);
    EXPECT_FALSE(shown(w->imgNavig(wTeleCmdes::NavigPrevious)));
    EXPECT_TRUE(shown(w->imgNavig(wTeleCmdes::NavigNext)));
    EXPECT_TRUE(shown(w->imgNavig(wTeleCmdes::NavigPreviousGreyed)));
    EXPECT_FALSE(w->imgNavig(wTeleCmdes::NavigPreviousGreyed)->isEnabled());
    EXPECT_EQ(w->Telecmde(1)->pos(), QPoint(22, 99));
    EXPECT_EQ(w->Telecmde(12)->pos(), QPoint(9105 / 15, 5865 / 15));

    w->imgNavig(wTeleCmdes::NavigNext)->click();
    EXPECT_EQ(w->First(), 13);
    EXPECT_EQ(buttons(), QStringList{"32"});
    EXPECT_TRUE(shown(w->imgNavig(wTeleCmdes::NavigPrevious)));
    EXPECT_FALSE(shown(w->imgNavig(wTeleCmdes::NavigNext)));
    w->imgNavig(wTeleCmdes::NavigNext)->click();
    EXPECT_EQ(w->First(), 13);

    w->imgNavig(wTeleCmdes::NavigPrevious)->click();
    EXPECT_EQ(buttons(), first);
    w->imgNavig(wTeleCmdes::NavigPrevious)->click();
    EXPECT_EQ(w->First(), 1);
    EXPECT_FALSE(shown(w->imgNavig(wTeleCmdes::NavigPrevious)));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(RemoteOverview, WithoutAPageMoreThePageButtonsStayHidden)
{
    for (int n : {0, 12}) {
        SCOPED_TRACE(n);
        remoteModules(1, n);
        wTeleCmdes* w = showOverview();
        EXPECT_EQ(buttons().size(), n);
        EXPECT_FALSE(shown(w->imgNavig(wTeleCmdes::NavigPrevious)));
        EXPECT_FALSE(shown(w->imgNavig(wTeleCmdes::NavigNext)));
        EXPECT_TRUE(shown(w->imgNavig(wTeleCmdes::NavigNextGreyed)));
        plat::Forms::Unload(w);
        settle();
    }
}

TEST_F(RemoteOverview, AllSixtyFourModulesOnSixPages)
{
    remoteModules(1, 64);
    wTeleCmdes* w = showOverview();
    std::vector<int> starts{w->First()};
    while (shown(w->imgNavig(wTeleCmdes::NavigNext))) {
        w->imgNavig(wTeleCmdes::NavigNext)->click();
        starts.push_back(w->First());
    }
    EXPECT_EQ(starts, (std::vector<int>{1, 13, 25, 37, 49, 61}));
    EXPECT_EQ(buttons(), (QStringList{"61", "62", "63", "64"}));
}

TEST_F(RemoteOverview, AButtonOpensItsModulesScreenAndItsClosingRefreshesEveryLamp)
{
    remoteModules(1, 3);
    wTeleCmdes* w = showOverview();
    EXPECT_EQ(w->Telecmde(2)->shpChnlState(4)->FillColor(), 0x808080u);
    channel(2, 4).setState(1);
    channel(3, 1).setState(3);
    QString module;
    bool timersOn = false;
    testing_support::whenShown(FormNames::wTeleCmde, [&](plat::Form* f) {
        auto* screen = qobject_cast<wTeleCmde*>(f);
        module = screen->lblModType(0)->text();
        timersOn = screen->tmrPoll->Enabled() && screen->tmrClign->Enabled() && screen->IsModal();
        screen->imgClose->click();
    });
    QTest::mouseClick(w->Telecmde(2)->imgButton, Qt::LeftButton);
    EXPECT_EQ(module, "2");
    EXPECT_TRUE(timersOn);
    EXPECT_EQ(commandScreen(), nullptr) << "closed, and not loaded again";
    w->activateWindow();
    settle();
    EXPECT_EQ(w->Telecmde(2)->shpChnlState(4)->FillColor(), 0x0000FFu);
    EXPECT_EQ(w->Telecmde(3)->shpChnlState(1)->FillColor(), 0xFF00FFu);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(RemoteOverview, ButtonsMadeAfterTheScalingKeepTheirGrid)
{
    remoteModules(1, 12);
    wTeleCmdes* w = showOverview();
    // Loaded on a screen half as large again.
    gNoResize = false;
    ASSERT_TRUE(Global::MiseAEchelle(w, QSize(1200, 900)));
    std::vector<QRect> scaled;
    for (int k = 1; k <= 12; ++k)
        scaled.push_back(w->Telecmde(k)->geometry());
    EXPECT_EQ(scaled[1].topLeft(), QPoint(qRound(3255 / 15 * 1.5), qRound(1485 / 15 * 1.5)));
    const QRect number = w->Telecmde(1)->lblNumPan->geometry();
    w->Form_Activate();
    settle();
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(w->Telecmde(k)->geometry(), scaled[size_t(k - 1)]) << "button " << k;
    EXPECT_EQ(w->Telecmde(1)->lblNumPan->geometry(), number);
    EXPECT_EQ(w->Telecmde(1)->imgButton->geometry(), w->Telecmde(1)->rect());
}

TEST_F(RemoteOverview, TheAlarmScreenOpensItForAnOperator)
{
    configure(3, 1);
    addOperator();
    wRunAlarms* alarms = showScreen();
    EXPECT_FALSE(shown(alarms->imgTelecommande)) << "no module takes remote commands";
    remoteModules(9, 1);
    alarms->Form_Activate();
    ASSERT_TRUE(shown(alarms->imgTelecommande));
    const auto asked = answerLogin("1111");
    alarms->imgTelecommande->click();
    settle();
    EXPECT_TRUE(*asked);
    ASSERT_NE(overview(), nullptr);
    EXPECT_TRUE(overview()->isVisible());
    EXPECT_FALSE(overview()->IsModal());
    EXPECT_EQ(buttons(), QStringList{"09"});
}

} // namespace
