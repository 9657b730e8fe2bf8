// The module editor's spine as the technician uses it: the save question on
// leaving and on changing module, the model steps and the removal of the
// module's mirrors, reset and cancel, the module buttons, the active flag and
// the title colour.

#include "platform/AppIdentity.h"
#include "program/core/ChannelClass.h"
#include "program/core/FormNames.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "tests/screens/BusScreensFixture.h"

#include <QFile>
#include <QLabel>

namespace {

constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kCancel = 2;
constexpr int kOk = 1;

class ModuleEditorScreen : public BusScreensFixture {
protected:
    void SetUp() override
    {
        BusScreensFixture::SetUp();
        for (int m : {1, 2, 3}) {
            auto p = gConfig->Panel(int16_t(m));
            p->setModel(m == 2 ? 2 : 1);
            p->setActive(true);
        }
        gConfig->Panel(1)->setTitle("Boiler");
        gConfig->Panel(2)->setTitle("Car park");
        gConfig->Mirrors()->Add(3, 1, 5, 2, 1);
        gConfig->Mirrors()->Add(7, 0, 8, 0, 0);
        gConfig->Mirrors()->Add(9, 4, 3, 6, 2);
        gConfig->setModified(false);
    }


    QString question() const { return Config::GetText(30010); }
};

} // namespace

TEST_F(ModuleEditorScreen, TheSaveQuestionOnLeavingAndOnChangingModule)
{
    using Step = std::function<void(wBusPanneau*)>;
    const Step nothing = [](wBusPanneau*) {};
    const Step retitle = [](wBusPanneau* e) { e->ParamVal(0)->setCaption("Pump room"); };
    const Step switchTwice = [](wBusPanneau* e) {
        click(e->imgActive);
        click(e->imgActive);
    };
    const Step toOverview = [](wBusPanneau* e) { click(e->imgNavig(wBusPanneau::NavigOverview)); };
    const Step toMain = [](wBusPanneau* e) { click(e->imgNavig(wBusPanneau::NavigMain)); };
    const Step nextModule = [](wBusPanneau* e) { click(e->imgNavPanel(wBusPanneau::NavPanelNext)); };
    const Step stay = [](wBusPanneau* e) { e->imgNavPanel_Click(3); };
    struct Case {
        const char* what;
        Step edit;
        Step action;
        std::vector<int> answers;
        QString visible; // the form shown afterwards
        int module; // the editor's module, when it stays
        QString configTitle; // module 1's title in gConfig
        QString savedTitle; // in the working file; "" when none was written
        bool configModified;
    } cases[] = {
        {"nothing edited, leaving", nothing, toOverview, {}, "wBusModules", 0, "Boiler", "", false},
        {"nothing edited, next module", nothing, nextModule, {}, "wBusPanneau", 2, "Boiler", "", false},
        {"edited, leaving, Cancel", retitle, toOverview, {kCancel}, "wBusPanneau", 1, "Boiler", "", false},
        {"edited, next module, Cancel", retitle, nextModule, {kCancel}, "wBusPanneau", 1, "Boiler", "", false},
        {"edited, next module, No", retitle, nextModule, {kNo}, "wBusPanneau", 2, "Boiler", "", false},
        {"edited, next module, Yes", retitle, nextModule, {kYes}, "wBusPanneau", 2, "Pump room", "Pump room", true},
        {"edited, leaving, Yes", retitle, toOverview, {kYes}, "wBusModules", 0, "Pump room", "Pump room", true},
        {"edited, the same module, Yes", retitle, stay, {kYes}, "wBusPanneau", 1, "Pump room", "Pump room", true},
        // An edit that changes no value: only leaving marks the configuration.
        {"switched twice, next module, Yes",
         switchTwice,
         nextModule,
         {kYes},
         "wBusPanneau",
         2,
         "Boiler",
         "Boiler",
         false},
        {"switched twice, leaving to the main window, Yes",
         switchTwice,
         toMain,
         {kYes},
         "wMain",
         0,
         "Boiler",
         "Boiler",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(workingFile());
        gConfig->Panel(1)->setTitle("Boiler");
        gConfig->setModified(false);
        asked().clear();
        wBusPanneau* e = openEditor(1);
        c.edit(e);
        for (int a : c.answers)
            answer(a);
        c.action(e);
        settle();
        EXPECT_EQ(asked(), c.answers.empty() ? QStringList() : QStringList{question()});
        EXPECT_EQ(visibleForms(), QStringList{c.visible});
        if (c.module) {
            ASSERT_NE(editor(), nullptr);
            EXPECT_EQ(editor()->NumModule(), c.module);
        }
        EXPECT_EQ(gConfig->Panel(1)->Title(), c.configTitle);
        auto file = saved();
        EXPECT_EQ(file ? file->Panel(1)->Title() : QString(), c.savedTitle);
        EXPECT_EQ(gConfig->Modified(), c.configModified);
        if (c.answers == std::vector<int>{kCancel}) {
            // Cancel keeps the screen and the edits.
            EXPECT_EQ(editor()->ParamVal(0)->Caption(), "Pump room");
            EXPECT_TRUE(editor()->EditPanel()->Modified());
        }
        if (editor() && c.answers == std::vector<int>{kYes}) {
            // Saved: the next question comes only with a new edit.
            asked().clear();
            editor()->imgNavPanel_Click(3);
            EXPECT_TRUE(asked().isEmpty());
        }
        plat::Forms::UnloadAllExcept({});
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleEditorScreen, NoDropsTheModulesEditsButKeepsTheMirrorEditsForALaterYes)
{
    wBusPanneau* e = openEditor(1);
    e->ParamVal(0)->setCaption("Pump room");
    e->EditMirrors()->Add(1, 2, 2, 3, 1);
    answer(kNo);
    click(e->imgNavPanel(wBusPanneau::NavPanelNext));
    EXPECT_EQ(e->NumModule(), 2);
    EXPECT_EQ(gConfig->Panel(1)->Title(), "Boiler");
    EXPECT_TRUE(e->EditMirrors()->Modified());
    EXPECT_EQ(gConfig->Mirrors()->Count(), 3);

    // Nothing of module 2 is edited, but the mirrors are: leaving asks, and Yes writes them.
    answer(kYes);
    click(e->imgNavig(wBusPanneau::NavigOverview));
    settle();
    EXPECT_EQ(asked(), (QStringList{question(), question()}));
    EXPECT_EQ(gConfig->Mirrors()->Count(), 4);
    auto file = saved();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Mirrors()->Count(), 4);
    EXPECT_EQ(file->Panel(1)->Title(), "Boiler");
}

TEST_F(ModuleEditorScreen, ModelsStepThroughTheListAndShowTheirMirrorsButton)
{
    gConfig->Panel(4)->setModel(0);
    wBusPanneau* e = openEditor(4);
    struct Step {
        const char* name;
        QString caption; // lblVisuTcde
        bool mirrors; // imgNavig(12)
        int channels;
    } const steps[] = {
        {"-----", "", false, 12},
        {"K7150", Config::GetText(300130), true, 12},
        {"K6200TX", Config::GetText(300130), true, 24},
        {"K7100", Config::GetText(300130), true, 12},
        {"T7100", Config::GetText(300131), false, 12},
        {"T7150", Config::GetText(300131), false, 12},
        {"-----", "", false, 12},
    };
    for (int i = 0; i < int(std::size(steps)); ++i) {
        const Step& s = steps[i];
        SCOPED_TRACE(s.name);
        if (i > 0)
            click(e->imgModele);
        EXPECT_EQ(e->lblModele(1)->text(), s.name);
        EXPECT_EQ(e->lblModele(0)->text(), s.name);
        EXPECT_EQ(e->EditPanel()->Model(), i % 6);
        EXPECT_EQ(e->lblVisuTcde->isVisible(), !s.caption.isEmpty());
        if (!s.caption.isEmpty()) {
            EXPECT_EQ(e->lblVisuTcde->text(), s.caption);
        }
        EXPECT_EQ(e->imgNavig(wBusPanneau::NavigMirrors)->isVisible(), s.mirrors);
        EXPECT_EQ(plat::tagOf(e->ParamVal(1)), QString("*|1|%1").arg(s.channels));
    }
    // The model's caption steps the model too.
    click(e->lblModele(1));
    EXPECT_EQ(e->EditPanel()->Model(), 1);
    EXPECT_TRUE(asked().isEmpty()) << "no mirror of module 4: nothing to ask";
}

TEST_F(ModuleEditorScreen, AModelChangeAsksOnceAndItsMirrorRemovalGoesWithTheModulesEdits)
{
    const QString removeQuestion = Config::GetText(30011);
    const QStringList all = {"03010502", "07000800", "09040306"};
    const QStringList without3 = {"07000800"};

    // Cancel keeps the model and the mirrors.
    wBusPanneau* e = openEditor(3);
    answer(kCancel);
    click(e->imgModele);
    EXPECT_EQ(asked(), QStringList{removeQuestion});
    EXPECT_EQ(e->EditPanel()->Model(), 1);
    EXPECT_EQ(mirrorIds(*e->EditMirrors()), all);

    // OK removes them from the working list; a second step asks nothing.
    asked().clear();
    answer(kOk);
    click(e->imgModele);
    click(e->imgModele);
    EXPECT_EQ(asked(), QStringList{removeQuestion});
    EXPECT_EQ(e->EditPanel()->Model(), 3);
    EXPECT_EQ(mirrorIds(*e->EditMirrors()), without3);
    EXPECT_EQ(mirrorIds(*gConfig->Mirrors()), all);

    // No on the next module drops the model change and brings the mirrors back.
    answer(kNo);
    click(e->imgNavPanel(wBusPanneau::NavPanelPrevious));
    EXPECT_EQ(mirrorIds(*e->EditMirrors()), all);
    EXPECT_FALSE(e->EditMirrors()->Modified());
    click(e->imgNavPanel(wBusPanneau::NavPanelNext));
    EXPECT_EQ(e->EditPanel()->Model(), 1);

    // Yes saves both.
    asked().clear();
    answer(kOk);
    click(e->imgModele);
    answer(kYes);
    click(e->imgNavig(wBusPanneau::NavigOverview));
    settle();
    EXPECT_EQ(asked(), (QStringList{removeQuestion, question()}));
    EXPECT_EQ(gConfig->Panel(3)->Model(), 2);
    EXPECT_EQ(mirrorIds(*gConfig->Mirrors()), without3);
    auto file = saved();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(mirrorIds(*file->Mirrors()), without3);
    EXPECT_EQ(file->Panel(3)->Model(), 2);
}

TEST_F(ModuleEditorScreen, CancellingTheModulesEditsBringsBackWhatTheConfigurationHolds)
{
    wBusPanneau* e = openEditor(3);
    answer(kOk);
    click(e->imgModele);
    click(e->imgActive);
    e->ParamVal(0)->setCaption("Kitchen");
    click(e->lblCancel);
    EXPECT_EQ(e->EditPanel()->Model(), 1);
    EXPECT_EQ(e->lblModele(1)->text(), "K7150");
    EXPECT_TRUE(e->EditPanel()->Active());
    EXPECT_EQ(e->lblActive(1)->text(), Config::GetText(300121));
    EXPECT_EQ(e->ParamVal(0)->Caption(), "");
    EXPECT_EQ(e->EditMirrors()->Count(), 3) << "the model change's removal is cancelled with it";
    EXPECT_FALSE(e->EditPanel()->Modified());
    click(e->imgNavig(wBusPanneau::NavigOverview));
    settle();
    EXPECT_EQ(editor(), nullptr) << "nothing left to ask about";
}

TEST_F(ModuleEditorScreen, ResetShowsEveryDefaultAndYesSavesExactlyThat)
{
    auto p = gConfig->Panel(2);
    p->setTitleColor(0x0000FF);
    p->Channel(1)->setScreenText("Fire");
    p->Channel(1)->setAlmPrio(3);
    wBusPanneau* e = openEditor(2);
    ASSERT_EQ(e->ParamVal(12)->Caption(), "Fire");
    click(e->lblClear);
    EXPECT_EQ(e->NumModule(), 2);
    EXPECT_EQ(e->EditPanel()->Numero(), 2) << "the defaults under the module's own number";
    EXPECT_EQ(e->lblModele(1)->text(), "-----");
    EXPECT_EQ(e->lblActive(1)->text(), Config::GetText(300120));
    EXPECT_EQ(e->lblTitleColor->property("TitleColor").toInt(), 0xFFFF);
    EXPECT_EQ(e->ParamVal(0)->Caption(), "");
    EXPECT_EQ(e->ParamVal(12)->Caption(), "");
    EXPECT_EQ(e->ParamVal(6)->Caption(), "99");
    EXPECT_EQ(plat::tagOf(e->ParamVal(1)), "*|1|12");
    EXPECT_TRUE(e->EditPanel()->Modified());

    answer(kYes);
    click(e->imgNavig(wBusPanneau::NavigOverview));
    settle();
    EXPECT_EQ(asked(), QStringList{question()});
    for (ConfigClass* c : {gConfig, saved().release()}) {
        ASSERT_NE(c, nullptr);
        auto q = c->Panel(2);
        EXPECT_EQ(q->Model(), 0);
        EXPECT_FALSE(q->Active());
        EXPECT_EQ(q->TitleColor(), 0xFFFF);
        EXPECT_EQ(q->Title(), "");
        EXPECT_EQ(q->Channel(1)->ScreenText(), "");
        EXPECT_EQ(q->Channel(1)->AlmPrio(), 99);
        if (c != gConfig)
            delete c;
    }
}

TEST_F(ModuleEditorScreen, AStoredModelWithoutANameOpensWithNoneSelectedAndStepsToTheFirst)
{
    gConfig->Panel(6)->setModel(7);
    wBusPanneau* e = openEditor(6);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    EXPECT_EQ(e->lstModele->ListIndex(), -1);
    EXPECT_EQ(e->lblModele(1)->text(), "");
    EXPECT_EQ(e->EditPanel()->Model(), 7);
    EXPECT_FALSE(e->EditPanel()->Modified());
    click(e->imgModele);
    EXPECT_EQ(e->EditPanel()->Model(), 0);
    EXPECT_EQ(e->lblModele(1)->text(), "-----");
}

TEST_F(ModuleEditorScreen, TheModuleButtonsStopAtTheFirstAndTheLastModule)
{
    wBusPanneau* e = openEditor(1);
    EXPECT_FALSE(e->imgNavPanel(wBusPanneau::NavPanelPrevious)->isVisible());
    EXPECT_TRUE(e->imgNavPanel(wBusPanneau::NavPanelNext)->isVisible());
    click(e->imgNavPanel(wBusPanneau::NavPanelNext));
    EXPECT_EQ(e->NumModule(), 2);
    EXPECT_EQ(e->lblNumModule(0)->text(), "2");
    EXPECT_TRUE(e->imgNavPanel(wBusPanneau::NavPanelPrevious)->isVisible());
    e->setNumModule(64);
    EXPECT_FALSE(e->imgNavPanel(wBusPanneau::NavPanelNext)->isVisible());
    e->imgNavPanel_Click(wBusPanneau::NavPanelNext);
    EXPECT_EQ(e->NumModule(), 64);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleEditorScreen, ActiveFlagAndTitleColour)
{
    wBusPanneau* e = openEditor(1);
    EXPECT_EQ(e->lblActive(1)->text(), Config::GetText(300121));
    click(e->lblActive(1));
    EXPECT_FALSE(e->EditPanel()->Active());
    EXPECT_EQ(e->lblActive(1)->text(), Config::GetText(300120));
    EXPECT_EQ(e->lblActive(0)->text(), Config::GetText(300120));

    QColor offered;
    plat::ColorDialog::setChooser([&](const QColor& initial, QWidget*) -> std::optional<QColor> {
        offered = initial;
        return QColor(0, 0, 255);
    });
    click(e->lblTitleColor);
    EXPECT_EQ(offered, QColor(255, 255, 0)) << "the module's colour is offered";
    EXPECT_EQ(e->EditPanel()->TitleColor(), 0xFF0000);
    EXPECT_TRUE(e->lblTitleColor->styleSheet().contains("color: #0000ff"));
    // Nothing chosen: the colour stays.
    plat::ColorDialog::setChooser([](const QColor&, QWidget*) { return std::optional<QColor>(); });
    click(e->lblTitleColor);
    EXPECT_EQ(e->EditPanel()->TitleColor(), 0xFF0000);
}
