// The on-screen keyboard: its editing keys (line breaks counted as one), its
// pages of characters, the line-break key, Enter and Escape, and its layout.

#include "platform/Beep.h"
#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"
#include "program/core/FormNames.h"
#include "program/core/InputDialogs.h"
#include "program/core/KeyboardModel.h"
#include "program/core/dlgKeyboard.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QApplication>
#include <QClipboard>
#include <QPalette>
#include <QStyle>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {


// ---- The editing model --------------------------------------------------

struct EditCase {
    const char* name;
    const char* text;
    int caret;
    KeyboardModel::Key key;
    const char* textAfter;
    int caretAfter;
};

class KeyboardEditing : public testing::TestWithParam<EditCase> {};

TEST_P(KeyboardEditing, KeyChangesTextAndCaret)
{
    const EditCase& c = GetParam();
    KeyboardModel m(QString::fromLatin1(c.text), c.caret);
    m.press(c.key);
    EXPECT_EQ(m.text(), QString::fromLatin1(c.textAfter)) << c.name;
    EXPECT_EQ(m.caret(), c.caretAfter) << c.name;
}

using K = KeyboardModel;
INSTANTIATE_TEST_SUITE_P(
    Table, KeyboardEditing,
    testing::Values(
        EditCase{"home", "abc", 2, K::Home, "abc", 0},
        EditCase{"end", "abc", 1, K::End, "abc", 3},
        EditCase{"left at start", "abc", 0, K::Left, "abc", 0},
        EditCase{"left", "abc", 2, K::Left, "abc", 1},
        EditCase{"left over a break", "a\r\nb", 3, K::Left, "a\r\nb", 1},
        EditCase{"left into a break's end", "a\r\nb", 4, K::Left, "a\r\nb", 3},
        EditCase{"left over the first of two breaks", "\r\n\r\n", 4, K::Left, "\r\n\r\n", 2},
        EditCase{"right at end", "abc", 3, K::Right, "abc", 3},
        EditCase{"right", "abc", 1, K::Right, "abc", 2},
        EditCase{"right over a break", "a\r\nb", 1, K::Right, "a\r\nb", 3},
        EditCase{"right over a break at the start", "\r\nb", 0, K::Right, "\r\nb", 2},
        EditCase{"right over one of two breaks", "\r\n\r\n", 2, K::Right, "\r\n\r\n", 4},
        EditCase{"backspace at start", "abc", 0, K::Backspace, "abc", 0},
        EditCase{"backspace", "abc", 2, K::Backspace, "ac", 1},
        EditCase{"backspace a break", "a\r\nb", 3, K::Backspace, "ab", 1},
        EditCase{"backspace a break at the start", "\r\nb", 2, K::Backspace, "b", 0},
        EditCase{"backspace after a break", "a\r\nb", 4, K::Backspace, "a\r\n", 3},
        EditCase{"backspace takes a lone CR before the character", "a\rb", 3, K::Backspace, "a", 1},
        EditCase{"backspace a lone LF", "a\nb", 2, K::Backspace, "ab", 1},
        EditCase{"backspace a lone CR", "a\rb", 2, K::Backspace, "ab", 1},
        EditCase{"left over a lone LF takes the character before it", "ab\nc", 3, K::Left, "ab\nc", 1},
        EditCase{"left over a lone LF at the start", "\nab", 1, K::Left, "\nab", 0},
        EditCase{"left over a lone CR", "a\rb", 2, K::Left, "a\rb", 1},
        EditCase{"right over a lone CR takes the character after it", "a\rbc", 1, K::Right, "a\rbc", 3},
        EditCase{"right over a lone CR at the start", "\rbc", 0, K::Right, "\rbc", 1},
        EditCase{"right over a lone CR at the end", "a\r", 1, K::Right, "a\r", 2},
        EditCase{"right over a lone LF", "a\nb", 1, K::Right, "a\nb", 2},
        EditCase{"delete a lone CR", "a\rb", 1, K::Delete, "ab", 1},
        EditCase{"delete at end", "abc", 3, K::Delete, "abc", 3},
        EditCase{"delete", "abc", 1, K::Delete, "ac", 1},
        EditCase{"delete a break", "a\r\nb", 1, K::Delete, "ab", 1},
        EditCase{"delete a lone LF", "a\nb", 1, K::Delete, "ab", 1},
        EditCase{"clear", "a\r\nb", 2, K::Clear, "", 0},
        EditCase{"space", "ab", 1, K::Space, "a b", 2}),
    [](const testing::TestParamInfo<EditCase>& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(KeyboardModel, CaretNeverStopsBetweenCrAndLf)
{
    const QString text = QStringLiteral("\r\nx\r\n\r\ny\r\n");
    auto between = [&](int p) { return p > 0 && p < text.size() && text[p - 1] == '\r' && text[p] == '\n'; };
    KeyboardModel m(text, 0);
    QList<int> stops{0};
    while (m.caret() < text.size()) {
        m.press(K::Right);
        stops << m.caret();
        ASSERT_FALSE(between(m.caret())) << m.caret();
    }
    EXPECT_EQ(stops, (QList<int>{0, 2, 3, 5, 7, 8, 10}));
    while (m.caret() > 0) {
        m.press(K::Left);
        ASSERT_FALSE(between(m.caret())) << m.caret();
    }
    // Inserting after any move keeps every line break whole.
    KeyboardModel ins(text, 0);
    ins.press(K::Right);
    ins.insert(QStringLiteral("Z"));
    EXPECT_EQ(ins.text(), QStringLiteral("\r\nZx\r\n\r\ny\r\n"));
}

TEST(KeyboardModel, InsertionStopsAtTheMaximumLength)
{
    KeyboardModel m(QStringLiteral("abc"), 1, 5);
    EXPECT_TRUE(m.insert(QStringLiteral("X")));
    EXPECT_FALSE(m.insertLineBreak());  // one place left, a break needs two
    EXPECT_TRUE(m.insertCode(0xE9));
    EXPECT_FALSE(m.insertCode('Y'));
    m.press(K::Space);
    EXPECT_EQ(m.text(), QString::fromUtf8("aX\u00E9bc"));
    EXPECT_EQ(m.caret(), 3);

    KeyboardModel unlimited(QString(), 0);
    EXPECT_TRUE(unlimited.insertLineBreak());
    EXPECT_EQ(unlimited.text(), QStringLiteral("\r\n"));
    EXPECT_EQ(unlimited.caret(), 2);
}

TEST(KeyboardModel, PagesAreTheWindows1252Codes)
{
    for (int page = 0; page < K::kPageCount; ++page) {
        const int base = K::rangeBaseOfPage(page);
        EXPECT_EQ(base, 32 * (page + 1));
        for (int i = 0; i < K::kKeysPerPage; ++i)
            EXPECT_EQ(K::charOfCode(base + i), plat::Cp1252::decode(QByteArray(1, char(base + i)))[0]) << base + i;
    }
    EXPECT_EQ(K::charOfCode(0x80), QChar(0x20AC));
    EXPECT_EQ(K::keyCaption('&'), "&&");
    EXPECT_EQ(K::keyCaption('A'), "A");
}

// ---- The dialog ---------------------------------------------------------

class KeyboardDialog : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        InputDialogs::registerForms();
        plat::setErrorReporter([this](const QString& where, const plat::RtError& e) {
            errors << QStringLiteral("%1 %2").arg(where).arg(e.number());
        });
        kb = static_cast<dlgKeyboard*>(plat::Forms::Get(FormNames::dlgKeyboard));
    }
    void TearDown() override
    {
        ProgramGlobals::TearDown();
        EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
    }
    // The single-line set-up of the module editor.
    void singleLine()
    {
        kb->txtValue(1)->hide();
        kb->imgCRLF->hide();
    }

    dlgKeyboard* kb = nullptr;
    QStringList errors;
};

TEST_F(KeyboardDialog, LoadsAllKeysOnThePageFrom64)
{
    EXPECT_FALSE(kb->Ok());
    EXPECT_EQ(kb->RangeBase(), 64);
    ASSERT_EQ(kb->cmdKey.count(), 32);
    ASSERT_EQ(kb->cmdCtrl.count(), 8);
    ASSERT_EQ(kb->cmdRange.count(), 7);
    EXPECT_EQ(kb->cmdKey(0)->text(), "@");
    EXPECT_EQ(kb->cmdKey(31)->text(), "_");
    QStringList ctrl;
    for (const auto& [j, key] : kb->cmdCtrl) {
        EXPECT_FALSE(key->isHidden()) << j;
        ctrl << key->text();
    }
    EXPECT_EQ(ctrl, (QStringList{"HOME", "<--", "-->", "END", "<==X", "DEL", "CLR", ""}));
    EXPECT_EQ(kb->cmdKey(5)->objectName(), "cmdKey(5)");

    kb->cmdRange(0)->click();
    EXPECT_EQ(kb->RangeBase(), 32);
    EXPECT_EQ(kb->cmdKey(0)->text(), " ");
    EXPECT_EQ(kb->cmdKey(6)->text(), "&&");
    EXPECT_TRUE(kb->cmdRange(0)->isChecked());
    EXPECT_FALSE(kb->cmdRange(1)->isChecked());
}

TEST_F(KeyboardDialog, EveryPageInsertsItsCharactersInBothBoxes)
{
    QString expected;
    for (int code = 32; code <= 255; ++code)
        expected += plat::Cp1252::decodeChar(static_cast<unsigned char>(code));

    for (int box : {0, 1}) {
        kb->txtValue(1)->setVisible(box == 1);
        ASSERT_EQ(kb->activeTextBox(), kb->txtValue(box));
        kb->txtValue(box)->setText(QString());
        for (int page = 0; page < KeyboardModel::kPageCount; ++page) {
            kb->cmdRange(page)->click();
            for (int i = 0; i < KeyboardModel::kKeysPerPage; ++i)
                kb->cmdKey(i)->click();
        }
        const QString got = kb->txtValue(box)->Text();
        ASSERT_EQ(got.size(), expected.size()) << box;
        for (int k = 0; k < expected.size(); ++k)
            EXPECT_EQ(got[k].unicode(), expected[k].unicode()) << "box " << box << " code " << k + 32;
        EXPECT_EQ(kb->txtValue(box)->SelStart(), expected.size());
    }
}

TEST_F(KeyboardDialog, KeysEditAtTheCaretOfTheMultiLineBox)
{
    KeyboardTextBox* box = kb->txtValue(1);
    box->setText(QStringLiteral("ab"));
    box->setSelStart(1);
    kb->imgCRLF->click();
    EXPECT_EQ(box->Text(), QStringLiteral("a\r\nb"));
    EXPECT_EQ(box->SelStart(), 3);
    kb->cmdCtrl(4)->click();  // <==X takes the whole break
    EXPECT_EQ(box->Text(), QStringLiteral("ab"));
    EXPECT_EQ(box->SelStart(), 1);

    // --> at the very start passes a whole break, so typing keeps it whole.
    box->setText(QStringLiteral("\r\nb"));
    box->setSelStart(0);
    kb->cmdCtrl(2)->click();
    EXPECT_EQ(box->SelStart(), 2);
    kb->cmdKey(1)->click();  // "A" on the opening page
    EXPECT_EQ(box->Text(), QStringLiteral("\r\nAb"));

    kb->cmdCtrl(0)->click();
    kb->cmdCtrl(5)->click();  // DEL before a break removes both characters
    EXPECT_EQ(box->Text(), QStringLiteral("Ab"));
    kb->cmdCtrl(3)->click();
    kb->cmdCtrl(7)->click();
    EXPECT_EQ(box->Text(), QStringLiteral("Ab "));
    kb->cmdCtrl(6)->click();
    EXPECT_EQ(box->Text(), QString());
}

TEST_F(KeyboardDialog, SettingATextKeepsItsLoneCrAndLf)
{
    const QString text = QStringLiteral("a\rb\nc\r\nd\n\re");
    for (int box : {0, 1}) {
        kb->txtValue(box)->setText(text);
        EXPECT_EQ(kb->txtValue(box)->Text(), text) << box;
    }
    // The keys count a lone CR or LF as the one character it is.
    KeyboardTextBox* box = kb->txtValue(1);
    box->setSelStart(5);
    EXPECT_EQ(box->SelStart(), 5);
    kb->cmdCtrl(2)->click();  // --> over the line break
    EXPECT_EQ(box->SelStart(), 7);
    kb->cmdCtrl(2)->click();  // --> over "d"
    kb->cmdCtrl(2)->click();  // --> over the lone LF
    EXPECT_EQ(box->SelStart(), 9);
    kb->cmdKey(1)->click();   // "A"
    EXPECT_EQ(box->Text(), QStringLiteral("a\rb\nc\r\nd\nA\re"));
    EXPECT_EQ(box->SelStart(), 10);
}

TEST_F(KeyboardDialog, EachOpeningPutsTheCaretInTheBoxBeingEdited)
{
    kb->txtValue(1)->setText(QStringLiteral("ab"));
    kb->txtValue(1)->setSelStart(1);
    kb->Show();
    EXPECT_EQ(kb->focusWidget(), kb->txtValue(1)->editor());
    EXPECT_EQ(kb->txtValue(1)->SelStart(), 1);
    kb->Hide();

    singleLine();
    kb->txtValue(0)->setText(QStringLiteral("xyz"));
    kb->txtValue(0)->setSelStart(2);
    kb->Show();
    EXPECT_EQ(kb->focusWidget(), kb->txtValue(0)->editor());
    EXPECT_EQ(kb->txtValue(0)->SelStart(), 2);
    kb->Hide();
}

TEST_F(KeyboardDialog, SingleLineBoxKeepsItsMaximumLengthAndIgnoresTheSelection)
{
    singleLine();
    KeyboardTextBox* box = kb->txtValue(0);
    ASSERT_EQ(kb->activeTextBox(), box);
    box->setMaxLength(4);
    box->setText(QStringLiteral("abc"));
    box->setSelStart(1);
    kb->cmdKey(24)->click();  // "X"
    kb->cmdKey(25)->click();  // refused: the box is full
    EXPECT_EQ(box->Text(), QStringLiteral("aXbc"));
    EXPECT_EQ(box->SelStart(), 2);

    // A selection is neither replaced nor deleted: the keys work at its start.
    box->setMaxLength(0);
    static_cast<QLineEdit*>(box->editor())->setSelection(1, 2);
    kb->cmdCtrl(5)->click();
    EXPECT_EQ(box->Text(), QStringLiteral("abc"));
}

TEST_F(KeyboardDialog, BothBoxesRefuseWhatTheWorkingFileCannotHoldTypedOrPasted)
{
    int beeps = 0;
    plat::setBeeper([&] { ++beeps; });
    const QString greek = QString::fromUtf8("\u0398\u03B5\u03C1\u03BC\u03CC");
    for (int b : {0, 1}) {
        SCOPED_TRACE(b);
        kb->txtValue(1)->setVisible(b == 1);
        KeyboardTextBox* box = kb->txtValue(b);
        box->setText(QStringLiteral("Chaudi\u00E8re "));
        box->setSelStart(10);
        beeps = 0;
        QTest::sendKeyEvent(QTest::Click, box->editor(), Qt::Key_unknown, greek.left(1), Qt::NoModifier);
        QGuiApplication::clipboard()->setText(greek);
        QTest::keyClick(box->editor(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->Text(), QStringLiteral("Chaudi\u00E8re "));
        EXPECT_EQ(beeps, 2);
        // What the code page holds is typed and pasted as usual.
        QTest::sendKeyEvent(QTest::Click, box->editor(), Qt::Key_unknown, QStringLiteral("\u00C9"), Qt::NoModifier);
        QGuiApplication::clipboard()->setText(QStringLiteral("\u20AC 2"));
        QTest::keyClick(box->editor(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->Text(), QStringLiteral("Chaudi\u00E8re \u00C9\u20AC 2"));
        EXPECT_EQ(beeps, 2);
    }
    plat::setBeeper({});
}

TEST_F(KeyboardDialog, EnterConfirmsAndEscapeCancelsEvenInTheMultiLineBox)
{
    kb->txtValue(1)->setText(QStringLiteral("line"));
    QTimer::singleShot(0, kb, [this] { QTest::keyClick(kb->txtValue(1)->editor(), Qt::Key_Return); });
    kb->Show(true);
    EXPECT_TRUE(kb->Ok());
    EXPECT_FALSE(kb->isVisible());
    EXPECT_EQ(kb->txtValue(1)->Text(), QStringLiteral("line"));

    singleLine();
    QTimer::singleShot(0, kb, [this] { QTest::keyClick(kb->txtValue(0)->editor(), Qt::Key_Escape); });
    kb->Show(true);
    EXPECT_FALSE(kb->Ok());

    QTimer::singleShot(0, kb, [this] { kb->imgControl(1)->click(); });
    kb->Show(true);
    EXPECT_TRUE(kb->Ok());
    QTimer::singleShot(0, kb, [this] { kb->imgControl(0)->click(); });
    kb->Show(true);
    EXPECT_FALSE(kb->Ok());
    // Only hidden, never unloaded: the caller reads the box and unloads it.
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgKeyboard), kb);
}

TEST_F(KeyboardDialog, KeyboardPanelFollowsTheFormSize)
{
    kb->Show();
    for (QSize size : {QSize(800, 600), QSize(1024, 768)}) {
        kb->resize(size);
        const QRect pic = kb->picKeyboard->geometry();
        EXPECT_EQ(pic.width(), size.width() - 2 * pic.left());
        EXPECT_EQ(pic.height(), size.height() - pic.top() - pic.left());
        const double u = pic.width() / 10.1;
        const double s = pic.height() / 5.1;
        const double r = pic.height() / 7.1;
        // Key 11: column 5, row 1; editing key 3: column 5, row 4; page key 6 at the bottom left.
        EXPECT_NEAR(kb->cmdKey(11)->x(), 5.1 * u, 1);
        EXPECT_NEAR(kb->cmdKey(11)->y(), 1.1 * s, 1);
        EXPECT_NEAR(kb->cmdCtrl(3)->x(), 5.1 * u, 1);
        EXPECT_NEAR(kb->cmdCtrl(3)->y(), 4.1 * s, 1);
        EXPECT_NEAR(kb->cmdRange(6)->y(), 6.1 * r, 1);
        EXPECT_NEAR(kb->cmdRange(6)->width(), 1.8 * u, 1);
        for (const auto& [i, key] : kb->cmdKey)
            EXPECT_TRUE(pic.contains(key->geometry().translated(pic.topLeft()))) << i;
    }
    kb->resize(800, 600);
    // Large enough to touch at the design size.
    for (QWidget* w : kb->picKeyboard->findChildren<QPushButton*>()) {
        EXPECT_GE(w->width(), 48) << w->objectName().toStdString();
        EXPECT_GE(w->height(), 46) << w->objectName().toStdString();
    }
}

TEST_F(KeyboardDialog, RendersAsATouchPanel)
{
    kb->lblTitle->setText(QStringLiteral("Instruction 12"));
    // A lone LF (from an older file) shows as an arrow.
    kb->txtValue(1)->setText(QStringLiteral("Evacuate the hall.\r\nCall the fire brigade:\n118"));
    kb->Show();
    kb->txtValue(1)->setSelStart(18);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QImage(testing_support::renderToPng(kb, QStringLiteral("dlgKeyboard-multiline"))).isNull());

    singleLine();
    kb->lblTitle->setText(QStringLiteral("Module title"));
    kb->txtValue(0)->setText(QString::fromUtf8("Chaufferie \u00E9tage 2"));
    kb->cmdRange(6)->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(QImage(testing_support::renderToPng(kb, QStringLiteral("dlgKeyboard-single"))).isNull());
    kb->Hide();
}

} // namespace
