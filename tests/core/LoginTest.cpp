// Login and access levels: the decision for each kind of code with its exact
// trace line, the level check for every level, and what a confirmed code
// does to the globals, the trace log and the engine.

#include "program/core/AccessControl.h"
#include "program/core/Config.h"
#include "program/core/Login.h"
#include "tests/core/CoreProgramFixture.h"

#include "platform/Regional.h"

namespace {

// Made when asked: the date arithmetic's own tables are not set up before main.
plat::DateTime now()
{
    return plat::DateTime::fromDate(QDate(2024, 3, 5), QTime(14, 7, 9));
}
const QString kService = QStringLiteral("9731-4862");

// Anna and Carl share a code: the lower number wins.
const std::vector<UserEntry> kUsers = {
    {"Anna", "111", 1},
    {"Bert", "222", 2},
    {"Carl", "111", 3},
    {"Dora", "abc", 3},
};

struct DecisionCase {
    const char* what;
    const char* code;
    int level;
    const char* name;
    const char* trace;  // nullptr: no line
};

const DecisionCase kDecisions[] = {
    {"empty code logs out", "", 0, "",
     "05/03/2024 14:07:09 USER : DISCONNECT ******************** LEVEL0"},
    {"service code", "9731-4862", 4, "SERVICE", nullptr},
    {"a user's code", "222", 2, "Bert",
     "05/03/2024 14:07:09 USER : Bert ************************** LEVEL2"},
    {"two users with one code: the first", "111", 1, "Anna",
     "05/03/2024 14:07:09 USER : Anna ************************** LEVEL1"},
    {"wrong code logs out in the login form", "999", 0, "",
     "05/03/2024 14:07:09 USER :  ****************************** LEVEL0"},
    {"codes are case-sensitive", "ABC", 0, "",
     "05/03/2024 14:07:09 USER :  ****************************** LEVEL0"},
    {"the service code is case-sensitive too", "9731-4862 ", 0, "",
     "05/03/2024 14:07:09 USER :  ****************************** LEVEL0"},
};

TEST(LoginDecision, EachKindOfCode)
{
    for (const DecisionCase& c : kDecisions) {
        SCOPED_TRACE(c.what);
        const AccessControl::Login login = AccessControl::Decide(QString::fromUtf8(c.code), kService, kUsers, now());
        EXPECT_EQ(login.level, c.level);
        EXPECT_EQ(login.name, QString::fromUtf8(c.name));
        if (c.trace) {
            ASSERT_TRUE(login.traceLine.has_value());
            EXPECT_EQ(*login.traceLine, QString::fromUtf8(c.trace));
        } else {
            EXPECT_FALSE(login.traceLine.has_value());
        }
    }
}

TEST(LoginDecision, AnEmptyServiceCodeNeverLogsInTheServiceUser)
{
    const AccessControl::Login login = AccessControl::Decide(QString(), QString(), kUsers, now());
    EXPECT_EQ(login.level, 0);
    EXPECT_TRUE(login.traceLine->contains("DISCONNECT"));
}

TEST(LoginTraceLine, PadsTo58AndCutsAt80)
{
    // Exactly 58 before the level: no "*" is added.
    EXPECT_EQ(AccessControl::TraceLine(now(), QString(30, 'A'), 3),
              "05/03/2024 14:07:09 USER : AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA  LEVEL3");
    // Past 80: cut, whatever is lost of the level.
    const QString cut = AccessControl::TraceLine(now(), QString(50, 'B'), 1);
    EXPECT_EQ(cut, "05/03/2024 14:07:09 USER : BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB  L");
    EXPECT_EQ(cut.size(), 80);
}

TEST(AccessLevels, EveryLevelWithAndWithoutALevelOneUser)
{
    const std::vector<UserEntry> withLevelOne = {{"Op", "1", 1}, {"Tech", "3", 3}};
    const std::vector<UserEntry> withoutLevelOne = {{"Tech", "3", 3}, {"Sup", "2", 2}};
    for (int userLevel = 0; userLevel <= 4; ++userLevel) {
        for (int level = 0; level <= 4; ++level) {
            SCOPED_TRACE(QString("user %1, level %2").arg(userLevel).arg(level).toStdString());
            EXPECT_EQ(AccessControl::AccessOk(level, userLevel, withLevelOne), userLevel >= level);
            // No level-1 user: every level is open to everybody.
            EXPECT_TRUE(AccessControl::AccessOk(level, userLevel, withoutLevelOne));
            EXPECT_TRUE(AccessControl::AccessOk(level, userLevel, {}));
        }
    }
}

TEST(LevelArrows, DownToZeroUpToThreeAndNotAboveTheEditor)
{
    struct Case {
        int shown, userLevel;
        bool levelOne;
        int up, down;
    };
    const Case cases[] = {
        {0, 0, true, 0, 0},   // nobody logged in, level-1 users exist: no rise
        {0, 2, true, 1, 0},
        {1, 2, true, 2, 0},
        {2, 2, true, 2, 1},   // not above the editor's own level
        {2, 4, true, 3, 1},
        {3, 4, true, 3, 2},   // never above 3
        {0, 0, false, 1, 0},  // no level-1 user: anybody may rise to 3
        {2, 0, false, 3, 1},
        {3, 0, false, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("shown %1, user %2, level one %3").arg(c.shown).arg(c.userLevel).arg(c.levelOne).toStdString());
        EXPECT_EQ(AccessControl::LevelUp(c.shown, c.userLevel, c.levelOne), c.up);
        EXPECT_EQ(AccessControl::LevelDown(c.shown), c.down);
    }
}

// A confirmed code against the configuration, the day's trace log and the engine.
class LoginApply : public CoreProgramFixture {
protected:
    void SetUp() override
    {
        CoreProgramFixture::SetUp();
        ASSERT_TRUE(Config::OpenConfigBase());
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setUserCount(3);
        gConfig->setUserName(1, "Anna");
        gConfig->setUserPwd(1, "111");
        gConfig->setUserLevel(1, 1);
        gConfig->setUserName(2, "Bert");
        gConfig->setUserPwd(2, "222");
        gConfig->setUserLevel(2, 2);
        gConfig->setUserName(3, "Carl");
        gConfig->setUserPwd(3, "111");
        gConfig->setUserLevel(3, 3);
        m_log = folder() + "/trace.log";
        gTraceLog().OpenFile(m_log, VexLib22::eLogModeFileAppend);
    }

    QStringList traceLines() const { return testing_support::fileLines(m_log); }

    QString m_log;
};

TEST_F(LoginApply, SetsTheUserWritesTheLineAndSendsTheUserEvent)
{
    struct Case {
        const char* code;
        int level;
        const char* name;
        const char* traceTail;  // nullptr: no line
    };
    const Case cases[] = {
        {"222", 2, "Bert", " USER : Bert ************************** LEVEL2"},
        {"111", 1, "Anna", " USER : Anna ************************** LEVEL1"},
        {"9731-4862", 4, "SERVICE", nullptr},
        {"nope", 0, "", " USER :  ****************************** LEVEL0"},
        {"", 0, "", " USER : DISCONNECT ******************** LEVEL0"},
    };
    int lines = 0;
    size_t events = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        gUserLevel = 3;
        gUserName = "before";
        Login::ApplyCode(QString::fromUtf8(c.code));
        EXPECT_EQ(gUserLevel, c.level);
        EXPECT_EQ(gUserName, QString::fromUtf8(c.name));
        const QStringList written = traceLines();
        if (c.traceTail) {
            ASSERT_EQ(written.size(), ++lines);
            // Date and time in the named formats, then the fixed words.
            EXPECT_EQ(written.last().mid(19), QString::fromUtf8(c.traceTail));
            EXPECT_EQ(written.last()[2], '/');
            EXPECT_EQ(written.last()[13], ':');
        } else {
            EXPECT_EQ(written.size(), lines);
        }
        ASSERT_NE(engine(), nullptr);
        ASSERT_EQ(engine()->sent.size(), ++events);
        EXPECT_EQ(engine()->sent.back(), Polling::StationEvent::UserChange);
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(LoginApply, AccessOkReadsTheConfiguredUsers)
{
    gUserLevel = 0;
    EXPECT_TRUE(Config::AccessOk(0));
    EXPECT_FALSE(Config::AccessOk(1));  // Anna has level 1
    gUserLevel = 2;
    EXPECT_TRUE(Config::AccessOk(2));
    EXPECT_FALSE(Config::AccessOk(3));
    gConfig->setUserLevel(1, 2);  // no level-1 user any more
    gUserLevel = 0;
    EXPECT_TRUE(Config::AccessOk(3));
}

TEST_F(LoginApply, WithoutAConfigurationAccessIsRefusedAndReported)
{
    ReplaceConfig(nullptr);
    gUserLevel = 4;
    EXPECT_FALSE(Config::AccessOk(1));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "Config.AccessOk");
    EXPECT_EQ(reports[0].number, plat::rt::ObjectVariableNotSet);
}

} // namespace
