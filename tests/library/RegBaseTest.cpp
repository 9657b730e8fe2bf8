#include "library/RegBase.h"

#include "platform/RegistryStore.h"
#include "tests/harness/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

constexpr int32_t HKCR = static_cast<int32_t>(HKEY_CLASSES_ROOT);
constexpr int32_t HKCU = static_cast<int32_t>(HKEY_CURRENT_USER);

// RegBase works on the default store: point it at a file of the test's own.
class RegBaseTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = qgetenv("PLX_REGISTRY_FILE");
        qputenv("PLX_REGISTRY_FILE", QFile::encodeName(file()));
    }
    void TearDown() override { qputenv("PLX_REGISTRY_FILE", m_saved); }

    static QString file() { return testing_support::programFolder() + "/Registry.ini"; }
    static plat::RegistryStore store() { return plat::RegistryStore(file()); }
    static QByteArray contents()
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    plat::ComPtr<_RegBase> reg = plat::ComPtr<_RegBase>::attach(new RegBase);

private:
    QByteArray m_saved;
};

} // namespace

TEST_F(RegBaseTest, SetRegKeyReturnsFalseOnSuccessCreatingOrReplacing)
{
    EXPECT_FALSE(reg->SetRegKey(HKCU, "Software\\Vex\\Test", "one"));
    EXPECT_EQ(reg->GetRegKey(HKCU, "Software\\Vex\\Test"), QString("one"));
    EXPECT_FALSE(reg->SetRegKey(HKCU, "Software\\Vex\\Test", "two"));
    EXPECT_FALSE(reg->SetRegKey(HKCU, "Software\\Vex\\Test", "named", QString("Name")));
    EXPECT_EQ(reg->GetRegKey(HKCU, "Software\\Vex\\Test"), QString("two"));
    EXPECT_EQ(reg->GetRegKey(HKCU, "software\\vex\\test", QString("NAME")), QString("named"));
    EXPECT_EQ(store().valueNames(plat::RegistryRoot::CurrentUser, "Software\\Vex\\Test"), (QStringList{"", "Name"}));
}

TEST_F(RegBaseTest, SetRegKeyReturnsTrueWhenTheWriteFails)
{
    EXPECT_TRUE(reg->SetRegKey(0x12345, "Software\\X", "v"));  // no such root
    EXPECT_TRUE(reg->SetRegKey(HKCU, "\\bad\\\\path", "v"));
    qputenv("PLX_REGISTRY_FILE", QFile::encodeName(testing_support::programFolder() + "/missing/Registry.ini"));
    EXPECT_TRUE(reg->SetRegKey(HKCU, "Software\\X", "v"));
    EXPECT_EQ(reg->GetRegKey(HKCU, "Software\\X"), QString());
}

TEST_F(RegBaseTest, GetRegKeyGivesEmptyTextOnAnyFailure)
{
    ASSERT_FALSE(reg->SetRegKey(HKCU, "Software\\Vex", "v"));
    EXPECT_EQ(reg->GetRegKey(HKCU, "Software\\Vex", QString("missing")), QString());
    EXPECT_EQ(reg->GetRegKey(HKCU, "Software\\Nothing"), QString());
    EXPECT_EQ(reg->GetRegKey(HKCR, "Software\\Vex"), QString());
    EXPECT_EQ(reg->GetRegKey(0, "Software\\Vex"), QString());
}

TEST_F(RegBaseTest, DelRegKeyLeavesAKeyWithSubkeys)
{
    ASSERT_FALSE(reg->SetRegKey(HKCU, "A\\B", "v"));
    reg->DelRegKey(HKCU, "A");
    EXPECT_EQ(reg->GetRegKey(HKCU, "A\\B"), QString("v"));
    reg->DelRegKey(HKCU, "A\\B");
    EXPECT_FALSE(store().keyExists(plat::RegistryRoot::CurrentUser, "A\\B"));
    reg->DelRegKey(HKCU, "A\\B");  // a missing key: nothing reported
    EXPECT_TRUE(store().keyExists(plat::RegistryRoot::CurrentUser, "A"));
}

TEST_F(RegBaseTest, ExtensionAssociationOnAFreshStoreAndAgain)
{
    const QString app = "C:\\Tools\\viewer.exe";
    EXPECT_TRUE(reg->SetRegExtAssociation(app, "abc", "%1", "ABC file"));
    EXPECT_EQ(reg->GetRegKey(HKCR, ".abc"), QString("viewer.exe"));
    EXPECT_EQ(reg->GetRegKey(HKCR, "viewer.exe\\shell\\Open\\command"), QString("C:\\Tools\\viewer.exe %1"));
    EXPECT_EQ(reg->GetRegKey(HKCR, "viewer.exe\\DefaultIcon"), QString("C:\\Tools\\viewer.exe, 0"));
    EXPECT_EQ(reg->GetRegKey(HKCR, "viewer.exe"), QString("ABC file"));
    EXPECT_TRUE(reg->SetRegExtAssociation(app, "abc", "%1", "ABC file"));

    // The owner is compared without regard to case; a POSIX path gives its file name too.
    EXPECT_TRUE(reg->SetRegExtAssociation("/opt/tools/VIEWER.EXE", "abc", "-o %1", "ABC", 2));
    EXPECT_EQ(reg->GetRegKey(HKCR, ".abc"), QString("VIEWER.EXE"));
    EXPECT_EQ(reg->GetRegKey(HKCR, "viewer.exe\\DefaultIcon"), QString("/opt/tools/VIEWER.EXE, 2"));
}

TEST_F(RegBaseTest, ExtensionOfAnotherProgramIsLeftAlone)
{
    ASSERT_FALSE(reg->SetRegKey(HKCR, ".abc", "other.exe"));
    const QByteArray before = contents();
    EXPECT_FALSE(reg->SetRegExtAssociation("C:\\Tools\\viewer.exe", "abc", "%1", "ABC file"));
    EXPECT_EQ(contents(), before);
    EXPECT_FALSE(store().keyExists(plat::RegistryRoot::ClassesRoot, "viewer.exe"));
}

TEST_F(RegBaseTest, ExtensionAssociationStopsAtTheFirstFailedWrite)
{
    // A program path ending in a separator has no file name: the command key cannot be made.
    EXPECT_FALSE(reg->SetRegExtAssociation("C:\\Tools\\", "abc", "%1", "ABC file"));
    EXPECT_FALSE(store().keyExists(plat::RegistryRoot::ClassesRoot, "DefaultIcon"));
}
