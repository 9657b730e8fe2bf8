// The mirrors of one channel, opened from the module editor as the
// technician opens it: the lists of the shown channel, the channel arrows of
// a model 1 module, new mirrors from the fixed source (refused ones not
// offered again), deleting outgoing mirrors, and the editor's save question
// taking the changes to the working file.

#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ParamRows.h"
#include "program/screens/bus/wBusMirrorOne.h"
#include "tests/screens/BusScreensFixture.h"
#include "tests/screens/MirrorTouches.h"

namespace {

using Mirror = MirrorChoice::Mirror;

class MirrorOneScreen : public BusScreensFixture {
protected:
    void SetUp() override
    {
        BusScreensFixture::SetUp();
        LanguageGlobals::SetLetters();
        const struct {
            int module;
            int model;
            const char* title;
        } modules[] = {{1, 1, "Boiler"}, {2, 2, "Car park"}, {3, 3, "Kitchen"}, {7, 1, "T"}, {9, 2, "Lab"}};
        for (const auto& m : modules) {
            gConfig->Panel(int16_t(m.module))->setModel(m.model);
            gConfig->Panel(int16_t(m.module))->setTitle(m.title);
        }
        gConfig->setModified(false);
    }

    static void addStored(int fm, int fc, int tm, int tc, int type = 0)
    {
        gConfig->Mirrors()->Add(int16_t(fm), int16_t(fc), int16_t(tm), int16_t(tc), int16_t(type));
        gConfig->setModified(false);
    }

    static QStringList lines(const plat::ListBox* list)
    {
        QStringList out;
        for (int i = 0; i < list->ListCount(); ++i)
            out << list->List(i);
        return out;
    }

    // Opens the mirrors from the editor, runs visit on them and goes back.
    void visit(wBusPanneau* editor, std::function<void(wBusMirrorOne*)> look)
    {
        whenModal(FormNames::wBusMirrorOne, [look](plat::Form* f) {
            auto* screen = qobject_cast<wBusMirrorOne*>(f);
            look(screen);
            click(screen->imgNavig(wBusMirrorOne::NavigBack));
        });
        click(editor->imgNavig(wBusPanneau::NavigMirrors));
        settle();
        EXPECT_EQ(plat::Forms::Find(FormNames::wBusMirrorOne), nullptr) << "unloaded by the editor";
    }

    void confirmNext(const Mirror& m)
    {
        whenModal(FormNames::dlgEditMirror, [m](plat::Form* f) {
            mirror_touches::chooseAndConfirm(qobject_cast<dlgEditMirror*>(f), m);
        });
    }
};

TEST_F(MirrorOneScreen, TheListsOfTheShownChannelAndItsArrows)
{
    addStored(1, 1, 7, 3, 1);   // leaves 1.1
    addStored(9, 0, 1, 1, 0);   // reaches 1.1
    addStored(1, 1, 1, 1, 2);   // onto itself, from a file
    addStored(1, 0, 7, 0, 0);   // the whole module
    wBusPanneau* e = openEditor(1);
    e->ParamVal(ParamRows::Title)->setCaption("Boiler room");   // not saved yet
    visit(e, [](wBusMirrorOne* s) {
        EXPECT_EQ(s->lblNumModule(0)->Caption(), "1");
        EXPECT_EQ(s->lblNumModule(1)->Caption(), "1");
        EXPECT_EQ(s->lblLabels(1)->Caption(), Config::GetText(520100));
        EXPECT_GE(s->lblNumModule(1)->x(), s->lblLabels(1)->x() + s->lblLabels(1)->width());
        EXPECT_EQ(s->lblParams->text(), Config::GetText(300201));
        EXPECT_EQ(s->lblLabels(wBusMirrorOne::LabelTo)->Caption(), Config::GetText(520120));
        EXPECT_EQ(s->lblLabels(wBusMirrorOne::LabelFrom)->Caption(), Config::GetText(520110));
        EXPECT_EQ(s->lblModele(1)->text(), "K7150");
        EXPECT_EQ(s->lblChannel->Caption(), "1");
        EXPECT_EQ(lines(s->lstTo), QStringList({"P-M07-C03  T", "S-M01-C01  Boiler room"}));
        EXPECT_EQ(lines(s->lstFrom), QStringList({"M-M09-All  Lab"}));
        EXPECT_EQ(s->lstTo->item(0)->data(Qt::UserRole).toInt(), 1010703);
        EXPECT_FALSE(s->imgNavig(wBusMirrorOne::NavigToUp)->isVisible());
        EXPECT_TRUE(s->imgNavig(wBusMirrorOne::NavigToDown)->isVisible());
        click(s->imgNavig(wBusMirrorOne::NavigToDown));
        EXPECT_EQ(s->lstTo->ListIndex(), 0);
        click(s->imgNavig(wBusMirrorOne::NavigToDown));
        EXPECT_EQ(s->lstTo->ListIndex(), 1);
        EXPECT_TRUE(s->imgNavig(wBusMirrorOne::NavigToUp)->isVisible());
        EXPECT_FALSE(s->imgNavig(wBusMirrorOne::NavigToDown)->isVisible());
        click(s->imgNavig(wBusMirrorOne::NavigFromDown));
        EXPECT_EQ(s->lstFrom->ListIndex(), 0);

        // A model 1 module steps through its channels and the whole module.
        ASSERT_TRUE(s->imgControl(wBusMirrorOne::ControlPreviousChannel)->isVisible());
        click(s->imgControl(wBusMirrorOne::ControlPreviousChannel));
        EXPECT_EQ(s->lblChannel->Caption(), gNoChannelText);
        EXPECT_EQ(lines(s->lstTo), QStringList({"M-M07-All  T"}));
        EXPECT_TRUE(lines(s->lstFrom).isEmpty());
        click(s->imgControl(wBusMirrorOne::ControlNextChannel));
        EXPECT_EQ(s->lblChannel->Caption(), "1");
        for (int i = 0; i < 11; ++i)
            click(s->imgControl(wBusMirrorOne::ControlNextChannel));
        EXPECT_EQ(s->lblChannel->Caption(), "12");
        click(s->imgControl(wBusMirrorOne::ControlNextChannel));
        EXPECT_EQ(s->lblChannel->Caption(), gNoChannelText);
    });
}

TEST_F(MirrorOneScreen, OtherModelsShowTheirChannelWithoutArrows)
{
    addStored(2, 0, 9, 0, 0);
    wBusPanneau* e = openEditor(2);
    visit(e, [](wBusMirrorOne* s) {
        EXPECT_EQ(s->lblChannel->Caption(), gNoChannelText) << "a model 2 module is one whole";
        EXPECT_FALSE(s->imgControl(wBusMirrorOne::ControlPreviousChannel)->isVisible());
        EXPECT_FALSE(s->imgControl(wBusMirrorOne::ControlNextChannel)->isVisible());
        EXPECT_EQ(lines(s->lstTo), QStringList({"M-M09-All  Lab"}));
    });
    plat::Forms::Unload(e);
    settle();
    e = openEditor(3);
    e->imgControl_Click(wBusPanneau::ControlNextChannel);
    visit(e, [](wBusMirrorOne* s) {
        EXPECT_EQ(s->lblChannel->Caption(), "2");
        EXPECT_FALSE(s->imgControl(wBusMirrorOne::ControlNextChannel)->isVisible());
    });
}

TEST_F(MirrorOneScreen, NewFromTheFixedSourceRefusesDuplicatesAndLoopsOnce)
{
    addStored(1, 2, 7, 3, 1);
    addStored(7, 4, 3, 1, 1);
    addStored(3, 1, 1, 2, 1);
    wBusPanneau* e = openEditor(1);
    e->imgControl_Click(wBusPanneau::ControlNextChannel);   // channel 2
    visit(e, [this](wBusMirrorOne* s) {
        whenModal(FormNames::dlgEditMirror, [](plat::Form* f) {
            auto* d = qobject_cast<dlgEditMirror*>(f);
            EXPECT_EQ(d->lblSrceModNo->Caption(), "1");
            EXPECT_EQ(d->lblSrceChnlNo->Caption(), "2");
            for (int i = MirrorChoice::SourceModuleDown; i <= MirrorChoice::SourceChannelUp; ++i)
                EXPECT_FALSE(d->imgPlusMoins(i)->isVisible()) << i;
            mirror_touches::chooseAndConfirm(d, {1, 2, 7, 3, 2});
        });
        answer(MsgResult::vbOK);
        click(s->imgNew);
        // 7.4 reaches 1.2 through 3.1.
        confirmNext({1, 2, 7, 4, 1});
        answer(MsgResult::vbOK);
        click(s->imgNew);
        confirmNext({1, 2, 2, 15, 1});
        click(s->imgNew);
        EXPECT_EQ(lines(s->lstTo), QStringList({"P-M07-C03  T", "P-M02-C15  Car park"}));
        EXPECT_EQ(lines(s->lstFrom), QStringList({"P-M03-C01  Kitchen"}));
        // From the whole module: no type.
        click(s->imgControl(wBusMirrorOne::ControlPreviousChannel));
        click(s->imgControl(wBusMirrorOne::ControlPreviousChannel));
        confirmNext({1, 0, 9, 0, 2});
        click(s->imgNew);
        EXPECT_EQ(lines(s->lstTo), QStringList({"M-M09-All  Lab"}));
    });
    EXPECT_EQ(asked(), QStringList({Config::GetText(20005), Config::GetText(20010)}));
    EXPECT_EQ(mirrorIds(*e->EditMirrors()), QStringList({"01020703", "07040301", "03010102", "01020215", "01000900"}));
    EXPECT_EQ(e->EditMirrors()->Item(4)->MirrorType(), 1);
    EXPECT_EQ(e->EditMirrors()->Item(5)->MirrorType(), 0);
    EXPECT_EQ(gConfig->Mirrors()->Count(), 3) << "the configuration waits for the editor's question";
}

TEST_F(MirrorOneScreen, AModelChosenButNotSavedTakesChannelMirrors)
{
    wBusPanneau* e = openEditor(5);   // no model in the configuration
    click(e->imgModele);              // K7150, not saved
    ASSERT_TRUE(e->imgNavig(wBusPanneau::NavigMirrors)->isVisible());
    visit(e, [this](wBusMirrorOne* s) {
        confirmNext({5, 1, 7, 2, 1});
        click(s->imgNew);
        EXPECT_EQ(lines(s->lstTo), QStringList({"P-M07-C02  T"}));
    });
    EXPECT_TRUE(asked().isEmpty()) << asked().join("; ").toStdString();
    EXPECT_EQ(mirrorIds(*e->EditMirrors()), QStringList({"05010702"}));
}

TEST_F(MirrorOneScreen, DeleteTakesEveryOutgoingMirrorOfTheSelectedLine)
{
    addStored(9, 0, 1, 1, 0);   // incoming: cannot be deleted here
    wBusPanneau* e = openEditor(1);
    visit(e, [this](wBusMirrorOne* s) {
        click(s->imgDelete);
        EXPECT_EQ(beeps, 1) << "nothing leaves channel 1";
        confirmNext({1, 1, 7, 4, 1});
        click(s->imgNew);
        s->Mirrors()->Add(1, 1, 7, 4, 2);   // the same ID twice, as a file may hold it
        s->lblChannel_Change();
        answer(MsgResult::vbOK);
        click(s->imgDelete);
        click(s->imgNavig(wBusMirrorOne::NavigToDown));
        answer(MsgResult::vbCancel);
        click(s->imgDelete);
        EXPECT_EQ(s->lstTo->ListCount(), 2);
        answer(MsgResult::vbOK);
        click(s->imgDelete);
        EXPECT_EQ(s->lstTo->ListCount(), 0);
        EXPECT_EQ(s->lstFrom->ListCount(), 1);
    });
    ASSERT_EQ(asked().size(), 3);
    EXPECT_EQ(asked()[0], Config::GetText(30006).replace("$$$", Config::GetText(520120)));
    EXPECT_EQ(asked()[2], Config::GetText(30007));
    EXPECT_EQ(mirrorIds(*e->EditMirrors()), QStringList({"09000101"}));
}

TEST_F(MirrorOneScreen, TheEditorsYesSavesTheMirrorsAndNoLeavesTheFile)
{
    addStored(9, 0, 1, 1, 0);
    for (int given : {MsgResult::vbNo, MsgResult::vbYes}) {
        SCOPED_TRACE(given);
        wBusPanneau* e = openEditor(1);
        visit(e, [this](wBusMirrorOne* s) {
            confirmNext({1, 1, 7, 5, 2});
            click(s->imgNew);
        });
        answer(given);
        click(e->imgNavig(wBusPanneau::NavigOverview));
        settle();
        EXPECT_EQ(asked().last(), Config::GetText(30010));
        EXPECT_EQ(visibleForms(), QStringList{FormNames::wBusModules});
        plat::Forms::Unload(overview());
        settle();
        if (given == MsgResult::vbNo) {
            EXPECT_EQ(saved(), nullptr);
        }
    }
    auto file = saved();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(mirrorIds(*file->Mirrors()), QStringList({"09000101", "01010705"}));
    EXPECT_EQ(file->Mirrors()->Item(2)->MirrorType(), 2);
}

} // namespace
