// The module editor's parameter rows without the screen: their picker lists,
// the caption a stored value is shown as, the value a picked caption is
// written back as, and which row the row buttons select.

#include "program/core/ChannelClass.h"
#include "program/screens/bus/ParamRows.h"
#include "program/screens/bus/RowSelection.h"
#include "tests/screens/BusScreensFixture.h"

#include <functional>

namespace {

using ParamRowsTable = BusScreensFixture;

struct RowCase {
    const char* what;
    int row;
    std::function<void(ChannelClass&)> store;
    QString shown;
    bool reshowMarks; // showing the stored value writes back another one
    QString picked;
    std::function<QString(const ChannelClass&)> read;
    QString written;
};

QString flag(bool v)
{
    return v ? "true" : "false";
}

} // namespace

TEST_F(ParamRowsTable, StoredValueCaptionPickedCaptionAndValueWrittenBack)
{
    using namespace ParamRows;
    const RowCase cases[] = {
        {"screen flag", ScrAlm, [](ChannelClass& c) { c.setScrAlm(true); }, "Yes", false, "No",
         [](const ChannelClass& c) { return flag(c.ScrAlm()); }, "false"},
        {"print flag", PrtAlm, [](ChannelClass& c) { c.setPrtAlm(false); }, "No", false, "Yes",
         [](const ChannelClass& c) { return flag(c.PrtAlm()); }, "true"},
        {"print type", TypeImp, [](ChannelClass& c) { c.setTypeImp(2); }, "Type 2", false, "Type 3",
         [](const ChannelClass& c) { return QString::number(c.TypeImp()); }, "3"},
        {"print type beyond the list", TypeImp, [](ChannelClass& c) { c.setTypeImp(7); }, "#300317#", true, "Standard",
         [](const ChannelClass& c) { return QString::number(c.TypeImp()); }, "0"},
        {"print type below the list", TypeImp, [](ChannelClass& c) { c.setTypeImp(-1); }, "#300309#", true, "Type 1",
         [](const ChannelClass& c) { return QString::number(c.TypeImp()); }, "1"},
        {"horn", Klaxon, [](ChannelClass& c) { c.setKlaxon(false); }, "No", false, "Yes",
         [](const ChannelClass& c) { return flag(c.Klaxon()); }, "true"},
        {"priority", AlmPrio, [](ChannelClass& c) { c.setAlmPrio(99); }, "99", false, "5",
         [](const ChannelClass& c) { return QString::number(c.AlmPrio()); }, "5"},
        {"history", Histo, [](ChannelClass& c) { c.setHisto(true); }, "Yes", false, "No",
         [](const ChannelClass& c) { return flag(c.Histo()); }, "false"},
        {"library number", BibNum, [](ChannelClass& c) { c.setBibNum(0); }, "0", false, "64",
         [](const ChannelClass& c) { return QString::number(c.BibNum()); }, "64"},
        {"instruction number", HelpNum, [](ChannelClass& c) { c.setHelpNum(48); }, "48", false, "1",
         [](const ChannelClass& c) { return QString::number(c.HelpNum()); }, "1"},
        {"re-announcement", React, [](ChannelClass& c) { c.setReact(true); }, "Yes", false, "No",
         [](const ChannelClass& c) { return flag(c.React()); }, "false"},
        {"delay", ReactTpo, [](ChannelClass& c) { c.setReactTpo(3); }, "00:10", false, "24:00",
         [](const ChannelClass& c) { return QString::number(c.ReactTpo()); }, "7"},
        {"delay above the list", ReactTpo, [](ChannelClass& c) { c.setReactTpo(9); }, "36:00", true, "00:01",
         [](const ChannelClass& c) { return QString::number(c.ReactTpo()); }, "1"},
        {"no delay", ReactTpo, [](ChannelClass& c) { c.setReactTpo(0); }, "", false, "01:00",
         [](const ChannelClass& c) { return QString::number(c.ReactTpo()); }, "5"},
        {"delay below the list", ReactTpo, [](ChannelClass& c) { c.setReactTpo(-3); }, "", true, "nonsense",
         [](const ChannelClass& c) { return QString::number(c.ReactTpo()); }, "0"},
        {"screen text", ScreenText, [](ChannelClass& c) { c.setScreenText("Fire"); }, "Fire", false, "Smoke east",
         [](const ChannelClass& c) { return c.ScreenText(); }, "Smoke east"},
        {"printer text", PrintText, [](ChannelClass& c) { c.setPrintText("FIRE"); }, "FIRE", false, "",
         [](const ChannelClass& c) { return c.PrintText(); }, ""},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.what);
        ChannelClass ch;
        c.store(ch);
        ch.setModified(false);
        const QString shown = Shown(c.row, ch);
        EXPECT_EQ(shown, c.shown);
        WriteBack(c.row, shown, ch);
        EXPECT_EQ(ch.Modified(), c.reshowMarks) << "showing the channel again";
        WriteBack(c.row, c.picked, ch);
        EXPECT_EQ(c.read(ch), c.written);
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ParamRowsTable, EachRowHasItsNameAndPickerList)
{
    using namespace ParamRows;
    struct Case {
        int row;
        int name;
        QString tag12;
        QString tag24;
    } cases[] = {
        {Title, 300200, "", ""},
        {ChannelNo, 300201, "*|1|12", "*|1|24"},
        {ScrAlm, 300206, "$", "$"},
        {PrtAlm, 300207, "$", "$"},
        {TypeImp, 300212, "@|Standard|Type 1|Type 2|Type 3", "@|Standard|Type 1|Type 2|Type 3"},
        {Klaxon, 300209, "$", "$"},
        {AlmPrio, 300213, "*|1|99", "*|1|99"},
        {Histo, 300208, "$", "$"},
        {BibNum, 300205, "*|0|64", "*|0|64"},
        {HelpNum, 300204, "*|0|48", "*|0|48"},
        {React, 300210, "$", "$"},
        {ReactTpo, 300211, "@|00:01|00:05|00:10|00:30|01:00|12:00|24:00|36:00",
         "@|00:01|00:05|00:10|00:30|01:00|12:00|24:00|36:00"},
        {ScreenText, 300202, "", ""},
        {PrintText, 300203, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(NameText(c.row), c.name);
        EXPECT_EQ(Tag(c.row, 12), c.tag12);
        EXPECT_EQ(Tag(c.row, 24), c.tag24);
    }
}

TEST(ParamRowLists, ANumberSelectsItsTextAndNothingOutsideTheList)
{
    struct Case {
        int number;
        int entries;
        int index;
    } cases[] = {{0, 64, -1}, {1, 64, 0}, {64, 64, 63}, {65, 64, -1}, {48, 48, 47}, {49, 48, -1}, {-2, 48, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(ParamRows::ListIndexOf(c.number, c.entries), c.index) << c.number << " of " << c.entries;
}

TEST(RowSelection, TheRowButtonsSkipTheChannelRowAndHideAtTheEnds)
{
    struct Case {
        int row;
        int channel;
        int next;
        int previous;
        bool nextShown;
        bool previousShown;
    } cases[] = {
        {0, 3, 2, 0, true, false},
        {2, 3, 3, 0, true, true},
        {7, 3, 8, 6, true, true},
        {13, 3, 0, 12, false, true},
        // Without a channel only the title row is reached.
        {0, 0, 0, 0, true, false},
        {5, 0, 0, 4, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << ", channel " << c.channel);
        EXPECT_EQ(RowSelection::Next(c.row, c.channel), c.next);
        EXPECT_EQ(RowSelection::Previous(c.row), c.previous);
        EXPECT_EQ(RowSelection::NextShown(c.row, c.channel), c.nextShown);
        EXPECT_EQ(RowSelection::PreviousShown(c.row), c.previousShown);
    }
}
