// The configuration database module over a small database that the builder
// makes from test sources, and the builder's refusals of bad sources.

#include "program/core/Config.h"

#include "platform/Database.h"
#include "platform/Guard.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const char* const kTexts =
    "id\tEnglish\tFrançais\tDeutsch\n"
    "# Buttons\n"
    "10001\tNo\tNon\tNein\n"
    "10002\tYes\tOui\tJa\n"
    "# Notices\n"
    "30015\tBus synchronisation.|Please wait\tSynchronisation.|Patientez\tSynchronisation.|Bitte warten\n"
    "40000\tEmpty below\tVide\tLeer\n"
    "40001\t\t\t\n";
const char* const kConfig =
    "# fixed values\n"
    "100000\t9731\tservice code\n"
    "100110\t10\tinactivity\n"
    "100302\t\tno printer\n";
const char* const kSounds = "1\tBeep\tkind=pulse f=1000 on=0.05 off=0.05 duration=0.2\n";

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct BuildResult {
    int exitCode;
    QString errors;
};

// Runs the builder on a folder of sources made from the three texts.
BuildResult runBuilder(const QString& name, const QByteArray& texts, const QByteArray& config, const QByteArray& sounds,
                       const QString& out)
{
    const QString src = testing_support::programFolder() + "/" + name;
    QDir().mkpath(src);
    writeFile(src + "/texts.tsv", texts);
    writeFile(src + "/config.tsv", config);
    writeFile(src + "/sounds.tsv", sounds);
    QProcess p;
    p.start(testing_support::binFolder() + "/cfgbuild", {src, out});
    if (!p.waitForFinished(60000))
        return {-1, "builder did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
}

void execSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

struct Report {
    QString name;
    int number;
};

class ConfigTest : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        cfg = testing_support::programFolder() + "/PLX2.cfg";
        const BuildResult r = runBuilder("src", kTexts, kConfig, kSounds, cfg);
        ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
        // Null cells, which the builder never writes but a database may hold.
        execSql(cfg, "UPDATE T_Language SET \"Français\" = NULL WHERE Id = 40000");
        execSql(cfg, "UPDATE T_Config SET Value = NULL WHERE \"Key\" = 100110");
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports.push_back({name, e.number()});
        });
    }
    QString cfg;
    std::vector<Report> reports;
};

} // namespace

TEST_F(ConfigTest, OpenConfigBaseOpensTheDatabaseAndReadsTheLanguage)
{
    VEXfonctions::SetIni(IniKeys::General, IniKeys::Language, "2");
    ASSERT_TRUE(Config::OpenConfigBase());
    EXPECT_NE(gDatabase, nullptr);
    EXPECT_EQ(gLanguage, 2);
    EXPECT_EQ(Config::GetText(10002), "Ja");
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigTest, OpenConfigBaseWithoutALanguageKeyChoosesTheFirstLanguage)
{
    gLanguage = 5;
    ASSERT_TRUE(Config::OpenConfigBase());
    EXPECT_EQ(gLanguage, 0);
}

TEST_F(ConfigTest, OpenConfigBaseReportsAMissingWrongOrDamagedDatabase)
{
    struct Case {
        const char* what;
        std::function<void()> spoil;
        int error;
    } cases[] = {
        {"missing", [&] { QFile::remove(cfg); }, plat::dberr::FileNotFound},
        {"wrong password", [&] { execSql(cfg, "UPDATE MSysAccess SET Digest = x'00'"); }, plat::dberr::InvalidPassword},
        {"damaged", [&] { writeFile(cfg, readFile(cfg).left(3000)); }, plat::dberr::UnrecognizedFormat},
    };
    const QByteArray good = readFile(cfg);
    for (const Case& c : cases) {
        writeFile(cfg, good);
        c.spoil();
        reports.clear();
        EXPECT_FALSE(Config::OpenConfigBase()) << c.what;
        EXPECT_EQ(gDatabase, nullptr) << c.what;
        ASSERT_EQ(reports.size(), 1u) << c.what;
        EXPECT_EQ(reports[0].name, "Config.OpenConfigBase");
        EXPECT_EQ(reports[0].number, c.error) << c.what;
    }
}

TEST_F(ConfigTest, GetTextAnswersByIdInTheCurrentLanguage)
{
    ASSERT_TRUE(Config::OpenConfigBase());
    struct Case {
        int language;
        const char* id;
        bool raw;
        const char* expected;
    } cases[] = {
        {0, "10001", false, "No"},
        {1, "10001", false, "Non"},
        {2, "10002", false, "Ja"},
        {3, "10001", false, "No"},    // a stale index: the first language
        {99, "10002", false, "Yes"},
        {-1, "10001", false, "No"},
        {0, " 10001 ", false, "No"},
        {0, "20005", false, "#20005#"},
        {0, "020005", false, "#020005#"},   // the id as it was passed
        {0, "abc", false, ""},
        {0, "", false, ""},
        {0, "30015", false, "Bus synchronisation.\r\nPlease wait"},
        {0, "30015", true, "Bus synchronisation.|Please wait"},
        {2, "30015", false, "Synchronisation.\r\nBitte warten"},
        {1, "40000", false, ""},      // a null cell
        {0, "40000", false, "Empty below"},
    };
    for (const Case& c : cases) {
        gLanguage = c.language;
        EXPECT_EQ(Config::GetText(QString::fromUtf8(c.id), c.raw), QString::fromUtf8(c.expected))
            << "id '" << c.id << "' language " << c.language;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigTest, GetTextWithoutADatabaseReportsAndAnswersEmpty)
{
    EXPECT_EQ(Config::GetText(10001), "");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "Config.GetText");
    EXPECT_EQ(reports[0].number, plat::rt::ObjectVariableNotSet);
}

TEST_F(ConfigTest, AReopenedDatabaseAnswersFromTheNewFile)
{
    ASSERT_TRUE(Config::OpenConfigBase());
    EXPECT_EQ(Config::GetText(10001), "No");
    EXPECT_EQ(Config::GetConfig(100000), "9731");

    QByteArray texts(kTexts);
    texts.replace("10001\tNo", "10001\tNope");
    QByteArray config(kConfig);
    config.replace("9731", "1234");
    ASSERT_EQ(runBuilder("src2", texts, config, kSounds, cfg).exitCode, 0);
    ASSERT_TRUE(Config::OpenConfigBase());
    EXPECT_EQ(Config::GetText(10001), "Nope");
    EXPECT_EQ(Config::GetConfig(100000), "1234");
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigTest, GetConfigAnswersTheValueOrEmpty)
{
    ASSERT_TRUE(Config::OpenConfigBase());
    EXPECT_EQ(Config::GetConfig(100000), "9731");
    EXPECT_EQ(Config::GetConfig(100302), "");   // stored empty
    EXPECT_EQ(Config::GetConfig(100110), "");   // null
    EXPECT_EQ(Config::GetConfig(424242), "");   // no such key
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigTest, GetLanguageNamesTheLanguageColumns)
{
    EXPECT_EQ(Config::GetLanguage(0), "");   // no database: no error either
    EXPECT_TRUE(reports.empty());

    ASSERT_TRUE(Config::OpenConfigBase());
    EXPECT_EQ(Config::GetLanguage(0), "English");
    EXPECT_EQ(Config::GetLanguage(1), "Français");
    EXPECT_EQ(Config::GetLanguage(2), "Deutsch");
    EXPECT_EQ(Config::GetLanguage(3), "");
    EXPECT_EQ(Config::GetLanguage(-1), "");
    EXPECT_TRUE(reports.empty());
}

// The shipped database: each language named in its own spelling, and a
// language index stored before (the INI keeps the index, not the name)
// still chooses the same language.
TEST_F(ConfigTest, TheShippedLanguagesAreNamedInTheirOwnSpellingAndChosenByTheStoredIndex)
{
    QFile::remove(cfg);
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", cfg));
    struct Case {
        const char* stored;
        const char* name;
        const char* yes;
    };
    for (const Case& c : {Case{"0", "English", "Yes"}, Case{"1", "Français", "Oui"}, Case{"2", "Deutsch", "Ja"}}) {
        SCOPED_TRACE(c.name);
        VEXfonctions::SetIni(IniKeys::General, IniKeys::Language, c.stored);
        ASSERT_TRUE(Config::OpenConfigBase());
        EXPECT_EQ(Config::GetLanguage(gLanguage), c.name);
        EXPECT_EQ(Config::GetText(10002), c.yes);
    }
    EXPECT_EQ(Config::GetLanguage(3), "");
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigTest, TheBuilderKeepsATextThatIsEmptyInEveryLanguage)
{
    ASSERT_TRUE(Config::OpenConfigBase());
    for (int language = 0; language < 3; ++language) {
        gLanguage = language;
        EXPECT_EQ(Config::GetText(40001), QString()) << language;
    }
    gLanguage = 0;
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigTest, TheBuilderStoresTheSoundsWithTheirSize)
{
    auto db = plat::Database::OpenDatabase(cfg, ";pwd=9J84");
    EXPECT_EQ(db->SelectValue("SELECT Max(ID) as MaxID from T_Sounds").toInt(), 1);
    auto rs = db->OpenRecordset("T_Sounds");
    rs->setIndex("PrimaryKey");
    rs->Seek("=", 1);
    ASSERT_FALSE(rs->NoMatch());
    const int size = rs->field("Size").toInt();
    EXPECT_EQ(size, 44 + 2 * 4410);   // 0.2 s of 16-bit samples at 22050 Hz
    const QByteArray wav = rs->GetChunk("Content", 0, size);
    EXPECT_TRUE(wav.startsWith("RIFF"));
    EXPECT_EQ(rs->field("Extension").toString(), "wav");
}

TEST(CfgBuilder, RefusesBadSourcesWithFileLineAndReason)
{
    const QByteArray texts(kTexts), config(kConfig), sounds(kSounds);
    struct Case {
        const char* what;
        QByteArray texts, config, sounds;
        const char* message;
    } cases[] = {
        {"empty cell", "id\tEnglish\tFrancais\n10001\tNo\t\n", config, sounds,
         "texts.tsv:2: empty cell in column 3 (Francais)"},
        {"blank cell", "id\tEnglish\tFrancais\n10001\t \tNon\n", config, sounds,
         "texts.tsv:2: empty cell in column 2 (English)"},
        {"duplicate id", "id\tEnglish\n10001\tNo\n# again\n10001\tYes\n", config, sounds,
         "texts.tsv:4: duplicate id 10001 (first on line 2)"},
        {"missing cell", "id\tEnglish\tFrancais\n10001\tNo\n", config, sounds,
         "texts.tsv:2: 2 cells where the header has 3"},
        {"bad id", "id\tEnglish\n1000x\tNo\n", config, sounds, "texts.tsv:2: id \"1000x\" is not a whole number"},
        {"no header", "10001\tNo\n", config, sounds, "texts.tsv:1: the header must be"},
        {"not Windows-1252", "id\tEnglish\n10001\tN\xce\xa9\n", config, sounds, "texts.tsv:2: the text of English"},
        {"duplicate key", texts, "100000\t1\n100000\t2\n", sounds, "config.tsv:2: duplicate key 100000 (first on line 1)"},
        {"sound gap", texts, config, "2\tBeep\tkind=tone f=1000 duration=1\n", "sounds.tsv:1: sound number 2 where 1"},
        {"unknown parameter", texts, config, "1\tBeep\tkind=tone f=1000 duration=1 colour=red\n",
         "sounds.tsv:1: sound 1: \"colour\" is not a parameter"},
        {"part of a period", texts, config, "1\tBeep\tkind=pulse f=800 on=0.5 off=0.5 duration=1.5\n",
         "sounds.tsv:1: sound 1: duration=1.5 is not a whole number of periods"},
        {"unknown kind", texts, config, "1\tBeep\tkind=horn duration=1\n", "sounds.tsv:1: sound 1: kind=horn"},
    };
    const QString out = testing_support::programFolder() + "/PLX2.cfg";
    int n = 0;
    for (const Case& c : cases) {
        writeFile(out, "the previous database");
        const BuildResult r = runBuilder(QString("case%1").arg(n++), c.texts, c.config, c.sounds, out);
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_TRUE(r.errors.contains(QString::fromUtf8(c.message))) << c.what << ": " << r.errors.toStdString();
        // A refused build leaves the previous file as it was and nothing half-made.
        EXPECT_EQ(readFile(out), QByteArray("the previous database")) << c.what;
        EXPECT_FALSE(QFile::exists(out + ".tmp")) << c.what;
    }
}
