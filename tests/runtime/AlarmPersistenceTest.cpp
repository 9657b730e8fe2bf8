// The alarm rows kept in INI "LastAlarms" while the screen is unloaded: saved
// top first in one rewrite of the file, restored in order with the selected
// row that "Index" gives, line breaks kept, damaged values left out.

#include "tests/runtime/AlarmScreenFixture.h"

#include "platform/ProfileFile.h"
#include "platform/Values.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"

namespace {

using alarmtest::AlarmScreenFixture;

class AlarmRowsSaved : public AlarmScreenFixture {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        configure(3, 1);
    }
    void unloadScreen()
    {
        plat::Forms::Unload(screen());
        settle();
        ASSERT_EQ(screen(), nullptr);
    }
    static QStringList savedKeys()
    {
        QStringList keys;
        for (const auto& [key, value] : VEXfonctions::GetIniSection(IniKeys::LastAlarms))
            keys << key;
        return keys;
    }
    static QString saved(const QString& key) { return VEXfonctions::GetIni(IniKeys::LastAlarms, key, QString()); }
};

TEST_F(AlarmRowsSaved, RowsGoTopFirstAndComeBackInOrderWithTheSecondSelected)
{
    wRunAlarms* w = showScreen();
    for (int c : {5, 6, 7})
        send(3, c, 0, 1);
    const std::vector<qint32> before = rowIds();
    QStringList texts;
    for (int r = 0; r < 3; ++r)
        texts << w->AlarmRowText(r);
    unloadScreen();
    EXPECT_EQ(savedKeys(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(saved("1"), plat::Trim("03070001" + texts[0])) << "the ID, then the text";
    EXPECT_TRUE(saved("3").startsWith("03050001"));

    // The INI file keeps no trailing blanks.
    w = showScreen();
    EXPECT_EQ(rowIds(), before);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(w->AlarmRowText(r) + QString(texts[r].size() - w->AlarmRowText(r).size(), ' '), texts[r]);
    EXPECT_EQ(w->grdAlarms->Row(), 1) << "\"Index\" missing reads as 1";
    EXPECT_EQ(w->grdAlarms->CellBackColor(2, 0), 0xFFFF00u);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(AlarmRowsSaved, IndexSelectsOnlyARowBetweenTheFirstAndTheLast)
{
    struct Case {
        int rows;
        const char* index;
        int selected;
    };
    const Case cases[] = {{5, "3", 3}, {5, "4", 4}, {5, "0", 4}, {2, "1", 1}, {1, "1", 0}, {5, "x", 4}};
    for (const Case& c : cases) {
        VEXfonctions::IniEntries rows;
        for (int r = 0; r < c.rows; ++r)
            rows.append({QString::number(r + 1), QString("0301%1 row %2").arg(r, 4, 16, QChar('0')).arg(r)});
        rows.append({QStringLiteral("Index"), QString::fromLatin1(c.index)});
        VEXfonctions::SetIniSection(IniKeys::LastAlarms, rows);
        wRunAlarms* w = showScreen();
        EXPECT_EQ(w->AlarmRowCount(), c.rows);
        EXPECT_EQ(w->grdAlarms->Row(), c.selected) << c.rows << " rows, Index " << c.index;
        unloadScreen();
        EXPECT_FALSE(savedKeys().contains("Index")) << "never written";
    }
}

TEST_F(AlarmRowsSaved, TwoThousandRowsGoInOneRewriteAndAllComeBack)
{
    constexpr int rows = 2000;
    VEXfonctions::IniEntries values;
    for (int r = 0; r < rows; ++r)
        values.append({QString::number(r + 1), QString("%1 %2 02/05/2024 10:00:00 M03-C05").arg(quint32(0x03050001 + (r << 8)), 8, 16, QChar('0')).arg(r).toUpper()});
    VEXfonctions::SetIniSection(IniKeys::LastAlarms, values);
    wRunAlarms* w = showScreen();
    ASSERT_EQ(w->AlarmRowCount(), rows);
    EXPECT_EQ(w->AlarmRowText(rows - 1), QString(" %1 02/05/2024 10:00:00 M03-C05").arg(rows - 1));

    int rewrites = 0;
    plat::ProfileFile::setBeforeRenameHook([&](const QString& temp) {
        rewrites += temp.contains(".PLX2.ini.");
        return true;
    });
    unloadScreen();
    plat::ProfileFile::setBeforeRenameHook({});
    EXPECT_EQ(rewrites, 1);
    const VEXfonctions::IniEntries back = VEXfonctions::GetIniSection(IniKeys::LastAlarms);
    ASSERT_EQ(back.size(), rows);
    for (int r = 0; r < rows; r += 499) {
        EXPECT_EQ(back[r].first, QString::number(r + 1));
        EXPECT_EQ(back[r].second, values[r].second);
    }
}

TEST_F(AlarmRowsSaved, ALineBreakSavedAsABarComesBackAsALineBreak)
{
    VEXfonctions::SetIniSection(IniKeys::LastAlarms, {{"1", "03FF0100      4 02/05/2024 10:00:00 M03-K71 Module|missing"}});
    wRunAlarms* w = showScreen();
    ASSERT_EQ(w->AlarmRowCount(), 1);
    EXPECT_EQ(w->AlarmRowText(0), "      4 02/05/2024 10:00:00 M03-K71 Module\r\nmissing");
    EXPECT_EQ(w->grdAlarms->CellBackColor(0, 0), 0x0000FFu);
    unloadScreen();
    EXPECT_EQ(saved("1"), "03FF0100      4 02/05/2024 10:00:00 M03-K71 Module|missing");
}

TEST_F(AlarmRowsSaved, ADamagedValueIsLeftOutAndTheRestLoads)
{
    VEXfonctions::SetIniSection(IniKeys::LastAlarms, {{"1", "03050001 first"},
                                                      {"2", "nothex!! second"},
                                                      {"3", "0305"},
                                                      {"Note", "03070001 not a row"},
                                                      {"4", "03060001 fourth"}});
    wRunAlarms* w = showScreen();
    EXPECT_EQ(rowIds(), (std::vector<qint32>{id(3, 5, 0, 1), id(3, 6, 0, 1)}));
    EXPECT_EQ(w->AlarmRowText(1), " fourth");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
