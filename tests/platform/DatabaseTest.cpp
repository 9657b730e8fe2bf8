// The read-only database layer over SQLite: the password check, the errors
// of a missing or damaged file, seeks on the primary key, fields, chunks and
// one-value queries.

#include "platform/Database.h"

#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using plat::Database;

namespace {

// Writes a database file with the given statements and a check record for password.
QString makeDatabase(const QString& name, const QString& password, const QStringList& statements)
{
    const QString path = testing_support::programFolder() + "/" + name;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const auto exec = [&](const QString& sql) {
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
    };
    exec("CREATE TABLE MSysAccess (Salt BLOB, Digest BLOB)");
    const QByteArray salt("0123456789abcdef");
    const QByteArray digest = Database::passwordDigest(salt, password);
    exec(QString("INSERT INTO MSysAccess VALUES (x'%1', x'%2')")
             .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(digest.toHex())));
    for (const QString& s : statements)
        exec(s);
    sqlite3_close(db);
    return path;
}

const QStringList kTables = {
    "CREATE TABLE T_Language (Id INTEGER PRIMARY KEY, Category INTEGER, Comment TEXT, English TEXT, Francais TEXT)",
    "INSERT INTO T_Language VALUES (10001, 1, NULL, 'No', 'Non')",
    "INSERT INTO T_Language VALUES (10002, 1, 'buttons', 'Yes', NULL)",
    "CREATE TABLE T_Sounds (ID INTEGER PRIMARY KEY, Size INTEGER, Content BLOB, Extension TEXT)",
    "INSERT INTO T_Sounds VALUES (1, 6, x'000102030405', 'wav')",
    "INSERT INTO T_Sounds VALUES (2, 0, NULL, 'wav')",
    "CREATE TABLE T_Empty (ID INTEGER PRIMARY KEY)",
    "CREATE TABLE T_NoKey (Name TEXT)",
};

int errorNumber(const std::function<void()>& fn, QString* text = nullptr)
{
    try {
        fn();
    } catch (const plat::RtError& e) {
        if (text)
            *text = e.description();
        return e.number();
    }
    return 0;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = makeDatabase("test.cfg", "9J84", kTables);
        db = Database::OpenDatabase(path, ";pwd=9J84");
        ASSERT_TRUE(db);
    }
    QString path;
    std::unique_ptr<Database> db;
};

} // namespace

TEST(DatabaseOpen, OpensOnlyWithTheRightPassword)
{
    const QString path = makeDatabase("pw.cfg", "9J84", kTables);
    struct Case {
        const char* connect;
        int error;
    } cases[] = {
        {";pwd=9J84", 0},
        {";PWD=9J84", 0},
        {";pwd=9j84", plat::dberr::InvalidPassword},   // passwords are case-sensitive
        {";pwd=9J8", plat::dberr::InvalidPassword},
        {";pwd=", plat::dberr::InvalidPassword},
        {"", plat::dberr::InvalidPassword},
    };
    for (const Case& c : cases) {
        QString text;
        EXPECT_EQ(errorNumber([&] { Database::OpenDatabase(path, c.connect); }, &text), c.error) << c.connect;
        if (c.error) {
            EXPECT_EQ(text, "Not a valid password.");
        }
    }
}

// The file is named to the database engine as a link: the characters such a
// link gives a meaning of its own still name a folder.
TEST(DatabaseOpen, OpensInAFolderWhoseNameHoldsAnyCharacter)
{
    for (const QString& folder : {QString("a b"), QString("50%"), QString("x?y#z"), QString("Régie")}) {
        SCOPED_TRACE(folder.toStdString());
        ASSERT_TRUE(QDir(testing_support::programFolder()).mkpath(folder));
        const QString path = makeDatabase(folder + "/plx.cfg", "9J84", kTables);
        std::unique_ptr<Database> db;
        ASSERT_EQ(errorNumber([&] { db = Database::OpenDatabase(path, ";pwd=9J84"); }), 0);
        auto set = db->OpenRecordset("T_Language");
        set->setIndex("PrimaryKey");
        set->Seek("=", 10001);
        ASSERT_FALSE(set->NoMatch());
        EXPECT_EQ(set->field(3).toString(), "No");
    }
}

TEST(DatabaseOpen, MissingDamagedOrForeignFilesFailWithTheirOwnErrors)
{
    const QString dir = testing_support::programFolder();
    const QString good = makeDatabase("good.cfg", "9J84", kTables);

    QFile garbage(dir + "/garbage.cfg");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();

    // A real database cut short in the middle of its pages.
    QFile full(good);
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const QByteArray bytes = full.readAll();
    full.close();
    QFile cut(dir + "/cut.cfg");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();

    // An SQLite file of someone else: no check record.
    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(dir + "/other.cfg").constData(), &other);
    sqlite3_exec(other, "CREATE TABLE x (a)", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    QFile empty(dir + "/empty.cfg");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();

    struct Case {
        const char* file;
        int error;
    } cases[] = {
        {"missing.cfg", plat::dberr::FileNotFound},
        {"garbage.cfg", plat::dberr::UnrecognizedFormat},
        {"cut.cfg", plat::dberr::UnrecognizedFormat},
        {"other.cfg", plat::dberr::UnrecognizedFormat},
        {"empty.cfg", plat::dberr::UnrecognizedFormat},
    };
    for (const Case& c : cases) {
        const QString path = dir + "/" + c.file;
        QString text;
        EXPECT_EQ(errorNumber([&] { Database::OpenDatabase(path, ";pwd=9J84"); }, &text), c.error) << c.file;
        EXPECT_TRUE(text.contains(path)) << text.toStdString();
    }
    // Opening read-only leaves the missing file missing.
    EXPECT_FALSE(QFile::exists(dir + "/missing.cfg"));
}

TEST(DatabaseOpen, AnUnreadableFileIsRefused)
{
    const QString path = makeDatabase("locked.cfg", "9J84", kTables);
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    const auto open = [&] { return errorNumber([&] { Database::OpenDatabase(path, ";pwd=9J84"); }); };
    if (::geteuid() != 0) {
        EXPECT_EQ(open(), plat::dberr::CannotOpenFile);
        return;
    }
    // Root reads every file: the open is tried by a child that has become an
    // ordinary user, who may pass through the folder but not read the file.
    const QString folder = QFileInfo(path).absolutePath();
    QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::ExeOther);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const uid_t nobody = 65534;
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(2);
        ::_exit(open() == plat::dberr::CannotOpenFile ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not refused as unreadable, 2: could not become an ordinary user";
}

TEST_F(DatabaseTest, SeekFindsARecordByItsPrimaryKeyOrSetsNoMatch)
{
    auto rs = db->OpenRecordset("T_Language");
    rs->setIndex("PrimaryKey");

    rs->Seek("=", 10002);
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->field(3).toString(), "Yes");
    EXPECT_EQ(rs->field("english").toString(), "Yes");   // names are not case-sensitive
    EXPECT_EQ(rs->field(2).toString(), "buttons");
    EXPECT_TRUE(rs->field("Francais").isNull());
    EXPECT_EQ(rs->field(0).toLongLong(), 10002);

    rs->Seek("=", 10001.0);   // a whole double is the integer key
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->field(4).toString(), "Non");

    rs->Seek("=", 20005);
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(errorNumber([&] { rs->field(3); }), plat::dberr::NoCurrentRecord);

    rs->Seek("=", 10001.5);
    EXPECT_TRUE(rs->NoMatch());
    rs->Seek("=", QString("10001"));
    EXPECT_FALSE(rs->NoMatch());
}

TEST_F(DatabaseTest, RecordsetKnowsItsFieldsAndRefusesWhatItCannotDo)
{
    auto rs = db->OpenRecordset("T_Language");
    ASSERT_EQ(rs->fieldCount(), 5);
    EXPECT_EQ(rs->fieldName(3), "English");
    EXPECT_EQ(errorNumber([&] { rs->fieldName(5); }), plat::dberr::ItemNotFound);

    // No index chosen yet, an unknown index, a comparison other than "=".
    EXPECT_EQ(errorNumber([&] { rs->Seek("=", 10001); }), plat::dberr::InvalidOperation);
    EXPECT_EQ(errorNumber([&] { rs->setIndex("ByName"); }), plat::dberr::NotAnIndex);
    rs->setIndex("PrimaryKey");
    EXPECT_EQ(errorNumber([&] { rs->Seek(">=", 10001); }), plat::dberr::InvalidOperation);

    rs->Seek("=", 10001);
    EXPECT_EQ(errorNumber([&] { rs->field(5); }), plat::dberr::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { rs->field("German"); }), plat::dberr::ItemNotFound);

    auto noKey = db->OpenRecordset("T_NoKey");
    EXPECT_EQ(errorNumber([&] { noKey->setIndex("PrimaryKey"); }), plat::dberr::NotAnIndex);
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset("T_Missing"); }), plat::dberr::TableNotFound);
}

TEST_F(DatabaseTest, GetChunkReadsALongBinaryField)
{
    auto rs = db->OpenRecordset("T_Sounds");
    rs->setIndex("PrimaryKey");
    rs->Seek("=", 1);
    ASSERT_FALSE(rs->NoMatch());
    const int size = rs->field("Size").toInt();
    EXPECT_EQ(rs->GetChunk("Content", 0, size), QByteArray::fromHex("000102030405"));
    EXPECT_EQ(rs->GetChunk("Content", 4, 10), QByteArray::fromHex("0405"));   // fewer at the end
    EXPECT_EQ(rs->GetChunk("Content", 6, 1), QByteArray());
    EXPECT_EQ(errorNumber([&] { rs->GetChunk("Extension", 0, 3); }), plat::dberr::InvalidOperation);

    rs->Seek("=", 2);
    EXPECT_EQ(rs->GetChunk("Content", 0, 100), QByteArray());   // null content
}

TEST_F(DatabaseTest, TableDefinitionListsTheColumnsInOrder)
{
    EXPECT_EQ(db->TableFields("T_Language"), QStringList({"Id", "Category", "Comment", "English", "Francais"}));
    EXPECT_EQ(errorNumber([&] { db->TableFields("T_Missing"); }), plat::dberr::TableNotFound);
}

TEST_F(DatabaseTest, SelectValueAnswersOneValueAndNeverWrites)
{
    EXPECT_EQ(db->SelectValue("SELECT Max(ID) as MaxID from T_Sounds").toInt(), 2);
    EXPECT_TRUE(db->SelectValue("SELECT Max(ID) as MaxID from T_Empty").isNull());
    EXPECT_TRUE(db->SelectValue("SELECT ID from T_Empty").isNull());
    EXPECT_NE(errorNumber([&] { db->SelectValue("SELEC nothing"); }), 0);

    EXPECT_NE(errorNumber([&] { db->SelectValue("DELETE FROM T_Sounds"); }), 0);
    EXPECT_EQ(db->SelectValue("SELECT Count(*) FROM T_Sounds").toInt(), 2);
}

TEST_F(DatabaseTest, ARecordsetKeepsWorkingAfterItsDatabaseObjectIsGone)
{
    auto rs = db->OpenRecordset("T_Language");
    rs->setIndex("PrimaryKey");
    const void* id = db->connectionId();
    EXPECT_EQ(rs->connectionId(), id);
    db.reset();
    rs->Seek("=", 10001);
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->field("English").toString(), "No");
}
