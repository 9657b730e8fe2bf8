// The rules of the alarm list without a window: what an event does to the
// list, the colour of every state, the selection after a new row, what an
// acknowledgement does, the row text and the saved form of a row.

#include "program/runtime/AlarmRowRules.h"

#include "program/bus/EventClass.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/PanelClass.h"

#include <gtest/gtest.h>

namespace {

using Change = AlarmRowRules::Change;
using AckRow = AlarmRowRules::AckRow;

qint32 id(int module, int chnl, int param, int aff)
{
    return qint32(quint32(module) << 24 | quint32(chnl) << 16 | quint32(param) << 8 | quint32(aff));
}

struct ChangeCase {
    const char* what;
    int chnl, param, aff;
    Change listed;
    Change notListed;
};

TEST(AlarmRowRules, WhatAnEventDoesToTheList)
{
    const ChangeCase cases[] = {
        {"module back", 255, 1, 1, Change::Remove, Change::Nothing},
        {"module gone", 255, 1, 0, Change::Nothing, Change::Add},
        {"module, another code", 255, 1, 2, Change::Nothing, Change::Nothing},
        {"alarm back to normal, acknowledged", 5, 1, 0, Change::Remove, Change::Nothing},
        {"alarm not acknowledged", 5, 0, 1, Change::Update, Change::Add},
        {"back to normal, not acknowledged", 5, 0, 0, Change::Update, Change::Add},
        {"acknowledged and active", 5, 1, 1, Change::Update, Change::Add},
        {"first fault", 5, 1, 3, Change::Update, Change::Add},
        {"re-announcement", 24, 1, 255, Change::Update, Change::Add},
        {"module-wide clear", 0, 0, 3, Change::Update, Change::Add},
        {"synchronisation parameter, normal", 5, 2, 0, Change::Update, Change::Nothing},
    };
    for (const ChangeCase& c : cases) {
        const qint32 i = id(3, c.chnl, c.param, c.aff);
        EXPECT_EQ(AlarmRowRules::ChangeFor(i, true), c.listed) << c.what << ", listed";
        EXPECT_EQ(AlarmRowRules::ChangeFor(i, false), c.notListed) << c.what << ", not listed";
    }
}

TEST(AlarmRowRules, EveryStateHasItsColour)
{
    struct Case {
        int chnl, param, aff;
        unsigned int colour;
    };
    const Case cases[] = {
        {255, 1, 1, 0xFFFFFF}, {255, 0, 7, 0xFFFFFF}, {255, 1, 0, 0x0000FF},
        {5, 0, 1, 0xFFFF00},   {5, 0, 0, 0x80FF80},   {5, 0, 3, 0x80FF80},  {0, 0, 255, 0x80FF80},
        {5, 1, 1, 0xFFFFFF},   {5, 2, 2, 0xFF8080},   {5, 1, 3, 0x0000FF},  {5, 7, 4, 0x0080FF},
        {5, 1, 255, 0xFF00FF}, {5, 1, 0, 0x000000},   {5, 1, 5, 0x000000},  {5, 255, 254, 0x000000},
    };
    for (const Case& c : cases) {
        const qint32 i = id(12, c.chnl, c.param, c.aff);
        EXPECT_EQ(AlarmRowRules::RowColor(i), c.colour) << c.chnl << "/" << c.param << "/" << c.aff;
    }
}

TEST(AlarmRowRules, ANewRowStaysSelectedOnlyForAFirstFaultOrAModule)
{
    struct Case {
        qint32 id;
        int before, rows, selected;
    };
    const Case cases[] = {
        {id(3, 5, 1, 3), 2, 4, 0},     // first fault: on top
        {id(3, 255, 1, 0), 2, 4, 0},   // module gone: on top
        {id(3, 5, 0, 1), 2, 4, 3},     // the former choice, one lower
        {id(3, 5, 0, 1), -1, 1, 0},    // nothing chosen before: the new row
        {id(3, 5, 0, 1), 0, 2, 1},
        {id(3, 5, 0, 1), 3, 4, 0},     // a choice past the end: the new row
    };
    for (const Case& c : cases)
        EXPECT_EQ(AlarmRowRules::SelectionAfterAdd(c.id, c.before, c.rows), c.selected)
            << std::hex << c.id << std::dec << " before " << c.before;
}

TEST(AlarmRowRules, AcknowledgementRemovesRepaintsOrKeepsAndSendsBothOrNeither)
{
    struct Case {
        const char* what;
        qint32 id;
        int model;
        AckRow row;
        bool send;
    };
    const Case cases[] = {
        {"module presence row", id(3, 255, 1, 0), 1, AckRow::Remove, false},
        {"not acknowledged at the module", id(3, 5, 0, 1), 1, AckRow::Remove, false},
        {"module-wide, not acknowledged", id(3, 0, 0, 2), 1, AckRow::Remove, false},
        {"re-announced", id(3, 5, 1, 255), 1, AckRow::PaintWhite, false},
        {"acknowledged, active", id(3, 5, 1, 1), 1, AckRow::Keep, false},
        {"acknowledged, normal", id(3, 5, 1, 0), 1, AckRow::Keep, false},
        {"cable fault", id(3, 5, 1, 2), 1, AckRow::Keep, true},
        {"first fault", id(3, 24, 1, 3), 3, AckRow::Keep, true},
        {"second fault", id(3, 1, 2, 4), 4, AckRow::Keep, true},
        {"first fault, model 2", id(3, 5, 1, 3), 2, AckRow::Keep, false},
        {"module-wide, acknowledged", id(3, 0, 1, 3), 1, AckRow::Keep, false},
    };
    for (const Case& c : cases) {
        const AlarmRowRules::Acknowledgement a = AlarmRowRules::Acknowledge(c.id, c.model);
        EXPECT_EQ(a.row, c.row) << c.what;
        EXPECT_EQ(a.send, c.send) << c.what;
    }
}

class RowTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        config.setBiblio(2, "Fire detector zone");
        PanelClass& p = *config.Panel(7);
        p.setModel(3);
        ChannelClass& ch = *p.Channel(9);
        ch.setBibNum(2);
        ch.setScreenText(QString("Hall B") + QChar(0) + "south stairs, level two and more");
    }
    static EventClass event(int module, int chnl, int param, int aff, int num)
    {
        EventClass ev;
        ev.setPanel(qint16(module));
        ev.setChnl(qint16(chnl));
        ev.setParam(qint16(param));
        ev.setAff(qint16(aff));
        ev.setNum(num);
        ev.setGDH(plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(9, 5, 7)));
        return ev;
    }
    ConfigClass config{[](int) { return QString(); }};
    const AlarmRowRules::Letters letters{"M", "C", "Module|present", "Module missing"};
};

TEST_F(RowTextTest, AChannelRowShowsItsLibraryAndScreenTextsInColumns)
{
    EXPECT_EQ(AlarmRowRules::RowText(event(7, 9, 1, 3, 42), config, letters),
              "     42 02/05/2024 09:05:07 M07-C09 Fire detecto Hall B south stairs, lev ");
    EXPECT_EQ(AlarmRowRules::RowText(event(7, 0, 0, 2, 1234567), config, letters),
              "1234567 02/05/2024 09:05:07 M07-ACK                                       ");
}

TEST_F(RowTextTest, APresenceRowShowsTheModelAndTheRawText)
{
    EXPECT_EQ(AlarmRowRules::RowText(event(7, 255, 1, 0, 3), config, letters),
              "      3 02/05/2024 09:05:07 M07-K71 Module missing");
    EXPECT_EQ(AlarmRowRules::RowText(event(8, 255, 1, 1, 3), config, letters),
              "      3 02/05/2024 09:05:07 M08---- Module|present");
}

TEST(AlarmRowRules, ASavedRowComesBackWithItsIdAndLineBreaks)
{
    const QString text = "      3 02/05/2024 09:05:07 M07-K71 Module\r\npresent";
    const QString saved = AlarmRowRules::SavedValue(id(7, 255, 1, 1), text);
    EXPECT_EQ(saved, "07FF0101      3 02/05/2024 09:05:07 M07-K71 Module|present");
    const auto back = AlarmRowRules::ReadSaved(saved);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id, id(7, 255, 1, 1));
    EXPECT_EQ(back->text, text);
    // A row that a "|" of its text turned into a line break keeps it.
    EXPECT_EQ(AlarmRowRules::ReadSaved("07FF0101 Module|present")->text, " Module\r\npresent");

    for (const char* damaged : {"", "07FF01", "07FG0101 text", "0x0F0101 text", "-7FF0101 text", " 7FF0101 text"})
        EXPECT_FALSE(AlarmRowRules::ReadSaved(damaged)) << damaged;
    EXPECT_EQ(AlarmRowRules::ReadSaved("ffff0000")->id, qint32(0xFFFF0000));
}

TEST(AlarmRowRules, TheRestoredSelectionLiesStrictlyBetweenTheFirstAndLastRows)
{
    struct Case {
        const char* index;
        int rows;
        std::optional<int> row;
    };
    const Case cases[] = {
        {"1", 3, 1}, {"1", 2, std::nullopt}, {"1", 1, std::nullopt}, {"2", 5, 2}, {"3", 5, 3},
        {"4", 5, std::nullopt}, {"0", 5, std::nullopt}, {"-1", 5, std::nullopt}, {"abc", 5, std::nullopt},
        {"&H123456789", 5, std::nullopt}, {"99999999999", 5, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AlarmRowRules::RestoredSelection(c.index, c.rows), c.row) << c.index << " of " << c.rows;
}

} // namespace
