// The instruction dialog: its caption in the operator's language, a long
// instruction shown whole with its line breaks, and its three ways to close.

#include "program/runtime/dlgConsigne.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include "platform/Values.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

using alarmtest::AlarmScreenFixture;

class InstructionDialog : public AlarmScreenFixture {
protected:
    static dlgConsigne* dialog() { return qobject_cast<dlgConsigne*>(plat::Forms::Get(FormNames::dlgConsigne)); }
};

TEST_F(InstructionDialog, ALongInstructionShowsWholeWithItsLineBreaks)
{
    QString text;
    for (int line = 1; text.size() < 1024; ++line)
        text += QString("Step %1: check the detector, then report to the control room.\r\n").arg(line);
    text.truncate(1024);
    gConfig->setConsigne(2, text);
    ASSERT_EQ(dlgConsigne::InstructionText(2).size(), plat::Trim(text).size());

    dlgConsigne* dlg = dialog();
    dlg->setConsigne(dlgConsigne::InstructionText(2));
    dlg->Show();
    QCoreApplication::processEvents();
    QString shown = text.trimmed();
    shown.replace("\r\n", "\n");
    EXPECT_EQ(dlg->lblConsigne->text(), shown);
    // The label takes the height its text needs, and all of it can be seen.
    const int needed = dlg->lblConsigne->heightForWidth(dlg->scrConsigne->viewport()->width());
    EXPECT_GE(dlg->lblConsigne->height(), needed);
    QScrollBar* bar = dlg->scrConsigne->verticalScrollBar();
    EXPECT_GE(bar->maximum() + dlg->scrConsigne->viewport()->height(), dlg->lblConsigne->height());

    // Twice as long, it scrolls to its end.
    dlg->setConsigne(shown + "\n" + shown);
    QCoreApplication::processEvents();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_GE(bar->maximum() + dlg->scrConsigne->viewport()->height(), dlg->lblConsigne->height());
    EXPECT_GE(dlg->lblConsigne->height(), dlg->lblConsigne->heightForWidth(dlg->scrConsigne->viewport()->width()));
}

TEST_F(InstructionDialog, TheCaptionIsTranslatedAndEveryCloseUnloadsIt)
{
    for (int language : {0, 1, 2}) {
        gLanguage = language;
        dlgConsigne* dlg = dialog();
        EXPECT_EQ(dlg->lblLabels->text(), Config::GetText(51042));
        dlg->imgClose->click();
        settle();
        EXPECT_EQ(plat::Forms::Find(FormNames::dlgConsigne), nullptr);
    }
    gLanguage = 0;
    dialog()->cmdClose->click();
    settle();
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgConsigne), nullptr);
    dlgConsigne* dlg = dialog();
    dlg->Show();
    QTest::keyClick(dlg, Qt::Key_Escape);
    settle();
    EXPECT_EQ(plat::Forms::Find(FormNames::dlgConsigne), nullptr);
}

TEST_F(InstructionDialog, AnInstructionNeverWrittenOrBlankGivesTheNoInstructionText)
{
    gConfig->setConsigne(3, "      ");
    EXPECT_EQ(dlgConsigne::InstructionText(3), Config::GetText(710021));
    EXPECT_EQ(dlgConsigne::InstructionText(7), Config::GetText(710021)) << "never written: NULs";
    gConfig->setConsigne(4, "  Leave by the north door.  ");
    EXPECT_EQ(dlgConsigne::InstructionText(4), "Leave by the north door.");
}

} // namespace
