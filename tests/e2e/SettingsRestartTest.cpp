// The program restarted on the working file that the settings screens left:
// a sound assigned to a priority, a user added and a library text typed, each
// through the main window's menu, are there again after a new start-up.

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SoundPlayer.h"
#include "program/App.h"
#include "program/bus/PollingSeams.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgKeyboard.h"
#include "program/screens/system/dlgDefPwds.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/wMain.h"
#include "program/screens/system/wParamBiblio.h"
#include "program/screens/system/wSysConfSon.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/ProgramGlobals.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

namespace {

using testing_support::ModalAnswers;

constexpr int kOk = 1;
constexpr int kYes = 6;
constexpr int kSoundsCmd = 2;
constexpr int kUsersCmd = 4;
constexpr int kLibraryCmd = 2;

class SettingsRestart : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        App::assemble();
        PollingSeams::installed().message = [](const QString&, int) { return 1; };
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        plat::setSoundPlayer(&player);
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg",
                                testing_support::programFolder() + "/PLX2.cfg"));
        VEXfonctions::SetIni("Ports", "COM1", line.device());
        wParamBiblio::Memory() = {};
    }
    void TearDown() override
    {
        ProgramGlobals::TearDown();
        plat::setSoundPlayer(nullptr);
    }

    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static wMain* main() { return qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain)); }
    template <class F>
    static F* find(const QString& name)
    {
        return qobject_cast<F*>(plat::Forms::Find(name));
    }
    static QString menuButton(int cmd) { return QStringLiteral("cmdButtons(%1)").arg(cmd); }

    // The sound shown for a priority on the sound settings, opened from the menu.
    QString soundOf(int priority)
    {
        ModalAnswers answers;
        answers.click(FormNames::dlgMenuSystem, menuButton(kSoundsCmd));
        main()->imgMenu_Click(2);
        auto* s = find<wSysConfSon>(FormNames::wSysConfSon);
        if (!s)
            return "<no screen>";
        s->lblSoundPrio->setCaption(QString::number(priority));
        return s->lblSoundNum->Caption();
    }

    e2e::Pty line;
    testing_support::FakeSoundPlayer player;
    QStringList reports;
};

TEST_F(SettingsRestart, SoundsUsersAndTextsAreAsLeft)
{
    Global::Main();
    ASSERT_NE(main(), nullptr);

    // A sound for priority 5; leaving asks nothing.
    ASSERT_EQ(soundOf(5), "1");
    auto* sounds = find<wSysConfSon>(FormNames::wSysConfSon);
    sounds->lblSoundNum->setCaption("7");
    {
        ModalAnswers answers;
        answers.message(kOk);
        sounds->imgControl_Click(wSysConfSon::Assign);
        sounds->imgNavig_Click(wSysConfSon::NavigLeave);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }
    settle();

    // A user, saved by the main window after the editor.
    {
        ModalAnswers answers;
        answers.click(FormNames::dlgMenuSystem, menuButton(kUsersCmd))
            .on(FormNames::dlgDefPwds,
                [](plat::Form* f) {
                    auto* e = qobject_cast<dlgDefPwds*>(f);
                    e->imgControl_Click(dlgDefPwds::UserAdd);
                    e->cmdBoutons_Click(dlgDefPwds::CmdOk);
                })
            .on(FormNames::dlgUserCodes,
                [](plat::Form* f) {
                    auto* dlg = qobject_cast<dlgUserCodes*>(f);
                    dlg->txtPwd(0)->setText("Night");
                    dlg->txtPwd(1)->setText("4444");
                    dlg->imgCmd(dlgUserCodes::CmdLevelUp)->click();
                    dlg->imgCmd(dlgUserCodes::CmdLevelUp)->click();
                    dlg->imgCmd(dlgUserCodes::CmdOk)->click();
                })
            .click(FormNames::dlgMenuSystem, menuButton(MenuDialog::CmdCancel));
        main()->imgMenu_Click(2);
        settle();
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }

    // A library text, saved with Yes.
    {
        ModalAnswers answers;
        answers.click(FormNames::dlgMenuParams, menuButton(kLibraryCmd))
            .on(FormNames::dlgKeyboard,
                [](plat::Form* f) {
                    auto* kb = qobject_cast<dlgKeyboard*>(f);
                    kb->txtValue(0)->setText("Fire exit");
                    kb->imgControl(1)->click();
                })
            .message(kYes);
        main()->imgMenu_Click(1);
        auto* library = find<wParamBiblio>(FormNames::wParamBiblio);
        ASSERT_NE(library, nullptr);
        library->lblNumero->setCaption("3");
        library->imgControl_Click(TextEditorScreen::Keyboard);
        library->imgNavig_Click(TextEditorScreen::NavigLeave);
        settle();
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }

    // A new start on the working file.
    Global::EndProgram();
    settle();
    ASSERT_TRUE(plat::Forms::All().empty());
    Global::Main();
    ASSERT_NE(main(), nullptr);
    EXPECT_EQ(gConfig->AlarmPrioSound(5), 7);
    EXPECT_EQ(soundOf(5), "7");
    find<wSysConfSon>(FormNames::wSysConfSon)->imgNavig_Click(wSysConfSon::NavigLeave);
    settle();

    QStringList users;
    {
        ModalAnswers answers;
        answers.click(FormNames::dlgMenuSystem, menuButton(kUsersCmd))
            .on(FormNames::dlgDefPwds,
                [&](plat::Form* f) {
                    auto* e = qobject_cast<dlgDefPwds*>(f);
                    for (int r = 0; r < e->grdUsers->Rows(); ++r)
                        users << e->grdUsers->TextMatrix(r, 0) + "/" + e->grdUsers->TextMatrix(r, 2);
                    e->cmdBoutons_Click(dlgDefPwds::CmdCancel);
                })
            .click(FormNames::dlgMenuSystem, menuButton(MenuDialog::CmdCancel));
        main()->imgMenu_Click(2);
        settle();
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    }
    EXPECT_EQ(users, QStringList({"Technician/3", "Supervisor/2", "Night/2"}));

    {
        ModalAnswers answers;
        answers.click(FormNames::dlgMenuParams, menuButton(kLibraryCmd));
        main()->imgMenu_Click(1);
        auto* library = find<wParamBiblio>(FormNames::wParamBiblio);
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(library->lstTexts->item(2)->text().trimmed(), "03 - Fire exit");
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
