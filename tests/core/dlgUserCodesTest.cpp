// The password keypad: opened for a login with the focus in the code field,
// typing, keys and backspace, Enter and Escape, the field colours and the
// level arrows; rendered for a look.

#include "platform/Beep.h"
#include "program/core/Config.h"
#include "program/core/Login.h"
#include "program/core/dlgUserCodes.h"
#include "tests/core/CoreProgramFixture.h"
#include "program/core/FormNames.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

class UserCodes : public CoreProgramFixture {
protected:
    void SetUp() override
    {
        CoreProgramFixture::SetUp();
        ASSERT_TRUE(Config::OpenConfigBase());
        ReplaceConfig(std::make_unique<ConfigClass>());  // users of the database: 3579 level 3, 2468 level 2
        gTraceLog().OpenFile(folder() + "/trace.log", VexLib22::eLogModeFileAppend);
    }

    static dlgUserCodes* dialog()
    {
        return qobject_cast<dlgUserCodes*>(plat::Forms::Find(FormNames::dlgUserCodes));
    }

    // Runs act once the dialog is shown (inside its modal loop); a dialog
    // still open after a few seconds is cancelled so that no test hangs.
    void whenShown(std::function<void(dlgUserCodes*)> act)
    {
        auto* timer = new QTimer(qApp);
        timer->setInterval(5);
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        QObject::connect(timer, &QTimer::timeout, qApp, [timer, act, started] {
            dlgUserCodes* dlg = dialog();
            if (dlg && dlg->isVisible()) {
                timer->deleteLater();
                timer->stop();
                act(dlg);
            } else if (started->elapsed() > 5000) {
                timer->deleteLater();
                timer->stop();
            }
        });
        timer->start();
    }

    static QString traceText()
    {
        QFile f(folder() + "/trace.log");
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
};

TEST_F(UserCodes, OpensForALoginWithTheFocusInTheCodeField)
{
    bool checked = false;
    whenShown([&](dlgUserCodes* dlg) {
        EXPECT_TRUE(dlg->txtPwd(0)->isHidden());
        EXPECT_TRUE(dlg->lblPwdLevel->isHidden());
        EXPECT_TRUE(dlg->imgCmd(dlgUserCodes::CmdLevelUp)->isHidden());
        EXPECT_TRUE(dlg->imgCmd(dlgUserCodes::CmdLevelDown)->isHidden());
        EXPECT_EQ(dlg->txtPwd(1)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dlg->TargetField(), 1);
        // In the middle of the screen, not in a corner, even with no window manager to place it.
        EXPECT_EQ(dlg->frameGeometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
        testing_support::renderToPng(dlg, "dlgUserCodes-login");
        // Typed on a keyboard, straight into the focused field.
        // Once the window system has activated the window, with no click.
        (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000);
        QWidget* focused = QApplication::focusWidget();
        if (focused != dlg->txtPwd(1)) {
            ADD_FAILURE() << "the code field has no focus";
            dlg->Hide();
            return;
        }
        QTest::keyClicks(focused, "246");
        dlg->cmdKey(int('8'))->click();
        EXPECT_EQ(dlg->txtPwd(1)->text(), "2468");
        EXPECT_EQ(dlg->txtPwd(1)->displayText(), "****");
        checked = true;
        QTest::keyClick(focused, Qt::Key_Return);
    });
    EXPECT_TRUE(Config::AskPassword());
    EXPECT_TRUE(checked);
    EXPECT_EQ(gUserLevel, 2);
    EXPECT_EQ(gUserName, "Supervisor");
    EXPECT_TRUE(traceText().contains(" USER : Supervisor ****"));
    ASSERT_NE(engine(), nullptr);
    EXPECT_EQ(engine()->sent, std::vector<qint16>{Polling::StationEvent::UserChange});
    // The dialog is gone once the answer is given.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog(), nullptr);
}

TEST_F(UserCodes, EscapeCancelsAndChangesNothing)
{
    gUserLevel = 3;
    gUserName = "Technician";
    whenShown([](dlgUserCodes* dlg) {
        QTest::keyClicks(dlg->txtPwd(1), "2468");
        QTest::keyClick(dlg->txtPwd(1), Qt::Key_Escape);
    });
    EXPECT_FALSE(Config::AskPassword());
    EXPECT_EQ(gUserLevel, 3);
    EXPECT_EQ(gUserName, "Technician");
    EXPECT_TRUE(traceText().isEmpty());
    EXPECT_TRUE(engine() == nullptr || engine()->sent.empty());
}

TEST_F(UserCodes, OkWithAnEmptyCodeLogsOut)
{
    gUserLevel = 2;
    gUserName = "Supervisor";
    whenShown([](dlgUserCodes* dlg) { dlg->imgCmd(dlgUserCodes::CmdOk)->click(); });
    EXPECT_TRUE(Config::AskPassword());
    EXPECT_EQ(gUserLevel, 0);
    EXPECT_EQ(gUserName, "");
    EXPECT_TRUE(traceText().contains(" USER : DISCONNECT ******************** LEVEL0"));
}

TEST_F(UserCodes, TheDialogUnloadedWhileOpenIsNoConfirmation)
{
    gUserLevel = 2;
    whenShown([](dlgUserCodes* dlg) {
        QTest::keyClicks(dlg->txtPwd(1), "3579");
        plat::Forms::UnloadAllExcept({FormNames::wPolling});
    });
    EXPECT_FALSE(Config::AskPassword());
    EXPECT_EQ(gUserLevel, 2);
}

TEST_F(UserCodes, KeysTypeTheirCharacterIntoTheYellowField)
{
    auto* dlg = qobject_cast<dlgUserCodes*>(plat::Forms::Get(FormNames::dlgUserCodes));
    ASSERT_NE(dlg, nullptr);
    // 38 keys: digits, capitals, "-" and backspace, each indexed by its code.
    EXPECT_EQ(dlg->cmdKey.count(), 38);
    for (const auto& [code, key] : dlg->cmdKey) {
        if (code != dlgUserCodes::KeyBackspace) {
            EXPECT_EQ(key->text(), QString(QChar(code)));
        }
    }
    EXPECT_TRUE(dlg->cmdKey.exists(dlgUserCodes::KeyMinus));

    // No yellow field yet: a beep and nothing else.
    EXPECT_EQ(dlg->TargetField(), -1);
    dlg->cmdKey(int('A'))->click();
    EXPECT_EQ(dlg->Beeps(), 1);
    EXPECT_TRUE(dlg->txtPwd(0)->text().isEmpty() && dlg->txtPwd(1)->text().isEmpty());

    dlg->txtPwd_GotFocus(0);
    EXPECT_EQ(dlg->TargetField(), 0);
    EXPECT_EQ(dlg->txtPwd(0)->styleSheet().contains("#ffff00"), true);
    EXPECT_EQ(dlg->txtPwd(1)->styleSheet().contains("#ffffff"), true);
    for (int code : {'K', '7', '-', 'Z'})
        dlg->cmdKey(code)->click();
    EXPECT_EQ(dlg->txtPwd(0)->text(), "K7-Z");
    dlg->cmdKey(dlgUserCodes::KeyBackspace)->click();
    EXPECT_EQ(dlg->txtPwd(0)->text(), "K7-");

    dlg->txtPwd_GotFocus(1);
    EXPECT_EQ(dlg->TargetField(), 1);
    EXPECT_TRUE(dlg->txtPwd(0)->styleSheet().contains("#ffffff"));
    dlg->cmdKey(dlgUserCodes::KeyBackspace)->click();  // empty target
    EXPECT_EQ(dlg->Beeps(), 2);
    dlg->cmdKey(int('0'))->click();
    EXPECT_EQ(dlg->txtPwd(1)->text(), "0");
    EXPECT_EQ(dlg->txtPwd(0)->text(), "K7-");
}

TEST_F(UserCodes, NameAndCodeRefuseWhatTheWorkingFileCannotHoldTypedOrPasted)
{
    auto* dlg = qobject_cast<dlgUserCodes*>(plat::Forms::Get(FormNames::dlgUserCodes));
    ASSERT_NE(dlg, nullptr);
    int beeps = 0;
    plat::setBeeper([&] { ++beeps; });
    for (int field : {0, 1}) {
        SCOPED_TRACE(field);
        QLineEdit* f = dlg->txtPwd(field);
        f->setText(QStringLiteral("Jos\u00E9"));
        beeps = 0;
        QTest::sendKeyEvent(QTest::Click, f, Qt::Key_unknown, QString::fromUtf8("\u0416"), Qt::NoModifier);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("\u0418\u0432\u0430\u043D"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(f->text(), QStringLiteral("Jos\u00E9"));
        EXPECT_EQ(beeps, 2);
        QTest::keyClicks(f, "-2");
        EXPECT_EQ(f->text(), QStringLiteral("Jos\u00E9-2"));
    }
    plat::setBeeper({});
}

TEST_F(UserCodes, LevelArrowsFollowTheEditorsLevel)
{
    gConfig->setUserLevel(2, 1);  // a level-1 user exists
    gUserLevel = 2;
    auto* dlg = qobject_cast<dlgUserCodes*>(plat::Forms::Get(FormNames::dlgUserCodes));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->lblPwdLevel->text(), "0");
    for (int i = 0; i < 4; ++i)
        dlg->imgCmd(dlgUserCodes::CmdLevelUp)->click();
    EXPECT_EQ(dlg->lblPwdLevel->text(), "2");
    for (int i = 0; i < 4; ++i)
        dlg->imgCmd(dlgUserCodes::CmdLevelDown)->click();
    EXPECT_EQ(dlg->lblPwdLevel->text(), "0");
}

TEST_F(UserCodes, TheAutoCloseTimerIsPreparedButNeverStarted)
{
    auto* dlg = qobject_cast<dlgUserCodes*>(plat::Forms::Get(FormNames::dlgUserCodes));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->tmrAutoClose->Interval(), 30000);
    EXPECT_FALSE(dlg->tmrAutoClose->Enabled());
    // Captions come from the tags, in the current language.
    EXPECT_EQ(dlg->lblTitle->text(), "Login");
    EXPECT_EQ(dlg->lblCode->text(), "Code");
}

TEST_F(UserCodes, RendersTheEditorLayout)
{
    auto* dlg = qobject_cast<dlgUserCodes*>(plat::Forms::Get(FormNames::dlgUserCodes));
    ASSERT_NE(dlg, nullptr);
    dlg->txtPwd(0)->setText("Technician");
    dlg->txtPwd(1)->setText("3579");
    dlg->lblPwdLevel->setText("3");
    dlg->Show();
    QCoreApplication::processEvents();
    // The first field is the name.
    EXPECT_EQ(dlg->TargetField(), 0);
    testing_support::renderToPng(dlg, "dlgUserCodes-editor");
    dlg->Hide();
}

} // namespace
