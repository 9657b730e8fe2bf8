// Start-up, run headless in the test's program folder with a recording engine
// form: for each kind of start, which forms are loaded and visible, what the
// trace log holds, the INI keys written, the events sent and the sound files
// written; then the single points of the start one by one.

#include "platform/Database.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/ErrorHandling.h"
#include "program/core/IniKeys.h"
#include "program/core/Login.h"
#include "program/core/VEXfonctions.h"
#include "tests/core/CoreProgramFixture.h"

#include <QDate>
#include <QLockFile>
#include <sqlite3.h>

namespace {

enum class WorkFile { None, Good, Unreadable };

class Startup : public CoreProgramFixture {
protected:
    static QString datFile() { return folder() + "/PLX2.dat"; }
    static QString iniFile() { return folder() + "/PLX2.ini"; }
    static QString traceFile()
    {
        return folder() + "/Trace/" + QDate::currentDate().toString("yyyyMMdd") + ".log";
    }

    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray readBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A working file saved by the configuration model itself.
    static void writeWorkingFile(bool autoStart, const std::function<void(ConfigClass&)>& more = {})
    {
        ASSERT_TRUE(Config::OpenConfigBase());
        ConfigClass config;
        config.setAutoStart(autoStart);
        if (more)
            more(config);
        ASSERT_EQ(config.Save(datFile()), -1);
    }

    // "Section/Key=Value" of every key of the INI file, in file order.
    static QStringList iniEntries()
    {
        QStringList out;
        QString section;
        for (const QString& raw : QString::fromLatin1(readBytes(iniFile())).split('\n')) {
            const QString line = raw.trimmed();
            if (line.startsWith('[') && line.endsWith(']'))
                section = line.mid(1, line.size() - 2);
            else if (line.contains('='))
                out << section + "/" + line;
        }
        return out;
    }

    static QStringList soundFiles()
    {
        return QDir(folder()).entryList({"AlarmSound*"}, QDir::Files, QDir::Name);
    }

    static void sql(const char* statement)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(folder() + "/PLX2.cfg").constData(), &db), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }
};

struct StartCase {
    const char* what;
    WorkFile file;
    bool autoStart;
    bool portOpen;
    bool secondInstance;
    QStringList loaded;
    QStringList visible;
    QStringList iniWritten;
    std::vector<qint16> events;
    QStringList sounds;
    bool run;
};

TEST_F(Startup, EachKindOfStart)
{
    const StartCase cases[] = {
        {"no working file", WorkFile::None, false, true, false, {"wPolling", "wMain"}, {"wMain"},
         {"Files/LastUsed=Untitled"}, {1}, {"AlarmSound1.wav"}, false},
        {"a good one without AutoStart", WorkFile::Good, false, true, false, {"wPolling", "wMain"}, {"wMain"}, {},
         {1}, {"AlarmSound1.wav"}, false},
        {"a good one with AutoStart, port open", WorkFile::Good, true, true, false, {"wPolling", "wRunAlarms"},
         {"wRunAlarms"}, {}, {1}, {"AlarmSound1.wav"}, true},
        {"a good one with AutoStart, port closed", WorkFile::Good, true, false, false, {"wPolling", "wMain"},
         {"wMain"}, {}, {1}, {"AlarmSound1.wav"}, false},
        {"an unreadable one", WorkFile::Unreadable, false, true, false, {"wPolling", "wMain"}, {"wMain"},
         {"Files/LastUsed=Untitled"}, {1}, {"AlarmSound1.wav"}, false},
        {"a second instance", WorkFile::Good, true, true, true, {}, {}, {}, {}, {}, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        // A fresh program folder's content for each case.
        for (const QString& name : QDir(folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            if (name != "PLX2.cfg") {
                QFileInfo(folder() + "/" + name).isDir() ? (void)QDir(folder() + "/" + name).removeRecursively()
                                                         : (void)QFile::remove(folder() + "/" + name);
            }
        if (c.file == WorkFile::Good)
            writeWorkingFile(c.autoStart);
        if (c.file == WorkFile::Unreadable) {
            writeBytes(datFile(), "not a configuration at all");
            writeBytes(datFile() + ".bad", "an older bad file");
        }
        boxes.clear();
        reports.clear();
        RecordingEngine::nextPortOpen = c.portOpen;
        std::unique_ptr<QLockFile> other;
        if (c.secondInstance) {
            other = std::make_unique<QLockFile>(plat::SingleInstance::lockFileName());
            ASSERT_TRUE(other->tryLock(0));
        }

        Global::Main();

        EXPECT_EQ(loadedForms(), c.loaded);
        EXPECT_EQ(loadedForms(true), c.visible);
        EXPECT_EQ(iniEntries(), c.iniWritten);
        EXPECT_EQ(soundFiles(), c.sounds);
        EXPECT_TRUE(reports.empty()) << (reports.empty() ? "" : reports[0].name.toStdString());
        EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
        if (c.secondInstance) {
            EXPECT_EQ(boxes, QStringList{Global::AppTitle + "|" + Global::SecondInstanceText});
            EXPECT_TRUE(Global::SecondInstanceText.contains("allowed.\rIf Pellonaris"));
            EXPECT_FALSE(QDir(folder() + "/Trace").exists());
            EXPECT_EQ(engine(), nullptr);
        } else {
            EXPECT_TRUE(boxes.isEmpty());
            // Start-up itself writes no line: the day's log is there, empty.
            EXPECT_TRUE(QFile::exists(traceFile()));
            EXPECT_EQ(readBytes(traceFile()), QByteArray());
            ASSERT_NE(engine(), nullptr);
            EXPECT_EQ(engine()->sent, c.events);
            EXPECT_EQ(engine()->run, c.run);
            // An automatic start whose port is not there yet polls once it is.
            EXPECT_EQ(engine()->awaitsPort, c.autoStart && !c.portOpen);
            EXPECT_FALSE(engine()->isVisible());
        }
        if (c.file == WorkFile::Unreadable) {
            // Kept aside, replacing the older one; the configuration holds the defaults.
            EXPECT_FALSE(QFile::exists(datFile()));
            EXPECT_EQ(readBytes(datFile() + ".bad"), "not a configuration at all");
            ASSERT_NE(gConfig, nullptr);
            EXPECT_EQ(gConfig->UserName(1), "Technician");
        }

        for (plat::Form* f : plat::Forms::All())
            plat::Forms::Unload(f);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        plat::SingleInstance::release();
    }
}

TEST_F(Startup, DropsTheNumericKeysOfTheSavedAlarmRows)
{
    QByteArray ini = "[LastAlarms]\r\n";
    for (int i = 1; i <= 300; ++i)
        ini += QByteArray::number(i) + "=row " + QByteArray::number(i) + "\r\n";
    ini += "Index=5\r\n[General]\r\nLastEvent=41\r\n";
    writeBytes(iniFile(), ini);
    Global::Main();
    QStringList keys;
    EXPECT_EQ(VEXfonctions::GetIniKeys(keys, IniKeys::LastAlarms), 1);
    EXPECT_EQ(keys.value(0), "Index");
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, ""), "41");
}

TEST_F(Startup, WritesEachSoundNumberOnceAndLeavesExistingFiles)
{
    writeWorkingFile(false, [](ConfigClass& config) {
        config.setAlarmPrioSound(3, 12);
        config.setAlarmPrioSound(7, 12);
        config.setAlarmPrioSound(5, 999);  // no such sound
    });
    writeBytes(folder() + "/AlarmSound1.wav", "keep");
    Global::Main();
    EXPECT_EQ(soundFiles(), QStringList({"AlarmSound1.wav", "AlarmSound12.wav"}));
    EXPECT_EQ(readBytes(folder() + "/AlarmSound1.wav"), "keep");
    auto sounds = gDatabase->OpenRecordset("T_Sounds");
    sounds->setIndex("PrimaryKey");
    sounds->Seek("=", 12);
    ASSERT_FALSE(sounds->NoMatch());
    const QByteArray expected = sounds->GetChunk("Content", 0, sounds->field("Size").toLongLong());
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(readBytes(folder() + "/AlarmSound12.wav"), expected);
    // Written through a temporary name: nothing else is left in the folder.
    EXPECT_TRUE(QDir(folder()).entryList({"*.wav.*", "*.tmp"}, QDir::Files).isEmpty());
}

TEST_F(Startup, IniValuesThatAreNoBooleanTakeTheDefault)
{
    struct Case {
        const char* noResize;
        const char* lastModified;
        bool noResizeSeen;
        bool modifiedSeen;
    };
    const Case cases[] = {
        {"yes", "", true, true},
        {"0", "False", false, false},
        {"1", "0", true, false},
        {"false", "true", false, true},
        {"-1", "maybe", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 / %2").arg(c.noResize, c.lastModified).toStdString());
        writeWorkingFile(false);
        writeBytes(iniFile(), QByteArray("[General]\r\nNoResize=") + c.noResize + "\r\n[Files]\r\nLastConfigModified="
                                  + c.lastModified + "\r\n");
        gNoResize = !c.noResizeSeen;
        Global::Main();
        EXPECT_TRUE(reports.empty());
        EXPECT_EQ(gNoResize, c.noResizeSeen);
        ASSERT_NE(gConfig, nullptr);
        EXPECT_EQ(gConfig->Modified(), c.modifiedSeen);
        EXPECT_EQ(loadedForms(true), QStringList{"wMain"});
        for (plat::Form* f : plat::Forms::All())
            plat::Forms::Unload(f);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        plat::SingleInstance::release();
    }
}

TEST_F(Startup, AppendsToTheDaysLog)
{
    QDir().mkpath(folder() + "/Trace");
    writeBytes(traceFile(), "earlier line\r\n");
    Global::Main();
    Login::ApplyCode(QString());
    const QByteArray log = readBytes(traceFile());
    EXPECT_TRUE(log.startsWith("earlier line\r\n"));
    EXPECT_TRUE(log.contains(" USER : DISCONNECT "));
}

TEST_F(Startup, ATraceLogThatCannotBeWrittenIsToldOnceAndTheProgramRuns)
{
    // A file where the trace folder should be: no folder, no log.
    writeBytes(folder() + "/Trace", "in the way");
    Global::Main();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "Global.Main");
    EXPECT_EQ(reports[0].number, plat::rt::PathFileAccessError);
    EXPECT_EQ(loadedForms(), QStringList({"wPolling", "wMain"}));
    EXPECT_EQ(loadedForms(true), QStringList{"wMain"});
    ASSERT_NE(gConfig, nullptr);
    // Later lines are dropped without a word.
    Login::ApplyCode(QString());
    Login::ApplyCode(QStringLiteral("3579"));
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(gUserLevel, 3);
    EXPECT_FALSE(QFile::exists(traceFile()));

    // Once the folder can be made, the next line opens the day's log.
    ASSERT_TRUE(QFile::remove(folder() + "/Trace"));
    Login::ApplyCode(QString());
    const QByteArray log = readBytes(traceFile());
    EXPECT_TRUE(log.contains(" USER : DISCONNECT ")) << log.toStdString();
    EXPECT_EQ(log.count("\r\n"), 1) << "the lines of the failing spell are not kept";
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(Startup, ATraceLogThatCannotBeOpenedDoesNotHoldAnAutomaticStart)
{
    writeWorkingFile(true);
    writeBytes(folder() + "/Trace", "in the way");
    RecordingEngine::nextPortOpen = true;
    bool unattended = false;
    plat::setErrorReporter([&](const QString& name, const plat::RtError& e) {
        reports.push_back({name, e.number()});
        unattended = ErrorHandling::Unattended::active();
    });
    Global::Main();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "Global.Main");
    EXPECT_TRUE(unattended) << "told without waiting for an answer";
    ASSERT_NE(engine(), nullptr);
    EXPECT_TRUE(engine()->run) << "the start went on";
}

TEST_F(Startup, TheErrorExitShowsTheMainWindowWhenOnlyTheHiddenEngineIsLoaded)
{
    sql("DROP TABLE T_Sounds");
    Global::Main();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "Global.Main");
    EXPECT_EQ(reports[0].number, plat::dberr::TableNotFound);
    EXPECT_EQ(loadedForms(), QStringList({"wPolling", "wMain"}));
    EXPECT_EQ(loadedForms(true), QStringList{"wMain"});
    EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
}

TEST_F(Startup, WithoutTheDatabaseNoWindowIsShown)
{
    QFile::remove(folder() + "/PLX2.cfg");
    Global::Main();
    EXPECT_EQ(boxes, QStringList{Global::AppTitle + "|" + Global::NoDatabaseText});
    EXPECT_TRUE(loadedForms().isEmpty());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].name, "Config.OpenConfigBase");
}

TEST_F(Startup, AStopFromOutsideEndsTheRunOnceAndKeepsTheFirstCause)
{
    Global::Main();
    ASSERT_NE(engine(), nullptr);
    RecordingEngine* running = engine();
    Global::RequestStop(plat::vbAppTaskManager);
    Global::RequestStop(plat::vbAppWindows);
    EXPECT_TRUE(Global::Ending());
    EXPECT_EQ(Global::StopCause(), plat::vbAppTaskManager);
    EXPECT_EQ(running->sent, (std::vector<qint16>{1, 2})) << "one stop event";
    EXPECT_TRUE(loadedForms().isEmpty());
    // The next run starts without a cause.
    Global::Main();
    EXPECT_EQ(Global::StopCause(), plat::vbFormCode);
}

TEST(IniBoolean, ReadsTrueFalseAndNumbersElseTheDefault)
{
    struct Case {
        const char* text;
        bool def;
        bool expected;
    };
    const Case cases[] = {{"True", false, true}, {"FALSE", true, false}, {" true ", false, true}, {"0", true, false},
                          {"-1", false, true},   {"2.5", false, true},   {"yes", false, false}, {"yes", true, true},
                          {"", true, true},      {"", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Global::IniBoolean(QString::fromLatin1(c.text), c.def), c.expected);
    }
}

} // namespace
