// The bus overview and the module editor rendered to PNG in every language
// (<build>/screenshots/<form>-<en|fr|de>.png), for a person to look at: a
// page of modules of every model, some crossed, titles on two lines in their
// colours, and the editor on a model 2 module with a row selected.

#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"
#include "tests/screens/BusScreensFixture.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace {

class ScreenImages : public BusScreensFixture {
protected:
    void configure()
    {
        const struct {
            int module;
            int model;
            bool active;
            const char* title;
            int colour;
        } modules[] = {
            {1, 1, true, "Boiler room|North", 0x00FFFF},
            {2, 2, true, "Car park", 0x00FF00},
            {3, 3, false, "Kitchen|Ground floor", 0x0000FF},
            {4, 4, true, "Pumps", 0xFFFF00},
            {5, 5, true, "Laboratory 2|East wing", 0xFFFFFF},
            {6, 0, true, "", 0x00FFFF},
            {7, 1, true, "Stairs A", 0x00FFFF},
            {9, 2, false, "Server room|Level -1", 0x00A5FF},
        };
        for (const auto& m : modules) {
            auto p = gConfig->Panel(int16_t(m.module));
            p->setModel(m.model);
            p->setActive(m.active);
            p->setTitle(m.title);
            p->setTitleColor(m.colour);
        }
        auto ch = gConfig->Panel(2)->Channel(3);
        ch->setScreenText("Smoke detector, east staircase");
        ch->setPrintText("SMOKE EAST STAIRCASE LEVEL 3");
        ch->setScrAlm(true);
        ch->setKlaxon(true);
        ch->setAlmPrio(5);
        ch->setBibNum(2);
        ch->setHelpNum(3);
        ch->setReactTpo(4);
        gConfig->setBiblio(2, "Fire alarm");
        gConfig->setConsigne(3, "Call the fire brigade,\r\nthen open the gate.");
    }
};

const char* const kLanguages[] = {"en", "fr", "de"};

} // namespace

TEST_F(ScreenImages, RendersBothScreensInEveryLanguage)
{
    configure();
    for (int language = 0; language < 3; ++language) {
        SCOPED_TRACE(kLanguages[language]);
        gLanguage = language;
        auto* modules = qobject_cast<wBusModules*>(plat::Forms::Get(wBusModules::FormName));
        modules->Show();
        const QString a = testing_support::renderToPng(modules, QString("wBusModules-%1").arg(kLanguages[language]));
        EXPECT_FALSE(QImage(a).isNull());
        plat::Forms::Unload(modules);
        settle();

        wBusPanneau* e = openEditor(2);
        for (int i = 0; i < 2; ++i)
            e->imgControl_Click(wBusPanneau::ControlNextChannel);
        for (int i = 0; i < 4; ++i)
            e->imgNavig_Click(wBusPanneau::NavigNextRow);
        const QString b = testing_support::renderToPng(e, QString("wBusPanneau-%1").arg(kLanguages[language]));
        EXPECT_FALSE(QImage(b).isNull());

        // The value picker where it opens over the editor.
        QString c;
        whenModal("dlgListInput", [&](plat::Form* picker) {
            QImage screen = e->grab().toImage();
            QPainter p(&screen);
            p.drawPixmap(picker->mapToGlobal(QPoint(0, 0)) - e->mapToGlobal(QPoint(0, 0)), picker->grab());
            p.end();
            c = QString("%1/wBusPanneau-picker-%2.png").arg(QFileInfo(b).path(), kLanguages[language]);
            screen.save(c);
            picker->Hide();
        });
        e->imgModif_Click();
        EXPECT_FALSE(QImage(c).isNull());
        plat::Forms::Unload(e);
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
