// Screens on panels other than 800 x 600: what a scaled screen paints itself
// (its bands) keeps its place among its scaled controls; with scaling off, or
// on the design's screen, a screen is drawn as its 800 x 600 golden picture.

#include "platform/Theme.h"
#include "program/core/Global.h"
#include "program/screens/bus/wTechnician.h"
#include "tests/screens/ScreensFixture.h"

#include <QImage>
#include <QRegularExpression>

namespace {

QString goldenPath(const QString& name)
{
    return testing_support::sourceFolder() + "/tests/screens/golden/" + name + ".png";
}

// The rows [first, last] that a colour fills down (or up) from an edge in
// column x of the picture: a band painted across the screen.
struct Rows {
    int first = 0;
    int last = -1;
};

Rows runFromTop(const QImage& shot, int x, const QColor& colour)
{
    Rows r;
    while (r.last + 1 < shot.height() && shot.pixelColor(x, r.last + 1) == colour)
        ++r.last;
    return r;
}

Rows runFromBottom(const QImage& shot, int x, const QColor& colour)
{
    Rows r{shot.height(), shot.height() - 1};
    while (r.first - 1 >= 0 && shot.pixelColor(x, r.first - 1) == colour)
        --r.first;
    return r;
}

int pixelsOf(const QImage& shot, const QRect& rect, const QColor& colour)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += shot.pixelColor(x, y) == colour;
    return n;
}

class ScaledScreens : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        m_noResize = gNoResize;
        m_screen = Global::ScalingScreen();
    }
    void TearDown() override
    {
        gNoResize = m_noResize;
        Global::SetScalingScreen(m_screen);
        ScreensFixture::TearDown();
    }

    static void onPanel(QSize screen, bool scaling)
    {
        Global::SetScalingScreen(screen);
        gNoResize = !scaling;
    }

    // The form shown as its menu shows it; the version and its date, which
    // change with each build, in a fixed text.
    static plat::Form* shown(const QString& name)
    {
        plat::Form* form = plat::Forms::Get(name);
        form->Show();
        settle();
        for (QLabel* label : form->findChildren<QLabel*>())
            if (QRegularExpression(QStringLiteral("^V\\.\\d+\\.\\d+\\.\\d+ - ")).match(label->text()).hasMatch())
                label->setText("V.2.2.27 - 01/01/2026");
        return form;
    }

    static QImage shot(QWidget* form) { return form->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private:
    bool m_noResize = true;
    QSize m_screen;
};

TEST_F(ScaledScreens, WithScalingOffOrOnTheDesignScreenAScreenIsDrawnAsItsGoldenPicture)
{
    struct Case {
        const char* form;
        QSize screen;
        bool scaling;
    };
    const Case cases[] = {
        {"wMain", {800, 600}, true},       {"wMain", {800, 600}, false},       {"wMain", {1024, 768}, false},
        {"wTechnician", {800, 600}, true}, {"wTechnician", {800, 600}, false}, {"wTechnician", {1024, 768}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 on %2 x %3, scaling %4")
                         .arg(c.form)
                         .arg(c.screen.width())
                         .arg(c.screen.height())
                         .arg(c.scaling ? "on" : "off")
                         .toStdString());
        onPanel(c.screen, c.scaling);
        VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, "/panel/Site north.px2");
        gConfig->setModified(true);
        plat::Form* form = shown(c.form);
        const QImage drawn = shot(form);
        const QString golden = goldenPath(QString(c.form) + "-800x600");
        if (qEnvironmentVariableIsSet("PLX_UPDATE_GOLDEN"))
            drawn.save(golden);
        const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull()) << "missing " << golden.toStdString();
        EXPECT_TRUE(drawn == expected)
            << "see " << testing_support::renderToPng(form, QString(c.form) + "-drawn").toStdString();
        plat::Forms::Unload(form);
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ScaledScreens, TheMainWindowScaledKeepsItsTilesHeadingAndFileNameOffItsBands)
{
    onPanel({1024, 768}, true);
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, "/panel/Site north.px2");
    gConfig->setModified(true);
    auto* main = qobject_cast<wMain*>(shown("wMain"));
    const QImage drawn = shot(main);
    ASSERT_EQ(drawn.size(), QSize(1024, 768));

    // The bands as drawn, at the window's left edge where no control lies.
    const Rows top = runFromTop(drawn, 2, plat::Theme::accent());
    const Rows bottom = runFromBottom(drawn, 2, plat::Theme::text());
    ASSERT_GT(top.last, 0);
    ASSERT_LT(bottom.first, drawn.height() - 1);

    for (int i = 3; i < wMain::MenuCount; ++i)
        EXPECT_LT(main->imgMenu(i)->geometry().bottom(), bottom.first) << "tile " << i;
    EXPECT_LE(main->lblLabels(7)->geometry().bottom(), top.last) << "heading";
    // The file name and the marker stand on the window's colour, in their ink.
    for (QLabel* label : {main->lblFileName, main->lblModified}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_GT(label->geometry().top(), top.last);
        EXPECT_LT(label->geometry().bottom(), bottom.first);
        QPalette::ColorRole role = label->foregroundRole();
        EXPECT_GT(pixelsOf(drawn, label->geometry(), label->palette().color(role)), 0);
        EXPECT_GT(pixelsOf(drawn, label->geometry(), plat::Theme::window()), 0);
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ScaledScreens, AScaledScreenKeepsItsTitleInItsBand)
{
    onPanel({1024, 768}, true);
    auto* technician = qobject_cast<wTechnician*>(shown("wTechnician"));
    const QImage drawn = shot(technician);
    ASSERT_EQ(drawn.size(), QSize(1024, 768));
    // At the right edge, beyond the title.
    const Rows band = runFromTop(drawn, drawn.width() - 2, plat::Theme::accent());
    EXPECT_LE(technician->lblLabels(0)->geometry().bottom(), band.last);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
