// The out-of-service screen's rules without its window: keys, what is out
// now, the steps, the out and back buttons, which buttons and arrows show,
// and what Yes applies.

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/OutOfService.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace OutOfService;

class OutOfServiceRules : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gPanelLetter = "M";
        gChannelLetter = "C";
        module(5, 1, true);
        module(6, 2, true);
        module(7, 0, false);
        module(8, 3, false);
        gConfig->Panel(5)->Channel(4)->setOutOfOrder(true);
        gConfig->Panel(7)->Channel(2)->setOutOfOrder(true);
        gConfig->setModified(false);
    }
    static void module(int m, int model, bool active)
    {
        gConfig->Panel(qint16(m))->setModel(model);
        gConfig->Panel(qint16(m))->setActive(active);
    }
    IsPending pendingOf(const std::set<QString>& keys)
    {
        return [keys](const QString& k) { return keys.count(k) != 0; };
    }
};

TEST_F(OutOfServiceRules, KeysAndWhatIsOutNow)
{
    EXPECT_EQ(FormatKey(5, 0), "M05");
    EXPECT_EQ(FormatKey(64, 24), "M64C24");
    const std::vector<Item> now = Present(*gConfig);
    QStringList keys;
    for (const Item& it : now)
        keys << FormatKey(it.module, it.channel) + ":" + IconKey(it.icon);
    EXPECT_EQ(keys.join(' '), "M05C04:ChannelOut M07C02:ChannelOut M08:PanelOut")
        << "a module without model is not listed, its channels are; each module before its channels";
}

TEST_F(OutOfServiceRules, StepsStayWithinTheModulesAndTheirChannels)
{
    struct Case {
        int module, channel, button, moduleAfter, channelAfter;
    } cases[] = {
        {0, 0, ModuleUp, 1, 0},       {0, 0, ModuleDown, 0, 0},     {1, 0, ModuleDown, 1, 0},
        {64, 0, ModuleUp, 64, 0},     {0, 0, ChannelUp, 0, 0},      {5, 0, ChannelUp, 5, 1},
        {5, 12, ChannelUp, 5, 12},    {6, 12, ChannelUp, 6, 13},    {6, 24, ChannelUp, 6, 24},
        {6, 20, ModuleDown, 5, 12},   {5, 12, ModuleUp, 6, 12},     {5, 1, ChannelDown, 5, 1},
        {5, 3, ChannelDown, 5, 2},
    };
    for (const Case& c : cases) {
        const Selection s = Step(*gConfig, {c.module, c.channel}, c.button);
        EXPECT_EQ(s.module, c.moduleAfter) << c.module << "/" << c.channel << " button " << c.button;
        EXPECT_EQ(s.channel, c.channelAfter) << c.module << "/" << c.channel << " button " << c.button;
    }
}

TEST_F(OutOfServiceRules, OutAndBackButtons)
{
    struct Case {
        int module, channel, button;
        bool pending;
        Outcome outcome;
        Icon icon;
    } cases[] = {
        {0, 0, ModuleOut, false, Outcome::Refused, Icon::PanelOut},
        {5, 0, ChannelOut, false, Outcome::Refused, Icon::PanelOut},
        {5, 0, ModuleOut, false, Outcome::Add, Icon::PanelOut},
        {5, 0, ModuleBack, false, Outcome::Refused, Icon::PanelOut},
        {8, 0, ModuleBack, false, Outcome::Add, Icon::PanelOk},
        {8, 0, ModuleOut, false, Outcome::Refused, Icon::PanelOut},
        {5, 3, ChannelOut, false, Outcome::Add, Icon::ChannelOut},
        {5, 3, ChannelBack, false, Outcome::Refused, Icon::PanelOut},
        {5, 4, ChannelBack, false, Outcome::Add, Icon::ChannelOn},
        {5, 4, ChannelOut, false, Outcome::Refused, Icon::PanelOut},
        {5, 3, ChannelOut, true, Outcome::Withdraw, Icon::PanelOut},
        {5, 0, ModuleBack, true, Outcome::Withdraw, Icon::PanelOut},
    };
    for (const Case& c : cases) {
        const Action a = Act(*gConfig, {c.module, c.channel}, c.button,
                             pendingOf(c.pending ? std::set<QString>{FormatKey(c.module, c.button >= ModuleOut ? 0 : c.channel)}
                                                 : std::set<QString>{}));
        EXPECT_EQ(a.outcome, c.outcome) << c.module << "/" << c.channel << " button " << c.button;
        if (a.outcome == Outcome::Add) {
            EXPECT_EQ(a.item.icon, c.icon) << c.module << "/" << c.channel << " button " << c.button;
            EXPECT_EQ(a.item.channel, c.button >= ModuleOut ? 0 : c.channel);
        }
    }
    EXPECT_FALSE(gConfig->Modified()) << "the buttons only prepare";
}

TEST_F(OutOfServiceRules, ButtonsShownForTheSelection)
{
    auto shown = [&](int m, int c, std::set<QString> keys = {}) {
        const auto b = Buttons(*gConfig, {m, c}, pendingOf(keys));
        QString s;
        for (bool on : b)
            s += on ? '1' : '0';
        return s;
    };
    // Buttons 0..7: channel -, +, out, back, module -, +, out, back.
    EXPECT_EQ(shown(0, 0), "00000100") << "nothing selected: only module +";
    EXPECT_EQ(shown(5, 0), "01001110");
    EXPECT_EQ(shown(5, 3), "11101110");
    EXPECT_EQ(shown(5, 4), "11011110") << "a channel out of order can be put back";
    EXPECT_EQ(shown(5, 12), "10101110");
    EXPECT_EQ(shown(8, 1), "01101101") << "an inactive module can be put back";
    EXPECT_EQ(shown(7, 2), "11001100") << "a module without model shows no out or back button";
    EXPECT_EQ(shown(64, 1), "01001000") << "module + stops at 64";
    EXPECT_EQ(shown(5, 3, {"M05", "M05C03"}), "11001100") << "a pending change hides its buttons";
}

TEST_F(OutOfServiceRules, ArrowsOfAList)
{
    struct Case {
        int selected, count;
        bool previous, next;
    } cases[] = {{0, 0, false, false}, {0, 3, false, true}, {1, 3, false, true},
                 {2, 3, true, true},   {3, 3, true, false}, {1, 1, false, false}};
    for (const Case& c : cases) {
        const Arrows a = ArrowsOf(c.selected, c.count);
        EXPECT_EQ(a.previous, c.previous) << c.selected << " of " << c.count;
        EXPECT_EQ(a.next, c.next) << c.selected << " of " << c.count;
    }
}

TEST_F(OutOfServiceRules, ApplySetsTheFlagsAndSavesNothing)
{
    Apply({{5, 3, Icon::ChannelOut}, {5, 4, Icon::ChannelOn}, {8, 0, Icon::PanelOk}, {6, 0, Icon::PanelOut}},
          *gConfig);
    EXPECT_TRUE(gConfig->Panel(5)->Channel(3)->OutOfOrder());
    EXPECT_FALSE(gConfig->Panel(5)->Channel(4)->OutOfOrder());
    EXPECT_TRUE(gConfig->Panel(8)->Active());
    EXPECT_FALSE(gConfig->Panel(6)->Active());
    EXPECT_FALSE(gConfig->Panel(5)->Modified()) << "OutOfOrder marks nothing";
    EXPECT_TRUE(gConfig->Panel(8)->Modified()) << "Active marks its module";
}

TEST_F(OutOfServiceRules, AChannelPutBackInAlarmStartsAgainFromNormalToBeReadAgain)
{
    const struct {
        Icon icon;
        qint16 state;
        qint16 stateAfter;
        bool reread;
    } cases[] = {
        {Icon::ChannelOn, 0, 0, false}, {Icon::ChannelOn, 1, 0, true},  {Icon::ChannelOn, 2, 0, true},
        {Icon::ChannelOn, 3, 0, true},  {Icon::ChannelOn, 4, 0, true},  {Icon::ChannelOn, 5, 5, false},
        {Icon::ChannelOn, 300, 0, true}, {Icon::ChannelOut, 3, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << IconKey(c.icon).toStdString() << " state " << c.state);
        ChannelClass& channel = *gConfig->Panel(5)->Channel(4);
        channel.setOutOfOrder(c.icon == Icon::ChannelOn);
        channel.setState(c.state);
        gConfig->Panel(6)->Channel(1)->setState(2);
        EXPECT_EQ(Apply({{5, 4, c.icon}, {6, 0, Icon::PanelOut}}, *gConfig), c.reread);
        EXPECT_EQ(channel.State(), c.stateAfter);
        EXPECT_EQ(gConfig->Panel(6)->Channel(1)->State(), 2) << "a module's own change leaves its states";
    }
}

} // namespace
