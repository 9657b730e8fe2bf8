// The bus overview as the technician uses it: the tiles of a page, the page
// that the INI file names and the page buttons, a touched tile opening the
// module editor, and the way back to the main window.

#include "program/core/FormNames.h"
#include "program/core/IniKeys.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "tests/screens/BusScreensFixture.h"

#include <QImage>
#include <QLabel>

#include <cstdlib>

namespace {

class BusModulesScreen : public BusScreensFixture {
protected:
    wBusModules* open()
    {
        auto* o = qobject_cast<wBusModules*>(plat::Forms::Get(FormNames::wBusModules));
        o->Show();
        return o;
    }
};

} // namespace

TEST_F(BusModulesScreen, TilesShowNumberModelTitleInItsColourAndACrossWhenUnusable)
{
    struct Case {
        int module;
        int model;
        bool active;
        const char* name;
        bool crossed;
    } cases[] = {
        {1, 0, false, "-----", true},   {2, 0, true, "-----", true},  {3, 1, true, "K7150", false},
        {4, 2, false, "K6200TX", true}, {5, 3, true, "K7100", false}, {6, 4, true, "T7100", false},
        {7, 5, false, "T7150", true},
    };
    for (const Case& c : cases) {
        gConfig->Panel(int16_t(c.module))->setModel(c.model);
        gConfig->Panel(int16_t(c.module))->setActive(c.active);
    }
    gConfig->Panel(5)->setTitle("Boiler|room");
    gConfig->Panel(5)->setTitleColor(0x0000FF);

    wBusModules* o = open();
    EXPECT_EQ(o->FirstModule(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        const int i = c.module - 1;
        EXPECT_EQ(o->lblNumPan(i)->text(), QString("%1").arg(c.module, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(o->lblTypePan(i)->text(), c.name);
        EXPECT_EQ(o->imgCroix(i)->isVisible(), c.crossed);
    }
    EXPECT_EQ(o->lblLblPan(4)->text(), "Boiler\r\nroom");
    EXPECT_TRUE(o->lblLblPan(4)->styleSheet().contains("color: #ff0000")) << "0x0000FF is red";
    EXPECT_EQ(o->lblNumPan(15)->text(), "16");
    EXPECT_EQ(o->lblLabels->text(), Config::GetText(200100));
    // Every tile is a copy of the first, in four columns by four rows.
    EXPECT_EQ(o->imgPanneau(5)->pos(),
              o->imgPanneau(0)->pos() + QPoint(o->imgPanneau(0)->width(), o->imgPanneau(0)->height()));
    EXPECT_EQ(o->lblNumPan(15)->pos(),
              o->lblNumPan(0)->pos() + QPoint(3 * o->imgPanneau(0)->width(), 3 * o->imgPanneau(0)->height()));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusModulesScreen, TheIniPageOpensWithItsPageButtonsAndTheEndPagesButtonsDoNothing)
{
    struct Case {
        const char* ini; // nullptr: no key
        int first;
        bool previous;
        bool next;
    } cases[] = {
        {nullptr, 1, false, true}, {"0", 1, false, true},   {"-5", 1, false, true},  {"17", 17, true, true},
        {"49", 49, true, false},   {"60", 49, true, false}, {"abc", 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no key");
        if (c.ini)
            VEXfonctions::SetIni(IniKeys::General, IniKeys::PanelPage, c.ini);
        else
            VEXfonctions::DelIniKey(IniKeys::General, IniKeys::PanelPage);
        wBusModules* o = open();
        EXPECT_EQ(o->FirstModule(), c.first);
        EXPECT_EQ(o->lblNumPan(0)->text().toInt(), c.first);
        EXPECT_EQ(o->lblNumPan(15)->text().toInt(), c.first + 15);
        EXPECT_EQ(o->imgNavig(wBusModules::NavigPreviousPage)->isVisible(), c.previous);
        EXPECT_EQ(o->imgNavig(wBusModules::NavigNextPage)->isVisible(), c.next);
        if (!c.previous) {
            o->imgNavig_Click(wBusModules::NavigPreviousPage);
            EXPECT_EQ(o->FirstModule(), c.first);
        }
        if (!c.next) {
            o->imgNavig_Click(wBusModules::NavigNextPage);
            EXPECT_EQ(o->FirstModule(), c.first);
        }
        plat::Forms::Unload(o);
        settle();
        EXPECT_EQ(VEXfonctions::GetIni(IniKeys::General, IniKeys::PanelPage, "none"), c.ini ? c.ini : "none")
            << "the screen never writes the key";
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusModulesScreen, PageButtonsStepThroughTheFourPages)
{
    wBusModules* o = open();
    std::vector<int> firsts{o->FirstModule()};
    while (o->imgNavig(wBusModules::NavigNextPage)->isVisible()) {
        click(o->imgNavig(wBusModules::NavigNextPage));
        firsts.push_back(o->FirstModule());
    }
    EXPECT_EQ(firsts, (std::vector<int>{1, 17, 33, 49}));
    EXPECT_EQ(o->lblNumPan(15)->text(), "64");
    EXPECT_TRUE(o->imgNavig(wBusModules::NavigPreviousPage)->isVisible());
    click(o->imgNavig(wBusModules::NavigPreviousPage));
    EXPECT_EQ(o->FirstModule(), 33);
    EXPECT_EQ(o->lblNumPan(0)->text(), "33");
}

TEST_F(BusModulesScreen, ATouchedTileOpensItsModuleAndTheOverviewGoes)
{
    struct Case {
        const char* what;
        std::function<QWidget*(wBusModules*)> control;
        int module;
    } cases[] = {
        {"tile", [](wBusModules* o) { return static_cast<QWidget*>(o->imgPanneau(3)); }, 20},
        {"title", [](wBusModules* o) { return static_cast<QWidget*>(o->lblLblPan(5)); }, 22},
        {"number", [](wBusModules* o) { return static_cast<QWidget*>(o->lblNumPan(15)); }, 32},
        {"cross", [](wBusModules* o) { return static_cast<QWidget*>(o->imgCroix(0)); }, 17},
    };
    VEXfonctions::SetIni(IniKeys::General, IniKeys::PanelPage, "17");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wBusModules* o = open();
        click(c.control(o));
        settle();
        EXPECT_EQ(overview(), nullptr);
        ASSERT_NE(editor(), nullptr);
        EXPECT_EQ(editor()->NumModule(), c.module);
        EXPECT_TRUE(editor()->isVisible());
        EXPECT_EQ(editor()->lblNumModule(1)->text(), QString::number(c.module));
        plat::Forms::Unload(editor());
        settle();
    }
}

TEST_F(BusModulesScreen, HomeShowsTheMainWindowAndEveryToolButton)
{
    wBusModules* o = open();
    EXPECT_TRUE(o->imgMiroirs->isVisible());
    EXPECT_TRUE(o->lblMiroirs->isVisible());
    EXPECT_TRUE(o->imgCopyPanel->isVisible());
    EXPECT_TRUE(o->imgImportExport(0)->isVisible());
    EXPECT_TRUE(o->imgImportExport(1)->isVisible());
    click(o->imgNavig(wBusModules::NavigLeave));
    settle();
    EXPECT_EQ(overview(), nullptr);
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

TEST_F(BusModulesScreen, TheMirrorsButtonOpensTheMirrorList)
{
    wBusModules* o = open();
    ASSERT_TRUE(o->imgMiroirs->isVisible());
    EXPECT_EQ(o->lblMiroirs->text(), Config::GetText(200110));
    // Its caption is as good as the button.
    click(o->lblMiroirs);
    settle();
    EXPECT_EQ(overview(), nullptr);
    EXPECT_EQ(visibleForms(), QStringList{FormNames::wBusMiroirs});
}

TEST_F(BusModulesScreen, AnInactiveModulesCrossIsSeenThroughItsTitleBoxAndItsNumberStaysReadable)
{
    // Modules 1 and 2 alike but for their active flag.
    for (int16_t m : {1, 2}) {
        gConfig->Panel(m)->setModel(1);
        gConfig->Panel(m)->setTitle("Hall");
        gConfig->Panel(m)->setTitleColor(0x00FFFF);
        gConfig->Panel(m)->setActive(m == 1);
    }
    wBusModules* o = open();
    ASSERT_FALSE(o->imgCroix(0)->isVisible());
    ASSERT_TRUE(o->imgCroix(1)->isVisible());
    const QImage shot = o->grab().toImage();

    // Where the falling stroke of the cross passes under the title box, above its text.
    auto onStroke = [&](int tile) {
        const QRect t = o->imgPanneau(tile)->geometry().adjusted(8, 8, -8, -8);
        const QRect box = o->lblLblPan(tile)->geometry();
        const int y = box.top() + 5;
        const int x = t.left() + (y - t.top()) * t.width() / t.height();
        EXPECT_TRUE(box.contains(x, y));
        return shot.pixelColor(x, y);
    };
    const QColor active = onStroke(0);
    const QColor crossed = onStroke(1);
    EXPECT_LT(active.red() - active.green(), 10) << "an active module's box is dark and even";
    EXPECT_GT(crossed.red() - crossed.green(), 30) << "the red cross shows through the box";

    // The number in the ink of the text, above the cross.
    auto darkest = [&](QLabel* l) {
        QColor ink = Qt::white;
        const QRect r = l->geometry();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (shot.pixelColor(x, y).lightness() < ink.lightness())
                    ink = shot.pixelColor(x, y);
        return ink;
    };
    for (int tile : {0, 1}) {
        SCOPED_TRACE(tile);
        const QColor ink = darkest(o->lblNumPan(tile));
        EXPECT_LT(ink.lightness(), 70);
        EXPECT_LT(std::abs(ink.red() - ink.green()), 20);
    }
    testing_support::renderToPng(o, "wBusModules-crossed");
}
