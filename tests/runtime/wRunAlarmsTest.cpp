// The alarm screen on the real engine form, polling the in-process
// simulator on virtual time: alarms from the bus become rows, the
// acknowledgement asks its login, stops the horn and reaches the module,
// events that come during a login, stop and run, leaving, the instruction
// of an alarm, the activation and the indicators.

#include "program/runtime/dlgConsigne.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

using alarmtest::AlarmScreenFixture;

class AlarmScreen : public AlarmScreenFixture {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        configure(3, 1);
        configure(4, 1);
    }
    // Writes of the module acknowledgement (register 67 := 2) that reached module m.
    int acknowledgementsAt(int module) const
    {
        int n = 0;
        for (const modsim::WriteRecord& w : sim.writesTo(module))
            n += w.reg == 67 && w.values == std::vector<std::uint16_t>{2};
        return n;
    }
    // A first fault of module 3, channel 6, acknowledged at the module: a red row, the horn on.
    void firstFault()
    {
        sim.raiseEvent(3, 6, 3, 1);
        ticks(2);
    }
    unsigned int colourOf(int row) const { return screen()->grdAlarms->CellBackColor(row, 0); }
};

TEST_F(AlarmScreen, AnAlarmFromTheBusBecomesACyanRowAndAFirstFaultARedOne)
{
    wRunAlarms* w = showScreen();
    startPolling();
    sim.raiseEvent(3, 5, 1, 0);
    ticks(2);
    ASSERT_EQ(rowIds(), std::vector<qint32>{id(3, 5, 0, 1)});
    EXPECT_EQ(colourOf(0), 0xFFFF00u);
    EXPECT_FALSE(w->txtNoAlarm->isVisibleTo(w));
    EXPECT_TRUE(w->imgPointer->isVisibleTo(w));
    EXPECT_TRUE(w->AlarmRowText(0).contains("M03-C05")) << w->AlarmRowText(0).toStdString();

    firstFault();
    ASSERT_EQ(rowIds(), (std::vector<qint32>{id(3, 6, 1, 3), id(3, 5, 0, 1)}));
    EXPECT_EQ(colourOf(0), 0x0000FFu);
    EXPECT_EQ(w->grdAlarms->Row(), 0) << "a first fault is selected on top";
    EXPECT_FALSE(player.playing.isEmpty()) << "the horn sounds";

    // The channel back to normal after its acknowledgement removes its row.
    sim.raiseEvent(3, 5, 0, 1);
    ticks(2);
    EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 6, 1, 3)});
    sim.raiseEvent(3, 6, 0, 1);
    ticks(2);
    EXPECT_TRUE(rowIds().empty());
    EXPECT_TRUE(w->txtNoAlarm->isVisibleTo(w));
    EXPECT_FALSE(w->imgPointer->isVisibleTo(w));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(AlarmScreen, AcknowledgingAsksTheLoginUntilItPassesStopsTheHornAndReachesTheModule)
{
    addOperator();
    wRunAlarms* w = showScreen();
    startPolling();
    firstFault();
    recordEvents();
    player.calls.clear();

    // A wrong code logs out and the dialog comes again; then the operator's code.
    int dialogs = 0;
    answerLogin("9999", [&] {
        ++dialogs;
        answerLogin("1111", [&] { ++dialogs; });
    });
    w->imgAcquit->click();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(gUserLevel, 1);
    EXPECT_EQ(player.calls, QStringList{"stop"});
    EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 6, 1, 3)}) << "the row stays until the module says more";
    // The operator's acknowledgement, numbered and dispatched at once.
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().ID(), id(3, 254, 0, 0));
    ticks(1);
    EXPECT_EQ(acknowledgementsAt(3), 1);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(AlarmScreen, ALoginGivenUpEndsTheAcknowledgementSilently)
{
    addOperator();
    wRunAlarms* w = showScreen();
    startPolling();
    firstFault();
    player.calls.clear();
    const auto asked = cancelLogin();
    w->imgAcquit->click();
    EXPECT_TRUE(*asked);
    EXPECT_TRUE(player.calls.isEmpty()) << "the horn sounds on";
    ticks(2);
    EXPECT_EQ(acknowledgementsAt(3), 0);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(AlarmScreen, AnAlarmThatComesDuringTheLoginIsListedAndTheSelectedAlarmIsAcknowledged)
{
    addOperator();
    wRunAlarms* w = showScreen();
    startPolling();
    firstFault();
    // The login's own event: the new alarm comes while the acknowledgement waits.
    bool sent = false;
    QObject::connect(engine(), &wPolling::BusEvent, w, [&](const EventClass& ev) {
        if (ev.Chnl() == 254 && ev.Aff() == 3 && !sent) {
            sent = true;
            send(4, 7, 0, 1);
        }
    });
    answerLogin("1111");
    w->imgAcquit->click();
    ASSERT_TRUE(sent);
    EXPECT_EQ(rowIds(), (std::vector<qint32>{id(4, 7, 0, 1), id(3, 6, 1, 3)}));
    EXPECT_EQ(w->grdAlarms->Row(), 1) << "the selection stays on the alarm it was on";
    ticks(2);
    EXPECT_EQ(acknowledgementsAt(3), 1);
    EXPECT_EQ(acknowledgementsAt(4), 0);
}

// The operator types the code while alarms keep coming: the dialog stays up
// over the screen, whose rows change behind it, and the acknowledgement goes
// to the row chosen when the code is accepted.
enum class Meanwhile { NewAlarm, AnnouncedAgain };

class AnAlarmWhileThePasswordIsAsked : public AlarmScreen, public testing::WithParamInterface<Meanwhile> {};

TEST_P(AnAlarmWhileThePasswordIsAsked, LeavesTheDialogUpAndTheRowChosenWhenTheCodeIsAcceptedIsAcknowledged)
{
    addOperator();
    // Module 4's channel 8: acknowledged at the module, active, announced again after a minute.
    channel(4, 8).setReact(true);
    channel(4, 8).setReactTpo(1);
    wRunAlarms* w = showScreen();
    startPolling();
    firstFault();
    send(4, 8, 1, 1);
    ASSERT_EQ(w->grdAlarms->Row(), 1) << "the first fault stays chosen, under the new row";
    sim.clearWriteLog();
    bool stayed = false;
    const auto asked = testing_support::whenShown(FormNames::dlgUserCodes, [&](plat::Form* f) {
        QPointer<dlgUserCodes> dlg = qobject_cast<dlgUserCodes*>(f);
        for (QChar k : QString("1111"))
            dlg->cmdKey(k.unicode())->click();
        if (GetParam() == Meanwhile::NewAlarm) {
            send(4, 7, 0, 1);
        } else {
            clock.advance(61 * 1000);
            engine()->tmrReactiv_Timer();
        }
        stayed = dlg && !dlg->IsUnloaded() && dlg->isVisible();
        if (stayed)
            dlg->imgCmd(dlgUserCodes::CmdOk)->click();
    });
    w->imgAcquit->click();
    ASSERT_TRUE(*asked);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(gUserLevel, 1) << "the code typed before the alarm counts";
    const std::vector<qint32> rows = GetParam() == Meanwhile::NewAlarm
                                         ? std::vector<qint32>{id(4, 7, 0, 1), id(4, 8, 1, 1), id(3, 6, 1, 3)}
                                         : std::vector<qint32>{id(4, 8, 1, 255), id(3, 6, 1, 3)};
    EXPECT_EQ(rowIds(), rows);
    ticks(2);
    EXPECT_EQ(acknowledgementsAt(3), 1);
    EXPECT_EQ(acknowledgementsAt(4), 0);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(AlarmScreen, AnAlarmWhileThePasswordIsAsked,
                         testing::Values(Meanwhile::NewAlarm, Meanwhile::AnnouncedAgain));

TEST_F(AlarmScreen, AcknowledgingWithNoRowChosenOnlyStopsTheHorn)
{
    wRunAlarms* w = showScreen();
    startPolling();
    firstFault();
    w->grdAlarms->setCurrentIndex({});
    ASSERT_EQ(w->grdAlarms->Row(), -1);
    player.calls.clear();
    w->imgAcquit->click();
    EXPECT_EQ(player.calls, QStringList{"stop"});
    EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 6, 1, 3)});
    ticks(2);
    EXPECT_EQ(acknowledgementsAt(3), 0);
}

TEST_F(AlarmScreen, StopAndRunNeedTheSupervisorsLevel)
{
    addOperator();
    wRunAlarms* w = showScreen();
    ASSERT_FALSE(engine()->Run());
    EXPECT_TRUE(w->imgStopRun(1)->isVisibleTo(w));
    EXPECT_FALSE(w->imgStopRun(0)->isVisibleTo(w));

    // Refused: the login is offered, then the refusal said in a critical box.
    cancelLogin();
    answerBox();
    w->imgStopRun(1)->click();
    EXPECT_EQ(boxes, QStringList{"critical|" + Config::GetText(20009)});
    EXPECT_FALSE(engine()->Run());

    answerLogin("2468");
    w->imgStopRun(1)->click();
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(w->imgStopRun(0)->isVisibleTo(w));
    EXPECT_FALSE(w->imgStopRun(1)->isVisibleTo(w));
    // Logged in at level 2, nothing more is asked; the synchronisation mark starts polling too.
    w->imgStopRun(0)->click();
    EXPECT_FALSE(engine()->Run());
    w->setSynchroMarkVisible(true);
    w->imgStopRun(2)->click();
    EXPECT_TRUE(engine()->Run());
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(AlarmScreen, LeavingNeedsTheSupervisorsLevelAndShowsTheMainWindow)
{
    addOperator();
    wRunAlarms* w = showScreen();
    cancelLogin();
    answerBox();
    w->imgNavig(wRunAlarms::NavigLeave)->click();
    EXPECT_EQ(boxes, QStringList{"plain|" + Config::GetText(20009)});
    EXPECT_EQ(screen(), w);

    answerLogin("2468");
    w->imgNavig(wRunAlarms::NavigLeave)->click();
    settle();
    EXPECT_EQ(screen(), nullptr);
    ASSERT_NE(plat::Forms::Find("wMain"), nullptr);
    EXPECT_TRUE(plat::Forms::Find("wMain")->isVisible());
}

TEST_F(AlarmScreen, TheLevelUnderTheLoginButtonFollowsTheLoginsThatTheButtonsAsk)
{
    addOperator();
    wRunAlarms* w = showScreen();
    startPolling();
    firstFault();
    ASSERT_EQ(w->lblLogin(0)->text(), "0");
    auto shows = [&](const QString& digit) {
        EXPECT_EQ(w->lblLogin(0)->text(), digit);
        EXPECT_EQ(w->lblLogin(1)->text(), digit);
    };

    // The operator logs in to acknowledge.
    const auto asked = answerLogin("1111");
    w->imgAcquit->click();
    EXPECT_TRUE(*asked);
    EXPECT_EQ(gUserLevel, 1);
    shows("1");

    // A wrong code at Stop/Run logs the operator out before the refusal.
    answerLogin("9999");
    answerBox();
    w->imgStopRun(0)->click();
    EXPECT_EQ(gUserLevel, 0);
    shows("0");

    // The supervisor stops polling.
    answerLogin("2468");
    w->imgStopRun(0)->click();
    EXPECT_FALSE(engine()->Run());
    shows("2");
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(AlarmScreen, TheLoginButtonShowsTheNewLevelTwice)
{
    wRunAlarms* w = showScreen();
    EXPECT_EQ(w->lblLogin(0)->text(), "0");
    answerLogin("3579");
    w->imgNavig(wRunAlarms::NavigLogin)->click();
    EXPECT_EQ(gUserLevel, 3);
    EXPECT_EQ(w->lblLogin(0)->text(), "3");
    EXPECT_EQ(w->lblLogin(1)->text(), "3");
}

TEST_F(AlarmScreen, TheInstructionOfTheChosenAlarmShowsInItsDialog)
{
    gConfig->setConsigne(4, "   Evacuate hall B.\r\nCall the fire brigade.   ");
    channel(3, 24).setHelpNum(4);
    channel(3, 5).setHelpNum(5);   // an instruction left empty
    wRunAlarms* w = showScreen();
    send(3, 24, 0, 1);

    QString alarm, consigne;
    auto readDialog = [&] {
        return testing_support::whenShown(FormNames::dlgConsigne, [&](plat::Form* f) {
            auto* dlg = qobject_cast<dlgConsigne*>(f);
            alarm = dlg->lblAlarm->text();
            consigne = dlg->lblConsigne->text();
            dlg->imgClose->click();
        });
    };
    auto shown = readDialog();
    w->imgConsigne->click();
    EXPECT_TRUE(*shown);
    EXPECT_EQ(alarm, w->AlarmRowText(0).replace(' ', QChar(0xA0)));
    EXPECT_FALSE(alarm.contains(' '));
    EXPECT_EQ(consigne, "Evacuate hall B.\nCall the fire brigade.");
    settle();
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgConsigne), nullptr);

    send(3, 5, 0, 1);
    w->grdAlarms->setRow(0);
    shown = readDialog();
    w->imgConsigne->click();
    EXPECT_EQ(consigne, Config::GetText(710021));

    // A channel without an instruction, and a module row: the message.
    send(3, 6, 0, 1);
    w->grdAlarms->setRow(0);
    answerBox();
    w->imgConsigne->click();
    send(4, 255, 1, 0);
    answerBox();
    w->imgConsigne->click();
    EXPECT_EQ(boxes, (QStringList{"critical|" + Config::GetText(710021), "critical|" + Config::GetText(710021)}));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(AlarmScreen, ActivationClosesTheOtherScreensAndShowsTheStateOfThings)
{
    addOperator();
    wRunAlarms* w = showScreen();
    EXPECT_FALSE(w->imgCommWatch->isVisibleTo(w)) << "the monitor is the technician's";
    w->imgCommWatch->click();

    // Another screen opened over the alarm screen, then the activation comes back.
    plat::Forms::Get("wMain")->Show();
    settle();
    gUserLevel = 3;
    w->activateWindow();
    settle();
    EXPECT_EQ(loaded(), (QStringList{FormNames::wPolling, FormNames::wRunAlarms}));
    EXPECT_FALSE(engine()->isVisible()) << "the monitor is hidden";
    EXPECT_TRUE(w->imgCommWatch->isVisibleTo(w));
    EXPECT_EQ(w->lblLogin(0)->text(), "3");
    EXPECT_EQ(w->lblLogin(1)->text(), "3");
    EXPECT_FALSE(w->imgTelecommande->isVisibleTo(w)) << "no module takes remote commands";
    EXPECT_TRUE(w->imgHisto->isVisibleTo(w));
    EXPECT_TRUE(w->lblHisto->isVisibleTo(w));

    // The bus monitor from its button.
    w->imgCommWatch->click();
    EXPECT_TRUE(engine()->isVisible());
}

TEST_F(AlarmScreen, EveryRoundSwapsTheHeartbeatAndModulesThatStopAnsweringAreNamed)
{
    configure(12, 3);
    wRunAlarms* w = showScreen();
    const bool first = w->imgComm(0)->isVisibleTo(w);
    w->mwComm_PollDone();
    EXPECT_NE(w->imgComm(0)->isVisibleTo(w), first);
    EXPECT_NE(w->imgComm(1)->isVisibleTo(w), w->imgComm(0)->isVisibleTo(w));
    w->mwComm_PollDone();
    EXPECT_EQ(w->imgComm(0)->isVisibleTo(w), first);

    gConfig->Panel(4)->setErrCptr(2, 1);
    gConfig->Panel(12)->setErrCptr(2, 2);
    gConfig->Panel(20)->setErrCptr(2, 1);  // not configured
    w->tmrDateTime_Timer();
    ASSERT_EQ(w->lblMissingPanel.ubound(), 2);
    QLabel* model = w->lblMissingPanel(0);
    EXPECT_FALSE(model->isVisibleTo(w));
    EXPECT_EQ(w->lblMissingPanel(1)->text(), "4");
    EXPECT_EQ(w->lblMissingPanel(2)->text(), "12");
    EXPECT_EQ(w->lblMissingPanel(2)->x(), model->x() + int(2 * 1.2 * model->width()));
    EXPECT_EQ(w->lblMissingPanel(2)->y(), model->y());
    EXPECT_TRUE(w->lblMissingPanel(2)->isVisibleTo(w));

    gConfig->Panel(4)->setErrCptr(2, 0);
    w->tmrDateTime_Timer();
    settle();
    ASSERT_EQ(w->lblMissingPanel.ubound(), 1);
    EXPECT_EQ(w->lblMissingPanel(1)->text(), "12");
    EXPECT_EQ(w->lblDateTime(1)->text().size(), 8);
}

TEST_F(AlarmScreen, TheScrollButtonsMoveTheChoiceAndThePointerFollows)
{
    wRunAlarms* w = showScreen();
    for (int c = 1; c <= 24; ++c)
        send(3, c, 0, 1);
    w->grdAlarms->setRow(0);
    const int top = w->imgPointer->y();
    w->imgControl(6)->click();
    EXPECT_EQ(w->grdAlarms->Row(), 1);
    EXPECT_EQ(w->imgPointer->y(), top + w->grdAlarms->RowHeight(0));
    w->imgControl(7)->click();
    EXPECT_GT(w->grdAlarms->Row(), 5);
    w->imgControl(4)->click();
    w->imgControl(5)->click();
    EXPECT_EQ(w->grdAlarms->Row(), 0);
    EXPECT_EQ(w->imgPointer->y(), top);
    // A choice scrolled out of sight hides the pointer.
    w->grdAlarms->setTopRow(10);
    EXPECT_FALSE(w->imgPointer->isVisibleTo(w));
}

} // namespace
