// The out-of-service screen on its real controls: the lists at load, the
// selection and action buttons, withdrawing a change, the leave question,
// and what an applied change does to polling and to the dispatch of events;
// each language drawn.

#include "tests/screens/TechToolsFixture.h"

#include "platform/Label.h"
#include "program/bus/AlarmScreenLink.h"
#include "program/bus/EventClass.h"
#include "program/core/ChannelClass.h"
#include "program/screens/bus/wTechConsignations.h"

#include <QTreeWidget>

#include <set>

namespace {

class TechConsignations : public TechToolsFixture {
protected:
    wTechConsignations* openScreen() { return open<wTechConsignations>(FormNames::wTechConsignations); }
    static wTechConsignations* screen()
    {
        return qobject_cast<wTechConsignations*>(plat::Forms::Find(FormNames::wTechConsignations));
    }
    static QStringList keys(QTreeWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(0) + "|" + list->topLevelItem(i)->text(1);
        return out;
    }
    // Selects module m and channel c with the step buttons.
    void select(wTechConsignations* s, int m, int c)
    {
        while (s->lblModule->text().toInt() < m)
            click(s->imgControl(5));
        while (s->lblChannel->text().toInt() < c)
            click(s->imgControl(1));
        ASSERT_EQ(s->lblModule->text(), QString::number(m));
        ASSERT_EQ(s->lblChannel->text(), c ? QString::number(c) : QString());
    }
};

TEST_F(TechConsignations, LoadListsWhatIsOutAndShowsOnlyModulePlus)
{
    configure(2, 1).setActive(false);
    configure(3, 2).Channel(14)->setScreenText(QStringLiteral("Door west"));
    gConfig->Panel(3)->Channel(14)->setOutOfOrder(true);
    wTechConsignations* s = openScreen();
    EXPECT_EQ(keys(s->lvwPresent).join("; "), "M02|Hall 2; M03C14|Door west");
    EXPECT_EQ(s->lvwNew->topLevelItemCount(), 0);
    EXPECT_EQ(s->lblModule->text(), "");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(s->imgControl(i)->isVisible(), i == 5) << "button " << i;
    EXPECT_EQ(s->imgControl(2)->geometry(), s->imgControl(3)->geometry()) << "out and back share one place";
    EXPECT_EQ(s->imgControl(6)->geometry(), s->imgControl(7)->geometry());
    EXPECT_TRUE(s->imgNavig(101)->isVisible()) << "next shows with nothing selected in a list that has items";
    EXPECT_FALSE(s->imgNavig(103)->isVisible());
    EXPECT_FALSE(s->imgNavig(2)->isVisible()) << "an empty list has no arrows";
    click(s->imgNavig(101));
    EXPECT_EQ(s->lvwPresent->currentItem()->text(0), "M02");
    click(s->imgNavig(101));
    EXPECT_EQ(s->lvwPresent->currentItem()->text(0), "M03C14");
    EXPECT_TRUE(s->imgNavig(103)->isVisible());
    EXPECT_FALSE(s->imgNavig(101)->isVisible());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechConsignations, PreparedChangesApplyOnYesAndSaveNothing)
{
    configure(5, 1);
    configure(6, 3).setActive(false);
    gConfig->setModified(false);
    wTechConsignations* s = openScreen();
    select(s, 5, 3);
    click(s->imgControl(2));
    EXPECT_EQ(keys(s->lvwNew).join("; "), "M05C03|");
    EXPECT_FALSE(s->imgControl(2)->isVisible()) << "a pending change hides its buttons";
    EXPECT_FALSE(s->imgControl(3)->isVisible());
    click(s->imgControl(6));
    click(s->imgControl(5));
    click(s->imgControl(7));
    EXPECT_EQ(keys(s->lvwNew).join("; "), "M05C03|; M05|Hall 5; M06|Hall 6");
    EXPECT_EQ(s->lvwNew->topLevelItem(2)->data(0, Qt::UserRole).toInt(), 6) << "the number is in the item";
    EXPECT_FALSE(gConfig->Panel(5)->Channel(3)->OutOfOrder()) << "nothing changes before Yes";

    // Pressed again (its button hidden by then), the change is withdrawn; once more, it comes back.
    s->imgControl_Click(7);
    EXPECT_EQ(keys(s->lvwNew).join("; "), "M05C03|; M05|Hall 5");
    s->imgControl_Click(7);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(keys(s->lvwNew).join("; "), "M05C03|; M05|Hall 5; M06|Hall 6");

    answer(6);
    click(s->imgNavig(5));
    settle();
    EXPECT_EQ(screen(), nullptr);
    EXPECT_TRUE(gConfig->Panel(5)->Channel(3)->OutOfOrder());
    EXPECT_FALSE(gConfig->Panel(5)->Active());
    EXPECT_TRUE(gConfig->Panel(6)->Active());
    EXPECT_FALSE(QFile::exists(workingFile())) << "this screen saves nothing";
    EXPECT_EQ(answers->messages.value(0), Config::GetText(30010));

    s = openScreen();
    EXPECT_EQ(keys(s->lvwPresent).join("; "), "M05|Hall 5; M05C03|") << "the next visit starts from the configuration";
}

TEST_F(TechConsignations, RefusedButtonsBeepAndWithdrawingAsks)
{
    configure(1, 1);
    wTechConsignations* s = openScreen();
    s->imgControl_Click(6);
    s->imgControl_Click(2);
    EXPECT_EQ(beeps, 2) << "nothing selected";
    select(s, 1, 1);
    click(s->imgControl(2));
    EXPECT_EQ(s->lvwNew->topLevelItemCount(), 1);
    click(s->imgDelete);
    EXPECT_EQ(beeps, 3) << "no change selected";
    click(s->imgNavig(2));
    answer(2);
    click(s->imgDelete);
    EXPECT_EQ(s->lvwNew->topLevelItemCount(), 1) << "Cancel keeps it";
    answer(1);
    click(s->imgDelete);
    EXPECT_EQ(s->lvwNew->topLevelItemCount(), 0);
    EXPECT_EQ(answers->messages.value(1), Config::GetText(30007));
    EXPECT_TRUE(s->imgControl(2)->isVisible()) << "its buttons are back";

    click(s->imgNavig(5));
    settle();
    EXPECT_EQ(screen(), nullptr) << "nothing pending: no question";
    EXPECT_EQ(answers->messages.size(), 2);
}

TEST_F(TechConsignations, NoDropsAndCancelStays)
{
    configure(1, 1);
    wTechConsignations* s = openScreen();
    select(s, 1, 0);
    click(s->imgControl(6));
    answer(2);
    click(s->imgNavig(5));
    ASSERT_EQ(screen(), s);
    answer(7);
    click(s->imgNavig(5));
    settle();
    EXPECT_EQ(screen(), nullptr);
    EXPECT_TRUE(gConfig->Panel(1)->Active());
}

TEST_F(TechConsignations, AnOutOfOrderChannelRecordsItsStateOnlyAndAnInactiveModuleIsNotPolled)
{
    configure(1, 1);
    configure(2, 1);
    doubles.rules.display = doubles.rules.histo = doubles.rules.print = doubles.rules.klaxon = true;
    wPolling* w = engine();
    w->setRun(true);
    for (int i = 0; i < 10; ++i)
        tick();

    wTechConsignations* s = openScreen();
    select(s, 1, 2);
    click(s->imgControl(2));
    click(s->imgControl(5));
    click(s->imgControl(6));
    answer(6);
    click(s->imgNavig(5));
    settle();
    ASSERT_TRUE(gConfig->Panel(1)->Channel(2)->OutOfOrder());
    ASSERT_FALSE(gConfig->Panel(2)->Active());

    doubles.journal.clear();
    // The event lines of the trace (the recording rules write "line <number>").
    auto eventLines = [] { return testing_support::fileLines(traceFile()).filter(QRegularExpression("^line ")).size(); };
    const auto traceBefore = eventLines();
    const size_t framesBefore = port->sentFrames().size();
    ASSERT_TRUE(sim.raiseEvent(1, 2, 1, 1));
    for (int i = 0; i < 10; ++i)
        tick();
    EXPECT_EQ(gConfig->Panel(1)->Channel(2)->State(), 1) << "the state is recorded";
    EXPECT_TRUE(doubles.journal.entries().isEmpty()) << doubles.journal.entries().join("; ").toStdString();
    EXPECT_EQ(eventLines(), traceBefore) << "no trace line";
    for (size_t i = framesBefore; i < port->sentFrames().size(); ++i)
        EXPECT_NE(quint8(port->sentFrames()[i][0]), 2) << "the module out of service is not polled";

    ASSERT_TRUE(sim.raiseEvent(1, 3, 1, 1));
    for (int i = 0; i < 10; ++i)
        tick();
    EXPECT_FALSE(doubles.journal.entries().isEmpty()) << "a channel in service goes the whole way";
    EXPECT_GT(eventLines(), traceBefore);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechConsignations, AChannelPutBackInServiceWhileInAlarmIsListed)
{
    // A module that tells changes through its buffer, one polled for its states.
    configure(1, 1);
    configure(2, 4);
    for (int m : {1, 2}) {
        gConfig->Panel(qint16(m))->Channel(3)->setScrAlm(true);
        gConfig->Panel(qint16(m))->Channel(3)->setOutOfOrder(true);
    }
    for (int bit = 0; bit < 5; ++bit)
        gConfig->setOptionScreen(bit, true);
    wPolling* w = engine();
    w->setRun(true);
    AlarmScreenLink* alarms = AlarmScreen::Get();
    ASSERT_NE(alarms, nullptr);
    ASSERT_TRUE(sim.raiseEvent(1, 3, 1, 0));
    ASSERT_TRUE(sim.setChannelState(2, 3, 1));
    for (int i = 0; i < 20; ++i)
        tick();
    ASSERT_EQ(gConfig->Panel(1)->Channel(3)->State(), 1) << "recorded only";
    ASSERT_EQ(gConfig->Panel(2)->Channel(3)->State(), 1);
    ASSERT_EQ(alarms->AlarmRowCount(), 0);

    wTechConsignations* s = openScreen();
    select(s, 1, 3);
    click(s->imgControl(3));
    click(s->imgControl(5));
    click(s->imgControl(3));
    answer(6);
    click(s->imgNavig(5));
    settle();
    ASSERT_FALSE(gConfig->Panel(1)->Channel(3)->OutOfOrder());
    for (int i = 0; i < 40; ++i)
        tick();
    std::set<std::pair<int, int>> listed;
    for (int r = 0; r < alarms->AlarmRowCount(); ++r) {
        EventClass ev;
        ev.setID(alarms->AlarmRowData(r));
        listed.insert({ev.Panel(), ev.Chnl()});
        EXPECT_EQ(ev.Aff(), 1);
    }
    EXPECT_EQ(listed, (std::set<std::pair<int, int>>{{1, 3}, {2, 3}}));
    for (int m : {1, 2})
        EXPECT_EQ(gConfig->Panel(qint16(m))->Channel(3)->State(), 1) << "module " << m;
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechConsignations, DrawnInEveryLanguage)
{
    configure(2, 1).setActive(false);
    configure(3, 2).Channel(14)->setScreenText(QStringLiteral("Door west"));
    gConfig->Panel(3)->Channel(14)->setOutOfOrder(true);
    configure(5, 1).Channel(3)->setScreenText(QStringLiteral("Smoke, stairs B"));
    for (int language = 0; language < 3; ++language) {
        gLanguage = language;
        LanguageGlobals::SetLetters();
        wTechConsignations* s = openScreen();
        select(s, 5, 3);
        click(s->imgControl(2));
        for (int i = 0; i < 3; ++i)
            click(s->imgControl(4));
        click(s->imgControl(7));
        click(s->imgControl(5));
        testing_support::renderToPng(s, QString("wTechConsignations-%1").arg(language));
        plat::Forms::Unload(s);
        settle();
    }
}

} // namespace
