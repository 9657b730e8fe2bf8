// On a window system that stacks windows, with no window manager to keep a
// window on top (a kiosk panel): a window of the topmost band stays in sight
// when another window of the program comes to the front after it. Run on a
// virtual X display (tests/harness/on-virtual-display); skipped offscreen,
// where nothing is stacked.

#include "platform/Form.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace plat;

namespace {

class Filled : public Form {
public:
    Filled(const QString& name, const QColor& colour, const QRect& place) : Form(name)
    {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, colour);
        setPalette(p);
        setGeometry(place);
    }
};

// What the display shows at a point of the screen, once the window system has
// had its moment to paint.
QColor shownAt(const QPoint& at)
{
    QTest::qWait(300);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    return screen.pixelColor(at);
}

TEST(TopmostBand, StaysInSightWhenAnotherWindowComesToTheFront)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        GTEST_SKIP() << "needs a display that stacks windows";
    const QRect notice(300, 250, 200, 100);
    auto band = std::make_unique<Filled>("fBand", Qt::red, notice);
    auto screen = std::make_unique<Filled>("fScreen", Qt::blue, QRect(0, 0, 1024, 768));
    auto other = std::make_unique<Filled>("fOther", Qt::green, QRect(100, 100, 800, 500));

    band->Show();
    band->setTopmost(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(band.get()));
    EXPECT_EQ(shownAt(notice.center()), QColor(Qt::red));

    // A screen shown after it, another shown over that, the first brought back.
    screen->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
    EXPECT_EQ(shownAt(notice.center()), QColor(Qt::red)) << "under a screen shown later";
    other->Show();
    EXPECT_EQ(shownAt(notice.center()), QColor(Qt::red)) << "under a second screen";
    screen->ZOrder();
    EXPECT_EQ(shownAt(notice.center()), QColor(Qt::red)) << "under a screen brought to the front";
    EXPECT_EQ(shownAt(QPoint(150, 150)), QColor(Qt::blue)) << "the screen brought to the front is in front";

    // Out of the band, it goes under like any window.
    band->setTopmost(false);
    other->ZOrder();
    EXPECT_EQ(shownAt(notice.center()), QColor(Qt::green));
}

} // namespace
