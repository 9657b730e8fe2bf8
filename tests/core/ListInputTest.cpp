// The value picker: the value list grammar, the selection, the arrows and
// their auto-repeat, and the module editor's live list.

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"
#include "program/core/FormNames.h"
#include "program/core/InputDialogs.h"
#include "program/core/ListInputModel.h"
#include "program/core/ListInputParent.h"
#include "program/core/dlgListInput.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {


QString fakeText(int id)
{
    return id == 10001 ? QStringLiteral("No") : id == 10002 ? QStringLiteral("Yes") : QStringLiteral("#%1#").arg(id);
}

// ---- The model ----------------------------------------------------------

struct GrammarCase {
    const char* list;
    const char* current;
    QStringList entries;
    int selected;
};

class ListInputGrammar : public testing::TestWithParam<GrammarCase> {};

TEST_P(ListInputGrammar, FillsEntriesAndSelectsTheLastMatch)
{
    const GrammarCase& c = GetParam();
    ListInputModel m(fakeText);
    m.setValuesList(QString::fromUtf8(c.list), QString::fromUtf8(c.current));
    EXPECT_EQ(m.entries(), c.entries) << c.list;
    EXPECT_EQ(m.selected(), c.selected) << c.list;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ListInputGrammar,
    testing::Values(
        GrammarCase{"*|1|5", "3", {"1", "2", "3", "4", "5"}, 2},
        GrammarCase{"*|5|1", "3", {}, -1},
        GrammarCase{"*|7|8", "9", {"7", "8"}, -1},
        GrammarCase{"*|-2|1", "-1", {"-2", "-1", "0", "1"}, 1},
        // Bounds are rounded half to even: 1.5 -> 2, 4.5 -> 4.
        GrammarCase{"*|1.5|4.5", "4", {"2", "3", "4"}, 2},
        // A bound missing after the separator reads as 0.
        GrammarCase{"*|1|", "", {}, -1},
        GrammarCase{"*|0|", "0", {"0"}, 0},
        GrammarCase{"@|1200|2400|4800|9600|19200", "9600", {"1200", "2400", "4800", "9600", "19200"}, 3},
        GrammarCase{"@|a|b|a", "a", {"a", "b", "a"}, 2},
        GrammarCase{"@|a|b", "A", {"a", "b"}, -1},
        GrammarCase{"@|a||b", "", {"a", "", "b"}, 1},
        GrammarCase{"@", "", {}, -1},
        GrammarCase{"$", "Yes", {"No", "Yes"}, 1},
        GrammarCase{"$|x", "No", {"No", "Yes"}, 0},
        GrammarCase{"#|1|2", "1", {}, -1},
        GrammarCase{" *|1|2", "1", {}, -1}));

TEST(ListInputModel, EmptyListOrMissingBoundIsAnErrorAndLeavesNoEntries)
{
    for (const char* list : {"", "*", "*|1"}) {
        ListInputModel m(fakeText);
        m.setValuesList(QStringLiteral("*|1|3"), QStringLiteral("2"));
        try {
            m.setValuesList(QString::fromUtf8(list), QStringLiteral("2"));
            ADD_FAILURE() << "no error for '" << list << "'";
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), plat::rt::SubscriptOutOfRange);
        }
        EXPECT_TRUE(m.entries().isEmpty()) << list;
        EXPECT_EQ(m.selected(), -1) << list;
    }
}

TEST(ListInputModel, ArrowsStopAtTheEndsAndDownStartsFromNoSelection)
{
    ListInputModel m(fakeText);
    m.setValuesList(QStringLiteral("@|a|b|c"), QStringLiteral("none"));
    EXPECT_FALSE(m.up());
    EXPECT_EQ(m.selected(), -1);
    EXPECT_TRUE(m.down());
    EXPECT_EQ(m.selectedText(), "a");
    EXPECT_FALSE(m.up());
    EXPECT_TRUE(m.down());
    EXPECT_TRUE(m.down());
    EXPECT_FALSE(m.down());
    EXPECT_EQ(m.selectedText(), "c");
    EXPECT_TRUE(m.up());
    EXPECT_EQ(m.selectedText(), "b");

    ListInputModel empty(fakeText);
    empty.setValuesList(QStringLiteral("*|5|1"), QString());
    EXPECT_FALSE(empty.down());
    EXPECT_FALSE(empty.up());
}

TEST(ListInputModel, EditorListFollowsOnlyNumbersWithinTheList)
{
    using L = ListInputModel::EditorList;
    EXPECT_EQ(ListInputModel::editorListOf("9"), L::Consigne);
    EXPECT_EQ(ListInputModel::editorListOf("8"), L::Biblio);
    EXPECT_EQ(ListInputModel::editorListOf("7"), L::None);
    EXPECT_EQ(ListInputModel::editorListOf(""), L::None);

    EXPECT_EQ(ListInputModel::editorListIndex("3", 48), 2);
    EXPECT_EQ(ListInputModel::editorListIndex("48", 48), 47);
    EXPECT_EQ(ListInputModel::editorListIndex("0", 48), -1);
    EXPECT_EQ(ListInputModel::editorListIndex("49", 48), std::nullopt);
    EXPECT_EQ(ListInputModel::editorListIndex("-3", 48), std::nullopt);

    EXPECT_EQ(ListInputModel::editorRestoreIndex("7", "5", 48), 4);
    EXPECT_EQ(ListInputModel::editorRestoreIndex("7", "0", 48), -1);
    EXPECT_EQ(ListInputModel::editorRestoreIndex("60", "5", 48), std::nullopt);
}

// ---- The dialog ---------------------------------------------------------

// A stand-in for the module editor with the controls the picker reaches.
class FakeEditor : public plat::Form, public ListInputParent {
public:
    FakeEditor() : plat::Form(QStringLiteral("wBusPanneau"))
    {
        m_noParam = new QLineEdit(this);
        m_biblio = new QListWidget(this);
        m_consigne = new QListWidget(this);
        for (int k = 1; k <= 64; ++k)
            m_biblio->addItem(QStringLiteral("%1 - library").arg(k));
        for (int k = 1; k <= 48; ++k)
            m_consigne->addItem(QStringLiteral("%1 - instruction").arg(k));
        for (int i = 0; i < 14; ++i)
            m_vals[i] = new QLabel(this);
    }
    QLineEdit* txtNoParam() const override { return m_noParam; }
    QListWidget* lstBiblio() const override { return m_biblio; }
    QListWidget* lstConsigne() const override { return m_consigne; }
    QLabel* lblParamVal(int index) const override { return m_vals[index]; }

private:
    QLineEdit* m_noParam;
    QListWidget* m_biblio;
    QListWidget* m_consigne;
    QLabel* m_vals[14];
};

class ListInputDialog : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        InputDialogs::registerForms();
        plat::setErrorReporter([this](const QString& where, const plat::RtError& e) {
            errors << QStringLiteral("%1 %2").arg(where).arg(e.number());
        });
        dlg = static_cast<dlgListInput*>(plat::Forms::Get(FormNames::dlgListInput));
    }
    // Plays virtual time on the repeat timer: it fires each time a whole
    // interval has passed since it was last (re)started, as the real one does.
    int play(int ms)
    {
        int fired = 0;
        int& since = m_since;
        int& seen = m_seen;
        for (int t = 0; t < ms; ++t) {
            if (dlg->tmrRepeat->Interval() != seen) {
                seen = dlg->tmrRepeat->Interval();
                since = 0;
            }
            if (!dlg->tmrRepeat->Enabled() || seen == 0)
                continue;
            if (++since == seen) {
                emit dlg->tmrRepeat->Timer();
                ++fired;
                since = 0;
                seen = dlg->tmrRepeat->Interval();
            }
        }
        return fired;
    }

    // A second touch close behind the first, as the window system delivers it.
    static void doubleTouch(QWidget* w)
    {
        QTest::mouseClick(w, Qt::LeftButton);
        QTest::mousePress(w, Qt::LeftButton);
        const QPointF at = QRectF(w->rect()).center();
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(w, &dbl);
        QTest::mouseRelease(w, Qt::LeftButton);
    }

    dlgListInput* dlg = nullptr;
    QStringList errors;
    int m_since = 0;
    int m_seen = 0;
};

TEST_F(ListInputDialog, FillsTheListAndTouchingAnEntryWritesTheValue)
{
    dlg->txtValue->setText(QStringLiteral("3"));
    dlg->setValuesList(QStringLiteral("*|1|5"));
    ASSERT_EQ(dlg->lstValue->count(), 5);
    EXPECT_EQ(dlg->lstValue->currentRow(), 2);
    EXPECT_EQ(dlg->txtValue->text(), "3");

    dlg->Show();
    QListWidgetItem* item = dlg->lstValue->item(4);
    QTest::mouseClick(dlg->lstValue->viewport(), Qt::LeftButton, {},
                      dlg->lstValue->visualItemRect(item).center());
    EXPECT_EQ(dlg->txtValue->text(), "5");

    // A new list starts again from the current value.
    dlg->setValuesList(QStringLiteral("@|4|5|6|5"));
    EXPECT_EQ(dlg->lstValue->count(), 4);
    EXPECT_EQ(dlg->lstValue->currentRow(), 3);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(ListInputDialog, EmptyValueListIsReportedAndLeavesTheListEmpty)
{
    dlg->setValuesList(QStringLiteral("*|1|5"));
    dlg->setValuesList(QString());
    EXPECT_EQ(dlg->lstValue->count(), 0);
    EXPECT_EQ(errors, QStringList{"dlgListInput.ValuesList 9"});
}

TEST_F(ListInputDialog, ArrowTouchMovesOneEntryOnRelease)
{
    dlg->txtValue->setText(QStringLiteral("x"));
    dlg->setValuesList(QStringLiteral("@|a|b|c"));
    dlg->Show();
    QTest::mouseClick(dlg->imgControl(0), Qt::LeftButton);
    EXPECT_EQ(dlg->lstValue->currentRow(), -1);  // nothing above "none"
    QTest::mousePress(dlg->imgControl(1), Qt::LeftButton);
    EXPECT_EQ(dlg->lstValue->currentRow(), -1);
    QTest::mouseRelease(dlg->imgControl(1), Qt::LeftButton);
    EXPECT_EQ(dlg->txtValue->text(), "a");
    // A double touch acts as two touches.
    doubleTouch(dlg->imgControl(1));
    EXPECT_EQ(dlg->txtValue->text(), "c");
    QTest::mouseClick(dlg->imgControl(1), Qt::LeftButton);
    EXPECT_EQ(dlg->txtValue->text(), "c");
    QTest::mouseClick(dlg->imgControl(0), Qt::LeftButton);
    EXPECT_EQ(dlg->txtValue->text(), "b");
}

TEST_F(ListInputDialog, RepeatTimerIsSilentUntilAnArrowIsHeld)
{
    EXPECT_TRUE(dlg->tmrRepeat->Enabled());
    EXPECT_EQ(dlg->tmrRepeat->Interval(), 0);
    dlg->txtValue->setText(QStringLiteral("1"));
    dlg->setValuesList(QStringLiteral("*|1|50"));
    dlg->Show();
    // The real timer with interval 0 never fires, however long the loop runs.
    QTest::qWait(30);
    EXPECT_EQ(dlg->txtValue->text(), "1");
}

TEST_F(ListInputDialog, HoldingAnArrowForOneSecondAndAHalfMovesFiveEntries)
{
    dlg->txtValue->setText(QStringLiteral("10"));
    dlg->setValuesList(QStringLiteral("*|1|99"));
    dlg->Show();

    QTest::mousePress(dlg->imgControl(1), Qt::LeftButton);
    EXPECT_EQ(dlg->tmrRepeat->Interval(), dlgListInput::kRepeatFirstMs);
    EXPECT_EQ(play(999), 0);
    EXPECT_EQ(dlg->txtValue->text(), "10");
    EXPECT_EQ(play(351), 4);  // at 1000, 1100, 1200 and 1300 ms
    EXPECT_EQ(dlg->tmrRepeat->Interval(), dlgListInput::kRepeatNextMs);
    EXPECT_EQ(dlg->txtValue->text(), "14");
    QTest::mouseRelease(dlg->imgControl(1), Qt::LeftButton);
    EXPECT_EQ(dlg->txtValue->text(), "15");

    // Released: stopped, and interval 0 keeps it so.
    EXPECT_FALSE(dlg->tmrRepeat->Enabled());
    EXPECT_EQ(dlg->tmrRepeat->Interval(), 0);
    EXPECT_EQ(play(5000), 0);
    emit dlg->tmrRepeat->Timer();  // a stray tick with no arrow held does nothing
    EXPECT_EQ(dlg->txtValue->text(), "15");

    // Up repeats the same way.
    QTest::mousePress(dlg->imgControl(0), Qt::LeftButton);
    play(1350);
    QTest::mouseRelease(dlg->imgControl(0), Qt::LeftButton);
    EXPECT_EQ(dlg->txtValue->text(), "10");
}

TEST_F(ListInputDialog, NoRepeatWithShiftOrAnotherButton)
{
    dlg->txtValue->setText(QStringLiteral("10"));
    dlg->setValuesList(QStringLiteral("*|1|99"));
    dlg->Show();
    QTest::mousePress(dlg->imgControl(1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(play(2000), 0);
    QTest::mouseRelease(dlg->imgControl(1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(dlg->txtValue->text(), "11");
    QTest::mousePress(dlg->imgControl(1), Qt::RightButton);
    EXPECT_EQ(play(2000), 0);
    QTest::mouseRelease(dlg->imgControl(1), Qt::RightButton);
    EXPECT_EQ(dlg->txtValue->text(), "11");
}

TEST_F(ListInputDialog, ConfirmEndsTheModalWaitWithOk)
{
    dlg->txtValue->setText(QStringLiteral("2"));
    dlg->setValuesList(QStringLiteral("*|1|3"));
    QTimer::singleShot(0, dlg, [this] {
        QTest::mouseClick(dlg->imgControl(1), Qt::LeftButton);
        QTest::mouseClick(dlg->imgControl(2), Qt::LeftButton);
    });
    dlg->Show(true);
    EXPECT_TRUE(dlg->Ok());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->txtValue->text(), "3");
}

TEST_F(ListInputDialog, OpeningWithAValueNotInTheListSelectsNothing)
{
    dlg->txtValue->setText(QStringLiteral("00:02"));
    dlg->setValuesList(QStringLiteral("@|00:01|00:05|00:10"));
    ASSERT_EQ(dlg->lstValue->currentRow(), -1);
    // The window is activated and its events run before the operator confirms.
    QTimer::singleShot(0, dlg, [this] {
        dlg->activateWindow();
        QTest::qWait(100);
        QTest::mouseClick(dlg->imgControl(2), Qt::LeftButton);
    });
    dlg->Show(true);
    EXPECT_TRUE(dlg->Ok());
    EXPECT_EQ(dlg->txtValue->text(), "00:02") << "confirming without a touch keeps the value";
    EXPECT_EQ(dlg->lstValue->currentRow(), -1);
}

TEST_F(ListInputDialog, ModuleEditorListFollowsTheValueAndCancelPutsItBack)
{
    auto* editor = new FakeEditor;
    plat::Forms::Adopt(editor);
    editor->txtNoParam()->setText(QStringLiteral("9"));
    editor->lblParamVal(9)->setText(QStringLiteral("5"));
    editor->lstConsigne()->setCurrentRow(4);

    dlg->setParentForm(editor);
    EXPECT_EQ(dlg->ParentForm(), editor);
    // The calling form is no widget parent, and QWidget's own setParent is
    // not hidden: the dialog stays a window of its own.
    EXPECT_EQ(dlg->parentWidget(), nullptr);
    dlg->setParent(nullptr, Qt::Window);
    dlg->setParent(nullptr);
    EXPECT_EQ(dlg->ParentForm(), editor);
    EXPECT_TRUE(dlg->isWindow());
    dlg->txtValue->setText(QStringLiteral("5"));
    dlg->setValuesList(QStringLiteral("*|0|48"));
    dlg->Show();
    QTest::mouseClick(dlg->imgControl(1), Qt::LeftButton);
    QTest::mouseClick(dlg->imgControl(1), Qt::LeftButton);
    EXPECT_EQ(editor->lstConsigne()->currentRow(), 6);
    dlg->lstValue->setCurrentRow(0);  // value 0: no instruction
    EXPECT_EQ(dlg->txtValue->text(), "0");
    EXPECT_TRUE(editor->lstConsigne()->selectedItems().isEmpty());
    EXPECT_EQ(editor->lstBiblio()->currentRow(), -1);

    QTest::mouseClick(dlg->imgControl(3), Qt::LeftButton);
    EXPECT_FALSE(dlg->Ok());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(editor->lstConsigne()->currentRow(), 4);
    EXPECT_EQ(editor->lblParamVal(9)->text(), "5");

    // Parameter 8 moves the library list; a value beyond the list leaves it.
    editor->txtNoParam()->setText(QStringLiteral("8"));
    dlg->txtValue->setText(QStringLiteral("64"));
    EXPECT_EQ(editor->lstBiblio()->currentRow(), 63);
    dlg->txtValue->setText(QStringLiteral("65"));
    EXPECT_EQ(editor->lstBiblio()->currentRow(), 63);

    // Another parameter is left alone.
    editor->txtNoParam()->setText(QStringLiteral("6"));
    dlg->txtValue->setText(QStringLiteral("2"));
    EXPECT_EQ(editor->lstBiblio()->currentRow(), 63);
    EXPECT_EQ(editor->lstConsigne()->currentRow(), 4);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(ListInputDialog, OpensCentredOnTheCallingForm)
{
    auto* editor = new FakeEditor;
    plat::Forms::Adopt(editor);
    editor->setGeometry(40, 20, 700, 560);
    editor->Show();
    dlg->setParentForm(editor);
    dlg->txtValue->setText(QStringLiteral("2"));
    dlg->setValuesList(QStringLiteral("*|1|3"));
    QTimer::singleShot(0, dlg, [this] {
        EXPECT_EQ(dlg->frameGeometry().center(), dlg->ParentForm()->frameGeometry().center());
        dlg->imgControl(2)->click();
    });
    dlg->Show(true, editor);
    EXPECT_TRUE(dlg->Ok());
}

TEST_F(ListInputDialog, AnotherCallingFormIsLeftAlone)
{
    auto* other = new plat::Form(QStringLiteral("wSysComm"));
    plat::Forms::Adopt(other);
    auto* list = new QListWidget(other);
    list->setObjectName(QStringLiteral("lstConsigne"));
    list->addItems({"1", "2", "3"});
    dlg->setParentForm(other);
    dlg->txtValue->setText(QStringLiteral("2"));
    dlg->setValuesList(QStringLiteral("*|1|3"));
    QTest::mouseClick(dlg->imgControl(3), Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

TEST_F(ListInputDialog, RendersAsATouchPanel)
{
    dlg->txtValue->setText(QStringLiteral("12"));
    dlg->setValuesList(QStringLiteral("*|1|99"));
    dlg->Show();
    for (const auto& [i, b] : dlg->imgControl) {
        EXPECT_GE(b->width(), 48) << i;
        EXPECT_GE(b->height(), 48) << i;
        EXPECT_TRUE(b->hasPicture()) << i;
    }
    const QString png = testing_support::renderToPng(dlg, QStringLiteral("dlgListInput"));
    EXPECT_FALSE(QImage(png).isNull());
}

} // namespace
