// The text boxes that take only what Windows-1252 holds: a character the
// code page lacks is refused with a beep however it comes (typed, an input
// method, the paste keys, the menu's paste, a drop), one it holds is taken,
// and text set by the program is never filtered.

#include "platform/Beep.h"
#include "platform/Cp1252LineEdit.h"
#include "platform/Cp1252TextEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace plat;

enum class Box { Line, MultiLine };
enum class Way { Typed, InputMethod, PasteKeys, PasteMenu, Dropped };

// One of the two boxes, behind the few members the tests use.
class AnyBox {
public:
    explicit AnyBox(Box kind)
    {
        if (kind == Box::Line)
            m_line = std::make_unique<Cp1252LineEdit>();
        else
            m_edit = std::make_unique<Cp1252TextEdit>();
        widget()->resize(300, 120);
    }
    QWidget* widget() const { return m_line ? static_cast<QWidget*>(m_line.get()) : m_edit.get(); }
    // Where the mouse acts: the multi-line box's viewport.
    QWidget* surface() const { return m_line ? static_cast<QWidget*>(m_line.get()) : m_edit->viewport(); }
    QString text() const { return m_line ? m_line->text() : m_edit->toPlainText(); }
    void setText(const QString& t)
    {
        if (m_line) {
            m_line->setText(t);
        } else {
            m_edit->setPlainText(t);
            m_edit->moveCursor(QTextCursor::End);
        }
    }

private:
    std::unique_ptr<Cp1252LineEdit> m_line;
    std::unique_ptr<Cp1252TextEdit> m_edit;
};

// The box's own context menu, and its paste chosen there as a person does.
void pasteFromMenu(QWidget* w)
{
    QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &open);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
        if (a->text().contains("Paste")) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            break;
        }
    if (QApplication::activePopupWidget() == menu)
        menu->close();
}

void enter(const AnyBox& box, Way way, const QString& text)
{
    QWidget* w = box.widget();
    switch (way) {
    case Way::Typed:
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text, Qt::NoModifier);
        break;
    case Way::InputMethod: {
        QInputMethodEvent composed;
        composed.setCommitString(text);
        QApplication::sendEvent(w, &composed);
        break;
    }
    case Way::PasteKeys:
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        break;
    case Way::PasteMenu:
        QGuiApplication::clipboard()->setText(text);
        pasteFromMenu(box.surface());
        break;
    case Way::Dropped: {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enterEvent(QPoint(200, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.surface(), &enterEvent);
        QDropEvent drop(QPointF(200, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.surface(), &drop);
        break;
    }
    }
}

class Cp1252Boxes : public testing::Test {
protected:
    void SetUp() override { setBeeper([this] { ++beeps; }); }
    void TearDown() override { setBeeper({}); }
    int beeps = 0;
};

TEST_F(Cp1252Boxes, ACharacterTheCodePageLacksIsRefusedWithABeepHoweverItComes)
{
    struct Entry {
        QString text;
        bool taken;
    };
    const Entry entries[] = {
        {QString::fromUtf8("é€ß"), true},
        {QString::fromUtf8("Ωmega"), false},          // Greek
        {QString::fromUtf8("Ж"), false},              // Cyrillic
        {QString::fromUtf8("ok \U0001F600"), false},  // an emoji: two halves, neither held
    };
    const std::pair<Way, const char*> ways[] = {{Way::Typed, "typed"},
                                                {Way::InputMethod, "input method"},
                                                {Way::PasteKeys, "paste keys"},
                                                {Way::PasteMenu, "menu paste"},
                                                {Way::Dropped, "dropped"}};
    for (Box kind : {Box::Line, Box::MultiLine}) {
        for (const auto& [way, wayName] : ways) {
            for (const Entry& e : entries) {
                SCOPED_TRACE(QString("%1, %2, %3")
                                 .arg(kind == Box::Line ? "one line" : "multi-line", wayName, e.text)
                                 .toStdString());
                AnyBox box(kind);
                box.widget()->show();
                box.setText("Pump ");
                beeps = 0;
                enter(box, way, e.text);
                EXPECT_EQ(box.text(), e.taken ? "Pump " + e.text : QString("Pump "));
                EXPECT_EQ(beeps, e.taken ? 0 : 1);
            }
        }
    }
}

TEST_F(Cp1252Boxes, TextSetByTheProgramIsTakenAsItIsAndTypingGoesOn)
{
    // The multi-line box of the keyboard stands a lone CR or LF for an arrow.
    const QString set = QString::fromUtf8("a\u2190b\u2193");
    for (Box kind : {Box::Line, Box::MultiLine}) {
        SCOPED_TRACE(kind == Box::Line ? "one line" : "multi-line");
        beeps = 0;
        AnyBox box(kind);
        box.setText(set);
        EXPECT_EQ(box.text(), set);
        enter(box, Way::Typed, "c");
        enter(box, Way::Typed, QString::fromUtf8("Ω"));
        EXPECT_EQ(box.text(), set + "c");
        EXPECT_EQ(beeps, 1);
    }
}

} // namespace
