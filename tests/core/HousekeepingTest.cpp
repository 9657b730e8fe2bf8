// The day change housekeeping on a program folder of dated trace logs and
// history files with set modification times: which files are kept, deleted
// and copied for each retention and copy folder, and a failing step.

#include "program/core/Housekeeping.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Database.h"
#include "platform/Guard.h"
#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>
#include <unistd.h>

namespace {

using Names = std::set<std::string>;

const QDate kToday(2024, 12, 10);

// Trace logs by name; the last three are no dated logs of the program.
const char* const kLogs[] = {"20230101.log", "20241206.log", "20241207.log", "20241210.log",
                             "notes.log",    "20241399.log", "2024120.log"};

// History files of the program folder and the day each was last written.
struct Dated {
    const char* name;
    QDate modified;
};
const Dated kHistory[] = {
    {"Histo202409.his", {2024, 9, 30}},   {"Histo202410.his", {2024, 10, 15}}, {"Histo20241207.his", {2024, 12, 7}},
    {"Histo20241209.his", {2024, 12, 9}}, {"Histo202412.his", {2024, 12, 10}},
};

enum class CopyFolder { Missing, ProgramFolder, Another, Unusable };

void setModified(const QString& path, const QDateTime& at)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite)) << path.toStdString();
    ASSERT_TRUE(f.setFileTime(at, QFileDevice::FileModificationTime));
}

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(content);
    f.close();
    setModified(path, modified);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Names filesIn(const QString& folder, const QString& pattern)
{
    Names names;
    for (const QString& n : QDir(folder).entryList({pattern}, QDir::Files))
        names.insert(n.toStdString());
    return names;
}

class Housekeeping_ : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        program = testing_support::programFolder();
        copies = program + "/copies";
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", program + "/PLX2.cfg"));
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
    }
    void TearDown() override
    {
        QFile::setPermissions(copies, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ProgramGlobals::TearDown();
    }

    // The trace retention of the database (none: the key is missing).
    void setRetention(const char* days)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(program + "/PLX2.cfg").constData(), &db), SQLITE_OK);
        const QByteArray sql = days ? QByteArray("INSERT OR REPLACE INTO T_Config VALUES (100100, '") + days + "', '')"
                                    : QByteArray("DELETE FROM T_Config WHERE \"Key\" = 100100");
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        ASSERT_TRUE(Config::OpenConfigBase());
    }

    void makeTree(const QDate& today)
    {
        ASSERT_TRUE(QDir().mkpath(program + "/Trace"));
        const int shift = int(kToday.daysTo(today));
        for (const char* name : kLogs) {
            QString n = QString::fromLatin1(name);
            const QDate d = QDate::fromString(n.left(8), "yyyyMMdd");
            if (d.isValid() && n.size() == 12)
                n = d.addDays(shift).toString("yyyyMMdd") + ".log";
            writeFile(program + "/Trace/" + n, "log\r\n", QDateTime(today, QTime(1, 0)));
        }
        for (const Dated& h : kHistory)
            writeFile(program + "/" + h.name, QByteArray("entry of ") + h.name, QDateTime(h.modified.addDays(shift), QTime(12, 0)));
        writeFile(program + "/keep.txt", "not history", QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    }

    // A copy folder holding an old copy, one newer than its source and one older.
    void makeCopies()
    {
        ASSERT_TRUE(QDir().mkpath(copies));
        writeFile(copies + "/Histo202301.his", "old", QDateTime(QDate(2023, 1, 31), QTime(12, 0)));
        writeFile(copies + "/Histo202412.his", "newer copy", QDateTime(kToday, QTime(13, 0)));
        writeFile(copies + "/Histo20241209.his", "older copy", QDateTime(QDate(2024, 12, 8), QTime(12, 0)));
    }

    void setCopyFolder(CopyFolder kind)
    {
        switch (kind) {
        case CopyFolder::Missing:
            VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, program + "/no-such-folder");
            break;
        case CopyFolder::ProgramFolder:
            break;  // the default
        case CopyFolder::Another:
        case CopyFolder::Unusable:
            makeCopies();
            VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, copies + "/");
            break;
        }
    }

    void setHistoryRetention(const char* limit, const char* time, const char* unit)
    {
        if (limit)
            VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodLimit, limit);
        VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodTime, time);
        VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodUnit, unit);
    }

    // Runs the housekeeping as a user who may not use the copy folder (the
    // super-user may use any folder: the run then takes another user's rights).
    void runWithUnusableCopyFolder(const plat::DateTime& now)
    {
        ASSERT_TRUE(QFile::setPermissions(copies, {}));
        if (::geteuid() != 0) {
            runReported(now);
            return;
        }
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup
                         | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        for (const QString& path : {program, program + "/Trace"})
            QFile::setPermissions(path, all);
        for (const QString& folder : {program, program + "/Trace"})
            for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
                QFile::setPermissions(f.filePath(), all & ~(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        gTraceLog().CloseFile();
        const uid_t nobody = 65534;
        ASSERT_EQ(::seteuid(nobody), 0);
        runReported(now);
        ASSERT_EQ(::seteuid(0), 0);
    }

    void runReported(const plat::DateTime& now)
    {
        plat::guard("Config.DoMidnightActions", [&] { Housekeeping::DoMidnightActions(now); });
    }

    QString program;
    QString copies;
    QStringList reports;
};

TEST_F(Housekeeping_, KeepsDeletesAndCopiesByTheRetentionsAndTheCopyFolder)
{
    struct Case {
        const char* what;
        const char* traceDays;          // nullptr: no such key
        const char* limit;              // "Files"/"PeriodLimit"; nullptr: missing
        const char* time;               // "Files"/"PeriodTime"
        const char* unit;               // "Files"/"PeriodUnit"
        CopyFolder copyFolder;
        Names logs;                     // left in the trace folder
        Names history;                  // left in the program folder
        Names copied;                   // in the copy folder afterwards
    };
    const Names allLogs(std::begin(kLogs), std::end(kLogs));
    Names allHistory;
    for (const Dated& h : kHistory)
        allHistory.insert(h.name);
    const Names recentLogs = {"20241207.log", "20241210.log", "notes.log", "20241399.log", "2024120.log"};
    const Names lastTwoDays = {"Histo20241209.his", "Histo202412.his"};
    const Names lastTwoMonths = {"Histo202410.his", "Histo20241207.his", "Histo20241209.his", "Histo202412.his"};
    Names allCopied = allHistory;
    allCopied.insert("Histo202301.his");

    const Case cases[] = {
        {"no trace retention, history unlimited, another copy folder", nullptr, "0", "2", "1", CopyFolder::Another,
         allLogs, allHistory, allCopied},
        {"trace retention 0, limit without a count, copy folder missing", "0", "1", "0", "1", CopyFolder::Missing, allLogs,
         allHistory, {}},
        {"limit set to -1 as true, two days, another copy folder", "3", "-1", "2", "1", CopyFolder::Another, recentLogs,
         lastTwoDays, lastTwoDays},
        {"three days of logs, two months, the program folder as copy folder", "3", "1", "2", "0",
         CopyFolder::ProgramFolder, recentLogs, lastTwoMonths, {}},
        {"no limit key: unlimited", "3", nullptr, "2", "1", CopyFolder::Another, recentLogs, allHistory, allCopied},
        {"a copy folder that cannot be used", nullptr, "1", "2", "1", CopyFolder::Unusable, allLogs, lastTwoDays,
         {"Histo202301.his", "Histo202412.his", "Histo20241209.his"}},
    };
    const plat::DateTime now = plat::DateTime::fromDate(kToday, QTime(0, 0, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(program + "/Trace").removeRecursively();
        QDir(copies).removeRecursively();
        QFile::remove(program + "/PLX2.ini");
        for (const QFileInfo& f : QDir(program).entryInfoList({"*.his"}, QDir::Files))
            QFile::remove(f.filePath());
        setRetention(c.traceDays);
        makeTree(kToday);
        setHistoryRetention(c.limit, c.time, c.unit);
        setCopyFolder(c.copyFolder);
        reports.clear();

        if (c.copyFolder == CopyFolder::Unusable)
            runWithUnusableCopyFolder(now);
        else
            runReported(now);
        QFile::setPermissions(copies, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
        EXPECT_EQ(filesIn(program + "/Trace", "*.log"), c.logs);
        EXPECT_EQ(filesIn(program, "*.his"), c.history);
        EXPECT_TRUE(QFile::exists(program + "/keep.txt"));
        if (c.copyFolder == CopyFolder::Another || c.copyFolder == CopyFolder::Unusable) {
            EXPECT_EQ(filesIn(copies, "*.his"), c.copied);
        }
        if (c.copyFolder == CopyFolder::Another) {
            // A copy as new as its source or newer is left alone; an older one is replaced.
            EXPECT_EQ(readFile(copies + "/Histo202412.his"), "newer copy");
            EXPECT_EQ(readFile(copies + "/Histo20241209.his"), "entry of Histo20241209.his");
            for (const std::string& kept : c.history) {
                const QString name = QString::fromStdString(kept);
                if (name == "Histo202412.his")
                    continue;
                SCOPED_TRACE(kept);
                EXPECT_EQ(readFile(copies + "/" + name), readFile(program + "/" + name));
                EXPECT_EQ(QFileInfo(copies + "/" + name).lastModified(), QFileInfo(program + "/" + name).lastModified())
                    << "a copy keeps its source's time";
            }
        }
    }
}

TEST_F(Housekeeping_, TheNewDaysTraceLogIsOpenedForAppending)
{
    setRetention("90");
    ASSERT_TRUE(QDir().mkpath(program + "/Trace"));
    writeFile(program + "/Trace/20241210.log", "earlier\r\n", QDateTime(kToday, QTime(0, 0)));
    gTraceLog().OpenFile(program + "/Trace/20241209.log", VexLib22::eLogModeFileAppend);
    runReported(plat::DateTime::fromDate(kToday, QTime(0, 0, 1)));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    gTraceLog().Comment("later");
    gTraceLog().FlushFile();
    EXPECT_EQ(readFile(program + "/Trace/20241210.log"), "earlier\r\nlater\r\n");
}

// The first error is reported and ends the run; the next day change runs
// every step again.
TEST_F(Housekeeping_, AFailingStepIsReportedOnceAndTheRestWaitsForTheNextDay)
{
    const QDate today = QDate::currentDate();
    setRetention("3");
    makeTree(today);
    setHistoryRetention("1", "2", "1");
    makeCopies();
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::Histo, copies);
    // Something that is no folder stands where the trace folder should be.
    ASSERT_TRUE(QDir(program + "/Trace").removeRecursively());
    writeFile(program + "/Trace", "in the way", QDateTime::currentDateTime());

    Config::DoMidnightActions();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("Config.DoMidnightActions ")) << reports[0].toStdString();
    EXPECT_TRUE(QFile::exists(program + "/" + kHistory[0].name)) << "the purge did not run";
    EXPECT_FALSE(QFile::exists(copies + "/" + kHistory[0].name)) << "the copy did not run";

    ASSERT_TRUE(QFile::remove(program + "/Trace"));
    reports.clear();
    Config::DoMidnightActions();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    EXPECT_TRUE(QFile::exists(program + "/Trace/" + today.toString("yyyyMMdd") + ".log"));
    EXPECT_FALSE(QFile::exists(program + "/" + kHistory[0].name));
    EXPECT_TRUE(QFile::exists(copies + "/Histo202412.his"));
}

} // namespace
