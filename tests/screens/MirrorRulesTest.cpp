// The mirror lists' rules without their screens: the duplicate and loop
// checks (also on a stored list that already holds a cycle), the removal of
// every mirror of an ID, the list's columns and text order, and the lines of
// the mirrors of one channel in the three languages.

#include "program/core/LanguageGlobals.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/MirrorLines.h"
#include "program/screens/bus/MirrorRules.h"
#include "program/screens/bus/MirrorTable.h"
#include "tests/screens/BusScreensFixture.h"

namespace {

MirrorClass mirror(int fm, int fc, int tm, int tc, int type = 0)
{
    MirrorClass m;
    m.setFromModule(int16_t(fm));
    m.setFromChannel(int16_t(fc));
    m.setToModule(int16_t(tm));
    m.setToChannel(int16_t(tc));
    m.setMirrorType(int16_t(type));
    return m;
}

QStringList ids(const MirrorClasses& list)
{
    QStringList out;
    for (const auto& m : list)
        out << m->ID();
    return out;
}

using MirrorRulesTest = BusScreensFixture;

TEST_F(MirrorRulesTest, NewRefusesADuplicateAndAMirrorClosingALoop)
{
    MirrorClasses list;
    list.Add(1, 1, 2, 2, 1);   // A.1 -> B.2
    list.Add(2, 2, 3, 3, 1);   // B.2 -> C.3
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(1, 1, 2, 2, 2)), MirrorRules::Duplicate) << "the type is no part of the ID";
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(2, 2, 1, 1)), MirrorRules::Loop);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(3, 3, 1, 1)), MirrorRules::Loop);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(4, 4, 4, 4)), MirrorRules::Loop) << "a channel onto itself";
    // Pairs are exact: the whole module is not its channel.
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(3, 0, 1, 1)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(3, 3, 1, 0)), MirrorRules::Accepted);
}

TEST_F(MirrorRulesTest, ModifyKeepsItsOwnIDAndMayTurnAMirrorRound)
{
    MirrorClasses list;
    list.Add(1, 1, 2, 2, 1);
    list.Add(5, 0, 6, 0, 0);
    EXPECT_EQ(MirrorRules::ModifyRefusal(list, "01010202", mirror(1, 1, 2, 2, 2)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::ModifyRefusal(list, "01010202", mirror(5, 0, 6, 0)), MirrorRules::Duplicate);
    EXPECT_EQ(MirrorRules::ModifyRefusal(list, "01010202", mirror(2, 2, 1, 1)), MirrorRules::Accepted);
    list.Add(2, 2, 7, 7, 0);
    EXPECT_EQ(MirrorRules::ModifyRefusal(list, "05000600", mirror(7, 7, 1, 1)), MirrorRules::Loop);
    EXPECT_EQ(ids(list), QStringList({"01010202", "05000600", "02020707"})) << "the checks change nothing";
}

TEST_F(MirrorRulesTest, AStoredCycleStillGetsAnAnswer)
{
    MirrorClasses list;
    list.Add(1, 1, 2, 1, 0);
    list.Add(2, 1, 3, 1, 0);
    list.Add(3, 1, 1, 1, 0);   // read from a file: closes 1 -> 2 -> 3 -> 1
    list.Add(9, 9, 9, 9, 0);   // a channel onto itself
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(1, 1, 4, 1)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(4, 1, 2, 1)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(3, 1, 4, 4)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(9, 9, 5, 5)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::NewRefusal(list, mirror(5, 5, 9, 9)), MirrorRules::Accepted);
    EXPECT_EQ(MirrorRules::ModifyRefusal(list, "03010101", mirror(3, 1, 1, 2)), MirrorRules::Accepted);
}

TEST_F(MirrorRulesTest, RemoveTakesEveryMirrorOfTheID)
{
    MirrorClasses list;
    list.Add(1, 1, 2, 2, 1);
    list.Add(5, 0, 6, 0, 0);
    list.Add(1, 1, 2, 2, 2);
    list.setModified(false);
    EXPECT_EQ(MirrorRules::RemoveID(list, "01010202"), 2);
    EXPECT_EQ(ids(list), QStringList({"05000600"}));
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(MirrorRules::RemoveID(list, "01010202"), 0);
}

TEST_F(MirrorRulesTest, TableColumnsOfAModuleAndOfAChannelMirror)
{
    gConfig->Panel(3)->setModel(2);
    gConfig->Panel(12)->setModel(3);
    const auto whole = MirrorTable::MakeRow(mirror(3, 0, 12, 0, 0));
    const auto channel = MirrorTable::MakeRow(mirror(12, 4, 3, 17, 2));
    using Cols = std::array<QString, MirrorTable::Columns>;
    const QString module = Config::GetText(510300);
    EXPECT_EQ(whole.id, "03001200");
    EXPECT_EQ(whole.text, (Cols{"", "K6200TX", "3", module, "K7100", "12", "", module}));
    EXPECT_EQ(channel.text, (Cols{"", "K7100", "12", "4", "K6200TX", "3", "17", Config::GetText(510302)}));
    EXPECT_EQ(MirrorTable::MakeRow(mirror(1, 1, 2, 1, 1)).text[7], Config::GetText(510301));
}

TEST_F(MirrorRulesTest, TableOrderIsTextualFromColumnOneOn)
{
    for (int m : {1, 2, 10, 11})
        gConfig->Panel(int16_t(m))->setModel(1);
    gConfig->Panel(5)->setModel(2);
    MirrorClasses list;
    list.Add(2, 1, 1, 1, 0);
    list.Add(10, 1, 1, 1, 0);
    list.Add(5, 0, 1, 0, 0);   // K6200TX before K7150
    list.Add(1, 1, 2, 1, 0);
    list.Add(1, 1, 10, 1, 0);
    list.Add(1, 10, 2, 1, 0);
    list.Add(1, 2, 2, 1, 0);
    list.Add(11, 3, 1, 1, 0);
    QStringList order;
    for (const auto& row : MirrorTable::Rows(list))
        order << row.id;
    EXPECT_EQ(order, QStringList({"05000100", "01011001", "01010201", "01100201", "01020201", "10010101", "11030101",
                                  "02010101"}));
}

struct LineCase {
    int language;
    const char* destination;   // a type 1 mirror from the whole module 4 to module 7 channel 3
    const char* source;        // the same mirror's source, the editor's module 4 shown
    const char* stored;        // a type 0 mirror's source while module 7 is shown
};

TEST_F(MirrorRulesTest, LinesInEachLanguage)
{
    gConfig->Panel(7)->setTitle("T");
    gConfig->Panel(4)->setTitle("Stored|title");
    PanelClass working;
    working.setNumero(4);
    working.setTitle("Boiler|room");
    for (const LineCase& c : {LineCase{0, "P-M07-C03  T", "P-M04-All  Boiler|room", "M-M04-All  Stored|title"},
                              LineCase{1, "I-M07-V03  T", "I-M04-Tout  Boiler|room", "M-M04-Tout  Stored|title"},
                              LineCase{2, "I-M07-K03  T", "I-M04-Alle  Boiler|room", "M-M04-Alle  Stored|title"}}) {
        SCOPED_TRACE(c.language);
        gLanguage = c.language;
        LanguageGlobals::SetLetters();
        LanguageGlobals::SetNoChannelText();
        EXPECT_EQ(MirrorLines::FormatChannel(mirror(4, 0, 7, 3, 1), true, 4, &working), QString::fromUtf8(c.destination));
        EXPECT_EQ(MirrorLines::FormatChannel(mirror(4, 0, 7, 3, 1), false, 4, &working), QString::fromUtf8(c.source));
        EXPECT_EQ(MirrorLines::FormatChannel(mirror(4, 0, 7, 3, 0), false, 7, &working), QString::fromUtf8(c.stored));
    }
}

TEST_F(MirrorRulesTest, ListsOfOneModuleAndChannel)
{
    LanguageGlobals::SetLetters();
    MirrorClasses list;
    list.Add(4, 2, 7, 3, 1);   // leaves 4.2
    list.Add(9, 0, 4, 2, 0);   // reaches 4.2
    list.Add(4, 2, 4, 2, 0);   // onto itself: leaving only
    list.Add(4, 0, 8, 0, 0);   // the whole module
    list.Add(5, 5, 4, 0, 0);   // reaching the whole module
    const auto channel = MirrorLines::Fill(list, 4, 2, nullptr);
    ASSERT_EQ(channel.to.size(), 2u);
    EXPECT_EQ(channel.to[0].id, 4020703);
    EXPECT_EQ(channel.to[1].id, 4020402);
    ASSERT_EQ(channel.from.size(), 1u);
    EXPECT_EQ(channel.from[0].id, 9000402);
    EXPECT_TRUE(channel.from[0].text.startsWith("M-M09-All  "));
    const auto whole = MirrorLines::Fill(list, 4, 0, nullptr);
    ASSERT_EQ(whole.to.size(), 1u);
    EXPECT_EQ(whole.to[0].id, 4000800);
    ASSERT_EQ(whole.from.size(), 1u);
    EXPECT_EQ(whole.from[0].id, 5050400);
}

TEST_F(MirrorRulesTest, OnlyAModelOneModuleStepsThroughItsChannels)
{
    const QString all = gNoChannelText;
    PanelClass one;
    one.setModel(1);
    EXPECT_EQ(MirrorLines::ChannelDown("1", one), all);
    EXPECT_EQ(MirrorLines::ChannelDown("5", one), "4");
    EXPECT_EQ(MirrorLines::ChannelDown(all, one), all);
    EXPECT_EQ(MirrorLines::ChannelUp(all, one), "1");
    EXPECT_EQ(MirrorLines::ChannelUp("11", one), "12");
    EXPECT_EQ(MirrorLines::ChannelUp("12", one), all);
    PanelClass three;
    three.setModel(3);
    EXPECT_EQ(MirrorLines::ChannelUp("3", three), all);
    EXPECT_EQ(MirrorLines::ChannelDown("3", three), all);
}

} // namespace
