// The module copy dialog as the technician uses it, modal over the bus
// overview: its numbers and arrows, the copy that the overview's tiles show
// at once, and the main window that counts the copy as a change to save.

#include "platform/AppIdentity.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ModuleCopy.h"
#include "program/screens/bus/dlgBusCopy.h"
#include "tests/screens/BusScreensFixture.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/ScreensFixture.h"

#include <QMouseEvent>
#include <QPushButton>

namespace {

class ModuleCopyDialog : public BusScreensFixture {
protected:
    static dlgBusCopy* dialog() { return qobject_cast<dlgBusCopy*>(plat::Forms::Find(FormNames::dlgBusCopy)); }

    static QString source(dlgBusCopy* d) { return d->lblPanelNo(dlgBusCopy::Source)->text(); }
    static QString target(dlgBusCopy* d) { return d->lblPanelNo(dlgBusCopy::Target)->text(); }
    static bool copyEnabled(dlgBusCopy* d) { return d->cmdBoutons(dlgBusCopy::CmdCopy)->isEnabled(); }

    // A quick second touch: press, release, then the double click and its release.
    static void doubleTouch(QWidget* w)
    {
        const QPointF at = w->rect().center();
        QTest::mouseClick(w, Qt::LeftButton, {}, at.toPoint());
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(w, &twice);
        QTest::mouseRelease(w, Qt::LeftButton, {}, at.toPoint());
    }

    // Module 3 polled, module 7 without a model.
    static void configure()
    {
        gConfig->Panel(3)->setModel(2);
        gConfig->Panel(3)->setActive(true);
        gConfig->Panel(3)->setTitle("Boiler|room");
        gConfig->Panel(3)->Channel(20)->setScreenText("Boiler flame");
        gConfig->setModified(false);
    }
};

} // namespace

TEST_F(ModuleCopyDialog, CopyingThreeOntoSevenShowsOnTheTileAtOnceAndTheDialogStaysForTheNext)
{
    configure();
    wBusModules* o = showOverview();
    ASSERT_TRUE(o->imgCopyPanel->isVisible());
    EXPECT_TRUE(o->imgCroix(6)->isVisible()) << "module 7 has no model yet";

    bool ran = false;
    whenModal(FormNames::dlgBusCopy, [&](plat::Form* f) {
        auto* d = qobject_cast<dlgBusCopy*>(f);
        EXPECT_EQ(d->lblLabels->text(), Config::GetText(201000));
        EXPECT_EQ(d->lblPanelCaption(dlgBusCopy::Source)->text(), Config::GetText(201010));
        EXPECT_EQ(d->lblPanelCaption(dlgBusCopy::Target)->text(), Config::GetText(201011));
        EXPECT_EQ(d->cmdBoutons(dlgBusCopy::CmdClose)->text(), Config::GetText(10008));
        EXPECT_EQ(d->cmdBoutons(dlgBusCopy::CmdCopy)->text(), Config::GetText(10009));
        EXPECT_EQ(source(d), "1");
        EXPECT_EQ(target(d), "1");
        EXPECT_FALSE(copyEnabled(d));

        // Down at 1 changes nothing.
        click(d->imgControl(ModuleCopy::SourceDown));
        click(d->imgControl(ModuleCopy::TargetDown));
        EXPECT_EQ(source(d), "1");
        EXPECT_EQ(target(d), "1");
        EXPECT_FALSE(copyEnabled(d));
        // One step enables the copy; equal numbers disable it again.
        click(d->imgControl(ModuleCopy::TargetUp));
        EXPECT_TRUE(copyEnabled(d));
        click(d->imgControl(ModuleCopy::SourceUp));
        EXPECT_FALSE(copyEnabled(d));
        click(d->imgControl(ModuleCopy::SourceUp));
        for (int i = 0; i < 5; ++i)
            click(d->imgControl(ModuleCopy::TargetUp));
        EXPECT_EQ(source(d), "3");
        EXPECT_EQ(target(d), "7");
        ASSERT_TRUE(copyEnabled(d));

        click(d->cmdBoutons(dlgBusCopy::CmdCopy));
        EXPECT_EQ(o->lblTypePan(6)->text(), "K6200TX");
        EXPECT_EQ(o->lblLblPan(6)->text(), "Boiler\r\nroom");
        EXPECT_FALSE(o->imgCroix(6)->isVisible());
        EXPECT_TRUE(d->isVisible()) << "the dialog stays open for the next copy";
        EXPECT_EQ(source(d), "3");
        EXPECT_EQ(target(d), "7");
        click(d->cmdBoutons(dlgBusCopy::CmdClose));
        ran = true;
    });
    click(o->imgCopyPanel);
    settle();
    EXPECT_TRUE(ran);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(visibleForms(), QStringList{FormNames::wBusModules});
    EXPECT_EQ(gConfig->Panel(7)->Numero(), 7);
    EXPECT_EQ(gConfig->Panel(7)->Channel(20)->ScreenText(), "Boiler flame");
    EXPECT_TRUE(QFile::exists(plat::AppIdentity::programFile(".dat")));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleCopyDialog, TheArrowsStopAtSixtyFourAndADoubleTouchStepsTwice)
{
    auto* d = qobject_cast<dlgBusCopy*>(plat::Forms::Get(FormNames::dlgBusCopy));
    d->Show();
    d->lblPanelNo(dlgBusCopy::Source)->setCaption("63");
    d->lblPanelNo(dlgBusCopy::Target)->setCaption("64");
    click(d->imgControl(ModuleCopy::SourceUp));
    click(d->imgControl(ModuleCopy::SourceUp));
    click(d->imgControl(ModuleCopy::TargetUp));
    EXPECT_EQ(source(d), "64");
    EXPECT_EQ(target(d), "64");
    EXPECT_FALSE(copyEnabled(d));

    doubleTouch(d->imgControl(ModuleCopy::TargetDown));
    EXPECT_EQ(target(d), "62");
    EXPECT_TRUE(copyEnabled(d));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

namespace {

using ModuleCopyFromTheMainWindow = ScreensFixture;

} // namespace

TEST_F(ModuleCopyFromTheMainWindow, BackOnTheMainWindowTheCopyCountsAsAChangeToSave)
{
    EXPECT_FALSE(showMain()->lblModified->isVisible());
    gUserLevel = 2;
    // The menu leaves the main window for the overview, which shows it again as it goes.
    mainWindow()->imgMenu_Click(0);
    auto* o = qobject_cast<wBusModules*>(plat::Forms::Find(FormNames::wBusModules));
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(visibleForms(), QStringList{FormNames::wBusModules});

    testing_support::ModalAnswers answers;
    answers.on(FormNames::dlgBusCopy, [](plat::Form* f) {
        auto* d = qobject_cast<dlgBusCopy*>(f);
        d->imgControl(ModuleCopy::TargetUp)->click();
        d->cmdBoutons(dlgBusCopy::CmdCopy)->click();
        d->cmdBoutons(dlgBusCopy::CmdClose)->click();
    });
    QTest::mouseClick(o->imgCopyPanel, Qt::LeftButton);
    EXPECT_TRUE(answers.allAnswered());
    QTest::mouseClick(o->imgNavig(wBusModules::NavigLeave), Qt::LeftButton);
    settle();
    ASSERT_EQ(visibleForms(), QStringList{FormNames::wMain});
    wMain* main = mainWindow();
    EXPECT_TRUE(main->lblModified->isVisible());

    answers.message(MsgResult::vbCancel);
    main->imgNavig_Click(wMain::NavigQuit);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(50003)});
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
