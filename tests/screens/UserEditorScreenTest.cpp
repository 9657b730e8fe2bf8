// The user editor on the program's assembly: the grid of users worked on
// through the password dialog (add, modify, delete, the rows hidden from the
// logged-in user), names and codes unique among the rows whatever their
// case, OK and Cancel, and the way from the menu through the save to a login
// with a new code.

#include "program/core/Login.h"
#include "program/screens/system/dlgDefPwds.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "tests/screens/SettingsFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

using E = dlgDefPwds;

struct User {
    QString name;
    QString code;
    int level;
};

class UserEditor : public SettingsFixture {
protected:
    static void setUsers(const std::vector<User>& users)
    {
        gConfig->setUserCount(int16_t(users.size()));
        for (size_t i = 0; i < users.size(); ++i) {
            const auto n = int16_t(i + 1);
            gConfig->setUserName(n, users[i].name);
            gConfig->setUserPwd(n, users[i].code);
            gConfig->setUserLevel(n, users[i].level);
        }
        gConfig->setModified(false);
    }

    // The configuration's users as "name/code/level".
    static QStringList configured()
    {
        QStringList rows;
        for (int16_t i = 1; i <= gConfig->UserCount(); ++i)
            rows << QString("%1/%2/%3").arg(gConfig->UserName(i), gConfig->UserPwd(i)).arg(gConfig->UserLevel(i));
        return rows;
    }

    // The grid as "name/code/level", a hidden row in brackets.
    static QStringList grid(E* e)
    {
        QStringList rows;
        for (int r = 0; r < e->grdUsers->Rows(); ++r) {
            const QString row = QString("%1/%2/%3").arg(e->grdUsers->TextMatrix(r, 0), e->grdUsers->TextMatrix(r, 1),
                                                        e->grdUsers->TextMatrix(r, 2));
            rows << (e->grdUsers->isRowHidden(r) ? "[" + row + "]" : row);
        }
        return rows;
    }

    // The editor shown over the main window, not modal, for the test to click.
    E* open()
    {
        showMain();
        auto* e = qobject_cast<E*>(plat::Forms::Get(FormNames::dlgDefPwds));
        e->Show();
        return e;
    }

    // The password dialog answered with a name, a code and so many level rises.
    static void enter(ModalAnswers& answers, const QString& name, const QString& code, int ups = 0)
    {
        answers.on(FormNames::dlgUserCodes, [=](plat::Form* f) {
            auto* dlg = qobject_cast<dlgUserCodes*>(f);
            dlg->txtPwd(0)->setText(name);
            dlg->txtPwd(1)->setText(code);
            for (int i = 0; i < ups; ++i)
                dlg->imgCmd(dlgUserCodes::CmdLevelUp)->click();
            dlg->imgCmd(dlgUserCodes::CmdOk)->click();
        });
    }
};

const std::vector<User> kShipped = {{"Technician", "3579", 3}, {"Supervisor", "2468", 2}};

enum class Op { Add, Modify, Delete };

struct Step {
    Op op;
    int row;               // the current row for modify and delete
    QString name, code;    // entered for add and modify
    int ups;               // level rises in the password dialog
    int refusal;           // the message's text id, 0 when accepted
};

struct Case {
    const char* what;
    std::vector<User> users;
    int userLevel;
    std::vector<Step> steps;
    QStringList gridAfter;      // hidden rows in brackets
};

TEST_F(UserEditor, EntriesAreTestedAgainstTheOtherRowsAndOkWritesEveryRowBack)
{
    const Case cases[] = {
        {"add, then the same name or code in another case, or a field left empty",
         kShipped,
         3,
         {{Op::Add, 0, "Operator", "ab12", 1, 0},
          {Op::Add, 0, "OPERATOR", "2222", 0, 640100},
          {Op::Add, 0, "Guest", "AB12", 0, 640101},
          {Op::Add, 0, "Guest", "", 0, 20006},
          {Op::Add, 0, "", "5555", 0, 20006},
          {Op::Add, 0, "technician", "7777", 0, 640100}},
         {"Technician/3579/3", "Supervisor/2468/2", "Operator/ab12/1"}},
        {"modify keeping its own name and code, or taking another row's",
         kShipped,
         3,
         {{Op::Modify, 1, "supervisor", "2468", 0, 0},
          {Op::Modify, 1, "TECHNICIAN", "9999", 0, 640100},
          {Op::Modify, 1, "Boss", "3579", 0, 640101}},
         {"Technician/3579/3", "supervisor/2468/2"}},
        {"a deleted user's name and code are free again, and the rows moved up keep their own",
         kShipped,
         3,
         {{Op::Delete, 0, "", "", 0, 0},
          {Op::Modify, 0, "Supervisor", "2468", 0, 0},
          {Op::Add, 0, "Technician", "3579", 3, 0}},
         {"Supervisor/2468/2", "Technician/3579/3"}},
        {"the service code is no user's code: that user would always come in as the service",
         kShipped,
         3,
         {{Op::Add, 0, "Service", "9731-4862", 0, 640101},
          {Op::Add, 0, "Service", "9731-486", 0, 0},
          {Op::Modify, 1, "Supervisor", "9731-4862", 0, 640101}},
         {"Technician/3579/3", "Supervisor/2468/2", "Service/9731-486/0"}},
        {"a user above the logged-in one is hidden, kept, and still counts",
         {{"Technician", "3579", 3}, {"Supervisor", "2468", 2}, {"Guard", "1111", 1}},
         2,
         {{Op::Delete, 1, "", "", 0, 0}, {Op::Add, 0, "Night", "3579", 0, 640101}, {Op::Add, 0, "Night", "4444", 0, 0}},
         {"[Technician/3579/3]", "Guard/1111/1", "Night/4444/0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::Forms::UnloadAllExcept({FormNames::wPolling});
        settle();
        setUsers(c.users);
        gUserLevel = c.userLevel;
        E* e = open();
        for (const Step& s : c.steps) {
            SCOPED_TRACE(QString("%1 %2/%3").arg(int(s.op)).arg(s.name, s.code).toStdString());
            e->grdUsers->setRow(s.row);
            ModalAnswers answers;
            if (s.op == Op::Delete) {
                answers.message(kOk);
                click(e->imgControl(E::UserDelete));
            } else {
                enter(answers, s.name, s.code, s.ups);
                if (s.refusal)
                    answers.message(kOk);
                click(e->imgControl(s.op == Op::Add ? E::UserAdd : E::UserModify));
            }
            EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
            EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
            if (s.refusal) {
                EXPECT_EQ(answers.messages, QStringList{Config::GetText(s.refusal)});
                // The password dialog stays, hidden, with what was typed.
                auto* kept = qobject_cast<dlgUserCodes*>(plat::Forms::Find(FormNames::dlgUserCodes));
                ASSERT_NE(kept, nullptr);
                EXPECT_FALSE(kept->isVisible());
                EXPECT_EQ(kept->txtPwd(1)->text(), s.code);
            } else {
                EXPECT_EQ(plat::Forms::Find(FormNames::dlgUserCodes), nullptr);
            }
        }
        EXPECT_EQ(grid(e), c.gridAfter);
        EXPECT_FALSE(gConfig->Modified()) << "nothing reaches the configuration before OK";

        QStringList expected;
        for (QString row : c.gridAfter)
            expected << row.remove('[').remove(']');
        ModalAnswers menu;
        menu.click(FormNames::dlgMenuSystem, menuButton(MenuDialog::CmdCancel));
        click(e->cmdBoutons(E::CmdOk));
        settle();
        EXPECT_TRUE(menu.allAnswered()) << "OK reopens the system menu";
        EXPECT_EQ(configured(), expected);
        EXPECT_EQ(plat::Forms::Find(FormNames::dlgDefPwds), nullptr);
        EXPECT_EQ(plat::Forms::Find(FormNames::dlgUserCodes), nullptr);
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(UserEditor, AHiddenRowCanBeNeitherModifiedNorDeletedAndTheArrowsPassIt)
{
    setUsers({{"Supervisor", "2468", 2}, {"Technician", "3579", 3}, {"Guard", "1111", 1}});
    gUserLevel = 2;
    E* e = open();
    EXPECT_EQ(grid(e), QStringList({"Supervisor/2468/2", "[Technician/3579/3]", "Guard/1111/1"}));
    EXPECT_EQ(e->grdUsers->Row(), 0);
    EXPECT_TRUE(e->imgControl(E::UserModify)->isEnabled());
    click(e->imgControl(E::RowDown));
    EXPECT_EQ(e->grdUsers->Row(), 2) << "the hidden row is passed";
    click(e->imgControl(E::RowUp));
    EXPECT_EQ(e->grdUsers->Row(), 0);
    e->grdUsers->setRow(1);
    EXPECT_FALSE(e->imgControl(E::UserModify)->isEnabled());
    EXPECT_FALSE(e->imgControl(E::UserDelete)->isEnabled());
    e->imgControl_Click(E::UserModify);
    EXPECT_EQ(beeps, 1);

    // Without a level-1 user everybody sees every user.
    plat::Forms::UnloadAllExcept({FormNames::wPolling});
    settle();
    setUsers({{"Supervisor", "2468", 2}, {"Technician", "3579", 3}});
    gUserLevel = 0;
    e = open();
    EXPECT_EQ(grid(e), QStringList({"Supervisor/2468/2", "Technician/3579/3"}));
}

TEST_F(UserEditor, AnEmptyListIsRefusedAndCancelChangesNothing)
{
    setUsers({{"Technician", "3579", 3}});
    gUserLevel = 3;
    E* e = open();
    ModalAnswers answers;
    answers.message(kCancel);
    click(e->imgControl(E::UserDelete));
    EXPECT_EQ(grid(e), QStringList{"Technician/3579/3"}) << "the deletion is confirmed first";
    answers.message(kOk);
    click(e->imgControl(E::UserDelete));
    EXPECT_EQ(e->grdUsers->Rows(), 0);
    e->imgControl_Click(E::UserModify);
    EXPECT_EQ(beeps, 1) << "nothing to modify";

    answers.message(kOk);
    click(e->cmdBoutons(E::CmdOk));
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.messages.last(), Config::GetText(640102));
    EXPECT_NE(plat::Forms::Find(FormNames::dlgDefPwds), nullptr) << "the editor stays";
    EXPECT_EQ(configured(), QStringList{"Technician/3579/3"});

    // The user added into the empty grid becomes its current row, to be
    // modified or deleted at once; a second one leaves the current row.
    enter(answers, "Night", "4444");
    click(e->imgControl(E::UserAdd));
    EXPECT_EQ(e->grdUsers->Row(), 0);
    EXPECT_TRUE(e->imgControl(E::UserModify)->isEnabled());
    EXPECT_TRUE(e->imgControl(E::UserDelete)->isEnabled());
    EXPECT_NE(e->grdUsers->CellBackColor(0), 0xFFFFFFu) << "highlighted as the current row";
    enter(answers, "Night", "5555");
    click(e->imgControl(E::UserModify));
    enter(answers, "Day", "6666");
    click(e->imgControl(E::UserAdd));
    EXPECT_EQ(e->grdUsers->Row(), 0);
    EXPECT_EQ(grid(e), QStringList({"Night/5555/0", "Day/6666/0"}));
    answers.click(FormNames::dlgMenuSystem, menuButton(MenuDialog::CmdCancel));
    click(e->cmdBoutons(E::CmdCancel));
    settle();
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(configured(), QStringList{"Technician/3579/3"});
    EXPECT_FALSE(gConfig->Modified());
}

TEST_F(UserEditor, TheServiceCodeCountsAsAUsersCodeWhateverItsCase)
{
    ConfigClass config;
    const UserList list = UserList::FromConfig(config, 3, "Ab-12");
    EXPECT_EQ(list.Test("Guest", "aB-12", -1), UserList::DuplicateCode);
    EXPECT_EQ(list.Test("Guest", "AB-12", 0), UserList::DuplicateCode);
    EXPECT_EQ(list.Test("Guest", "Ab-123", -1), UserList::Accepted);
    // No service code configured: nothing more is refused.
    EXPECT_EQ(UserList::FromConfig(config, 3, "").Test("Guest", "Ab-12", -1), UserList::Accepted);
}

TEST_F(UserEditor, FromTheMenuANewUserIsSavedWithoutItsCodeAndLogsInAtItsLevel)
{
    // The technician: the menu comes back without a password once a level-1 user exists.
    gUserLevel = 3;
    wMain* main = showMain();
    QFile::remove(workingFile());
    bool savedBeforeMenu = false;
    QString loginFields = "<not asked>";
    ModalAnswers answers;
    answers.click(FormNames::dlgMenuSystem, menuButton(4)).on(FormNames::dlgDefPwds, [&](plat::Form* f) {
        auto* e = qobject_cast<E*>(f);
        click(e->imgControl(E::UserAdd));
        click(e->imgControl(E::UserAdd));
        click(e->cmdBoutons(E::CmdOk));
    });
    // A refused entry first: what it typed must not log anybody in later.
    enter(answers, "Operator", "2468");
    answers.message(kOk);
    enter(answers, "Operator", "1357", 1);
    answers.on(FormNames::dlgMenuSystem, [&](plat::Form* f) {
            savedBeforeMenu = QFile::exists(workingFile());
            qobject_cast<MenuDialog*>(f)->cmdButtons(MenuDialog::CmdCancel)->click();
        });
    main->imgMenu_Click(2);
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(savedBeforeMenu) << "the main window saves before the menu comes back";

    QProcess dump;
    dump.start(testing_support::binFolder() + "/cfgdump", {workingFile()});
    ASSERT_TRUE(dump.waitForFinished(30000));
    const QString out = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(out.contains("Users:               3")) << out.toStdString();
    EXPECT_TRUE(out.contains("3: \"Operator\", level 1")) << out.toStdString();
    EXPECT_FALSE(out.contains("1357")) << "codes are not shown";

    // The login opens an empty password dialog, and the new code logs in.
    answers.on(FormNames::dlgUserCodes, [&](plat::Form* f) {
        auto* dlg = qobject_cast<dlgUserCodes*>(f);
        loginFields = dlg->txtPwd(0)->text() + "|" + dlg->txtPwd(1)->text();
        dlg->txtPwd(1)->setText("1357");
        dlg->imgCmd(dlgUserCodes::CmdOk)->click();
    });
    EXPECT_TRUE(Config::AskPassword());
    EXPECT_EQ(loginFields.toStdString(), "|");
    EXPECT_EQ(gUserLevel, 1);
    EXPECT_EQ(gUserName.toStdString(), "Operator");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
