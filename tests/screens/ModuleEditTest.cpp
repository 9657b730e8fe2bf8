// The module editor's working copies without the screen: what Yes writes
// into the configuration (and what it leaves alone), and the mirrors that a
// model change removes, kept or brought back with the module's edits.

#include "program/core/ConfigClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ModuleEdit.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<ConfigClass> newConfig()
{
    auto c = std::make_unique<ConfigClass>([](int) { return QString(); });
    c->Panel(3)->setModel(1);
    c->Panel(3)->setActive(true);
    c->Mirrors()->Add(3, 1, 5, 2, 1); // from module 3
    c->Mirrors()->Add(7, 0, 8, 0, 0); // not module 3
    c->Mirrors()->Add(9, 4, 3, 6, 2); // to module 3
    c->setModified(false);
    return c;
}

QStringList ids(const MirrorClasses& list)
{
    QStringList out;
    for (const auto& m : list)
        out << m->ID();
    return out;
}

const QStringList kAll = {"03010502", "07000800", "09040306"};
const QStringList kWithoutModule3 = {"07000800"};

} // namespace

TEST(ModuleEdit, YesWritesTheConfigurationFieldsAndKeepsWhatTheEngineKnows)
{
    auto config = newConfig();
    ModuleEdit edit;
    edit.LoadMirrors(*config->Mirrors());
    edit.LoadPanel(*config->Panel(3));
    EXPECT_FALSE(edit.Pending());

    // Meanwhile the engine reads the module and finds a channel active.
    config->Panel(3)->setPresent(true);
    config->Panel(3)->setActualModel(1);
    config->Panel(3)->Channel(4)->setState(1);
    edit.EditPanel()->setTitle("Pump room");
    edit.EditPanel()->Channel(4)->setKlaxon(true);
    ASSERT_TRUE(edit.Pending());

    edit.Accept(*config, 3, false);
    EXPECT_EQ(config->Panel(3)->Title(), "Pump room");
    EXPECT_TRUE(config->Panel(3)->Channel(4)->Klaxon());
    EXPECT_TRUE(config->Panel(3)->Present());
    EXPECT_EQ(config->Panel(3)->ActualModel(), 1);
    EXPECT_EQ(config->Panel(3)->Channel(4)->State(), 1);
    EXPECT_FALSE(edit.Pending()) << "after Yes nothing is left to save";
}

TEST(ModuleEdit, LeavingMarksTheConfigurationAndChangingModuleDoesNot)
{
    for (bool leaving : {false, true}) {
        SCOPED_TRACE(leaving ? "leaving" : "changing module");
        auto config = newConfig();
        ModuleEdit edit;
        edit.LoadMirrors(*config->Mirrors());
        edit.LoadPanel(*config->Panel(3));
        // Switched off and on again: an edit that changes no value.
        edit.EditPanel()->setActive(false);
        edit.EditPanel()->setActive(true);
        ASSERT_TRUE(edit.Pending());
        edit.Accept(*config, 3, leaving);
        EXPECT_EQ(config->Modified(), leaving);
    }
}

TEST(ModuleEdit, AModelChangeRemovesTheModulesMirrorsFromTheWorkingListOnly)
{
    auto config = newConfig();
    ModuleEdit edit;
    edit.LoadMirrors(*config->Mirrors());
    edit.LoadPanel(*config->Panel(3));
    ASSERT_TRUE(edit.HasMirrorsOf(3));
    EXPECT_FALSE(edit.HasMirrorsOf(4));

    edit.RemoveMirrorsOf(3);
    EXPECT_EQ(ids(*edit.EditMirrors()), kWithoutModule3);
    EXPECT_EQ(ids(*config->Mirrors()), kAll) << "the configuration changes only with Yes";
    EXPECT_FALSE(edit.HasMirrorsOf(3)) << "a second model change asks nothing";
    EXPECT_TRUE(edit.Pending());

    edit.Accept(*config, 3, true);
    EXPECT_EQ(ids(*config->Mirrors()), kWithoutModule3);
}

TEST(ModuleEdit, DroppingTheModulesEditsBringsTheRemovedMirrorsBack)
{
    struct Case {
        const char* what;
        bool otherEdit; // a mirror added through the mirrors screen after the removal
        QStringList after;
        bool pending;
    } cases[] = {
        {"nothing else edited: the list as it was", false, kAll, false},
        {"another mirror added meanwhile: it stays", true, {"07000800", "12010302", "03010502", "09040306"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto config = newConfig();
        ModuleEdit edit;
        edit.LoadMirrors(*config->Mirrors());
        edit.LoadPanel(*config->Panel(3));
        edit.RemoveMirrorsOf(3);
        if (c.otherEdit)
            edit.EditMirrors()->Add(12, 1, 3, 2, 1);
        edit.DropRemoval();
        EXPECT_EQ(ids(*edit.EditMirrors()), c.after);
        EXPECT_EQ(edit.EditMirrors()->Modified(), c.pending);
        EXPECT_EQ(ids(*config->Mirrors()), kAll);
    }
}

TEST(ModuleEdit, ResetGivesTheDefaultsUnderTheSameNumberMarkedModified)
{
    auto config = newConfig();
    config->Panel(3)->setTitle("Boiler");
    config->Panel(3)->setNumero(3);
    ModuleEdit edit;
    edit.LoadPanel(*config->Panel(3));
    edit.ResetPanel();
    EXPECT_EQ(edit.EditPanel()->Numero(), 3);
    EXPECT_EQ(edit.EditPanel()->Model(), 0);
    EXPECT_EQ(edit.EditPanel()->Title(), "");
    EXPECT_EQ(edit.EditPanel()->TitleColor(), 0xFFFF);
    EXPECT_TRUE(edit.Pending());
}
