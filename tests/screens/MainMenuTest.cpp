// The main window's menu, clicked on the real window: each entry behind its
// access level with the password asked until it suffices, the sub-menus and
// the screens they open by name, a screen that asks for the menu again as it
// closes, and the entries whose screens this program lacks.

#include "program/screens/system/MainMenu.h"
#include "program/core/FormNames.h"
#include "program/screens/system/MenuDialog.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/ScreensFixture.h"

#include <QPushButton>
#include <QTest>
#include <QThread>

namespace {

class Menu : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        // The screens of the menu that this program does not have yet.
        for (int entry = 0; entry < MainMenu::EntryCount; ++entry) {
            if (const auto t = MainMenu::EntryTarget(entry))
                ProbeScreen::registerUnder(t->form);
            for (int cmd = 1; cmd < MainMenu::CommandCount; ++cmd)
                if (const auto t = MainMenu::CommandTarget(entry, cmd))
                    ProbeScreen::registerUnder(t->form);
        }
    }

    // Every form unloaded, a fresh configuration, the user logged in at level.
    void restart(bool levelOneUser, int level)
    {
        plat::Forms::UnloadAllExcept({});
        settle();
        ReplaceConfig(std::make_unique<ConfigClass>());
        if (levelOneUser) {
            const int16_t n = gConfig->UserCount() + 1;
            gConfig->setUserCount(n);
            gConfig->setUserName(n, "Guard");
            gConfig->setUserPwd(n, "1111");
            gConfig->setUserLevel(n, 1);
        }
        gConfig->setModified(false);
        gUserLevel = level;
    }
};

// The sub-menu dialog answered with its command button cmd.
void answerMenu(testing_support::ModalAnswers& answers, const QString& dialog, int cmd)
{
    answers.click(dialog, QStringLiteral("cmdButtons(%1)").arg(cmd));
}

// The database's users: 2468 gives level 2, 3579 level 3.
QString codeFor(int level)
{
    return level >= 3 ? QStringLiteral("3579") : QStringLiteral("2468");
}

enum class Password { Cancelled, WrongThenRight };

TEST_F(Menu, EachEntryOpensBehindItsLevelAndAsksThePasswordUntilItSuffices)
{
    struct Entry {
        int index;
        int needs;       // the level it asks for; 0 none
        QString opens;   // the screen shown, the sub-menu, or nothing
        bool mainStays;
    };
    const Entry entries[] = {
        {0, 2, "wBusModules", false}, {1, 2, FormNames::dlgMenuParams, true}, {2, 2, FormNames::dlgMenuSystem, true},
        {3, 0, "wRunAlarms", false},  {4, 3, "wTechnician", false},           {5, 0, QString(), true},
    };
    // -1: no user of level 1 is configured (everyone passes); else the level logged in.
    for (int level : {-1, 0, 1, 2, 3, 4}) {
        for (const Entry& e : entries) {
            for (Password pwd : {Password::Cancelled, Password::WrongThenRight}) {
                SCOPED_TRACE(QStringLiteral("entry %1, level %2, %3")
                                 .arg(e.index)
                                 .arg(level)
                                 .arg(pwd == Password::Cancelled ? "cancelled" : "wrong then right")
                                 .toStdString());
                restart(level >= 0, std::max(level, 0));
                wMain* main = showMain();
                const int before = gUserLevel;
                const int needs = e.needs;
                const bool asked = level >= 0 && needs > before;
                const bool opens = !e.opens.isEmpty() && (!asked || pwd == Password::WrongThenRight);
                const int after = asked && pwd == Password::WrongThenRight ? needs : before;

                testing_support::ModalAnswers answers;
                if (asked && pwd == Password::Cancelled)
                    answers.cancelPassword();
                if (asked && pwd == Password::WrongThenRight)
                    answers.password("0000").password(codeFor(needs));
                const bool subMenu = e.opens.startsWith("dlgMenu");
                if (opens && subMenu)
                    answerMenu(answers, e.opens, MenuDialog::CmdCancel);

                QTest::mouseClick(main->imgMenu(e.index), Qt::LeftButton);
                settle();

                EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
                EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
                EXPECT_EQ(gUserLevel, after);
                const bool stays = !opens || e.mainStays;
                ASSERT_EQ(mainWindow() != nullptr, stays);
                if (stays) {
                    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
                    EXPECT_EQ(mainWindow()->lblLogin(0)->text(), QString::number(after));
                    EXPECT_EQ(mainWindow()->lblLogin(1)->text(), QString::number(after));
                } else {
                    EXPECT_EQ(visibleForms(), QStringList{e.opens});
                }
                EXPECT_NE(plat::Forms::Find(FormNames::wPolling), nullptr);
            }
        }
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Menu, ACaptionOrItsShadowActsAsItsTile)
{
    wMain* main = showMain();
    ASSERT_EQ(main->lblMenu.count(), 12);
    for (int label : {1, 7}) {
        SCOPED_TRACE(label);
        testing_support::ModalAnswers answers;
        answerMenu(answers, FormNames::dlgMenuParams, MenuDialog::CmdCancel);
        QTest::mouseClick(main->lblMenu(label), Qt::LeftButton);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }
}

TEST_F(Menu, ASubMenuCommandOpensItsScreenByName)
{
    struct Case {
        int entry;
        int cmd;
        bool mainStays;
    } cases[] = {
        {1, 1, false}, {1, 2, false}, {1, 3, false}, {1, 4, false},
        {2, 1, false}, {2, 2, false}, {2, 3, true},  {2, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("entry %1, command %2").arg(c.entry).arg(c.cmd).toStdString());
        plat::Forms::UnloadAllExcept({});
        settle();
        wMain* main = showMain();
        const QString screen = MainMenu::CommandTarget(c.entry, c.cmd)->form;
        bool modalOverMain = false;
        testing_support::ModalAnswers answers;
        answerMenu(answers, MainMenu::DialogOf(c.entry), c.cmd);
        if (c.mainStays)
            answers.on(screen, [&](plat::Form* f) {
                modalOverMain = mainWindow() && mainWindow()->isVisible();
                plat::Forms::Unload(f);
            });
        main->imgMenu_Click(c.entry);
        settle();
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
        if (c.mainStays) {
            EXPECT_TRUE(modalOverMain);
            EXPECT_EQ(visibleForms(), QStringList{"wMain"});
        } else {
            EXPECT_EQ(visibleForms(), QStringList{screen});
            EXPECT_EQ(mainWindow(), nullptr);
        }
    }
}

TEST_F(Menu, TheUserEditorIsFollowedByTheSaveAndThenByTheMenuItAskedFor)
{
    wMain* main = showMain();
    QFile::remove(workingFile());
    bool savedBeforeMenu = false;
    int firstLoop = 0;
    int secondLoop = 0;
    testing_support::ModalAnswers answers;
    answers
        .on(FormNames::dlgMenuSystem,
            [&](plat::Form* f) {
                firstLoop = QThread::currentThread()->loopLevel();
                qobject_cast<MenuDialog*>(f)->cmdButtons(4)->click();
            })
        .on("dlgDefPwds", [&](plat::Form* f) {
            // The editor's OK: a user changed, the editor closes and asks for the system menu.
            gConfig->setUserName(1, "Chief");
            plat::Forms::Unload(f);
            mainWindow()->imgMenu_Click(2);
        })
        .on(FormNames::dlgMenuSystem, [&](plat::Form* f) {
            savedBeforeMenu = QFile::exists(workingFile());
            secondLoop = QThread::currentThread()->loopLevel();
            qobject_cast<MenuDialog*>(f)->cmdButtons(MenuDialog::CmdCancel)->click();
        });
    main->imgMenu_Click(2);
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(savedBeforeMenu);
    EXPECT_EQ(secondLoop, firstLoop) << "the menu comes back from inside the editor's loop";
    ConfigClass saved;
    ASSERT_EQ(saved.Read(workingFile()), 0);
    EXPECT_EQ(saved.UserName(1), "Chief");
    EXPECT_TRUE(gConfig->Modified()) << "the user file still lacks the change";
    EXPECT_TRUE(mainWindow()->lblModified->isVisible());
}

TEST_F(Menu, TheClockClosingReopensTheSystemMenuWithoutNestingAndSavesNothing)
{
    wMain* main = showMain();
    QFile::remove(workingFile());
    int menus = 0;
    int firstLoop = 0;
    testing_support::ModalAnswers answers;
    answers
        .on(FormNames::dlgMenuSystem,
            [&](plat::Form* f) {
                firstLoop = QThread::currentThread()->loopLevel();
                qobject_cast<MenuDialog*>(f)->cmdButtons(3)->click();
            })
        .on("dlgSysTime", [&](plat::Form* f) {
            plat::Forms::Unload(f);
            mainWindow()->imgMenu_Click(2);
        })
        .on(FormNames::dlgMenuSystem, [&](plat::Form* f) {
            ++menus;
            EXPECT_EQ(QThread::currentThread()->loopLevel(), firstLoop) << "nested in the clock's loop";
            qobject_cast<MenuDialog*>(f)->cmdButtons(3)->click();
        })
        .on("dlgSysTime", [&](plat::Form* f) { plat::Forms::Unload(f); });
    main->imgMenu_Click(2);
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(menus, 1);
    EXPECT_FALSE(QFile::exists(workingFile()));
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

// The program's own forms only: what its menu opens.
class ProgramMenu : public ScreensFixture {};

// One row per screen that the menu opens: the menu entry, the command of its
// submenu and the form it shows.
struct WiredRow {
    int entry;
    int cmd;   // 0: the entry opens the screen itself
    const char* form;
};
const WiredRow kWired[] = {
    {0, 0, "wBusModules"},
    {1, 4, "wParamPrinter"},
    {3, 0, "wRunAlarms"},
    {2, 1, "wSysComm"},
    {1, 3, "wParamEcran"},
    {2, 3, "dlgSysTime"},
    {1, 1, "wParamConsignes"},
    {1, 2, "wParamBiblio"},
    {2, 2, "wSysConfSon"},
    {2, 4, "dlgDefPwds"},
    {4, 0, "wTechnician"},
};

TEST_F(ProgramMenu, EveryWiredEntryOpensItsScreen)
{
    for (const WiredRow& row : kWired) {
        SCOPED_TRACE(row.form);
        ASSERT_TRUE(plat::Forms::isRegistered(row.form));
        plat::Forms::UnloadAllExcept({});
        settle();
        gUserLevel = 4;
        wMain* main = showMain();
        const auto target = row.cmd ? MainMenu::CommandTarget(row.entry, row.cmd) : MainMenu::EntryTarget(row.entry);
        ASSERT_TRUE(target);
        ASSERT_EQ(target->form, row.form);
        testing_support::ModalAnswers answers;
        if (row.cmd)
            answerMenu(answers, MainMenu::DialogOf(row.entry), row.cmd);
        const bool modal = target->opening == MainMenu::Opening::Modal
            || target->opening == MainMenu::Opening::ModalThenSave;
        bool shown = false;
        if (modal)
            answers.on(row.form, [&](plat::Form* f) {
                shown = true;
                plat::Forms::Unload(f);
            });
        QTest::mouseClick(main->imgMenu(row.entry), Qt::LeftButton);
        settle();
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
        if (modal) {
            EXPECT_TRUE(shown);
            EXPECT_NE(mainWindow(), nullptr);
        } else {
            EXPECT_EQ(visibleForms(), QStringList{row.form});
            EXPECT_EQ(mainWindow(), nullptr);
        }
    }
}

TEST_F(ProgramMenu, AnEntryWhoseScreenIsMissingIsDisabledAndOpensNothing)
{
    wMain* main = showMain();
    for (int entry = 0; entry < MainMenu::EntryCount; ++entry) {
        if (const auto t = MainMenu::EntryTarget(entry)) {
            SCOPED_TRACE(t->form.toStdString());
            EXPECT_EQ(main->imgMenu(entry)->isEnabled(), plat::Forms::isRegistered(t->form));
        }
    }
    EXPECT_TRUE(main->imgMenu(5)->isEnabled()) << "the about tile is there, it only opens nothing";
    // Called by name, a missing screen asks no password and leaves the window.
    gConfig->setUserCount(1);
    gConfig->setUserLevel(1, 1);
    for (int entry = 0; entry < MainMenu::EntryCount; ++entry) {
        const auto t = MainMenu::EntryTarget(entry);
        if (!t || plat::Forms::isRegistered(t->form))
            continue;
        testing_support::ModalAnswers answers;
        main->imgMenu_Click(entry);
        settle();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
        EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    }
    // In the sub-menus, each command is enabled exactly when its screen is there.
    for (int entry : {1, 2}) {
        auto* dialog = qobject_cast<MenuDialog*>(plat::Forms::Get(MainMenu::DialogOf(entry)));
        for (int cmd = 1; cmd < MainMenu::CommandCount; ++cmd) {
            const QString form = MainMenu::CommandTarget(entry, cmd)->form;
            SCOPED_TRACE(form.toStdString());
            EXPECT_EQ(dialog->cmdButtons(cmd)->isEnabled(), plat::Forms::isRegistered(form));
        }
        EXPECT_TRUE(dialog->cmdButtons(MenuDialog::CmdCancel)->isEnabled());
        plat::Forms::Unload(dialog);
    }
}

} // namespace
