// The mirror edit dialog on screen: its arrows, groups and options touched,
// OK refused with the message and the dialog left open, OK and cancel
// closing it, a caller's presets and its fixed source.

#include "program/core/PanelClass.h"
#include "program/screens/bus/dlgEditMirror.h"
#include "tests/screens/BusScreensFixture.h"
#include "tests/screens/MirrorTouches.h"

#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>

namespace {

using B = MirrorChoice::Button;
using mirror_touches::touch;

class EditMirrorScreen : public BusScreensFixture {
protected:
    static dlgEditMirror* open()
    {
        auto* d = qobject_cast<dlgEditMirror*>(plat::Forms::Get(FormNames::dlgEditMirror));
        d->Show();
        return d;
    }
};

TEST_F(EditMirrorScreen, CaptionsInEachLanguage)
{
    for (int language : {0, 1, 2}) {
        gLanguage = language;
        dlgEditMirror* d = open();
        EXPECT_EQ(d->frmFrames(0)->title(), Config::GetText(510200));
        EXPECT_EQ(d->frmFrames(1)->title(), Config::GetText(510201));
        EXPECT_EQ(d->frmType->title(), Config::GetText(510206));
        EXPECT_EQ(d->optType(1)->text(), Config::GetText(510301));
        EXPECT_EQ(d->optType(2)->text(), Config::GetText(510302));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(d->lblLabels(i)->text(), Config::GetText(510202 + i));
        plat::Forms::Unload(d);
        settle();
    }
}

TEST_F(EditMirrorScreen, AnIncompleteChoiceIsRefusedAndTheDialogStays)
{
    gConfig->Panel(1)->setModel(1);
    gConfig->Panel(2)->setModel(4);
    dlgEditMirror* d = open();
    EXPECT_FALSE(d->frmType->isVisible());
    EXPECT_FALSE(d->frmDestChnl->isVisible());
    answer(MsgResult::vbOK);
    touch(d->imgControl(dlgEditMirror::ControlOk));
    ASSERT_EQ(asked().size(), 1);
    EXPECT_EQ(asked().front(), Config::GetText(20006));
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->Ok());

    // A channel onto a module that takes no channel mirror.
    touch(d->imgPlusMoins(B::SourceModuleUp));
    touch(d->imgPlusMoins(B::SourceChannelUp));
    EXPECT_TRUE(d->frmType->isVisible());
    EXPECT_TRUE(d->frmDestChnl->isVisible());
    touch(d->imgPlusMoins(B::DestModuleUp));
    touch(d->imgPlusMoins(B::DestModuleUp));
    EXPECT_EQ(d->lblDestModType->Caption(), "T7100");
    EXPECT_EQ(d->lblDestChnlNo->Caption(), "---");
    answer(MsgResult::vbOK);
    touch(d->imgControl(dlgEditMirror::ControlOk));
    EXPECT_EQ(asked().size(), 2);
    EXPECT_TRUE(d->isVisible());

    // The whole module may go there.
    touch(d->imgPlusMoins(B::SourceChannelDown));
    EXPECT_EQ(d->lblSrceChnlNo->Caption(), gNoChannelText);
    EXPECT_FALSE(d->frmDestChnl->isVisible());
    touch(d->imgControl(dlgEditMirror::ControlOk));
    EXPECT_TRUE(d->Ok());
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->Chosen(), (MirrorChoice::Mirror{1, 0, 2, 0, 0}));
}

TEST_F(EditMirrorScreen, OptionsKeepOneAtMostAndCancelClosesWithoutOk)
{
    gConfig->Panel(3)->setModel(3);
    dlgEditMirror* d = open();
    mirror_touches::choose(d, {3, 5, 3, 7, 2});
    EXPECT_TRUE(d->optType(2)->isChecked());
    touch(d->optType(2));
    EXPECT_TRUE(d->optType(2)->isChecked()) << "touching the chosen type keeps it";
    touch(d->optType(1));
    EXPECT_TRUE(d->optType(1)->isChecked());
    EXPECT_FALSE(d->optType(2)->isChecked());
    touch(d->imgControl(dlgEditMirror::ControlOk));
    EXPECT_EQ(d->MirrorType(), 1);
    EXPECT_EQ(d->Chosen(), (MirrorChoice::Mirror{3, 5, 3, 7, 1}));

    d->Show();
    touch(d->imgControl(dlgEditMirror::ControlCancel));
    EXPECT_FALSE(d->Ok());
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->MirrorType(), 1) << "cancel keeps the type";
}

TEST_F(EditMirrorScreen, AFixedSourceStaysFixed)
{
    // The editor's module 5, a model 1 not yet saved.
    auto working = std::make_shared<PanelClass>();
    working->setNumero(5);
    working->setModel(1);
    auto* d = qobject_cast<dlgEditMirror*>(plat::Forms::Get(FormNames::dlgEditMirror));
    d->setPanel(working);
    d->lblSrceModNo->setCaption("5");
    d->lblSrceChnlNo->setCaption("4");
    for (int i = B::SourceModuleDown; i <= B::SourceChannelUp; ++i)
        d->imgPlusMoins(i)->hide();
    d->Show();
    EXPECT_EQ(d->lblSrceModType->Caption(), "K7150");
    EXPECT_TRUE(d->frmDestChnl->isVisible());
    EXPECT_EQ(d->lblDestChnlNo->Caption(), "1");
    mirror_touches::chooseAndConfirm(d, {5, 4, 9, 2, 0});
    for (int i = B::SourceModuleDown; i <= B::SourceChannelUp; ++i)
        EXPECT_FALSE(d->imgPlusMoins(i)->isVisible()) << i;
    ASSERT_TRUE(d->Ok());
    EXPECT_EQ(d->Chosen(), (MirrorChoice::Mirror{5, 4, 9, 2, 0}));
}

} // namespace
