// The remote-control rules without a window: which modules get a button, the
// pages they fill and the page buttons that show, where the buttons lie; the
// caption of a channel row and its centring, the lamp colours, the command
// that switches a channel, and when the command screen stops waiting.

#include "program/runtime/LampRows.h"
#include "program/runtime/RemoteChannels.h"
#include "program/runtime/RemotePages.h"

#include "program/bus/CommandExecutor.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

namespace {

class RemoteRules : public testing_support::ProgramGlobals {
protected:
    void SetUp() override { ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); })); }
    static void module(int m, int model, bool active = true)
    {
        gConfig->Panel(qint16(m))->setModel(model);
        gConfig->Panel(qint16(m))->setActive(active);
    }
    // The list positions at which the pages start, stepping with the next-page button.
    static std::vector<int> pageStarts(int n)
    {
        std::vector<int> starts{1};
        for (int first = 1; RemotePages::NextShown(first, n);) {
            first = RemotePages::NextFirst(first, n);
            starts.push_back(first);
        }
        return starts;
    }
};

TEST_F(RemoteRules, OnlyActiveModulesOfModelFourOrFiveGetAButton)
{
    module(2, 4);
    module(3, 4, false);
    for (int m : {4, 5, 6})
        module(m, m - 3);
    module(7, 5);
    module(64, 4);
    EXPECT_EQ(RemotePages::Modules(*gConfig), (std::vector<qint16>{0, 2, 7, 64}));
    EXPECT_TRUE(RemotePages::AnyModule(*gConfig));
    for (int m : {2, 7, 64})
        gConfig->Panel(qint16(m))->setActive(false);
    EXPECT_EQ(RemotePages::Modules(*gConfig), std::vector<qint16>{0});
    EXPECT_FALSE(RemotePages::AnyModule(*gConfig));
}

TEST_F(RemoteRules, PagesOfTwelveAndTheButtonsThatShowOnEach)
{
    struct Case {
        int n;
        std::vector<int> starts;
    } cases[] = {{0, {1}}, {12, {1}}, {13, {1, 13}}, {64, {1, 13, 25, 37, 49, 61}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(pageStarts(c.n), c.starts);
        const int last = c.starts.back();
        EXPECT_FALSE(RemotePages::PreviousShown(1));
        EXPECT_EQ(RemotePages::NextShown(1, c.n), c.starts.size() > 1);
        EXPECT_EQ(RemotePages::PreviousShown(last), last > 1);
        EXPECT_FALSE(RemotePages::NextShown(last, c.n));
        EXPECT_EQ(RemotePages::NextFirst(last, c.n), last) << "no page after the last";
        EXPECT_EQ(RemotePages::PreviousFirst(1), 1) << "no page before the first";
        if (last > 1) {
            EXPECT_EQ(RemotePages::PreviousFirst(last), c.starts[c.starts.size() - 2]);
        }
    }
}

TEST_F(RemoteRules, ButtonsLieInFourColumnsAndThreeRows)
{
    const int lefts[] = {330, 3255, 6180, 9105};
    const int tops[] = {1485, 3675, 5865};
    for (int k = 1; k <= RemotePages::PerPage; ++k)
        EXPECT_EQ(RemotePages::ButtonTwips(k), QPoint(lefts[(k - 1) % 4], tops[(k - 1) / 4])) << k;
}

TEST_F(RemoteRules, TheCaptionIsTheLibraryTextAndTheScreenText)
{
    gConfig->setBiblio(1, "Pump");
    gConfig->setBiblio(2, "   ");
    ChannelClass ch;
    struct Case {
        int bib;
        const char* screen;
        const char* expected;
    } cases[] = {
        {1, "Hall B", "Pump - Hall B"},
        {0, "Hall B", "Hall B"},
        {2, "Hall B", "Hall B"},
        {3, "Hall B", "Hall B"},    // never written: NULs
        {1, "", "Pump - "},
    };
    for (const Case& c : cases) {
        ch.setBibNum(qint16(c.bib));
        ch.setScreenText(c.screen);
        EXPECT_EQ(RemoteChannels::Caption(*gConfig, ch), c.expected) << c.bib << " " << c.screen;
    }
}

TEST_F(RemoteRules, ACaptionIsCentredByHalfTheLinesOfRoomItLeaves)
{
    // Characters 10 wide, lines 20 high, in a label 100 wide and 80 high: room for four lines.
    const RemoteChannels::TextMetrics metrics{[](const QString& t) { return 10.0 * t.size(); }, [] { return 20.0; }};
    struct Case {
        int characters;
        int feeds;
    } cases[] = {{0, 2}, {5, 1}, {10, 1}, {11, 1}, {21, 0}, {30, 0}, {31, 0}, {80, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(RemoteChannels::CentringLineFeeds(QString(c.characters, 'x'), 100, 80, metrics), c.feeds) << c.characters;
}

TEST_F(RemoteRules, LampsAreTheScreensGreyForNothingRedForOnAndMagentaForTheRest)
{
    EXPECT_EQ(RemoteChannels::LampOff, 0xB2B2B2u);
    for (unsigned int grey : {RemoteChannels::LampOff, 0x808080u}) {
        EXPECT_EQ(LampRows::LampColor(0, grey), grey);
        EXPECT_EQ(LampRows::LampColor(1, grey), 0x0000FFu);
        for (int s : {2, 3, 4, 255, -1})
            EXPECT_EQ(LampRows::LampColor(s, grey), 0xFF00FFu) << s;
    }
}

TEST_F(RemoteRules, OnWritesThreeAndOffZeroToTheChannelsCommandRegister)
{
    const CommandPtr on = RemoteChannels::Command(9, 5, true);
    EXPECT_EQ(on->CmdType(), CommandClass::CmdWrite);
    EXPECT_EQ(on->Module(), 9);
    EXPECT_EQ(on->Address(), 21);
    EXPECT_EQ(on->Values(), QVector<qint16>{3});
    const CommandPtr off = RemoteChannels::Command(9, 12, false);
    EXPECT_EQ(off->Address(), 28);
    EXPECT_EQ(off->Values(), QVector<qint16>{0});
}

TEST_F(RemoteRules, TheWaitLastsOnlyWhileAFailedCommandMayStillGo)
{
    const qint64 deadline = RemoteChannels::WaitDeadlineMs("19200,N,8,1");
    EXPECT_GT(deadline, 3 * 1500) << "three attempts, each with its time-outs";
    EXPECT_GT(RemoteChannels::WaitDeadlineMs("1200,N,8,1"), deadline) << "a slower line takes longer";
    struct Case {
        const char* what;
        bool error;
        int count;
        bool done;
        bool polling;
        qint64 waited;
        bool keep;
    } cases[] = {
        {"not tried yet", false, 0, false, true, 0, false},
        {"failed once", true, 1, false, true, 100, true},
        {"failed twice", true, 2, false, true, 100, true},
        {"given up", true, 3, false, true, 100, false},
        {"done after a failure", true, 1, true, true, 100, false},
        {"polling stopped", true, 1, false, false, 100, false},
        {"deadline passed", true, 1, false, true, deadline, false},
    };
    for (const Case& c : cases) {
        CommandClass cmd;
        cmd.setCmdType(c.done ? CommandClass::CmdDone : CommandClass::CmdWrite);
        cmd.setError(c.error);
        cmd.setErrorCount(qint16(c.count));
        EXPECT_EQ(RemoteChannels::KeepWaiting(cmd, c.polling, c.waited, deadline), c.keep) << c.what;
    }
}

} // namespace
