#include "platform/RegistryStore.h"

#include "tests/harness/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace plat;

namespace {

constexpr uint32_t HKCR = RegistryRoot::ClassesRoot;
constexpr uint32_t HKCU = RegistryRoot::CurrentUser;

class RegistryStoreFile : public testing::Test {
protected:
    QString file() const { return testing_support::programFolder() + "/Registry.ini"; }
};

} // namespace

TEST(RegistryTree, OpenFailsOnAMissingKeyAndCreateMakesTheParents)
{
    RegistryTree t;
    EXPECT_FALSE(t.keyExists(HKCR, "a\\b\\c"));
    EXPECT_FALSE(t.setValue(HKCR, "a\\b\\c", "", "x"));  // writing needs an existing key
    ASSERT_TRUE(t.createKey(HKCR, "a\\b\\c"));
    EXPECT_TRUE(t.keyExists(HKCR, "a"));
    EXPECT_TRUE(t.keyExists(HKCR, "a\\b"));
    EXPECT_FALSE(t.keyExists(HKCU, "a"));  // roots are separate
    EXPECT_TRUE(t.createKey(HKCR, "a\\b\\c"));  // creating an existing key opens it
}

TEST(RegistryTree, NamesCompareWithoutCaseAndKeepTheirCase)
{
    RegistryTree t;
    ASSERT_TRUE(t.createKey(HKCR, "Viewer.EXE\\Shell"));
    ASSERT_TRUE(t.setValue(HKCR, "viewer.exe\\shell", "Name", "one"));
    ASSERT_TRUE(t.setValue(HKCR, "VIEWER.EXE\\SHELL", "NAME", "two"));
    EXPECT_EQ(t.value(HKCR, "viewer.exe\\SHELL", "name"), QString("two"));
    EXPECT_EQ(t.valueNames(HKCR, "viewer.exe\\shell"), QStringList{"Name"});
    EXPECT_EQ(t.subKeys(HKCR, "VIEWER.exe"), QStringList{"Shell"});
}

TEST(RegistryTree, DefaultValueIsTheEmptyNameAndMissingValuesAreNothing)
{
    RegistryTree t;
    ASSERT_TRUE(t.createKey(HKCR, ".abc"));
    EXPECT_FALSE(t.value(HKCR, ".abc", "").has_value());
    ASSERT_TRUE(t.setValue(HKCR, ".abc", "", "viewer.exe"));
    EXPECT_EQ(t.value(HKCR, ".abc", ""), QString("viewer.exe"));
    EXPECT_FALSE(t.value(HKCR, ".abc", "Other").has_value());
    EXPECT_FALSE(t.value(HKCR, ".xyz", "").has_value());
}

TEST(RegistryTree, DeleteRefusesAKeyWithSubkeysARootAndAMissingKey)
{
    RegistryTree t;
    ASSERT_TRUE(t.createKey(HKCR, "a\\b"));
    EXPECT_FALSE(t.deleteKey(HKCR, "a"));
    EXPECT_TRUE(t.keyExists(HKCR, "a\\b"));
    EXPECT_TRUE(t.deleteKey(HKCR, "A\\B"));
    EXPECT_FALSE(t.keyExists(HKCR, "a\\b"));
    EXPECT_TRUE(t.deleteKey(HKCR, "a"));
    EXPECT_FALSE(t.deleteKey(HKCR, "a"));
    EXPECT_FALSE(t.deleteKey(HKCR, ""));
}

TEST(RegistryTree, RefusesInvalidRootsAndPaths)
{
    RegistryTree t;
    for (uint32_t root : {0u, 0x7FFFFFFFu, 0x80000007u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(t.createKey(root, "a")) << root;
        EXPECT_FALSE(t.keyExists(root, "")) << root;
    }
    for (const char* path : {"\\a", "a\\\\b", "a\nb"})
        EXPECT_FALSE(t.createKey(HKCR, path)) << path;
    EXPECT_TRUE(t.createKey(HKCR, "a\\"));  // a trailing separator names the same key
    EXPECT_TRUE(t.keyExists(HKCR, "a"));
}

TEST(RegistryTree, TextsOfAnyKindSurviveTheFile)
{
    RegistryTree t;
    const QString key = "Odd [key] = \"x\"\\sub";
    ASSERT_TRUE(t.createKey(HKCU, key));
    ASSERT_TRUE(t.createKey(HKCR, "empty\\key"));
    const QStringList texts = {"", "plain", "quote \" and \\ back", "line\nbreak\r\ttab", QString(QChar(0)) + "nul",
                               QString::fromUtf8("caf\u00e9 \u20ac"), "=@;[x]", "@"};
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(t.setValue(HKCU, key, i == 0 ? QString() : texts[i], texts[i]));
    ASSERT_TRUE(t.setValue(HKCR, "", "rootvalue", "r"));

    const RegistryTree back = RegistryTree::parse(t.serialize());
    EXPECT_TRUE(back == t);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(back.value(HKCU, key, i == 0 ? QString() : texts[i]), texts[i]) << i;
    EXPECT_TRUE(back.keyExists(HKCR, "empty\\key"));
    EXPECT_EQ(back.value(HKCR, "", "rootvalue"), QString("r"));
}

TEST(RegistryTree, ParseSkipsWhatItCannotRead)
{
    const QByteArray text = "[HKEY_NOWHERE\\x]\n\"a\"=\"1\"\n"
                            "[hkey_classes_root\\ok\\deep]\n"
                            "\"good\"=\"yes\"\n"
                            "broken line\n"
                            "\"unterminated=\"v\n"
                            "@=\"default\"\r\n";
    const RegistryTree t = RegistryTree::parse(text);
    EXPECT_TRUE(t.keyExists(HKCR, "ok"));  // a parent missing from the file exists
    EXPECT_EQ(t.value(HKCR, "ok\\deep", "good"), QString("yes"));
    EXPECT_EQ(t.value(HKCR, "ok\\deep", ""), QString("default"));
    EXPECT_EQ(t.valueNames(HKCR, "ok\\deep").size(), 2);
}

TEST_F(RegistryStoreFile, DefaultFileIsTheEnvironmentsOrTheProgramFolders)
{
    const QByteArray saved = qgetenv("PLX_REGISTRY_FILE");
    qputenv("PLX_REGISTRY_FILE", "/some/where/reg.ini");
    EXPECT_EQ(RegistryStore::defaultFile(), QString("/some/where/reg.ini"));
    qunsetenv("PLX_REGISTRY_FILE");
    EXPECT_EQ(RegistryStore::defaultFile(), testing_support::programFolder() + "/Registry.ini");
    qputenv("PLX_REGISTRY_FILE", saved);
}

TEST_F(RegistryStoreFile, ChangesReachTheFileAndAnotherStoreSeesThem)
{
    RegistryStore a(file());
    EXPECT_FALSE(a.keyExists(HKCR, "k"));  // no file yet
    ASSERT_TRUE(a.createKey(HKCR, "k\\s"));
    ASSERT_TRUE(a.setValue(HKCR, "k\\s", "", "v"));
    RegistryStore b(file());
    EXPECT_EQ(b.value(HKCR, "k\\s", ""), QString("v"));
    EXPECT_FALSE(b.deleteKey(HKCR, "k"));
    EXPECT_TRUE(b.deleteKey(HKCR, "k\\s"));
    EXPECT_FALSE(a.keyExists(HKCR, "k\\s"));
    EXPECT_EQ(a.subKeys(HKCR, ""), QStringList{"k"});
}

TEST_F(RegistryStoreFile, AFailedEditWritesNothingAndAnUnchangedOneDoesNotRewrite)
{
    RegistryStore s(file());
    ASSERT_TRUE(s.createKey(HKCR, "k"));
    ASSERT_TRUE(s.setValue(HKCR, "k", "", "v"));
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &before), 0);

    EXPECT_FALSE(s.update([](RegistryTree& t) {
        t.createKey(HKCR, "half\\done");
        return false;
    }));
    EXPECT_FALSE(s.keyExists(HKCR, "half"));
    EXPECT_TRUE(s.createKey(HKCR, "k"));
    EXPECT_TRUE(s.setValue(HKCR, "k", "", "v"));

    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // the file was not replaced
}

TEST_F(RegistryStoreFile, WritesFailCleanlyInAMissingFolder)
{
    RegistryStore s(testing_support::programFolder() + "/missing/Registry.ini");
    EXPECT_FALSE(s.createKey(HKCR, "k"));
    EXPECT_FALSE(s.keyExists(HKCR, "k"));
}

TEST_F(RegistryStoreFile, ConcurrentWritersLoseNoChange)
{
    constexpr int kThreads = 6, kKeys = 15;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([this, t] {
            RegistryStore s(file());
            for (int k = 0; k < kKeys; ++k)
                s.createKey(HKCR, QString("T%1\\K%2").arg(t).arg(k));
        });
    for (auto& th : threads)
        th.join();
    RegistryStore s(file());
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(s.subKeys(HKCR, QString("T%1").arg(t)).size(), kKeys) << t;
}
