// The overlap check of the gallery on small windows: which controls it
// reports as lying partly over a painted band or a sibling, and which it
// leaves alone.

#include "tools/screens/OverlapCheck.h"

#include "platform/Captions.h"
#include "platform/ScreenParts.h"
#include "platform/Theme.h"

#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>

#include <functional>
#include <gtest/gtest.h>

namespace {

QLabel* control(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* l = new QLabel(QStringLiteral("x"), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    return l;
}

// A window of the design's size with a title band of 60 rows and a band
// from row 500 to its bottom, scaled by v when v is not 1.
void stateBands(QWidget* window, double v)
{
    plat::ScreenParts::state(window, {plat::Theme::window(),
                                      {{0, 60, plat::Theme::accent()},
                                       {500, plat::ScreenParts::Band::ToBottom, plat::Theme::text()}}});
    window->resize(800, qRound(600 * v));
    if (v != 1.0)
        plat::ScreenParts::setRatios(window, 1.0, v);
}

QStringList found(const QWidget* window)
{
    QStringList out;
    for (const OverlapCheck::Overlap& o : OverlapCheck::overlaps(window))
        out << o.control + " / " + o.other;
    return out;
}

struct Case {
    const char* what;
    double v;
    std::function<void(QWidget*)> build;
    QStringList reported;
};

TEST(OverlapCheck, ReportsEachControlPartlyOverABandOrASiblingAndNoOther)
{
    const Case cases[] = {
        {"within the title band", 1.0, [](QWidget* w) { control(w, "title", {20, 0, 300, 60}); }, {}},
        {"between the bands", 1.0, [](QWidget* w) { control(w, "tile", {20, 60, 300, 440}); }, {}},
        {"over the title band's lower edge", 1.0, [](QWidget* w) { control(w, "heading", {20, 46, 300, 28}); },
         {"heading / band 0"}},
        {"into the band reaching the bottom", 1.0, [](QWidget* w) { control(w, "tile", {20, 400, 300, 110}); },
         {"tile / band 1"}},
        {"the bands placed with the screen's ratio, as the controls",
         1.28,
         [](QWidget* w) {
             // Over the design's title band, within the scaled one.
             control(w, "heading", {20, 40, 300, 36});
             control(w, "tile", {20, 400, 300, 240});
         },
         {}},
        {"a control over the scaled band's edge", 1.28, [](QWidget* w) { control(w, "tile", {20, 400, 300, 250}); },
         {"tile / band 1"}},
        {"two siblings partly over each other",
         1.0,
         [](QWidget* w) {
             control(w, "left", {20, 100, 100, 40});
             control(w, "right", {110, 100, 100, 40});
         },
         {"left / right"}},
        {"a caption wholly on its button",
         1.0,
         [](QWidget* w) {
             control(w, "button", {20, 100, 200, 100});
             control(w, "caption", {30, 120, 180, 40});
         },
         {}},
        {"controls that meet without overlapping",
         1.0,
         [](QWidget* w) {
             control(w, "upper", {20, 100, 100, 40});
             control(w, "lower", {20, 140, 100, 40});
         },
         {}},
        {"one shared row on the design's screen",
         1.0,
         [](QWidget* w) {
             control(w, "upper", {20, 100, 100, 41});
             control(w, "lower", {20, 140, 100, 40});
         },
         {"upper / lower"}},
        {"one shared row, the rounding of a scaled screen",
         1.28,
         [](QWidget* w) {
             control(w, "upper", {20, 100, 100, 41});
             control(w, "lower", {20, 140, 100, 40});
         },
         {}},
        {"a shadow under its face, and over the band with it",
         1.0,
         [](QWidget* w) {
             QLabel* face = control(w, "face", {20, 0, 300, 60});
             plat::markShadow(control(w, "shadow", {22, 2, 300, 60}), face);
         },
         {}},
        {"a control laid over others on purpose",
         1.0,
         [](QWidget* w) {
             control(w, "button", {20, 100, 100, 40});
             plat::markOverlap(control(w, "list", {60, 80, 200, 200}));
         },
         {}},
        {"a hidden control", 1.0, [](QWidget* w) { control(w, "heading", {20, 46, 300, 28})->hide(); }, {}},
        {"the background picture", 1.0, [](QWidget* w) { control(w, "imgBackPicture", {0, 0, 800, 600}); }, {}},
        {"controls in a frame, among themselves",
         1.0,
         [](QWidget* w) {
             auto* frame = new QGroupBox(w);
             frame->setObjectName("frame");
             frame->setGeometry(20, 100, 400, 200);
             control(frame, "left", {10, 20, 100, 40});
             control(frame, "right", {100, 20, 100, 40});
         },
         {"left / right"}},
        {"the inner parts of a grid",
         1.0,
         [](QWidget* w) {
             auto* grid = new QTableWidget(30, 3, w);
             grid->setObjectName("grid");
             grid->setGeometry(20, 100, 400, 200);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget window;
        stateBands(&window, c.v);
        c.build(&window);
        EXPECT_EQ(found(&window), c.reported);
    }
}

TEST(OverlapCheck, TellsWhereTheControlAndWhatItLiesOverAre)
{
    QWidget window;
    stateBands(&window, 1.0);
    control(&window, "heading", {20, 46, 300, 28});
    const std::vector<OverlapCheck::Overlap> o = OverlapCheck::overlaps(&window);
    ASSERT_EQ(o.size(), 1u);
    EXPECT_EQ(OverlapCheck::describe(o[0]), "heading (20, 46, 300 x 28) lies partly over band 0 (0, 0, 800 x 60)");
}

} // namespace
