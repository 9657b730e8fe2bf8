// The module editor's parameter rows as the technician uses them: rows
// selected with the row buttons, edited on the value picker or the keyboard,
// the channel buttons, the library and instruction lists, and the channel
// clipboard that lasts for the whole run.

#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgKeyboard.h"
#include "program/core/dlgListInput.h"
#include "program/screens/bus/ChannelClipboard.h"
#include "tests/screens/BusScreensFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {

constexpr int kNo = 7;

class ChannelRowsScreen : public BusScreensFixture {
protected:
    void SetUp() override
    {
        BusScreensFixture::SetUp();
        gChannelClipboard.reset();
        gConfig->Panel(1)->setModel(1);
        gConfig->Panel(2)->setModel(2);
        gConfig->Panel(3)->setModel(1);
        gConfig->setModified(false);
    }
    void TearDown() override
    {
        gChannelClipboard.reset();
        BusScreensFixture::TearDown();
    }

    static int row(wBusPanneau* e) { return e->txtNoParam()->text().toInt(); }

    // Selects a row with the row buttons, as the technician does.
    static void selectRow(wBusPanneau* e, int wanted)
    {
        for (int i = 0; i < 14 && row(e) != wanted; ++i)
            click(e->imgNavig(row(e) < wanted ? wBusPanneau::NavigNextRow : wBusPanneau::NavigPreviousRow));
        ASSERT_EQ(row(e), wanted);
    }

    static void setChannel(wBusPanneau* e, int c)
    {
        while (e->ParamVal(1)->Caption().toInt() < c)
            click(e->imgControl(wBusPanneau::ControlNextChannel));
        while (e->ParamVal(1)->Caption().toInt() > c)
            click(e->imgControl(wBusPanneau::ControlPreviousChannel));
        ASSERT_EQ(e->ParamVal(1)->Caption().toInt(), c);
    }
};

} // namespace

TEST_F(ChannelRowsScreen, APickedValueIsWrittenIntoTheWorkingCopyOnly)
{
    gConfig->Panel(2)->Channel(1)->setAlmPrio(5);
    wBusPanneau* e = openEditor(2);
    selectRow(e, 6);
    QString offered;
    QStringList entries;
    QPoint at;
    whenModal("dlgListInput", [&](plat::Form* f) {
        auto* picker = qobject_cast<dlgListInput*>(f);
        at = picker->frameGeometry().topLeft();
        offered = picker->txtValue->text();
        entries = {picker->lstValue->item(0)->text(), picker->lstValue->item(picker->lstValue->count() - 1)->text()};
        picker->imgControl(1)->click();
        picker->imgControl(1)->click();
        picker->imgControl(2)->click();
    });
    click(e->imgModif);
    EXPECT_EQ(at, e->shpInput->mapToGlobal(QPoint(0, 0))) << "the picker opens over the input frame";
    EXPECT_EQ(offered, "5");
    EXPECT_EQ(entries, (QStringList{"1", "99"}));
    EXPECT_EQ(e->ParamVal(6)->Caption(), "7");
    EXPECT_EQ(e->EditPanel()->Channel(1)->AlmPrio(), 7);
    EXPECT_TRUE(e->EditPanel()->Modified());
    EXPECT_EQ(gConfig->Panel(2)->Channel(1)->AlmPrio(), 5);

    // A picker closed without confirming changes nothing.
    whenModal("dlgListInput", [&](plat::Form* f) {
        auto* picker = qobject_cast<dlgListInput*>(f);
        picker->imgControl(1)->click();
        picker->imgControl(3)->click();
    });
    click(e->imgModif);
    EXPECT_EQ(e->EditPanel()->Channel(1)->AlmPrio(), 7);
    settle();
    EXPECT_EQ(plat::Forms::Find("dlgListInput"), nullptr) << "the picker is unloaded after use";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ChannelRowsScreen, TextRowsAreTypedOnTheKeyboardUpToFortyCharacters)
{
    gConfig->Panel(1)->Channel(1)->setScreenText("Fire");
    wBusPanneau* e = openEditor(1);
    selectRow(e, 12);
    QString title;
    QString start;
    int maxLength = 0;
    bool secondBoxHidden = false;
    bool lineBreakHidden = false;
    whenModal("dlgKeyboard", [&](plat::Form* f) {
        auto* kb = qobject_cast<dlgKeyboard*>(f);
        title = kb->lblTitle->text();
        start = kb->txtValue(0)->Text();
        maxLength = kb->txtValue(0)->MaxLength();
        secondBoxHidden = kb->txtValue(1)->isHidden();
        lineBreakHidden = kb->imgCRLF->isHidden();
        kb->txtValue(0)->setText("Smoke, east staircase");
        kb->imgControl(1)->click();
    });
    click(e->imgModif);
    EXPECT_EQ(title, e->lblParams(12)->text());
    EXPECT_EQ(start, "Fire");
    EXPECT_EQ(maxLength, 40);
    EXPECT_TRUE(secondBoxHidden);
    EXPECT_TRUE(lineBreakHidden);
    EXPECT_EQ(e->EditPanel()->Channel(1)->ScreenText(), "Smoke, east staircase");

    // The title row (0) is the module's.
    selectRow(e, 0);
    whenModal("dlgKeyboard", [&](plat::Form* f) {
        auto* kb = qobject_cast<dlgKeyboard*>(f);
        kb->txtValue(0)->setText("Stairs");
        kb->imgControl(1)->click();
    });
    click(e->imgModif);
    EXPECT_EQ(e->EditPanel()->Title(), "Stairs");

    // The channel row is changed with the channel buttons only.
    e->txtNoParam()->setText("1");
    click(e->imgModif);
    settle();
    EXPECT_EQ(plat::Forms::Find("dlgListInput"), nullptr);
    EXPECT_EQ(plat::Forms::Find("dlgKeyboard"), nullptr);
}

TEST_F(ChannelRowsScreen, RowButtonsSkipTheChannelRowAndTheSelectedRowIsYellow)
{
    wBusPanneau* e = openEditor(1);
    auto colour = [&](int r) { return e->ParamVal(r)->property("BackColor").toUInt(); };
    auto previous = [&] { return e->imgNavig(wBusPanneau::NavigPreviousRow)->isVisible(); };
    auto next = [&] { return e->imgNavig(wBusPanneau::NavigNextRow)->isVisible(); };
    EXPECT_EQ(row(e), 0);
    EXPECT_EQ(colour(0), wBusPanneau::SelectedRowColour);
    EXPECT_FALSE(previous());

    click(e->imgNavig(wBusPanneau::NavigNextRow));
    EXPECT_EQ(row(e), 2) << "from row 0 the next row is 2";
    EXPECT_EQ(colour(2), wBusPanneau::SelectedRowColour);
    EXPECT_EQ(colour(0), wBusPanneau::RowColour);
    EXPECT_EQ(colour(1), wBusPanneau::RowColour);
    EXPECT_TRUE(previous());
    EXPECT_TRUE(next());

    click(e->imgNavig(wBusPanneau::NavigPreviousRow));
    EXPECT_EQ(row(e), 0) << "from row 2 the previous row is 0";

    selectRow(e, 13);
    EXPECT_FALSE(next());
    EXPECT_TRUE(previous());
    EXPECT_EQ(colour(13), wBusPanneau::SelectedRowColour);
    click(e->imgNavig(wBusPanneau::NavigPreviousRow));
    EXPECT_EQ(row(e), 12);
}

TEST_F(ChannelRowsScreen, AShownChannelMarksNothingUnlessItsStoredValueIsOutOfRange)
{
    gConfig->Panel(1)->Channel(2)->setScreenText("Door");
    gConfig->Panel(3)->Channel(2)->setTypeImp(7);
    gConfig->Panel(3)->Channel(3)->setReactTpo(9);
    wBusPanneau* e = openEditor(1);
    setChannel(e, 2);
    EXPECT_EQ(e->ParamVal(12)->Caption(), "Door");
    setChannel(e, 1);
    click(e->imgNavPanel(wBusPanneau::NavPanelNext));
    click(e->imgNavPanel(wBusPanneau::NavPanelPrevious));
    EXPECT_FALSE(e->EditPanel()->Modified());
    EXPECT_TRUE(asked().isEmpty());

    e->setNumModule(3);
    setChannel(e, 2);
    EXPECT_EQ(e->ParamVal(4)->Caption(), "#300317#");
    EXPECT_EQ(e->EditPanel()->Channel(2)->TypeImp(), 0);
    EXPECT_TRUE(e->EditPanel()->Modified()) << "a value shown otherwise than stored is a change";
    setChannel(e, 3);
    EXPECT_EQ(e->ParamVal(11)->Caption(), "36:00");
    EXPECT_EQ(e->EditPanel()->Channel(3)->ReactTpo(), 8);
    answer(kNo);
    click(e->imgNavig(wBusPanneau::NavigOverview));
    settle();
    EXPECT_EQ(asked(), QStringList{Config::GetText(30010)});
}

TEST_F(ChannelRowsScreen, TheChannelShownStaysWhenTheModuleChanges)
{
    gConfig->Panel(2)->Channel(20)->setScreenText("Channel 20 of module 2");
    gConfig->Panel(3)->Channel(20)->setScreenText("Channel 20 of module 3");
    wBusPanneau* e = openEditor(2);
    setChannel(e, 24);
    click(e->imgControl(wBusPanneau::ControlNextChannel));
    EXPECT_EQ(e->ParamVal(1)->Caption(), "24") << "module 2 has 24 channels";
    setChannel(e, 20);
    EXPECT_EQ(e->ParamVal(12)->Caption(), "Channel 20 of module 2");

    click(e->imgNavPanel(wBusPanneau::NavPanelNext));
    EXPECT_EQ(e->NumModule(), 3);
    EXPECT_EQ(e->ParamVal(1)->Caption(), "20");
    EXPECT_EQ(e->ParamVal(12)->Caption(), "Channel 20 of module 3");
    EXPECT_EQ(plat::tagOf(e->ParamVal(1)), "*|1|12");
    click(e->imgControl(wBusPanneau::ControlNextChannel));
    EXPECT_EQ(e->ParamVal(1)->Caption(), "20") << "no channel after the module's last";
    click(e->imgControl(wBusPanneau::ControlPreviousChannel));
    EXPECT_EQ(e->ParamVal(1)->Caption(), "19");
    EXPECT_FALSE(e->EditPanel()->Modified());
}

TEST_F(ChannelRowsScreen, TheListsShowTheTextsOfTheChannelsNumbers)
{
    gConfig->setBiblio(2, "Fire alarm");
    gConfig->setConsigne(1, "Call the brigade,\r\nthen open the gate.");
    auto p = gConfig->Panel(1);
    p->Channel(1)->setBibNum(0);
    p->Channel(1)->setHelpNum(48);
    p->Channel(2)->setBibNum(2);
    p->Channel(2)->setHelpNum(1);
    p->Channel(3)->setBibNum(70);
    p->Channel(3)->setHelpNum(49);
    wBusPanneau* e = openEditor(1);
    EXPECT_EQ(e->lstBiblio()->count(), 64);
    EXPECT_EQ(e->lstConsigne()->count(), 48);
    // A text never given reads as blanks, as everywhere else.
    EXPECT_EQ(e->lstBiblio()->item(2)->text(), "3 - " + QString(24, ' '));
    EXPECT_TRUE(e->lstConsigne()->item(0)->text().startsWith("1 - Call the brigade, then open the gate."));

    struct Case {
        int channel;
        int biblio;
        int consigne;
    } cases[] = {{1, -1, 47}, {2, 1, 0}, {3, -1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        setChannel(e, c.channel);
        EXPECT_EQ(e->lstBiblio()->currentRow(), c.biblio);
        EXPECT_EQ(e->lstConsigne()->currentRow(), c.consigne);
    }
    EXPECT_TRUE(reports.isEmpty()) << "numbers beyond the lists are no error: " << reports.join("; ").toStdString();
}

TEST_F(ChannelRowsScreen, ThePickerMovesTheLibraryListWhileOpenAndPutsItBackOnCancel)
{
    gConfig->Panel(1)->Channel(1)->setBibNum(2);
    wBusPanneau* e = openEditor(1);
    selectRow(e, 8);
    ASSERT_EQ(e->lstBiblio()->currentRow(), 1);
    int whileOpen = -2;
    whenModal("dlgListInput", [&](plat::Form* f) {
        auto* picker = qobject_cast<dlgListInput*>(f);
        picker->imgControl(1)->click();
        picker->imgControl(1)->click();
        whileOpen = e->lstBiblio()->currentRow();
        picker->imgControl(3)->click();
    });
    click(e->imgModif);
    EXPECT_EQ(whileOpen, 3);
    EXPECT_EQ(e->lstBiblio()->currentRow(), 1);
    EXPECT_EQ(e->EditPanel()->Channel(1)->BibNum(), 2);

    whenModal("dlgListInput", [&](plat::Form* f) {
        auto* picker = qobject_cast<dlgListInput*>(f);
        picker->imgControl(1)->click();
        picker->imgControl(2)->click();
    });
    click(e->imgModif);
    EXPECT_EQ(e->EditPanel()->Channel(1)->BibNum(), 3);
    EXPECT_EQ(e->lstBiblio()->currentRow(), 2);
}

TEST_F(ChannelRowsScreen, TheClipboardCopiesCutsAndPastesWholeChannelsForTheWholeRun)
{
    auto ch3 = gConfig->Panel(1)->Channel(3);
    ch3->setScreenText("Gas leak");
    ch3->setAlmPrio(2);
    ch3->setKlaxon(true);
    wBusPanneau* e = openEditor(1);

    setChannel(e, 3);
    click(e->imgControl(wBusPanneau::ControlPaste));
    EXPECT_EQ(beeps, 1) << "nothing copied yet";
    EXPECT_FALSE(e->EditPanel()->Modified());

    click(e->imgControl(wBusPanneau::ControlCut));
    EXPECT_EQ(e->ParamVal(12)->Caption(), "");
    EXPECT_EQ(e->ParamVal(6)->Caption(), "99");
    EXPECT_EQ(e->EditPanel()->Channel(3)->ScreenText(), "");
    setChannel(e, 5);
    click(e->imgControl(wBusPanneau::ControlPaste));
    EXPECT_EQ(e->ParamVal(12)->Caption(), "Gas leak");
    EXPECT_EQ(e->ParamVal(6)->Caption(), "2");
    EXPECT_EQ(e->EditPanel()->Channel(5)->Klaxon(), true);
    EXPECT_EQ(beeps, 1);

    // The clipboard outlives the screen.
    answer(kNo);
    click(e->imgNavig(wBusPanneau::NavigOverview));
    settle();
    ASSERT_EQ(editor(), nullptr);
    e = openEditor(2);
    click(e->imgControl(wBusPanneau::ControlPaste));
    EXPECT_EQ(e->EditPanel()->Channel(1)->ScreenText(), "Gas leak");
    EXPECT_EQ(gConfig->Panel(1)->Channel(5)->ScreenText(), "") << "the first module's edits were dropped";
    EXPECT_EQ(beeps, 1);
}
