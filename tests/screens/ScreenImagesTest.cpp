// The bus overview and the module editor rendered to PNG in every language
// (<build>/screenshots/<form>-<en|fr|de>.png), for a person to look at: a
// page of modules of every model, some crossed, titles on two lines in their
// colours, and the editor on a model 2 module with a row selected.

#include "platform/Cp1252.h"
#include "program/core/ChannelClass.h"
#include "program/core/ErrorHandling.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/dlgBusCopy.h"
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

// The screen as it shows with a window over it, centred.
QString renderOver(QWidget* screen, QWidget* over, const QString& name)
{
    QImage image = screen->grab().toImage();
    QPainter p(&image);
    p.drawPixmap((screen->width() - over->width()) / 2, (screen->height() - over->height()) / 2, over->grab());
    p.end();
    const QString file = testing_support::renderToPng(screen, name);
    image.save(file);
    return file;
}

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

TEST_F(ScreenImages, RendersTheModuleCopyAndAnImportRefusalOverTheOverviewInEveryLanguage)
{
    configure();
    const QString bad = testing_support::programFolder() + "/bad.txt";
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(plat::Cp1252::encode("Pnl\tChnl\r\n 5 \t 7 \t 1 \t 0 \t 2 \t 1 \t 120 \t 0 \t 3 \t 4 \t 1 \t 6 \tA\tB\t\r\n"));
    f.close();
    for (int language = 0; language < 3; ++language) {
        SCOPED_TRACE(kLanguages[language]);
        gLanguage = language;
        auto* modules = qobject_cast<wBusModules*>(plat::Forms::Get(wBusModules::FormName));
        modules->Show();

        QString copy;
        whenModal(dlgBusCopy::FormName, [&](plat::Form* form) {
            auto* d = qobject_cast<dlgBusCopy*>(form);
            d->lblPanelNo(dlgBusCopy::Source)->setCaption("3");
            d->lblPanelNo(dlgBusCopy::Target)->setCaption("7");
            copy = renderOver(modules, d, QString("dlgBusCopy-%1").arg(kLanguages[language]));
            plat::Forms::Unload(d);
        });
        modules->imgCopyPanel_Click();
        EXPECT_FALSE(QImage(copy).isNull());

        // The refusal as the error report shows it.
        QString name;
        std::optional<plat::RtError> error;
        plat::setErrorReporter([&](const QString& n, const plat::RtError& e) {
            name = n;
            error = e;
        });
        fileAnswers = {bad};
        modules->imgImportExport_Click(wBusModules::ChannelTableImport);
        ASSERT_TRUE(error);
        EXPECT_EQ(name, "wBusModules.imgImportExport_Click");
        auto* box = qobject_cast<dlgMessage*>(plat::Forms::Get("dlgMessage"));
        box->setMessage(ErrorHandling::ErrorText(name, error->number(), error->description()));
        box->setButtons(MsgStyle::vbCritical);
        const QString refusal = renderOver(modules, box, QString("ImportRefused-%1").arg(kLanguages[language]));
        EXPECT_FALSE(QImage(refusal).isNull());
        plat::Forms::Unload(box);
        plat::Forms::Unload(modules);
        settle();
    }
}
