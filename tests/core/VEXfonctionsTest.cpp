// The INI wrappers: every call works on <program folder>/PLX2.ini, rereads
// and rewrites it, and reports the library's behaviour unchanged.

#include "program/core/VEXfonctions.h"

#include "platform/Cp1252.h"
#include "program/core/IniKeys.h"
#include "tests/harness/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace VEXfonctions;

namespace {

QString iniText()
{
    QFile f(testing_support::programFolder() + "/PLX2.ini");
    return f.open(QIODevice::ReadOnly) ? plat::Cp1252::decode(f.readAll()) : QString();
}

void writeIni(const QByteArray& text)
{
    QFile f(testing_support::programFolder() + "/PLX2.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

TEST(VEXfonctions, IniFileNameIsBesideTheProgram)
{
    EXPECT_EQ(IniFileName(), testing_support::programFolder() + "/PLX2.ini");
}

TEST(VEXfonctions, WithNoFileReadersGetTheirDefaultsAndWritersCreateIt)
{
    EXPECT_EQ(GetIni(IniKeys::General, IniKeys::Language, IniKeys::LanguageDefault), "0");
    EXPECT_EQ(GetIni(IniKeys::Files, IniKeys::LastConfigModified, IniKeys::LastConfigModifiedDefault), "True");
    EXPECT_FALSE(QFile::exists(IniFileName()));

    SetIni(IniKeys::General, IniKeys::Language, "2");
    EXPECT_TRUE(iniText().contains("[General]"));
    EXPECT_TRUE(iniText().contains("Language=2"));
    EXPECT_EQ(GetIni(IniKeys::General, IniKeys::Language, IniKeys::LanguageDefault), "2");
}

TEST(VEXfonctions, NothingIsCached)
{
    SetIni(IniKeys::Files, IniKeys::PeriodUnit, "1");
    writeIni("[Files]\r\nPeriodUnit=0\r\n");   // changed behind the program's back
    EXPECT_EQ(GetIni(IniKeys::Files, IniKeys::PeriodUnit, "x"), "0");
}

TEST(VEXfonctions, GetIniKeysListsTheKeysInFileOrderOrLeavesTheArrayAlone)
{
    writeIni("[LastAlarms]\r\n3=c\r\n1=a\r\nIndex=2\r\n[Other]\r\nx=1\r\n");
    QStringList keys{"untouched"};
    EXPECT_EQ(GetIniKeys(keys, "Missing"), 0);
    EXPECT_EQ(keys, QStringList{"untouched"});

    EXPECT_EQ(GetIniKeys(keys, IniKeys::LastAlarms), 3);
    EXPECT_EQ(keys.mid(0, 3), QStringList({"3", "1", "Index"}));
}

TEST(VEXfonctions, DeletesAKeyOrAWholeSection)
{
    writeIni("[LastAlarms]\r\n1=a\r\n2=b\r\nIndex=2\r\n[PendingCommands]\r\n1=x\r\n");
    DelIniKey(IniKeys::LastAlarms, "1");
    EXPECT_EQ(GetIni(IniKeys::LastAlarms, "1", "gone"), "gone");
    EXPECT_EQ(GetIni(IniKeys::LastAlarms, "2", ""), "b");

    DelIniSection(IniKeys::LastAlarms);
    QStringList keys;
    EXPECT_EQ(GetIniKeys(keys, IniKeys::LastAlarms), 0);
    EXPECT_EQ(GetIni(IniKeys::PendingCommands, "1", ""), "x");
}
