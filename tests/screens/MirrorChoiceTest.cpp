// The mirror edit dialog's rules without its window: what each source model,
// whole module or channel, and destination model gives; the arrows' bounds;
// the caller's presets cascading in their order; the caller's working module
// ruling the source and the destination's "---"; OK's refusals.

#include "program/core/Global.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/MirrorChoice.h"
#include "tests/screens/BusScreensFixture.h"

namespace {

using B = MirrorChoice::Button;

class MirrorChoiceRules : public BusScreensFixture {
protected:
    void SetUp() override
    {
        BusScreensFixture::SetUp();
        noChannel = Config::GetText(10100);
    }

    static void model(int module, int m) { gConfig->Panel(int16_t(module))->setModel(m); }

    static void press(MirrorChoice& c, int button, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            c.Press(button);
    }

    QString noChannel;
};

TEST_F(MirrorChoiceRules, EachSourceModelWholeOrChannelAndDestinationModel)
{
    for (int source = 0; source <= 5; ++source)
        for (bool single : {false, true})
            for (int dest = 0; dest <= 5; ++dest) {
                SCOPED_TRACE(testing::Message() << "source model " << source << (single ? " channel" : " whole")
                                                << " destination model " << dest);
                model(1, source);
                model(2, dest);
                MirrorChoice c;
                press(c, B::DestModuleUp, 2);
                press(c, B::SourceModuleUp);
                if (c.SourceChannelButtons())
                    press(c, single ? B::SourceChannelUp : B::SourceChannelDown);
                c.setOption(1, true);

                const bool channelSource = source == 1 || source == 3;
                const bool channelMirror = channelSource && single;
                const bool noDestChannel = dest == 4 || dest == 5;
                EXPECT_EQ(c.SrceModNo(), "1");
                EXPECT_EQ(c.SrceModType(), Global::ModuleName(source));
                EXPECT_EQ(c.DestModNo(), "2");
                EXPECT_EQ(c.DestModType(), Global::ModuleName(dest));
                EXPECT_EQ(c.SourceChannelButtons(), channelSource);
                EXPECT_EQ(c.SrceChnlNo(), channelMirror ? "1" : (channelSource || source == 2) ? noChannel : "");
                EXPECT_EQ(c.ChannelGroups(), channelMirror);
                if (channelMirror) {
                    EXPECT_EQ(c.DestChnlNo(), noDestChannel ? "---" : "1");
                }

                const bool accepted = (channelSource || source == 2) && !(channelMirror && noDestChannel);
                ASSERT_EQ(c.Accept(), accepted);
                if (accepted) {
                    const int c1 = channelMirror ? 1 : 0;
                    EXPECT_EQ(c.Chosen(), (MirrorChoice::Mirror{1, c1, 2, c1, c1}));
                }
            }
}

TEST_F(MirrorChoiceRules, ArrowsStayWithinTheModulesAndTheirChannels)
{
    model(1, 1);
    model(64, 2);
    MirrorChoice c;
    press(c, B::SourceModuleDown);
    EXPECT_EQ(c.SrceModNo(), "");
    press(c, B::SourceModuleUp);
    press(c, B::SourceModuleDown);
    EXPECT_EQ(c.SrceModNo(), "1");
    press(c, B::SourceChannelUp, 20);
    EXPECT_EQ(c.SrceChnlNo(), "12");
    press(c, B::SourceChannelDown, 11);
    EXPECT_EQ(c.SrceChnlNo(), "1");
    press(c, B::SourceChannelDown);
    EXPECT_EQ(c.SrceChnlNo(), noChannel);
    EXPECT_FALSE(c.ChannelGroups());
    press(c, B::SourceChannelUp);
    EXPECT_EQ(c.SrceChnlNo(), "1");
    EXPECT_TRUE(c.ChannelGroups());

    press(c, B::DestModuleUp, 70);
    EXPECT_EQ(c.DestModNo(), "64");
    EXPECT_EQ(c.DestModType(), Global::ModuleName(2));
    press(c, B::DestChannelUp, 30);
    EXPECT_EQ(c.DestChnlNo(), "24");
    press(c, B::DestChannelDown, 30);
    EXPECT_EQ(c.DestChnlNo(), "1");
    press(c, B::DestModuleDown, 70);
    EXPECT_EQ(c.DestModNo(), "1");
    EXPECT_EQ(c.DestChnlNo(), "") << "a new destination module clears its channel";
    press(c, B::DestChannelUp, 30);
    EXPECT_EQ(c.DestChnlNo(), "12");
}

TEST_F(MirrorChoiceRules, WithoutAModuleTheArrowsGiveNothing)
{
    MirrorChoice c;
    EXPECT_FALSE(c.Accept()) << "nothing chosen";
    press(c, B::SourceChannelUp);
    EXPECT_EQ(c.SrceChnlNo(), "");
    press(c, B::DestChannelUp);
    EXPECT_EQ(c.DestChnlNo(), "");
    // The destination before any source: the configuration's module.
    model(1, 4);
    press(c, B::DestModuleUp);
    EXPECT_EQ(c.DestModNo(), "1");
    EXPECT_EQ(c.DestModType(), Global::ModuleName(4));
    EXPECT_EQ(c.DestChnlNo(), "---");
    EXPECT_FALSE(c.Accept());
}

TEST_F(MirrorChoiceRules, PresetsCascadeInTheCallersOrder)
{
    model(3, 1);
    model(8, 3);
    MirrorChoice c;
    // A whole-module mirror, as Modify presets it.
    c.setSrceModNo("3");
    c.setSrceChnlNo("0");
    c.setDestModNo("8");
    c.setDestModType(Global::ModuleName(3));
    c.setDestChnlNo("0");
    EXPECT_EQ(c.SrceChnlNo(), noChannel);
    EXPECT_FALSE(c.ChannelGroups());
    ASSERT_TRUE(c.Accept());
    EXPECT_EQ(c.Chosen(), (MirrorChoice::Mirror{3, 0, 8, 0, 0}));

    // A channel mirror of type 2.
    MirrorChoice d;
    d.setSrceModNo("3");
    d.setSrceChnlNo("4");
    d.setDestModNo("8");
    d.setDestChnlNo("6");
    d.setOption(2, true);
    ASSERT_TRUE(d.Accept());
    EXPECT_EQ(d.Chosen(), (MirrorChoice::Mirror{3, 4, 8, 6, 2}));
    // One option at most; both may be clear.
    d.setOption(1, true);
    EXPECT_TRUE(d.Option(1));
    EXPECT_FALSE(d.Option(2));
    d.setOption(1, false);
    ASSERT_TRUE(d.Accept());
    EXPECT_EQ(d.MirrorType(), 0);
}

TEST_F(MirrorChoiceRules, AHiddenDestinationChannelIsNoChannel)
{
    model(3, 1);
    model(8, 1);
    MirrorChoice c;
    c.setSrceModNo("3");
    c.setSrceChnlNo("2");
    c.setDestModNo("8");
    c.setDestChnlNo("5");
    c.setOption(1, true);
    // Back to the whole module: the destination channel goes out of sight.
    press(c, B::SourceChannelDown, 2);
    EXPECT_EQ(c.SrceChnlNo(), noChannel);
    ASSERT_TRUE(c.Accept());
    EXPECT_EQ(c.Chosen(), (MirrorChoice::Mirror{3, 0, 8, 0, 0}));
}

TEST_F(MirrorChoiceRules, TheCallersWorkingModuleRulesItsOwnNumber)
{
    // Module 5 is still of no model in the configuration; the editor made it a model 1.
    auto working = std::make_shared<PanelClass>();
    working->setNumero(5);
    working->setModel(1);
    MirrorChoice c;
    c.setPanel(working);
    c.setSrceModNo("5");
    EXPECT_EQ(c.Panel(), working);
    EXPECT_EQ(c.SrceModType(), Global::ModuleName(1));
    EXPECT_TRUE(c.SourceChannelButtons());
    c.setSrceChnlNo("3");
    EXPECT_TRUE(c.ChannelGroups());

    // As a destination too: the working module of model 4 takes no channel.
    working->setModel(4);
    model(5, 1);
    press(c, B::DestModuleUp, 5);
    EXPECT_EQ(c.DestModNo(), "5");
    EXPECT_EQ(c.DestModType(), Global::ModuleName(4));
    EXPECT_EQ(c.DestChnlNo(), "---");

    // Another source number takes the configuration's module.
    model(6, 2);
    press(c, B::SourceModuleUp);
    EXPECT_EQ(c.Panel(), gConfig->Panel(6));
    EXPECT_EQ(c.SrceChnlNo(), noChannel);
    EXPECT_FALSE(c.SourceChannelButtons());
}

TEST_F(MirrorChoiceRules, TextsInPlaceOfNumbersReadNothing)
{
    for (const QString& t : {QString(), noChannel, QStringLiteral("---")}) {
        EXPECT_FALSE(MirrorChoice::IsNumber(t)) << t.toStdString();
        EXPECT_EQ(MirrorChoice::Number(t), 0) << t.toStdString();
    }
    for (int language : {1, 2}) {
        gLanguage = language;
        EXPECT_FALSE(MirrorChoice::IsNumber(Config::GetText(10100)));
    }
    EXPECT_EQ(MirrorChoice::Number("12"), 12);
    // A preset number off the bus is no module: OK refuses it.
    MirrorChoice c;
    c.setSrceModNo("99");
    c.setDestModNo("2");
    EXPECT_EQ(c.SrceChnlNo(), "");
    EXPECT_FALSE(c.Accept());
}

} // namespace
