// The rules of the bus overview's page: the first module from the INI value,
// the page steps and buttons, and what a tile shows.

#include "program/core/PanelClass.h"
#include "program/screens/bus/BusPage.h"

#include <gtest/gtest.h>

TEST(BusPage, TheIniValueNamesAPageThatHoldsOnlyModulesOneToSixtyFour)
{
    struct Case {
        const char* ini;
        int first;
        bool previous;
        bool next;
    } cases[] = {
        {"1", 1, false, true},
        {"0", 1, false, true},
        {"-5", 1, false, true},
        {"17", 17, true, true},
        {"49", 49, true, false},
        {"60", 49, true, false},
        {"abc", 1, false, true},
        {"", 1, false, true},
        {"33.4", 33, true, true},
        {"99999999", 49, true, false},
        {"&HFFFFFFFFFF", 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        const int first = BusPage::FirstFromIni(c.ini);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(BusPage::PreviousShown(first), c.previous);
        EXPECT_EQ(BusPage::NextShown(first), c.next);
        EXPECT_LE(first + BusPage::Tiles - 1, 64);
    }
}

TEST(BusPage, PageStepsStopAtTheEndPages)
{
    struct Case {
        int first;
        int previous;
        int next;
    } cases[] = {
        {1, 1, 17},
        {17, 1, 33},
        {33, 17, 49},
        {49, 33, 49},
        // A page that does not start at 16k + 1 still reaches every module.
        {5, 1, 21},
        {40, 24, 49},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(BusPage::Previous(c.first), c.previous);
        EXPECT_EQ(BusPage::Next(c.first), c.next);
    }
}

TEST(BusPage, ATileShowsTheModuleAndIsCrossedWithoutAModelOrWhenSwitchedOff)
{
    struct Case {
        int model;
        bool active;
        const char* name;
        bool crossed;
    } cases[] = {
        {0, false, "-----", true},   {0, true, "-----", true},  {1, true, "K7150", false},
        {2, false, "K6200TX", true}, {5, true, "T7150", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        PanelClass p;
        p.setModel(c.model);
        p.setActive(c.active);
        const BusPage::Tile t = BusPage::TileOf(7, p);
        EXPECT_EQ(t.number, "07");
        EXPECT_EQ(t.model, c.name);
        EXPECT_EQ(t.crossed, c.crossed);
    }
    PanelClass p;
    p.setTitle("Boiler|room");
    p.setTitleColor(0x0000FF);
    const BusPage::Tile t = BusPage::TileOf(64, p);
    EXPECT_EQ(t.number, "64");
    EXPECT_EQ(t.title, "Boiler\r\nroom");
    EXPECT_EQ(t.titleColor, 0x0000FF);
}
