#include "platform/ProfileFile.h"

#include "platform/Cp1252.h"
#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace pf = plat::ProfileFile;

namespace {

class ProfileFileTest : public testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("test.ini")) const
    {
        return testing_support::programFolder() + '/' + name;
    }
    void writeRaw(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readRaw(const QString& name = QStringLiteral("test.ini")) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Files in the folder other than the INI file itself (left-over temporaries).
    QStringList strayFiles() const
    {
        QStringList all = QDir(testing_support::programFolder()).entryList(QDir::Files | QDir::Hidden);
        all.removeAll(QStringLiteral("test.ini"));
        return all;
    }
};

// A file as a person might write it by hand.
const QByteArray kHandWritten =
    "; settings of the panel\r\n"
    "top=before any section\r\n"
    "\r\n"
    "  [ General ]  \r\n"
    "Language = fr \r\n"
    "\tTabbed\t=\tvalue\t\r\n"
    "Quoted=\"  spaced  \"\r\n"
    "HalfQuoted=\"open\r\n"
    "Eq=a=b\r\n"
    "; a comment=not a key\r\n"
    "no equals sign here\r\n"
    "=nameless\r\n"
    "Empty=\r\n"
    "language=second\r\n"
    "\r\n"
    "[Files]\n"                  // LF only
    "LastUsed=/data/a.px2\n"
    "[general]\r\n"              // a duplicate section
    "Language=duplicate\r\n"
    "Other=only in the duplicate\r\n";

} // namespace

TEST_F(ProfileFileTest, ReadsHandWrittenFiles)
{
    writeRaw(kHandWritten);
    struct Case { const char* section; const char* key; std::optional<QString> expected; };
    const Case cases[] = {
        {"General", "Language", QString("fr")},            // blanks around name and value
        {"GENERAL", "LANGUAGE", QString("fr")},            // names match case-insensitively, first match wins
        {" General ", "Language", QString("fr")},
        {"General", "Tabbed", QString("value")},
        {"General", "Quoted", QString("  spaced  ")},      // one pair of quotes removed, inside kept
        {"General", "HalfQuoted", QString("\"open")},
        {"General", "Eq", QString("a=b")},                 // the first '=' separates
        {"General", "Empty", QString("")},                 // present but empty: not missing
        {"General", "; a comment", std::nullopt},
        {"General", "no equals sign here", std::nullopt},
        {"General", "Other", std::nullopt},                // only the first section of a name is read
        {"General", "top", std::nullopt},
        {"Files", "LastUsed", QString("/data/a.px2")},
        {"Missing", "Language", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pf::value(c.section, c.key, path()), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(pf::getString("General", "Missing", "dflt", path()), "dflt");
    EXPECT_EQ(pf::getString("General", "Empty", "dflt", path()), "");
    EXPECT_EQ(pf::value("General", "Language", path("nofile.ini")), std::nullopt);
}

TEST_F(ProfileFileTest, ListsKeysAndSectionsInFileOrder)
{
    writeRaw(kHandWritten);
    EXPECT_EQ(pf::keys("general", path()),
              QStringList({"Language", "Tabbed", "Quoted", "HalfQuoted", "Eq", "Empty", "language"}));
    EXPECT_EQ(pf::sections(path()), QStringList({"General", "Files", "general"}));
    EXPECT_TRUE(pf::keys("Missing", path()).isEmpty());
    EXPECT_TRUE(pf::keys("General", path("nofile.ini")).isEmpty());
}

TEST_F(ProfileFileTest, CreatesTheFileOnFirstWriteWithCrLf)
{
    ASSERT_TRUE(pf::writeString("General", "LastEvent", "12", path()));
    ASSERT_TRUE(pf::writeString("General", "Language", "fr", path()));
    ASSERT_TRUE(pf::writeString("Files", "LastUsed", "a.px2", path()));
    EXPECT_EQ(readRaw(), QByteArray("[General]\r\nLastEvent=12\r\nLanguage=fr\r\n\r\n[Files]\r\nLastUsed=a.px2\r\n"));
}

TEST_F(ProfileFileTest, WritesInPlaceAndKeepsWhatItDoesNotUnderstand)
{
    writeRaw("; head\r\n[A]\r\nx = 1\r\n; about A\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(pf::writeString("a", "X", "10", path()));   // existing key keeps its place and name
    ASSERT_TRUE(pf::writeString("A", "z", "3", path()));    // new key after the section's last key
    ASSERT_TRUE(pf::writeString("B", "w", "4", path()));    // at the end of the last section
    EXPECT_EQ(readRaw(), QByteArray("; head\r\n[A]\r\nx=10\r\nz=3\r\n; about A\r\n\r\n; about B\r\n[B]\r\ny=2\r\nw=4\r\n"));
}

TEST_F(ProfileFileTest, WritesIntoTheFirstOfDuplicateSectionsAndNormalisesLineEnds)
{
    writeRaw(kHandWritten);
    ASSERT_TRUE(pf::writeString("GENERAL", "Language", "en", path()));
    ASSERT_TRUE(pf::writeString("Files", "New", "1", path()));
    EXPECT_EQ(pf::value("General", "Language", path()), QString("en"));
    EXPECT_EQ(pf::value("general", "language", path()), QString("en"));
    EXPECT_EQ(pf::keys("Files", path()), QStringList({"LastUsed", "New"}));
    const QByteArray raw = readRaw();
    EXPECT_TRUE(raw.contains("no equals sign here\r\n"));
    EXPECT_TRUE(raw.contains("; a comment=not a key\r\n"));
    EXPECT_TRUE(raw.contains("Language=duplicate\r\n"));
    EXPECT_EQ(raw.count("\n"), raw.count("\r\n"));
}

TEST_F(ProfileFileTest, LineBreaksInAValueCannotMakeNewKeysOrSections)
{
    ASSERT_TRUE(pf::writeString("A", "k", "one\r\n[B]\r\nx=2", path()));
    EXPECT_EQ(pf::sections(path()), QStringList({"A"}));
    EXPECT_EQ(pf::keys("A", path()), QStringList({"k"}));
}

TEST_F(ProfileFileTest, DeletesKeysAndSections)
{
    writeRaw(kHandWritten);
    ASSERT_TRUE(pf::deleteKey("general", "LANGUAGE", path()));
    // Both spellings of the key, and the duplicate section's copy, are gone.
    EXPECT_EQ(pf::value("General", "Language", path()), std::nullopt);
    EXPECT_EQ(pf::keys("General", path()), QStringList({"Tabbed", "Quoted", "HalfQuoted", "Eq", "Empty"}));

    ASSERT_TRUE(pf::deleteSection("GENERAL", path()));
    EXPECT_EQ(pf::sections(path()), QStringList({"Files"}));
    EXPECT_EQ(pf::getString("General", "Other", "dflt", path()), "dflt");  // no hidden duplicate surfaces
    EXPECT_EQ(pf::value("Files", "LastUsed", path()), QString("/data/a.px2"));
    EXPECT_TRUE(readRaw().startsWith("; settings of the panel\r\ntop=before any section\r\n\r\n[Files]\r\n"));

    // Deleting on a missing file does not create it.
    EXPECT_TRUE(pf::deleteKey("A", "b", path("nofile.ini")));
    EXPECT_TRUE(pf::deleteSection("A", path("nofile.ini")));
    EXPECT_FALSE(QFile::exists(path("nofile.ini")));
}

TEST_F(ProfileFileTest, AWholeSectionIsReadAndReplacedInOneGo)
{
    writeRaw("[A]\r\nx=1\r\n[Rows]\r\n1= \"quoted\" \r\nstale=9\r\n; note\r\n[B]\r\ny=2\r\n[rows]\r\n7=hidden\r\n");
    EXPECT_EQ(pf::sectionEntries("ROWS", path()), (pf::Entries{{"1", "quoted"}, {"stale", "9"}}));
    EXPECT_TRUE(pf::sectionEntries("Missing", path()).isEmpty());

    // The section keeps its place; its duplicate and its old keys are gone.
    int renames = 0;
    pf::setBeforeRenameHook([&](const QString&) { return ++renames > 0; });
    ASSERT_TRUE(pf::replaceSection("Rows", {{"1", "top"}, {"2", "next\r\n[C]"}}, path()));
    pf::setBeforeRenameHook({});
    EXPECT_EQ(renames, 1) << "one rewrite of the file";
    EXPECT_EQ(readRaw(), QByteArray("[A]\r\nx=1\r\n[Rows]\r\n1=top\r\n2=next  [C]\r\n[B]\r\ny=2\r\n"));

    ASSERT_TRUE(pf::replaceSection("New", {{"k", "v"}}, path()));
    EXPECT_TRUE(readRaw().endsWith("y=2\r\n\r\n[New]\r\nk=v\r\n"));
    ASSERT_TRUE(pf::replaceSection("rows", {}, path()));
    EXPECT_EQ(pf::sections(path()), QStringList({"A", "B", "New"}));
    EXPECT_TRUE(pf::replaceSection("Rows", {}, path("nofile.ini")));
    EXPECT_FALSE(QFile::exists(path("nofile.ini")));
}

TEST_F(ProfileFileTest, ABareFileNameLivesInTheProgramFolder)
{
    ASSERT_TRUE(pf::writeString("S", "k", "v", "bare.ini"));
    EXPECT_TRUE(QFile::exists(path("bare.ini")));
    EXPECT_EQ(pf::resolvePath("bare.ini"), path("bare.ini"));
    EXPECT_EQ(pf::resolvePath("/etc/x.ini"), "/etc/x.ini");
    EXPECT_EQ(pf::getString("S", "k", "", "bare.ini"), "v");
}

TEST_F(ProfileFileTest, FilesAreWindows1252)
{
    writeRaw("[Texte]\r\nCl\xE9=\x80 caf\xE9\r\n");
    EXPECT_EQ(pf::value(QString::fromUtf8("Texte"), QString::fromUtf8("clÉ"), path()), QString::fromUtf8("€ café"));
    ASSERT_TRUE(pf::writeString("Texte", QString::fromUtf8("Clé"), QString::fromUtf8("été"), path()));
    EXPECT_EQ(readRaw(), QByteArray("[Texte]\r\nCl\xE9=\xE9t\xE9\r\n"));
}

TEST_F(ProfileFileTest, SeesChangesMadeByAnotherProcess)
{
    ASSERT_TRUE(pf::writeString("General", "LastEvent", "1", path()));
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("1"));
    // Same size, rewritten in place (no new inode), at once and after a pause.
    for (const char* v : {"2", "3"}) {
        QProcess sh;
        sh.start("sh", {"-c", QString("printf '[General]\\r\\nLastEvent=%1\\r\\n' > '%2'").arg(v, path())});
        ASSERT_TRUE(sh.waitForFinished());
        EXPECT_EQ(pf::value("General", "LastEvent", path()), QString(v));
    }
    // Replaced by another file (a new inode), as editors do.
    writeRaw("[General]\r\nLastEvent=4\r\n", "other.ini");
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QFile::rename(path("other.ini"), path()));
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("4"));
    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_EQ(pf::value("General", "LastEvent", path()), std::nullopt);
}

TEST_F(ProfileFileTest, SeesAnInPlaceChangeOfAFileReadLongAgo)
{
    writeRaw("[General]\r\nLastEvent=1\r\n");
    // Backdate the file so that a cached copy would be trusted.
    QProcess::execute("touch", {"-d", "2020-01-01 00:00:00", path()});
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("1"));
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("1"));
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(QByteArray("[General]\r\nLastEvent=").size());
        f.write("7");
    }
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("7"));
}

TEST_F(ProfileFileTest, KeepsTheOldFileWholeWhenTheRenameFails)
{
    writeRaw("[General]\r\nLastEvent=41\r\n; keep me\r\n");
    const QByteArray before = readRaw();
    QString seenTemp;
    pf::setBeforeRenameHook([&](const QString& temp) {
        seenTemp = temp;
        // The new content is complete on disk, beside the target, before the rename.
        QFile f(temp);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().contains("LastEvent=42\r\n"));
        return false;
    });
    EXPECT_FALSE(pf::writeString("General", "LastEvent", "42", path()));
    pf::setBeforeRenameHook({});
    EXPECT_EQ(QFileInfo(seenTemp).absolutePath(), testing_support::programFolder());
    EXPECT_EQ(readRaw(), before);
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("41"));
    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(',').toStdString();

    EXPECT_TRUE(pf::writeString("General", "LastEvent", "42", path()));
    EXPECT_EQ(pf::value("General", "LastEvent", path()), QString("42"));
}

TEST_F(ProfileFileTest, KeepsTheOldFileWholeWhenAWriteIsCutShort)
{
    // A file-size limit makes the write of the new content fail half-way,
    // as a full disk would.
    writeRaw("[General]\r\nLastEvent=41\r\n");
    const QByteArray before = readRaw();
    rlimit oldLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = oldLimit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = pf::writeString("General", "Big", QString(10000, 'x'), path());
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readRaw(), before);
    EXPECT_EQ(pf::value("General", "Big", path()), std::nullopt);
    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(',').toStdString();
}

TEST_F(ProfileFileTest, FailsWithoutTouchingAnythingWhenTheFolderIsMissing)
{
    EXPECT_FALSE(pf::writeString("A", "b", "c", path("missing/test.ini")));
    EXPECT_FALSE(QDir(path("missing")).exists());
}

TEST_F(ProfileFileTest, KeepsTheFileRightsAndSymbolicLinks)
{
    writeRaw("[A]\r\nb=1\r\n", "real.ini");
    ASSERT_TRUE(QFile::setPermissions(path("real.ini"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    ASSERT_TRUE(QFile::link(path("real.ini"), path("link.ini")));
    ASSERT_TRUE(pf::writeString("A", "b", "2", path("link.ini")));
    EXPECT_TRUE(QFileInfo(path("link.ini")).isSymLink());
    EXPECT_EQ(pf::value("A", "b", path("real.ini")), QString("2"));
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(path("real.ini")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
}
