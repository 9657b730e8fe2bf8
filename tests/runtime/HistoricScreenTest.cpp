// The history viewer on the real forms: opened from the alarm screen on the
// last entry of the period written now, the period steps and where they land,
// the instruction of an entry and the reload it spares, the remote-control
// button, and where closing returns to.

#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wTeleCmdes.h"
#include "program/runtime/dlgConsigne.h"
#include "program/core/ChannelClass.h"
#include "program/core/ErrorHandling.h"
#include "program/core/GlobalMessage.h"
#include "program/core/IniKeys.h"
#include "program/core/dlgMessage.h"
#include "program/core/VEXfonctions.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include "platform/Screen.h"

#include <QDir>
#include <QTimer>

namespace {

using alarmtest::AlarmScreenFixture;

class HistoryViewer : public AlarmScreenFixture {
protected:
    void TearDown() override
    {
        HistoProcs::setHistoClock({});
        AlarmScreenFixture::TearDown();
    }
    static QDate today() { return QDate::currentDate(); }
    // Entries of module 7 written into the file of that day's period; the
    // event numbers run on from first.
    static void writeEntries(const QDate& day, int first, int count, int chnl = 24)
    {
        HistoProcs::setHistoClock([day] { return plat::DateTime::fromDate(day, QTime(8, 0)); });
        for (int i = 0; i < count; ++i) {
            EventClass ev;
            ev.setNum(first + i);
            ev.setPanel(7);
            ev.setChnl(qint16(chnl));
            ev.setParam(1);
            ev.setAff(3);
            ev.setGDH(plat::DateTime::fromDate(day, QTime(8, 0, i)));
            HistoProcs::HistoEvent(ev);
        }
        HistoProcs::setHistoClock({});
    }
    static void daily(bool on) { VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodUnit, on ? "1" : "0"); }
    static QDate lastMonth() { return today().addMonths(-1); }
    static QString periodOf(const QDate& d, bool withDay)
    {
        return d.toString(withDay ? "yyyy - MM - dd" : "yyyy - MM");
    }

    static wHistoric* viewer() { return qobject_cast<wHistoric*>(plat::Forms::Find(FormNames::wHistoric)); }
    // The viewer shown on its own, its first load done.
    wHistoric* showViewer()
    {
        engine();
        plat::Forms::Get(FormNames::wHistoric)->Show();
        settle();
        viewer()->tmrUpdate_Timer();
        return viewer();
    }
    // The event number of the selected entry.
    static int selectedNumber() { return viewer()->grdAlarms->Text().left(6).toInt(); }
    static QStringList periods()
    {
        QStringList texts;
        for (int i = 0; i < viewer()->lstFiles->ListCount(); ++i)
            texts << viewer()->lstFiles->List(i);
        return texts;
    }
};

TEST_F(HistoryViewer, OpensFromTheAlarmScreenOnTheLastEntryOfTheCurrentPeriod)
{
    writeEntries(lastMonth(), 1, 3);
    writeEntries(today(), 10, 4);
    wRunAlarms* alarms = showScreen();
    ASSERT_TRUE(alarms->imgHisto->isVisibleTo(alarms));
    QStringList seen;
    int rows = -1, selected = -1;
    bool loadedLater = false;
    testing_support::whenShown(FormNames::wHistoric, [&](plat::Form* f) {
        auto* w = qobject_cast<wHistoric*>(f);
        seen = periods();
        loadedLater = w->grdAlarms->Rows() == 0 && w->tmrUpdate->Enabled() && w->tmrUpdate->Interval() == 100;
        // The loader runs once, from its timer.
        QTimer::singleShot(400, w, [&, w] {
            rows = w->grdAlarms->Rows();
            selected = selectedNumber();
            EXPECT_FALSE(w->tmrUpdate->Enabled());
            EXPECT_TRUE(w->IsModal());
            w->imgClose->click();
        });
    });
    QTest::mouseClick(alarms->lblHisto, Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{periodOf(lastMonth(), false), periodOf(today(), false)}));
    EXPECT_TRUE(loadedLater) << "drawn first, loaded 100 ms later";
    EXPECT_EQ(rows, 4) << "the title is no entry";
    EXPECT_EQ(selected, 13);
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(plat::Forms::Find(FormNames::wMain), nullptr) << "back to the alarm screen";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(HistoryViewer, StepsThroughThePeriodsLandingOnTheNearSideOfEach)
{
    writeEntries(lastMonth(), 1, 3);
    writeEntries(today(), 10, 2);
    daily(true);
    writeEntries(today(), 20, 2);
    wHistoric* w = showViewer();
    ASSERT_EQ(periods(), (QStringList{periodOf(lastMonth(), false), periodOf(today(), false), periodOf(today(), true)}));
    EXPECT_EQ(w->lstFiles->ListIndex(), 2) << "daily files: the day's";
    EXPECT_EQ(selectedNumber(), 21);

    w->imgControl(wHistoric::ControlPrevious)->click();
    EXPECT_TRUE(w->tmrUpdate->Enabled());
    w->tmrUpdate_Timer();
    EXPECT_EQ(w->lstFiles->ListIndex(), 1);
    EXPECT_EQ(selectedNumber(), 11) << "the end of the earlier period";
    w->imgControl(wHistoric::ControlPrevious)->click();
    w->tmrUpdate_Timer();
    EXPECT_EQ(selectedNumber(), 3);
    EXPECT_EQ(w->grdAlarms->Rows(), 3);

    // Nothing before the first period: no reload either.
    w->imgControl(wHistoric::ControlPrevious)->click();
    EXPECT_FALSE(w->tmrUpdate->Enabled());
    EXPECT_EQ(w->lstFiles->ListIndex(), 0);

    w->imgControl(wHistoric::ControlNext)->click();
    EXPECT_TRUE(w->GoToTopAfterLoad());
    w->tmrUpdate_Timer();
    EXPECT_EQ(selectedNumber(), 10) << "the start of the later period";
    w->imgControl(wHistoric::ControlNext)->click();
    w->tmrUpdate_Timer();
    EXPECT_EQ(selectedNumber(), 20);
    w->imgControl(wHistoric::ControlNext)->click();
    EXPECT_FALSE(w->tmrUpdate->Enabled()) << "nothing after the last period";
    EXPECT_EQ(w->lstFiles->ListIndex(), 2);

    // The scroll buttons move the selection.
    w->imgControl(wHistoric::ControlPageDown)->click();
    EXPECT_EQ(selectedNumber(), 21);
    w->imgControl(5)->click();
    EXPECT_EQ(selectedNumber(), 20);
}

TEST_F(HistoryViewer, MonthlyFilesPreselectTheMonthAndWithoutAFileTheFirstPeriod)
{
    writeEntries(lastMonth(), 1, 2);
    daily(true);
    writeEntries(today(), 10, 2);
    daily(false);
    {
        wHistoric* w = showViewer();
        EXPECT_EQ(w->lstFiles->ListIndex(), 0) << "no file of this month";
        EXPECT_EQ(selectedNumber(), 2);
        plat::Forms::Unload(w);
        settle();
    }
    QFile::remove(HistoFile::FileName(lastMonth(), false));
    QFile::remove(HistoFile::FileName(today(), true));
    wHistoric* w = showViewer();
    EXPECT_EQ(w->lstFiles->ListCount(), 0);
    EXPECT_EQ(w->lstFiles->ListIndex(), -1);
    EXPECT_EQ(w->grdAlarms->Rows(), 0);
    // An empty list has no entry: its instruction is none.
    answerBox();
    w->imgConsigne->click();
    EXPECT_EQ(boxes, QStringList{"critical|" + Config::GetText(710021)});
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(HistoryViewer, AFileGoneSinceTheListingLeavesTheListEmptyAndOneUnreadableIsSaid)
{
    writeEntries(today(), 1, 2);
    wHistoric* w = showViewer();
    ASSERT_EQ(w->grdAlarms->Rows(), 2);
    QFile::remove(HistoFile::FileName(today(), false));
    w->Form_Activate();
    w->tmrUpdate_Timer();
    EXPECT_EQ(w->grdAlarms->Rows(), 0);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);

    // One that is there but cannot be read is an error, said once, the list empty.
    ASSERT_TRUE(QDir().mkdir(HistoFile::FileName(today(), false)));
    w->Form_Activate();
    w->tmrUpdate_Timer();
    EXPECT_EQ(w->grdAlarms->Rows(), 0);
    EXPECT_EQ(reports, QStringList{"wHistoric.tmrUpdate_Timer 75"});
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
}

// The entries shown are the file as it was read: an entry written since shows
// at the next load, and one removed meanwhile (the midnight purge) still reads.
TEST_F(HistoryViewer, ShowsTheFileAsItWasReadUntilTheNextLoad)
{
    writeEntries(today(), 1, 3);
    wHistoric* w = showViewer();
    ASSERT_EQ(w->grdAlarms->Rows(), 3);
    const QString first = w->grdAlarms->TextMatrix(0);
    writeEntries(today(), 4, 2);
    EXPECT_EQ(w->grdAlarms->Rows(), 3);
    EXPECT_EQ(w->grdAlarms->TextMatrix(2).left(6).toInt(), 3);
    ASSERT_TRUE(QFile::remove(HistoFile::FileName(today(), false)));
    EXPECT_EQ(w->grdAlarms->TextMatrix(0), first);
    writeEntries(today(), 6, 1);
    w->Form_Activate();
    w->tmrUpdate_Timer();
    ASSERT_EQ(w->grdAlarms->Rows(), 1);
    EXPECT_EQ(selectedNumber(), 6);
}

TEST_F(HistoryViewer, TheInstructionOfAnEntryAndNoReloadWhenItCloses)
{
    channel(7, 24).setHelpNum(5);
    gConfig->setConsigne(5, "Call the fire brigade.");
    writeEntries(today(), 1, 2);
    wHistoric* w = showViewer();
    QString alarm, consigne;
    testing_support::whenShown(FormNames::dlgConsigne, [&](plat::Form* f) {
        auto* dlg = qobject_cast<dlgConsigne*>(f);
        alarm = dlg->lblAlarm->text();
        consigne = dlg->lblConsigne->text();
        // An entry written meanwhile shows only at the next load.
        writeEntries(today(), 3, 1);
        dlg->imgClose->click();
    });
    w->imgConsigne->click();
    EXPECT_EQ(consigne, "Call the fire brigade.");
    EXPECT_TRUE(alarm.startsWith(QString(2, QChar(0xA0)) + "000002")) << alarm.toStdString();
    EXPECT_EQ(alarm.count('\n'), 1) << "the entry's two lines";
    // The activation that follows the dialog loads nothing; the next one does.
    EXPECT_TRUE(w->SkipNextReload());
    w->Form_Activate();
    EXPECT_FALSE(w->SkipNextReload());
    EXPECT_FALSE(w->tmrUpdate->Enabled());
    EXPECT_EQ(w->grdAlarms->Rows(), 2);
    w->Form_Activate();
    EXPECT_TRUE(w->tmrUpdate->Enabled());
    w->tmrUpdate_Timer();
    EXPECT_EQ(w->grdAlarms->Rows(), 3);
}

TEST_F(HistoryViewer, AnEntryWithoutAChannelsInstructionIsToldSo)
{
    HistoProcs::setHistoClock([] { return plat::DateTime::now(); });
    EventClass ev;
    ev.setPanel(7);
    ev.setChnl(254);
    ev.setAff(0);
    ev.setGDH(plat::DateTime::now());
    HistoProcs::HistoEvent(ev);
    writeEntries(today(), 2, 1, 3);
    wHistoric* w = showViewer();
    ASSERT_EQ(w->grdAlarms->Rows(), 2);
    for (int row : {1, 0}) {
        w->grdAlarms->setRow(row);
        answerBox();
        w->imgConsigne->click();
    }
    const QString none = "critical|" + Config::GetText(710021);
    EXPECT_EQ(boxes, (QStringList{none, none})) << "a channel without instruction, a SYSTEM line";
}

TEST_F(HistoryViewer, TheRemoteControlButtonAsksTheLoginAndShowsTheOverviewModal)
{
    addOperator();
    wHistoric* w = showViewer();
    w->Form_Activate();
    EXPECT_FALSE(w->imgTelecommande->isVisibleTo(w)) << "no module takes remote commands";
    configure(9, 4);
    w->Form_Activate();
    ASSERT_TRUE(w->imgTelecommande->isVisibleTo(w));

    bool modal = false;
    answerLogin("1111", [&] {
        testing_support::whenShown(FormNames::wTeleCmdes, [&](plat::Form* f) {
            modal = f->IsModal();
            qobject_cast<wTeleCmdes*>(f)->imgNavig(wTeleCmdes::NavigClose)->click();
        });
    });
    w->imgTelecommande->click();
    EXPECT_TRUE(modal);
    EXPECT_EQ(gUserLevel, 1);

    // Below the supervisor's level the login is asked each time.
    const auto askedAgain = cancelLogin();
    testing_support::whenShown(FormNames::wTeleCmdes, [](plat::Form* f) {
        qobject_cast<wTeleCmdes*>(f)->imgNavig(wTeleCmdes::NavigClose)->click();
    });
    w->imgTelecommande->click();
    EXPECT_TRUE(*askedAgain);
    EXPECT_EQ(gUserLevel, 1) << "a login given up changes nobody";
    EXPECT_TRUE(boxes.isEmpty());

    // Nobody logged in and the login given up: refused.
    gUserLevel = 0;
    cancelLogin();
    answerBox();
    w->imgTelecommande->click();
    EXPECT_EQ(boxes, QStringList{"critical|" + Config::GetText(20009)});
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(HistoryViewer, ClosingShowsTheMainWindowOnlyWhenNothingElseIsOpen)
{
    wHistoric* w = showViewer();
    w->imgClose->click();
    settle();
    EXPECT_EQ(loaded(), (QStringList{FormNames::wPolling, FormNames::wMain}));
    EXPECT_TRUE(plat::Forms::Find(FormNames::wMain)->isVisible());
    plat::Forms::Unload(plat::Forms::Find(FormNames::wMain));

    // A report shown without waiting, left up, is no screen to return to.
    w = showViewer();
    {
        const ErrorHandling::Unattended unattended;
        Global::Message(QStringLiteral("History file"), MsgStyle::vbCritical);
    }
    w->imgClose->click();
    settle();
    ASSERT_NE(plat::Forms::Find(FormNames::wMain), nullptr);
    EXPECT_TRUE(plat::Forms::Find(FormNames::wMain)->isVisible());
    EXPECT_EQ(plat::Forms::Count(FormNames::dlgMessage), 1) << "the report stays until its OK";
    for (plat::Form* f : plat::Forms::All())
        if (f->IsNotice())
            plat::Forms::Unload(f);
    plat::Forms::Unload(plat::Forms::Find(FormNames::wMain));
    // Opened over the alarm screen, it returns to it.
    plat::Forms::Get(FormNames::wRunAlarms);
    w = showViewer();
    w->imgClose->click();
    settle();
    EXPECT_EQ(plat::Forms::Find(FormNames::wMain), nullptr);
}

} // namespace
