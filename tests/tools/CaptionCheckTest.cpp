// The caption check of the gallery on small windows: what it reports as cut,
// in each kind of control, and what it leaves alone.

#include "tools/screens/CaptionCheck.h"

#include "platform/Captions.h"
#include "platform/PictureButton.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <functional>
#include <gtest/gtest.h>

namespace {

QStringList names(const std::vector<CaptionCheck::Misfit>& misfits)
{
    QStringList out;
    for (const CaptionCheck::Misfit& m : misfits)
        out << m.control;
    return out;
}

// The width that text takes in the application's font.
int widthOf(const QString& text, const QFont& font = plat::Theme::font())
{
    return QFontMetrics(font).horizontalAdvance(text);
}

template <class W>
W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* l = named(new QLabel(text, parent), "caption");
    l->setFont(plat::Theme::font());
    l->setGeometry(geometry);
    return l;
}

struct Case {
    const char* what;
    std::function<void(QWidget*)> build;
    QStringList reported;
};

TEST(CaptionCheck, ReportsEachCaptionCutInItsControlAndNoOther)
{
    const QString word = QStringLiteral("Abbrechen");
    const int w = widthOf(word);
    const int h = QFontMetrics(plat::Theme::font()).height();
    const Case cases[] = {
        {"a label with room", [&](QWidget* win) { label(win, word, {10, 10, w + 4, h + 4}); }, {}},
        {"a label too narrow", [&](QWidget* win) { label(win, word, {10, 10, w - 6, h + 4}); }, {"caption"}},
        {"a centred label cut on both sides",
         [&](QWidget* win) { label(win, word, {10, 10, w - 6, h + 4})->setAlignment(Qt::AlignCenter); },
         {"caption"}},
        {"a wrapped label too low for its lines",
         [&](QWidget* win) {
             QLabel* l = label(win, word + " " + word, {10, 10, w + 4, h + 4});
             l->setWordWrap(true);
         },
         {"caption"}},
        {"a wrapped label with room for its lines",
         [&](QWidget* win) { label(win, word + " " + word, {10, 10, w + 4, 2 * h + 4})->setWordWrap(true); }, {}},
        {"a label running out of its frame",
         [&](QWidget* win) {
             auto* frame = new QWidget(win);
             frame->setGeometry(0, 0, w, 40);
             label(frame, word, {10, 5, w + 4, h + 4});
         },
         {"caption"}},
        {"blanks after the text take no room", [&](QWidget* win) { label(win, word + "      ", {10, 10, w + 2, h + 4}); }, {}},
        {"a line break gives a second line",
         [&](QWidget* win) { label(win, word + "\n" + word, {10, 10, w + 4, h + 4}); },
         {"caption"}},
        {"a value is no caption",
         [&](QWidget* win) { plat::markValue(label(win, word, {10, 10, w - 6, h + 4})); }, {}},
        {"a hidden label is not seen", [&](QWidget* win) { label(win, word, {10, 10, w - 6, h + 4})->hide(); }, {}},
        {"a picture button's caption below its picture",
         [&](QWidget* win) {
             auto* b = named(plat::ScreenLook::button(win, QStringLiteral("cancel"), {10, 10, w - 2, 120}), "button");
             b->setFont(plat::Theme::font());
             b->setText(word);
         },
         {"button"}},
        {"a picture button with room",
         [&](QWidget* win) {
             auto* b = named(plat::ScreenLook::button(win, QStringLiteral("cancel"), {10, 10, w + 8, 120}), "button");
             b->setFont(plat::Theme::font());
             b->setText(word);
         },
         {}},
        {"a command button's padding is no room",
         [&](QWidget* win) {
             auto* b = named(new QPushButton(word, win), "button");
             b->setStyleSheet(plat::ScreenLook::commandStyle());
             b->setGeometry(10, 10, w + 12, 48);
         },
         {"button"}},
        {"an accelerator's mark takes no room",
         [&](QWidget* win) {
             auto* b = named(new QPushButton("&" + word, win), "button");
             b->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
             b->setGeometry(10, 10, w + 2, 48);
         },
         {}},
        {"a tick's caption beside its box",
         [&](QWidget* win) { named(new QCheckBox(word, win), "tick")->setGeometry(10, 10, w + 4, 30); },
         {"tick"}},
        {"a frame title longer than its frame",
         [&](QWidget* win) {
             auto* g = named(plat::ScreenLook::group(win, {10, 10, w, 80}), "frame");
             g->setTitle(word);
         },
         {"frame"}},
        {"a frame title with room",
         [&](QWidget* win) {
             auto* g = named(plat::ScreenLook::group(win, {10, 10, w + 60, 80}), "frame");
             g->setTitle(word);
         },
         {}},
        {"a column title wider than its column",
         [&](QWidget* win) {
             auto* grid = named(new QTableWidget(2, 2, win), "grid");
             grid->setGeometry(10, 10, 2 * w + 80, 100);
             grid->setHorizontalHeaderLabels({QStringLiteral("No"), word});
             grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
             grid->setColumnWidth(0, w + 20);
             grid->setColumnWidth(1, w / 2);
         },
         {"grid[1]"}},
        {"titles kept in a grid's first row, one wider than its column",
         [&](QWidget* win) {
             auto* grid = named(new QTableWidget(3, 2, win), "grid");
             grid->horizontalHeader()->hide();
             grid->setGeometry(10, 10, 2 * w + 80, 120);
             grid->setFont(plat::Theme::font());
             grid->setColumnWidth(0, w + 20);
             grid->setColumnWidth(1, w / 2);
             grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("No")));
             grid->setItem(0, 1, new QTableWidgetItem(word));
             // The rows below hold values, however long.
             grid->setItem(1, 0, new QTableWidgetItem(word + word));
             plat::markTitleRow(grid);
         },
         {"grid(0, 1)"}},
        {"a grid's first row is no title row unless marked",
         [&](QWidget* win) {
             auto* grid = named(new QTableWidget(2, 1, win), "grid");
             grid->horizontalHeader()->hide();
             grid->setGeometry(10, 10, w, 100);
             grid->setColumnWidth(0, w / 2);
             grid->setItem(0, 0, new QTableWidgetItem(word));
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget window;
        window.resize(400, 300);
        c.build(&window);
        window.ensurePolished();
        for (QWidget* child : window.findChildren<QWidget*>())
            child->ensurePolished();
        const std::vector<CaptionCheck::Misfit> found = CaptionCheck::misfits(&window);
        EXPECT_EQ(names(found), c.reported);
        for (const CaptionCheck::Misfit& m : found)
            EXPECT_TRUE(CaptionCheck::describe(m).startsWith(m.control + " \"" + QString(m.text).replace('\n', '|')))
                << CaptionCheck::describe(m).toStdString();
    }
}

TEST(CaptionCheck, TellsTheSizeTheCaptionNeedsAndTheRoomItHas)
{
    QWidget window;
    window.resize(400, 300);
    const QString word = QStringLiteral("Abbrechen");
    const int h = QFontMetrics(plat::Theme::font()).height();
    label(&window, word, {10, 10, 40, h + 6});
    const std::vector<CaptionCheck::Misfit> found = CaptionCheck::misfits(&window);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, word);
    EXPECT_GE(found[0].needs.width(), widthOf(word));
    EXPECT_EQ(found[0].room, QSize(40, h + 6));
}

} // namespace
