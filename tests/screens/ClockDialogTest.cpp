// The clock dialog on a fake clock: the step table of the six fields, the
// first step freezing them, the moment a set names (a day past the month's
// end carrying over) given to the clock in one call, a refused set reported
// once, a set far ahead asked for once, and the engine told of the new clock.

#include "platform/FormTimer.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "platform/WallClock.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/PanelClass.h"
#include "program/screens/system/ClockFields.h"
#include "program/screens/system/MenuDialog.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/dlgSysTime.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/ScreensFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <vector>

namespace {

using testing_support::ModalAnswers;

using plat::DateTime;

DateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return DateTime::fromDate(QDate(y, mo, d), QTime(h, mi, s));
}

// A clock that moves only when told, and writes down every set.
class FakeClock : public plat::WallClock {
public:
    DateTime now() const override { return m_now; }
    void set(const DateTime& local) override
    {
        sets.push_back(local);
        if (refuse)
            throw plat::RtError(plat::rt::PermissionDenied, QStringLiteral("Permission denied"));
        m_now = local;
    }
    void setNow(const DateTime& t) { m_now = t; }
    void advance(int seconds) { m_now = m_now.addSeconds(seconds); }

    std::vector<DateTime> sets;
    bool refuse = false;

private:
    DateTime m_now;
};

TEST(ClockFields, StepsStopAtEachFieldsLimitsAndShowTwoDigitsAtLeast)
{
    const struct {
        int button;
        const char* from;
        const char* to;
    } cases[] = {
        {0, "01", "01"},     {1, "31", "31"},     {1, "05", "06"},     {0, "10", "09"},     // day
        {2, "01", "01"},     {3, "12", "12"},     {3, "9", "10"},                            // month
        {4, "2000", "2000"}, {5, "2099", "2099"}, {5, "2024", "2025"}, {4, "2024", "2023"}, // year
        {6, "00", "00"},     {7, "23", "23"},     {7, "09", "10"},                           // hour
        {8, "00", "00"},     {9, "59", "59"},     {11, "59", "59"},    {10, "1", "00"},     // minute, second
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockFields::Step(c.from, c.button), c.to) << c.button << " from " << c.from;
    EXPECT_EQ(ClockFields::Format(5), "05");
    EXPECT_EQ(ClockFields::Format(2024), "2024");
}

TEST(ClockFields, ADayPastTheMonthsEndCarriesIntoTheNextMonth)
{
    const struct {
        ClockFields::Values fields;
        DateTime moment;
    } cases[] = {
        {{31, 4, 2024, 12, 30, 15}, at(2024, 5, 1, 12, 30, 15)},
        {{30, 2, 2023, 0, 0, 0}, at(2023, 3, 2, 0, 0, 0)},
        {{31, 2, 2024, 8, 0, 0}, at(2024, 3, 2, 8, 0, 0)},
        {{29, 2, 2024, 8, 0, 0}, at(2024, 2, 29, 8, 0, 0)},
        {{31, 12, 2099, 23, 59, 59}, at(2099, 12, 31, 23, 59, 59)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockFields::Compose(c.fields).toQDateTime(), c.moment.toQDateTime());
}

TEST(ClockFields, FarAheadMeansMoreThanADay)
{
    const DateTime from = at(2024, 5, 3, 10, 0, 0);
    EXPECT_FALSE(ClockFields::FarAhead(from, from.addDays(1)));
    EXPECT_TRUE(ClockFields::FarAhead(from, from.addDays(1).addSeconds(1)));
    EXPECT_FALSE(ClockFields::FarAhead(from, from.addDays(-30)));
}

class ClockDialog : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        clock.setNow(at(2024, 5, 3, 4, 5, 6));
        dlgSysTime::setWallClock(&clock);
    }
    void TearDown() override
    {
        ScreensFixture::TearDown();
        dlgSysTime::setWallClock(nullptr);
    }
    static dlgSysTime* openDialog()
    {
        auto* d = qobject_cast<dlgSysTime*>(plat::Forms::Get(FormNames::dlgSysTime));
        d->Show();
        return d;
    }
    static QStringList fields(dlgSysTime* d)
    {
        QStringList shown;
        for (int f = 0; f < ClockFields::Count; ++f)
            shown << d->lblDate(f)->text();
        return shown;
    }
    // A second of the clock, and the dialog's timer firing.
    void second(dlgSysTime* d)
    {
        clock.advance(1);
        if (d->tmrTimeUpdate->Enabled())
            d->tmrTimeUpdate_Timer();
    }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
    static void stepTo(dlgSysTime* d, int field, int value)
    {
        while (int(plat::Val(d->lblDate(field)->text())) < value)
            click(d->imgControl(2 * field + 1));
        while (int(plat::Val(d->lblDate(field)->text())) > value)
            click(d->imgControl(2 * field));
    }

    FakeClock clock;
};

TEST_F(ClockDialog, ShowsTheRunningClockUntilTheFirstStepFreezesAllSixFields)
{
    dlgSysTime* d = openDialog();
    EXPECT_EQ(fields(d), QStringList({"03", "05", "2024", "04", "05", "06"}));
    EXPECT_EQ(d->Label1->text(), Config::GetText(800110));
    for (int f = 0; f < ClockFields::Count; ++f)
        EXPECT_EQ(d->lblTime(f)->text(), Config::GetText(800120 + f));
    EXPECT_TRUE(d->tmrTimeUpdate->Enabled());
    EXPECT_EQ(d->tmrTimeUpdate->Interval(), 1000);
    second(d);
    EXPECT_EQ(d->lblDate(ClockFields::Second)->text(), "07");

    click(d->imgControl(2 * ClockFields::Minute + 1));
    EXPECT_FALSE(d->tmrTimeUpdate->Enabled());
    for (int i = 0; i < 70; ++i)
        second(d);
    EXPECT_EQ(fields(d), QStringList({"03", "05", "2024", "04", "06", "07"}));
    EXPECT_TRUE(clock.sets.empty());
}

TEST_F(ClockDialog, Setting31AprilGivesTheFirstOfMayAtTheShownTimeInOneCallAndTheFieldsRunAgain)
{
    dlgSysTime* d = openDialog();
    stepTo(d, ClockFields::Day, 31);
    stepTo(d, ClockFields::Month, 4);
    stepTo(d, ClockFields::Hour, 12);
    click(d->cmdBoutons(dlgSysTime::CmdSet));
    ASSERT_EQ(clock.sets.size(), 1u);
    EXPECT_EQ(clock.sets[0].toQDateTime(), at(2024, 5, 1, 12, 5, 6).toQDateTime());
    EXPECT_TRUE(d->tmrTimeUpdate->Enabled());
    EXPECT_TRUE(d->isVisible());
    second(d);
    EXPECT_EQ(fields(d), QStringList({"01", "05", "2024", "12", "05", "07"}));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ClockDialog, ADoubleTouchStepsTwice)
{
    dlgSysTime* d = openDialog();
    // A press and release, then the second press arriving as a double click.
    QWidget* up = d->imgControl(2 * ClockFields::Year + 1);
    const QPoint c = up->rect().center();
    QTest::mousePress(up, Qt::LeftButton, {}, c);
    QTest::mouseRelease(up, Qt::LeftButton, {}, c);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(c), up->mapToGlobal(QPointF(c)), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(up, &second);
    QTest::mouseRelease(up, Qt::LeftButton, {}, c);
    EXPECT_EQ(d->lblDate(ClockFields::Year)->text(), "2026");
}

TEST_F(ClockDialog, ARefusedSetIsReportedOnceAndLeavesTheDialogEdited)
{
    clock.refuse = true;
    dlgSysTime* d = openDialog();
    click(d->imgControl(2 * ClockFields::Hour));
    click(d->cmdBoutons(dlgSysTime::CmdSet));
    EXPECT_EQ(reports, QStringList{"dlgSysTime.cmdBoutons_Click 70"});
    EXPECT_EQ(clock.sets.size(), 1u);
    EXPECT_EQ(clock.now().toQDateTime(), at(2024, 5, 3, 4, 5, 6).toQDateTime());
    EXPECT_FALSE(d->tmrTimeUpdate->Enabled());
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(fields(d), QStringList({"03", "05", "2024", "03", "05", "06"}));
}

TEST_F(ClockDialog, ADateMoreThanADayAheadIsAskedForOnceBeforeTheClockIsSet)
{
    dlgSysTime* d = openDialog();
    stepTo(d, ClockFields::Day, 4);
    click(d->cmdBoutons(dlgSysTime::CmdSet));
    EXPECT_EQ(clock.sets.size(), 1u) << "a day ahead at the most: nothing asked";

    stepTo(d, ClockFields::Day, 9);
    ModalAnswers answers;
    answers.message(2).message(1);
    click(d->cmdBoutons(dlgSysTime::CmdSet));
    EXPECT_EQ(clock.sets.size(), 1u) << "cancelled";
    EXPECT_FALSE(d->tmrTimeUpdate->Enabled());
    click(d->cmdBoutons(dlgSysTime::CmdSet));
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_EQ(answers.messages, QStringList(2, Config::GetText(800130)));
    ASSERT_EQ(clock.sets.size(), 2u);
    EXPECT_EQ(clock.sets[1].date(), QDate(2024, 5, 9));
}

TEST_F(ClockDialog, TheEngineIsToldOfTheNewClockSoThatAPollOfTheOldOneIsDue)
{
    plat::Forms::Get(FormNames::wPolling);
    const DateTime farAhead = DateTime::now().addSeconds(7200);
    gConfig->Panel(5)->setNextPoll(farAhead);
    gConfig->Panel(6)->setNextPoll(DateTime::now().addSeconds(60));
    dlgSysTime* d = openDialog();
    click(d->imgControl(2 * ClockFields::Minute));
    click(d->cmdBoutons(dlgSysTime::CmdSet));
    EXPECT_LE(gConfig->Panel(5)->NextPoll(), DateTime::now());
    EXPECT_GT(gConfig->Panel(6)->NextPoll(), DateTime::now()) << "a rest the clock still reaches stays";
}

TEST_F(ClockDialog, CloseDropsTheStepsAndReopensTheSystemMenuFromTheMainWindow)
{
    wMain* main = showMain();
    int menus = 0;
    ModalAnswers answers;
    answers.click(FormNames::dlgMenuSystem, QStringLiteral("cmdButtons(3)"))
        .on(FormNames::dlgSysTime,
            [&](plat::Form* f) {
                auto* d = qobject_cast<dlgSysTime*>(f);
                click(d->imgControl(1));
                click(d->cmdBoutons(dlgSysTime::CmdClose));
            })
        .on(FormNames::dlgMenuSystem, [&](plat::Form* f) {
            ++menus;
            qobject_cast<MenuDialog*>(f)->cmdButtons(MenuDialog::CmdCancel)->click();
        });
    main->imgMenu_Click(2);
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(menus, 1);
    EXPECT_TRUE(clock.sets.empty());
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgSysTime), nullptr);
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

} // namespace
