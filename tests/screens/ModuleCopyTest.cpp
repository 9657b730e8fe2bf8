// The module copy without its dialog: the arrows' steps within 1..64, and a
// copy that gives the target the source's configuration, keeps what the bus
// engine knows of the target, touches no mirror and always saves.

#include "platform/AppIdentity.h"
#include "program/core/ChannelClass.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ModuleCopy.h"
#include "tests/screens/BusScreensFixture.h"

#include <tuple>

namespace {

using Numbers = ModuleCopy::Numbers;

// What the configuration file keeps of a channel.
auto settingsOf(const ChannelClass& c)
{
    return std::make_tuple(c.ScreenText(), c.PrintText(), c.HelpNum(), c.BibNum(), c.ScrAlm(), c.PrtAlm(), c.Histo(),
                           c.Klaxon(), c.AlmPrio(), c.React(), c.ReactTpo(), c.TypeImp());
}

class ModuleCopyRules : public BusScreensFixture {
protected:
    // Module 3 polled and present, module 7 switched off and missing, a
    // mirror from each.
    static void configure()
    {
        auto three = gConfig->Panel(3);
        three->setModel(2);
        three->setTitle("Boiler|room");
        three->setTitleColor(0x0000FF);
        three->setActive(true);
        three->setActualModel(2);
        three->setPresent(true);
        for (int c = 1; c <= 24; ++c) {
            auto ch = three->Channel(int16_t(c));
            ch->setScreenText(QString("Boiler %1").arg(c));
            ch->setPrintText(QString("BOILER %1").arg(c));
            ch->setAlmPrio(int16_t(c));
            ch->setScrAlm(c % 2 == 0);
            ch->setKlaxon(c % 3 == 0);
            ch->setHisto(c % 5 != 0);
            ch->setBibNum(int16_t(c));
            ch->setHelpNum(int16_t(c + 10));
            ch->setReact(c > 12);
            ch->setReactTpo(c % 9);
            ch->setTypeImp(int16_t(c % 4));
            ch->setState(1);
            ch->setMirrorType(2);
        }
        auto seven = gConfig->Panel(7);
        seven->setModel(1);
        seven->setTitle("Spare");
        seven->setActualModel(1);
        seven->setPresent(false);
        seven->Channel(5)->setState(3);
        seven->Channel(5)->setMirrorType(1);
        seven->Channel(5)->setOutOfOrder(true);
        gConfig->Mirrors()->Add(3, 1, 5, 1, 1);
        gConfig->Mirrors()->Add(7, 2, 1, 1, 2);
        gConfig->setModified(false);
    }
};

} // namespace

TEST_F(ModuleCopyRules, TheArrowsStepOneWithinOneToSixtyFour)
{
    struct Case {
        Numbers from;
        int arrow;
        Numbers to;
    } cases[] = {
        {{1, 1}, ModuleCopy::SourceDown, {1, 1}},  {{1, 1}, ModuleCopy::TargetDown, {1, 1}},
        {{1, 1}, ModuleCopy::SourceUp, {2, 1}},    {{1, 1}, ModuleCopy::TargetUp, {1, 2}},
        {{64, 64}, ModuleCopy::SourceUp, {64, 64}}, {{64, 64}, ModuleCopy::TargetUp, {64, 64}},
        {{64, 64}, ModuleCopy::SourceDown, {63, 64}}, {{64, 64}, ModuleCopy::TargetDown, {64, 63}},
        {{3, 7}, 4, {3, 7}},                        {{3, 7}, -1, {3, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.source << "/" << c.from.target << " arrow " << c.arrow);
        EXPECT_EQ(ModuleCopy::Step(c.from, c.arrow), c.to);
    }
    EXPECT_FALSE(ModuleCopy::CanCopy({5, 5}));
    EXPECT_TRUE(ModuleCopy::CanCopy({5, 6}));
}

TEST_F(ModuleCopyRules, ACopyTakesTheConfigurationOnlyAndTheWorkingFileHoldsIt)
{
    configure();
    ModuleCopy::Copy(3, 7);

    const PanelClass& three = *gConfig->Panel(3);
    const PanelClass& seven = *gConfig->Panel(7);
    EXPECT_EQ(seven.Numero(), 7);
    EXPECT_EQ(seven.Model(), 2);
    EXPECT_EQ(seven.Title(), "Boiler|room");
    EXPECT_EQ(seven.TitleColor(), 0x0000FF);
    EXPECT_TRUE(seven.Active());
    for (int c = 1; c <= 24; ++c)
        EXPECT_EQ(settingsOf(*seven.Channel(int16_t(c))), settingsOf(*three.Channel(int16_t(c)))) << c;
    // What the engine knows of module 7 stays: it is still missing.
    EXPECT_EQ(seven.ActualModel(), 1);
    EXPECT_FALSE(seven.Present());
    EXPECT_EQ(seven.Channel(5)->State(), 3);
    EXPECT_EQ(seven.Channel(5)->MirrorType(), 1);
    EXPECT_EQ(seven.Channel(6)->State(), 0);
    EXPECT_TRUE(seven.Channel(5)->OutOfOrder());
    // The source is as it was, and so are the mirrors.
    EXPECT_EQ(three.Numero(), 3);
    EXPECT_TRUE(three.Present());
    ASSERT_EQ(gConfig->Mirrors()->Count(), 2);
    EXPECT_EQ(gConfig->Mirrors()->Item(1)->ID(), "03010501");
    EXPECT_EQ(gConfig->Mirrors()->Item(2)->ID(), "07020101");

    EXPECT_TRUE(gConfig->Modified()) << "the changes still count until saved under a name";
    ConfigClass back;
    ASSERT_EQ(back.Read(workingFile()), 0);
    EXPECT_EQ(back.Panel(7)->Model(), 2);
    EXPECT_EQ(back.Panel(7)->Numero(), 7);
    EXPECT_EQ(back.Panel(7)->Title(), "Boiler|room");
    EXPECT_TRUE(back.Panel(7)->Active());
    for (int c = 1; c <= 24; ++c)
        EXPECT_EQ(settingsOf(*back.Panel(7)->Channel(int16_t(c))), settingsOf(*three.Channel(int16_t(c)))) << c;
    EXPECT_EQ(back.Mirrors()->Count(), 2);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleCopyRules, ACopyOntoEqualSettingsStillRewritesTheWorkingFile)
{
    configure();
    ModuleCopy::Copy(3, 7);
    ASSERT_TRUE(QFile::remove(workingFile()));
    gConfig->setModified(false);

    ModuleCopy::Copy(3, 7);
    EXPECT_TRUE(QFile::exists(workingFile()));
    ConfigClass back;
    ASSERT_EQ(back.Read(workingFile()), 0);
    EXPECT_EQ(back.Panel(7)->Title(), "Boiler|room");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
