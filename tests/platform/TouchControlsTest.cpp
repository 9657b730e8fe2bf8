// The forms layer's touch controls: change handlers that run at once and only
// on a real change (a caption, a list's selected index), a caption's click
// that runs its image's, a double click that is a second click, the colour
// choice and the beep.

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/ColorDialog.h"
#include "platform/Label.h"
#include "platform/ListBox.h"
#include "platform/PictureButton.h"
#include "platform/RtError.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace plat;

namespace {

// What a finger gives: press and release, and for a double touch a second
// press that arrives as a double click, and its release.
void touch(QWidget* w, bool twice = false)
{
    const QPoint at = w->rect().center();
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
    if (!twice)
        return;
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

} // namespace

TEST(LabelChange, RunsBeforeTheCaptionIsSetReturnsAndOnlyWhenTheTextDiffers)
{
    Label label;
    QStringList seen;
    QObject::connect(&label, &Label::Change, [&] { seen << label.Caption(); });

    label.setCaption("a");
    EXPECT_EQ(seen, QStringList{"a"}) << "ran at once, with the new caption";
    label.setCaption("a");
    EXPECT_EQ(seen.size(), 1) << "the same text is no change";
    // Captions set by the forms layer go the same way: by hand and from a tag.
    setCaption(&label, "b");
    setCaptionSource([](const QString& id) { return "text " + id; });
    setTag(&label, 300200);
    applyCaptions(&label);
    applyCaptions(&label);
    setCaptionSource({});
    EXPECT_EQ(seen, (QStringList{"a", "b", "text 300200"}));
}

TEST(LabelChange, AHandlerThatChangesAnotherCaptionRunsItsHandlerInside)
{
    // A change that cascades: the outer handler sees the inner one done.
    Label outer, inner;
    QStringList order;
    QObject::connect(&inner, &Label::Change, [&] { order << "inner " + inner.Caption(); });
    QObject::connect(&outer, &Label::Change, [&] {
        inner.setCaption(outer.Caption() + "!");
        order << "outer after " + inner.Caption();
    });
    outer.setCaption("x");
    EXPECT_EQ(order, (QStringList{"inner x!", "outer after x!"}));
}

TEST(ListBoxClick, RunsAtOnceWhenTheIndexChangesByProgramOrTouchButNotWhenFilling)
{
    ListBox list;
    list.resize(200, 200);
    int clicks = 0;
    int indexSeen = -2;
    QObject::connect(&list, &ListBox::Click, [&] {
        ++clicks;
        indexSeen = list.ListIndex();
    });
    for (const char* t : {"zero", "one", "two"})
        list.AddItem(t);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.Text(), "");

    list.setListIndex(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(indexSeen, 1);
    EXPECT_EQ(list.Text(), "one");
    EXPECT_TRUE(list.item(1)->isSelected());
    list.setListIndex(1);
    EXPECT_EQ(clicks, 1) << "the same index is no change";

    list.setListIndex(-1);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_EQ(list.Text(), "");

    try {
        list.setListIndex(3);
        ADD_FAILURE() << "an index beyond the list was taken";
    } catch (const RtError& e) {
        EXPECT_EQ(e.number(), rt::InvalidPropertyValue);
    }
    EXPECT_EQ(list.ListIndex(), -1);

    list.show();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(list.ListIndex(), 2);

    list.Clear();
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.ListCount(), 0);
}

TEST(CaptionClick, RunsItsImagesHandlerAndShowsTheImagePressedWhileHeld)
{
    QWidget screen;
    auto* image = new PictureButton(&screen);
    auto* caption = new QLabel("Cancel", &screen);
    image->setGeometry(0, 0, 64, 64);
    caption->setGeometry(0, 70, 100, 30);
    forwardClicks(caption, image);
    int clicks = 0;
    QObject::connect(image, &QAbstractButton::clicked, [&] { ++clicks; });
    screen.show();

    const QPoint at = caption->rect().center();
    QTest::mousePress(caption, Qt::LeftButton, {}, at);
    EXPECT_TRUE(image->isDown());
    EXPECT_EQ(clicks, 0);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, at);
    EXPECT_FALSE(image->isDown());
    EXPECT_EQ(clicks, 1);

    // A finger that slides off the caption before it lifts touches nothing.
    QTest::mousePress(caption, Qt::LeftButton, {}, at);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(image->isDown());

    // The image's handler runs also while the image itself is hidden.
    image->hide();
    touch(caption);
    EXPECT_EQ(clicks, 2);
}

TEST(DoubleClick, IsASecondClickOnEveryKindOfTouchControl)
{
    struct Case {
        const char* what;
        std::function<QWidget*(QWidget* parent, int& clicks)> make;
    };
    const Case cases[] = {
        {"picture button",
         [](QWidget* p, int& clicks) {
             auto* b = new PictureButton(p);
             QObject::connect(b, &QAbstractButton::clicked, [&clicks] { ++clicks; });
             return b;
         }},
        {"push button",
         [](QWidget* p, int& clicks) {
             auto* b = new QPushButton("OK", p);
             QObject::connect(b, &QAbstractButton::clicked, [&clicks] { ++clicks; });
             return b;
         }},
        {"label with a handler",
         [](QWidget* p, int& clicks) {
             auto* l = new QLabel("ABC", p);
             onClick(l, [&clicks] { ++clicks; });
             return l;
         }},
        {"caption of an image",
         [](QWidget* p, int& clicks) {
             auto* image = new PictureButton(p);
             image->setGeometry(200, 0, 64, 64);
             QObject::connect(image, &QAbstractButton::clicked, [&clicks] { ++clicks; });
             auto* l = new QLabel("Reset", p);
             forwardClicks(l, image);
             return l;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget screen;
        int clicks = 0;
        QWidget* control = c.make(&screen, clicks);
        control->setGeometry(0, 0, 100, 60);
        screen.show();
        touch(control);
        EXPECT_EQ(clicks, 1);
        touch(control, true);
        EXPECT_EQ(clicks, 3);
    }
}

TEST(ColorChoice, TakesTheChosenColourAndKeepsItsOwnWhenCancelled)
{
    ColorDialog dlg;
    dlg.setColor(0x00FFFF); // yellow
    QColor offered;
    ColorDialog::setChooser([&](const QColor& initial, QWidget*) -> std::optional<QColor> {
        offered = initial;
        return QColor(0x10, 0x20, 0x30);
    });
    dlg.ShowColor(nullptr);
    EXPECT_EQ(offered, QColor(255, 255, 0)) << "the colour is stored blue, green, red";
    EXPECT_EQ(dlg.Color(), 0x302010);
    ColorDialog::setChooser([](const QColor&, QWidget*) { return std::optional<QColor>(); });
    dlg.ShowColor(nullptr);
    EXPECT_EQ(dlg.Color(), 0x302010);
    ColorDialog::setChooser({});
}

TEST(Beep, GoesToTheInstalledBeeper)
{
    int beeps = 0;
    setBeeper([&] { ++beeps; });
    Beep();
    Beep();
    setBeeper({});
    EXPECT_EQ(beeps, 2);
}
