// Copying what the configuration stores of a module or a channel onto
// another: every stored field goes, the target's run-time values stay (the
// engine's reported model, presence, channel states and mirror types), and
// only what changes marks the target.

#include "program/core/ChannelClass.h"
#include "program/core/ConfigCopy.h"
#include "program/core/PanelClass.h"

#include <gtest/gtest.h>

namespace {

// A channel with every stored field away from its defaults.
void fillChannel(ChannelClass& ch, int seed)
{
    ch.setScreenText(QString("Smoke %1").arg(seed));
    ch.setPrintText(QString("SMOKE %1").arg(seed));
    ch.setHelpNum(int16_t(seed % 48 + 1));
    ch.setBibNum(int16_t(seed % 64 + 1));
    ch.setScrAlm(true);
    ch.setPrtAlm(true);
    ch.setHisto(false);
    ch.setKlaxon(true);
    ch.setAlmPrio(int16_t(seed % 99 + 1));
    ch.setReact(true);
    ch.setReactTpo(seed % 8 + 1);
    ch.setTypeImp(int16_t(seed % 4));
}

void expectSameStoredFields(const ChannelClass& a, const ChannelClass& b)
{
    EXPECT_EQ(a.ScreenText(), b.ScreenText());
    EXPECT_EQ(a.PrintText(), b.PrintText());
    EXPECT_EQ(a.HelpNum(), b.HelpNum());
    EXPECT_EQ(a.BibNum(), b.BibNum());
    EXPECT_EQ(a.ScrAlm(), b.ScrAlm());
    EXPECT_EQ(a.PrtAlm(), b.PrtAlm());
    EXPECT_EQ(a.Histo(), b.Histo());
    EXPECT_EQ(a.Klaxon(), b.Klaxon());
    EXPECT_EQ(a.AlmPrio(), b.AlmPrio());
    EXPECT_EQ(a.React(), b.React());
    EXPECT_EQ(a.ReactTpo(), b.ReactTpo());
    EXPECT_EQ(a.TypeImp(), b.TypeImp());
}

} // namespace

TEST(ConfigCopy, AModuleTakesEveryStoredFieldAndKeepsItsRunTimeValues)
{
    // The working copy: edited, with run-time values from when it was made.
    PanelClass edited;
    edited.setNumero(7);
    edited.setModel(2);
    edited.setTitle("Boiler|room");
    edited.setTitleColor(0x0000FF);
    edited.setActive(true);
    edited.setActualModel(0);
    edited.setPresent(false);
    for (int16_t c = 1; c <= PanelClass::kChannels; ++c) {
        fillChannel(*edited.Channel(c), c);
        edited.Channel(c)->setState(0);
        edited.Channel(c)->setMirrorType(0);
    }

    // The configuration's module, as the engine keeps it meanwhile.
    PanelClass live;
    live.setNumero(7);
    live.setActualModel(2);
    live.setPresent(true);
    live.Channel(3)->setState(1);
    live.Channel(3)->setMirrorType(2);
    live.Channel(3)->setOutOfOrder(true);
    live.setModified(false);

    ConfigCopy::Panel(live, edited);

    EXPECT_EQ(live.Numero(), 7);
    EXPECT_EQ(live.Model(), 2);
    EXPECT_EQ(live.Title(), "Boiler|room");
    EXPECT_EQ(live.TitleColor(), 0x0000FF);
    EXPECT_TRUE(live.Active());
    for (int16_t c = 1; c <= PanelClass::kChannels; ++c) {
        SCOPED_TRACE(c);
        expectSameStoredFields(*live.Channel(c), *edited.Channel(c));
    }
    EXPECT_TRUE(live.Modified());
    // What the engine learnt stays.
    EXPECT_EQ(live.ActualModel(), 2);
    EXPECT_TRUE(live.Present());
    EXPECT_EQ(live.Channel(3)->State(), 1);
    EXPECT_EQ(live.Channel(3)->MirrorType(), 2);
    EXPECT_TRUE(live.Channel(3)->OutOfOrder());
}

TEST(ConfigCopy, MarksOnlyWhatChanges)
{
    PanelClass a;
    a.setModel(1);
    fillChannel(*a.Channel(5), 5);
    PanelClass b;
    b.Copy(a);
    b.setModified(false);

    // Equal stored fields, different run-time ones: nothing to mark.
    a.setPresent(true);
    a.Channel(5)->setState(3);
    ConfigCopy::Panel(b, a);
    EXPECT_FALSE(b.Modified());

    // One channel field: that channel is marked, the others are not.
    a.Channel(5)->setAlmPrio(1);
    ConfigCopy::Panel(b, a);
    EXPECT_TRUE(b.Channel(5)->Modified());
    EXPECT_FALSE(b.Channel(4)->Modified());
    EXPECT_EQ(b.Channel(5)->AlmPrio(), 1);

    // A channel copied onto itself stays as it is.
    ChannelClass ch;
    fillChannel(ch, 9);
    ch.setModified(false);
    ConfigCopy::Channel(ch, ch);
    EXPECT_FALSE(ch.Modified());
    EXPECT_EQ(ch.ScreenText(), "Smoke 9");
}

TEST(ConfigCopy, ADefaultChannelClearsTheStoredFieldsOnly)
{
    ChannelClass ch;
    fillChannel(ch, 11);
    ch.setState(2);
    ch.setMirrorType(1);
    ConfigCopy::Channel(ch, ChannelClass());
    expectSameStoredFields(ch, ChannelClass());
    EXPECT_EQ(ch.AlmPrio(), 99);
    EXPECT_TRUE(ch.Histo());
    EXPECT_EQ(ch.State(), 2);
    EXPECT_EQ(ch.MirrorType(), 1);
}
