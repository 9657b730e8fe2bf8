#include "library/IniParam.h"

#include "platform/Component.h"
#include "tests/harness/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

class IniParamTest : public testing::Test {
protected:
    void SetUp() override { m_ini = plat::ComPtr<_IniParam>::attach(new IniParam); }

    QString file() const { return testing_support::programFolder() + "/PLX2.ini"; }
    void writeRaw(const QByteArray& bytes) const
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    plat::ComPtr<_IniParam> m_ini;
};

} // namespace

TEST_F(IniParamTest, ReadsTrimmedValuesAndDefaults)
{
    writeRaw("[General]\r\n"
             "Name=  abc  \r\n"
             "Spaces=     \r\n"
             "Empty=\r\n"
             "Quoted=\"  inside  \"\r\n");
    struct Case { const char* key; const char* expected; };
    const Case cases[] = {
        {"Name", "abc"},
        {"Spaces", ""},      // a spaces-only value is empty, not the default
        {"Empty", ""},
        {"Quoted", "inside"},
        {"Missing", "dflt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_ini->GetPrivateParam("General", c.key, "dflt", file()), c.expected) << c.key;
    EXPECT_EQ(m_ini->GetPrivateParam("Nowhere", "Name", "dflt", file()), "dflt");
    EXPECT_EQ(m_ini->GetPrivateParam("General", "Name", "dflt", file() + ".missing"), "dflt");
    // The default goes through the same buffer.
    EXPECT_EQ(m_ini->GetPrivateParam("General", "Missing", "  d  ", file()), "d");
}

TEST_F(IniParamTest, CutsValuesAt1023Characters)
{
    const QString longValue = QString(1000, 'a') + QString(500, QChar(0xE9));
    m_ini->SetPrivateParam("S", "Long", longValue, file());
    const QString got = m_ini->GetPrivateParam("S", "Long", "", file());
    EXPECT_EQ(got.size(), 1023);
    EXPECT_EQ(got, longValue.left(1023));

    m_ini->SetPrivateParam("S", "Exact", QString(1023, 'b'), file());
    EXPECT_EQ(m_ini->GetPrivateParam("S", "Exact", "", file()), QString(1023, 'b'));
    EXPECT_EQ(m_ini->GetPrivateParam("S", "Missing", QString(2000, 'd'), file()), QString(1023, 'd'));
}

TEST_F(IniParamTest, WritesAndDeletes)
{
    m_ini->SetPrivateParam("General", "LastEvent", "17", file());
    m_ini->SetPrivateParam("LastAlarms", "1", "row one", file());
    EXPECT_EQ(m_ini->GetPrivateParam("general", "lastevent", "0", file()), "17");
    m_ini->DelPrivateParam("General", "LastEvent", file());
    EXPECT_EQ(m_ini->GetPrivateParam("General", "LastEvent", "0", file()), "0");
    m_ini->DelPrivateSection("LastAlarms", file());
    EXPECT_EQ(m_ini->GetPrivateParam("LastAlarms", "1", "gone", file()), "gone");
    QStringList keys;
    EXPECT_EQ(m_ini->GetPrivateParamsList(keys, "LastAlarms", file()), 0);
}

TEST_F(IniParamTest, BareFileNamesLiveInTheProgramFolder)
{
    m_ini->SetPrivateParam("S", "k", "v", "bare.ini");
    EXPECT_TRUE(QFile::exists(testing_support::programFolder() + "/bare.ini"));
    EXPECT_EQ(m_ini->GetPrivateParam("S", "k", "", "bare.ini"), "v");
}

TEST_F(IniParamTest, WritesReportNothingWhenTheyFail)
{
    const QString bad = testing_support::programFolder() + "/no/such/folder/x.ini";
    EXPECT_NO_THROW(m_ini->SetPrivateParam("S", "k", "v", bad));
    EXPECT_NO_THROW(m_ini->DelPrivateParam("S", "k", bad));
    EXPECT_NO_THROW(m_ini->DelPrivateSection("S", bad));
    EXPECT_EQ(m_ini->GetPrivateParam("S", "k", "dflt", bad), "dflt");
}

TEST_F(IniParamTest, ListsKeysInFileOrder)
{
    writeRaw("[LastAlarms]\r\n1=a\r\n2=b\r\nIndex=1\r\n[Other]\r\nx=1\r\n");
    QStringList keys;
    EXPECT_EQ(m_ini->GetPrivateParamsList(keys, "lastalarms", file()), 3);
    EXPECT_EQ(keys, QStringList({"1", "2", "Index"}));
}

TEST_F(IniParamTest, LeavesTheArrayAloneWhenThereAreNoKeys)
{
    writeRaw("[Empty]\r\n; only a comment\r\n[Full]\r\na=1\r\n");
    QStringList keys{"kept", "as", "is"};
    EXPECT_EQ(m_ini->GetPrivateParamsList(keys, "Empty", file()), 0);
    EXPECT_EQ(m_ini->GetPrivateParamsList(keys, "Missing", file()), 0);
    EXPECT_EQ(m_ini->GetPrivateParamsList(keys, "Full", file() + ".missing"), 0);
    EXPECT_EQ(keys, QStringList({"kept", "as", "is"}));
    // A shorter list replaces a longer one completely.
    EXPECT_EQ(m_ini->GetPrivateParamsList(keys, "Full", file()), 1);
    EXPECT_EQ(keys, QStringList({"a"}));
}

TEST_F(IniParamTest, ListsEveryKeyOfALongSection)
{
    // 1500 alarm rows: their names need far more than 4096 characters.
    QByteArray text = "[LastAlarms]\r\n";
    QStringList expected;
    for (int i = 1; i <= 1500; ++i) {
        text += QByteArray::number(i) + "=row\r\n";
        expected << QString::number(i);
    }
    text += "Index=3\r\n";
    expected << "Index";
    ASSERT_GT(expected.join(QChar(0)).size(), 4096);
    writeRaw(text);

    QStringList keys;
    ASSERT_EQ(m_ini->GetPrivateParamsList(keys, "LastAlarms", file()), 1501);
    EXPECT_EQ(keys, expected);

    // The rows at the end of the list, beyond what a 4096-character buffer
    // holds, can be deleted like the others.
    for (int i = 1491; i <= 1500; ++i)
        m_ini->DelPrivateParam("LastAlarms", QString::number(i), file());
    QStringList after;
    EXPECT_EQ(m_ini->GetPrivateParamsList(after, "LastAlarms", file()), 1491);
    EXPECT_EQ(after.last(), "Index");
    EXPECT_EQ(after.at(1489), "1490");
    EXPECT_EQ(m_ini->GetPrivateParam("LastAlarms", "1500", "gone", file()), "gone");
}
