// The mirror list as the technician uses it: reached from the bus overview,
// its columns and order, new and modify through the edit dialog with the
// duplicate and loop checks (the dialog shown again with the user's values),
// delete, cancel, the arrows, and leaving with and without changes, the
// working file read back.

#include "program/screens/bus/wBusMiroirs.h"
#include "tests/screens/BusScreensFixture.h"
#include "tests/screens/MirrorTouches.h"

#include <QTreeWidget>

namespace {

using Mirror = MirrorChoice::Mirror;

class MirrorListScreen : public BusScreensFixture {
protected:
    void SetUp() override
    {
        BusScreensFixture::SetUp();
        for (int m : {1, 2, 3, 4, 10})
            gConfig->Panel(int16_t(m))->setModel(1);
        gConfig->Panel(12)->setModel(2);
    }

    static void addStored(int fm, int fc, int tm, int tc, int type = 0)
    {
        gConfig->Mirrors()->Add(int16_t(fm), int16_t(fc), int16_t(tm), int16_t(tc), int16_t(type));
        gConfig->setModified(false);
    }

    // The list as the overview's mirror button opens it.
    wBusMiroirs* open()
    {
        click(showOverview()->imgMiroirs);
        settle();
        auto* l = qobject_cast<wBusMiroirs*>(plat::Forms::Find(FormNames::wBusMiroirs));
        EXPECT_NE(l, nullptr);
        return l;
    }

    static QStringList rowIds(const wBusMiroirs* l)
    {
        QStringList out;
        for (int r = 0; r < l->lvwMirrors->topLevelItemCount(); ++r)
            out << l->lvwMirrors->topLevelItem(r)->data(0, Qt::UserRole).toString();
        return out;
    }

    static QStringList rowTexts(const wBusMiroirs* l, int row)
    {
        QStringList out;
        for (int c = 0; c < 8; ++c)
            out << l->lvwMirrors->topLevelItem(row)->text(c);
        return out;
    }

    static void touchRow(wBusMiroirs* l, int row)
    {
        QTreeWidget* list = l->lvwMirrors;
        const QRect r = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }

    static dlgEditMirror* dialog(plat::Form* f) { return qobject_cast<dlgEditMirror*>(f); }

    // The next edit dialog: mirror chosen and confirmed.
    void confirmNext(const Mirror& m)
    {
        whenModal(FormNames::dlgEditMirror, [m](plat::Form* f) { mirror_touches::chooseAndConfirm(dialog(f), m); });
    }
    void cancelNext(std::function<void(dlgEditMirror*)> look = {})
    {
        whenModal(FormNames::dlgEditMirror, [look](plat::Form* f) {
            if (look)
                look(dialog(f));
            mirror_touches::touch(dialog(f)->imgControl(dlgEditMirror::ControlCancel));
        });
    }
};

TEST_F(MirrorListScreen, ColumnsTitlesAndTheTextOrder)
{
    addStored(3, 0, 12, 0, 0);
    addStored(12, 0, 3, 0, 0);
    addStored(2, 4, 10, 7, 2);
    addStored(10, 1, 1, 1, 1);
    addStored(1, 5, 2, 1, 1);
    wBusMiroirs* l = open();
    ASSERT_NE(l, nullptr);
    for (int c = 0; c < 8; ++c) {
        ASSERT_TRUE(l->lblTitle.exists(c));
        EXPECT_TRUE(l->lblTitle(c)->isVisible());
        EXPECT_EQ(l->lblTitle(c)->text(), Config::GetText(500200 + c));
    }
    EXPECT_EQ(l->lblTitle(0)->text(), "") << "the first column, empty, has no title";
    EXPECT_EQ(l->lblLabels->text(), Config::GetText(500100));
    EXPECT_EQ(l->lblTitleOn(1)->text(), Config::GetText(500182));
    // K6200TX before K7150; module "10" between "1" and "2".
    EXPECT_EQ(rowIds(l), QStringList({"12000300", "01050201", "10010101", "02041007", "03001200"}));
    const QString module = Config::GetText(510300);
    EXPECT_EQ(rowTexts(l, 4), QStringList({"", "K7150", "3", module, "K6200TX", "12", "", module}));
    EXPECT_EQ(rowTexts(l, 3), QStringList({"", "K7150", "2", "4", "K7150", "10", "7", Config::GetText(510302)}));
    EXPECT_TRUE(l->SelectedID().isEmpty());
    EXPECT_FALSE(l->imgNavig(wBusMiroirs::NavigUp)->isVisible());
    EXPECT_FALSE(l->imgNavig(wBusMiroirs::NavigDown)->isVisible());
}

TEST_F(MirrorListScreen, NewRefusesADuplicateAndALoopAndOffersTheUsersValuesAgain)
{
    addStored(1, 1, 2, 2, 1);   // A.1 -> B.2
    addStored(2, 2, 3, 3, 1);   // B.2 -> C.3
    wBusMiroirs* l = open();
    touchRow(l, 0);
    const QString selected = l->SelectedID();
    confirmNext({1, 1, 2, 2, 2});
    answer(MsgResult::vbOK);
    whenModal(FormNames::dlgEditMirror, [](plat::Form* f) {
        dlgEditMirror* d = dialog(f);
        EXPECT_EQ(d->lblSrceModNo->Caption(), "1");
        EXPECT_EQ(d->lblSrceChnlNo->Caption(), "1");
        EXPECT_EQ(d->lblDestModNo->Caption(), "2");
        EXPECT_EQ(d->lblDestChnlNo->Caption(), "2");
        EXPECT_TRUE(d->optType(2)->isChecked());
        mirror_touches::chooseAndConfirm(d, {3, 3, 1, 1, 1});
    });
    answer(MsgResult::vbOK);
    confirmNext({3, 3, 4, 1, 1});
    click(l->imgNew);
    settle();
    EXPECT_EQ(asked(), QStringList({Config::GetText(20005), Config::GetText(20010)}));
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgEditMirror), nullptr) << "unloaded at the end";
    EXPECT_EQ(mirrorIds(l->Mirrors()), QStringList({"01010202", "02020303", "03030401"}));
    EXPECT_EQ(l->Mirrors().Item(3)->MirrorType(), 1);
    EXPECT_EQ(l->SelectedID(), selected) << "the new row is not selected";
    EXPECT_EQ(gConfig->Mirrors()->Count(), 2) << "nothing reaches the configuration before leaving";
}

TEST_F(MirrorListScreen, ModifyKeepsItsOwnIDRefusesAnothersAndMayTurnAMirrorRound)
{
    addStored(1, 1, 2, 2, 1);
    addStored(2, 2, 3, 3, 1);
    wBusMiroirs* l = open();
    // Nothing selected: a beep.
    click(l->imgModif);
    EXPECT_EQ(beeps, 1);

    touchRow(l, 0);
    ASSERT_EQ(l->SelectedID(), "01010202");
    whenModal(FormNames::dlgEditMirror, [](plat::Form* f) {
        dlgEditMirror* d = dialog(f);
        EXPECT_EQ(d->lblDestModType->Caption(), "K7150");
        EXPECT_TRUE(d->optType(1)->isChecked());
        mirror_touches::chooseAndConfirm(d, {1, 1, 2, 2, 2});
    });
    click(l->imgModif);
    EXPECT_EQ(l->Mirrors().Item(1)->MirrorType(), 2);

    confirmNext({2, 2, 3, 3, 1});
    answer(MsgResult::vbOK);
    cancelNext();
    click(l->imgModif);
    EXPECT_EQ(asked(), QStringList{Config::GetText(20005)});

    // A.1 -> B.2 turned into B.2 -> A.1: no loop once the old values are gone.
    confirmNext({2, 2, 1, 1, 1});
    click(l->imgModif);
    settle();
    EXPECT_EQ(asked().size(), 1);
    EXPECT_EQ(mirrorIds(l->Mirrors()), QStringList({"02020101", "02020303"}));
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgEditMirror), nullptr);
}

TEST_F(MirrorListScreen, ModifyConfirmedUnchangedLeavesWithoutAQuestion)
{
    addStored(3, 0, 12, 0, 0);
    addStored(2, 4, 10, 7, 2);
    wBusMiroirs* l = open();
    for (int row : {0, 1}) {
        touchRow(l, row);
        whenModal(FormNames::dlgEditMirror,
                  [](plat::Form* f) { mirror_touches::touch(dialog(f)->imgControl(dlgEditMirror::ControlOk)); });
        click(l->imgModif);
    }
    EXPECT_FALSE(l->Mirrors().Modified());
    click(l->imgNavig(wBusMiroirs::NavigMain));
    settle();
    EXPECT_TRUE(asked().isEmpty());
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_EQ(saved(), nullptr) << "nothing saved";
}

TEST_F(MirrorListScreen, DeleteTakesEveryMirrorOfTheSelectedID)
{
    wBusMiroirs* l = open();
    click(l->imgDelete);
    EXPECT_EQ(beeps, 1) << "an empty list";
    plat::Forms::Unload(l);
    settle();

    addStored(1, 1, 2, 2, 1);
    addStored(4, 0, 3, 0, 0);
    addStored(1, 1, 2, 2, 2);   // the same ID, read from a file
    l = open();
    answer(MsgResult::vbOK);
    click(l->imgDelete);
    EXPECT_EQ(asked(), QStringList{Config::GetText(30004)});

    touchRow(l, 0);
    ASSERT_EQ(l->SelectedID(), "01010202");
    answer(MsgResult::vbCancel);
    click(l->imgDelete);
    EXPECT_EQ(l->Mirrors().Count(), 3);
    answer(MsgResult::vbOK);
    click(l->imgDelete);
    EXPECT_EQ(asked().last(), Config::GetText(30007));
    EXPECT_EQ(mirrorIds(l->Mirrors()), QStringList{"04000300"});
    EXPECT_EQ(rowIds(l), QStringList{"04000300"});
    EXPECT_TRUE(l->SelectedID().isEmpty());
}

TEST_F(MirrorListScreen, CancelTakesTheConfigurationsListAgain)
{
    addStored(4, 0, 3, 0, 0);
    wBusMiroirs* l = open();
    confirmNext({1, 2, 2, 3, 1});
    click(l->imgNew);
    ASSERT_EQ(l->Mirrors().Count(), 2);
    click(l->lblCancel);
    EXPECT_EQ(rowIds(l), QStringList{"04000300"});
    EXPECT_FALSE(l->Mirrors().Modified());
    click(l->imgNavig(wBusMiroirs::NavigOverview));
    settle();
    EXPECT_TRUE(asked().isEmpty());
    EXPECT_EQ(visibleForms(), QStringList{FormNames::wBusModules});
}

TEST_F(MirrorListScreen, TheArrowsMoveTheSelection)
{
    addStored(1, 1, 2, 1, 0);
    addStored(2, 1, 3, 1, 0);
    addStored(3, 1, 4, 1, 0);
    wBusMiroirs* l = open();
    touchRow(l, 0);
    EXPECT_FALSE(l->imgNavig(wBusMiroirs::NavigUp)->isVisible());
    click(l->imgNavig(wBusMiroirs::NavigDown));
    click(l->imgNavig(wBusMiroirs::NavigDown));
    EXPECT_EQ(l->SelectedID(), "03010401");
    EXPECT_FALSE(l->imgNavig(wBusMiroirs::NavigDown)->isVisible());
    click(l->imgNavig(wBusMiroirs::NavigUp));
    EXPECT_EQ(l->SelectedID(), "02010301");
    EXPECT_TRUE(l->imgNavig(wBusMiroirs::NavigUp)->isVisible());
    EXPECT_TRUE(l->imgNavig(wBusMiroirs::NavigDown)->isVisible());

    // A touch beside the rows leaves none chosen.
    QTest::mouseClick(l->lvwMirrors->viewport(), Qt::LeftButton, {}, {20, l->lvwMirrors->viewport()->height() - 5});
    EXPECT_TRUE(l->SelectedID().isEmpty());
    EXPECT_FALSE(l->imgNavig(wBusMiroirs::NavigDown)->isVisible());
    click(l->imgModif);
    EXPECT_EQ(beeps, 1);
}

TEST_F(MirrorListScreen, LeavingWithYesSavesTheMirrorsAndNoLeavesTheFile)
{
    addStored(4, 0, 3, 0, 0);
    for (int answerGiven : {MsgResult::vbCancel, MsgResult::vbNo, MsgResult::vbYes}) {
        SCOPED_TRACE(answerGiven);
        wBusMiroirs* l = open();
        confirmNext({1, 1, 2, 1, 1});
        click(l->imgNew);
        answer(answerGiven);
        click(l->imgNavig(wBusMiroirs::NavigMain));
        settle();
        EXPECT_EQ(asked().last(), Config::GetText(30010));
        if (answerGiven == MsgResult::vbCancel) {
            EXPECT_EQ(visibleForms(), QStringList{FormNames::wBusMiroirs});
            plat::Forms::Unload(l);
            settle();
            continue;
        }
        EXPECT_EQ(visibleForms(), QStringList{"wMain"});
        plat::Forms::Unload(plat::Forms::Find("wMain"));
        settle();
        if (answerGiven == MsgResult::vbNo) {
            EXPECT_EQ(saved(), nullptr);
            EXPECT_EQ(gConfig->Mirrors()->Count(), 1);
        }
    }
    auto file = saved();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(mirrorIds(*file->Mirrors()), QStringList({"04000300", "01010201"}));
    EXPECT_EQ(file->Mirrors()->Item(2)->MirrorType(), 1);
}

TEST_F(MirrorListScreen, AStoredCycleAndASelfMirrorStillGetAnswers)
{
    addStored(1, 1, 2, 1, 0);
    addStored(2, 1, 3, 1, 0);
    addStored(3, 1, 1, 1, 0);
    addStored(4, 4, 4, 4, 0);
    wBusMiroirs* l = open();
    confirmNext({4, 1, 2, 1, 0});
    click(l->imgNew);
    confirmNext({2, 1, 4, 1, 0});
    answer(MsgResult::vbOK);
    cancelNext();
    click(l->imgNew);
    // A channel onto itself closes a loop of its own.
    confirmNext({3, 2, 3, 2, 0});
    answer(MsgResult::vbOK);
    cancelNext();
    click(l->imgNew);
    EXPECT_EQ(asked(), QStringList({Config::GetText(20010), Config::GetText(20010)}));
    EXPECT_EQ(l->Mirrors().Count(), 5);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
