// The main window's file commands, without the window: save as, open, new
// and quit with their questions, their boxes, the captions, the two INI keys
// and the working file, as a table; then the dialog's filter, the open that
// resets the inactivity detector, and the round trip of a user file.

#include "Stillmark/_ActivityDetect.h"
#include "program/core/Components.h"
#include "program/core/dlgMessage.h"
#include "program/screens/system/ConfigFileCommands.h"
#include "tests/core/ConfigFixture.h"
#include "tests/screens/ScreensFixture.h"

#include <QDateTime>
#include <QThread>

#include <map>

namespace {

// Stands for the main window: answers the questions and the file dialog
// from lists, and keeps what it was asked and told, in order.
class RecordingHost : public ConfigFileCommands::Host {
public:
    bool AccessOk(int level) override { return level <= userLevel; }
    int Message(const QString& text, int style) override
    {
        messages.push_back({text, style});
        if (answers.empty()) {
            ADD_FAILURE() << "a question nobody answers: " << text.toStdString();
            return MsgResult::vbCancel;
        }
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void CriticalBox(const QString& text) override { critical << text; }
    QString GetFileName(bool save, const QString& filter, const QString& fileName, const QString& folder) override
    {
        journal << (save ? "save dialog" : "open dialog");
        dialogs.push_back({filter, fileName, folder});
        if (files.empty()) {
            ADD_FAILURE() << "a file dialog nobody answers";
            return {};
        }
        const QString f = files.front();
        files.pop_front();
        return f;
    }
    void StartKeyboard() override { journal << "keyboard"; }
    void EndKeyboard() override { journal << "keyboard end"; }
    void ShowFileName(const QString& c) override { caption = c; }
    void ShowModified(bool m) override { modifiedShown = m; }
    bool PollingRuns() override { return polling; }
    void ReinitComm() override { journal << "reinit"; }
    Stillmark::_ActivityDetect* Detector() override { return detector; }
    void SendStopEvent() override { journal << "stop event"; }
    void StopPolling() override { journal << "stop polling"; }
    void EndRun() override { journal << "end run"; }

    struct Shown {
        QString text;
        int style;
    };
    struct Dialog {
        QString filter;
        QString name;
        QString folder;
    };
    int userLevel = 4;
    bool polling = false;
    Stillmark::_ActivityDetect* detector = nullptr;
    std::deque<int> answers;
    std::deque<QString> files;
    std::vector<Shown> messages;
    std::vector<Dialog> dialogs;
    QStringList critical;
    QStringList journal;
    QString caption = "<unchanged>";
    std::optional<bool> modifiedShown;
};

std::unique_ptr<ConfigClass> readBack(const QString& path)
{
    auto c = std::make_unique<ConfigClass>();
    EXPECT_EQ(c->Read(path), 0) << path.toStdString();
    return c;
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class FileCommands : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        // The user file that the tests open: eight modules, five minutes of inactivity.
        ConfigClass site;
        for (int m = 1; m <= 8; ++m) {
            site.Panel(int16_t(m))->setModel(m % 5 + 1);
            site.Panel(int16_t(m))->setActive(true);
        }
        site.setInactivityTime(5);
        site.setBiblio(1, "Site");
        ASSERT_EQ(site.Save(path("good")), -1);
        const QByteArray good = bytesOf(path("good"));
        writeBytes(path("empty"), QByteArray());
        QByteArray foreign = good;
        foreign[0] = 'B';   // another program's title
        writeBytes(path("foreign"), foreign);
        QByteArray newer = good;
        newer[26] = char(3);   // version 2.3
        writeBytes(path("newer"), newer);
        writeBytes(path("truncated"), good.left(good.size() / 2));
    }

    static QString path(const QString& key)
    {
        if (key == "good")
            return folder() + "/site.px2";
        if (key == "new")
            return folder() + "/copy.px2";
        if (key == "unwritable")
            return folder() + "/no-such-folder/copy.px2";
        if (key.isEmpty())
            return {};
        return folder() + "/" + key + ".px2";
    }
};

TEST_F(FileCommands, TheFilesOfTheTestsReadAsTheyShould)
{
    const std::map<QString, int32_t> expected = {
        {"good", 0}, {"empty", 20001}, {"foreign", 20003}, {"newer", 20004}, {"truncated", 20001}};
    for (const auto& [key, result] : expected) {
        ConfigClass c;
        EXPECT_EQ(c.Read(path(key)), result) << key.toStdString();
    }
}

enum class Cmd { SaveAs, Open, New, Quit };
enum class Working { Untouched, InUse };

struct Row {
    const char* name;
    Cmd cmd;
    bool modified;                 // the configuration in use differs from its user file
    int level = 4;                 // the user's access level
    bool polling = false;
    std::vector<int> answers = {}; // to the questions, in order
    QStringList files = {};        // chosen in the file dialogs ("" cancels), by key
    std::vector<int> asked = {};   // text ids of the questions and refusals
    std::vector<int> critical = {};// text ids of the plain boxes
    QString caption = "=";         // "=" unchanged, "50010", or the file title shown
    QString lastUsed = "=";        // "=" unchanged, "" cleared, "50010", or a file key
    QString lastConfigModified = "<none>";
    Working working = Working::Untouched;
    bool replaced = false;         // another configuration is in use
    bool modifiedAfter = false;
    QStringList journal = {};
};

TEST_F(FileCommands, EachCommandAsksShowsAndWritesWhatItShould)
{
    const QStringList keyboard = {"keyboard", "save dialog", "keyboard end"};
    const QStringList ending = {"stop event", "stop polling", "end run"};
    const Row rows[] = {
        // Save as.
        {"save as", Cmd::SaveAs, true, 4, false, {}, {"new"}, {}, {}, "copy", "new", "<none>", Working::InUse, false,
         false, keyboard},
        {"save as, unwritable", Cmd::SaveAs, true, 4, false, {}, {"unwritable"}, {}, {20002}, "=", "=", "<none>",
         Working::InUse, false, true, keyboard},
        {"save as, cancelled", Cmd::SaveAs, true, 4, false, {}, {""}, {}, {}, "=", "=", "<none>", Working::Untouched,
         false, true, keyboard},
        {"save as, level too low", Cmd::SaveAs, true, 1, false, {MsgResult::vbOK}, {}, {20009}, {}, "=", "=", "<none>",
         Working::Untouched, false, true, {}},
        // Open.
        {"open", Cmd::Open, false, 4, false, {}, {"good"}, {}, {}, "site", "good", "<none>", Working::InUse, true,
         false, {"open dialog", "reinit"}},
        {"open, not readable", Cmd::Open, false, 4, false, {}, {"empty"}, {}, {20001}, "50010", "", "<none>",
         Working::Untouched, false, false, {"open dialog"}},
        {"open, another program's", Cmd::Open, false, 4, false, {}, {"foreign"}, {}, {20003}, "50010", "", "<none>",
         Working::Untouched, false, false, {"open dialog"}},
        {"open, newer version", Cmd::Open, false, 4, false, {}, {"newer"}, {}, {20004}, "50010", "", "<none>",
         Working::Untouched, false, false, {"open dialog"}},
        {"open, truncated", Cmd::Open, true, 4, false, {MsgResult::vbNo}, {"truncated"}, {50003}, {20001}, "50010", "",
         "<none>", Working::Untouched, false, true, {"open dialog"}},
        {"open, cancelled", Cmd::Open, false, 4, false, {}, {""}, {}, {}, "=", "=", "<none>", Working::Untouched, false,
         false, {"open dialog"}},
        {"open, changes kept: cancel", Cmd::Open, true, 4, false, {MsgResult::vbCancel}, {}, {50003}, {}, "=", "=",
         "<none>", Working::Untouched, false, true, {}},
        {"open, changes saved, dialog cancelled", Cmd::Open, true, 4, false, {MsgResult::vbYes}, {""}, {50003}, {},
         "=", "=", "<none>", Working::Untouched, false, true, {"save dialog"}},
        {"open, changes saved, not written", Cmd::Open, true, 4, false, {MsgResult::vbYes}, {"unwritable"}, {50003},
         {20002}, "=", "=", "<none>", Working::Untouched, false, true, {"save dialog"}},
        {"open, changes saved, then open", Cmd::Open, true, 4, false, {MsgResult::vbYes}, {"new", "good"}, {50003}, {},
         "site", "good", "<none>", Working::InUse, true, false, {"save dialog", "open dialog", "reinit"}},
        {"open, changes dropped", Cmd::Open, true, 4, false, {MsgResult::vbNo}, {"good"}, {50003}, {}, "site", "good",
         "<none>", Working::InUse, true, false, {"open dialog", "reinit"}},
        {"open, level too low", Cmd::Open, true, 1, false, {MsgResult::vbOK}, {}, {20009}, {}, "=", "=", "<none>", Working::Untouched,
         false, true, {}},
        // New.
        {"new, cancelled", Cmd::New, false, 4, false, {MsgResult::vbCancel}, {}, {30013}, {}, "=", "=", "<none>",
         Working::Untouched, false, false, {}},
        {"new", Cmd::New, false, 4, false, {MsgResult::vbOK}, {}, {30013}, {}, "50010", "50010", "<none>",
         Working::InUse, true, false, {}},
        {"new, changes saved, save as cancelled", Cmd::New, true, 4, false, {MsgResult::vbOK, MsgResult::vbYes}, {""},
         {30013, 50003}, {}, "50010", "50010", "<none>", Working::InUse, true, false, keyboard},
        {"new, changes saved, save as not written", Cmd::New, true, 4, false, {MsgResult::vbOK, MsgResult::vbYes},
         {"unwritable"}, {30013, 50003}, {20002}, "=", "=", "<none>", Working::InUse, false, true, keyboard},
        {"new, changes kept: cancel", Cmd::New, true, 4, false, {MsgResult::vbOK, MsgResult::vbCancel}, {},
         {30013, 50003}, {}, "=", "=", "<none>", Working::Untouched, false, true, {}},
        {"new, level too low", Cmd::New, false, 1, false, {MsgResult::vbOK}, {}, {20009}, {}, "=", "=", "<none>", Working::Untouched,
         false, false, {}},
        // Quit.
        {"quit, unchanged", Cmd::Quit, false, 0, false, {MsgResult::vbOK}, {}, {50002}, {}, "=", "=", "0",
         Working::Untouched, false, false, ending},
        {"quit, unchanged, cancelled", Cmd::Quit, false, 4, false, {MsgResult::vbCancel}, {}, {50002}, {}, "=", "=",
         "<none>", Working::Untouched, false, false, {}},
        {"quit, low level while polling", Cmd::Quit, true, 0, true, {MsgResult::vbOK}, {}, {20009}, {}, "=", "=", "<none>",
         Working::Untouched, false, true, {}},
        {"quit while polling", Cmd::Quit, false, 1, true, {MsgResult::vbOK}, {}, {50002}, {}, "=", "=", "0",
         Working::Untouched, false, false, ending},
        {"quit, changes saved, dialog cancelled", Cmd::Quit, true, 4, false, {MsgResult::vbYes}, {""}, {50003}, {}, "=",
         "=", "<none>", Working::InUse, false, true, {"save dialog"}},
        {"quit, changes saved, not written", Cmd::Quit, true, 4, false, {MsgResult::vbYes}, {"unwritable"}, {50003},
         {20002}, "=", "=", "<none>", Working::InUse, false, true, {"save dialog"}},
        {"quit, changes saved", Cmd::Quit, true, 4, false, {MsgResult::vbYes}, {"new"}, {50003}, {}, "copy", "new", "0",
         Working::InUse, false, false, QStringList{"save dialog"} + ending},
        {"quit, changes dropped", Cmd::Quit, true, 4, false, {MsgResult::vbNo}, {}, {50003}, {}, "=", "=", "1",
         Working::InUse, false, true, ending},
        {"quit, changes kept: cancel", Cmd::Quit, true, 4, false, {MsgResult::vbCancel}, {}, {50003}, {}, "=", "=",
         "<none>", Working::InUse, false, true, {}},
    };
    const std::map<int, int> styles = {{20009, 16}, {50003, 51}, {30013, 1}, {50002, 49}};
    const QString before = folder() + "/before.px2";

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The configuration in use came from before.px2; the working file
        // holds the database's defaults, so that a rewrite shows.
        {
            ConfigClass defaults;
            ASSERT_EQ(defaults.Save(workingFile()), -1);
        }
        const QByteArray workingBefore = bytesOf(workingFile());
        const QDateTime workingTime = QFileInfo(workingFile()).lastModified();
        ReplaceConfig(std::make_unique<ConfigClass>());
        config_test::buildSmallConfig(*gConfig);
        gConfig->setModified(row.modified);
        const ConfigClass* inUse = gConfig;
        VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, before);
        VEXfonctions::DelIniKey(IniKeys::Files, IniKeys::LastConfigModified);
        QFile::remove(path("new"));

        RecordingHost host;
        host.userLevel = row.level;
        host.polling = row.polling;
        host.answers.assign(row.answers.begin(), row.answers.end());
        for (const QString& key : row.files)
            host.files.push_back(path(key));
        ConfigFileCommands commands(host);
        switch (row.cmd) {
        case Cmd::SaveAs:
            commands.SaveAs();
            break;
        case Cmd::Open:
            commands.Open();
            break;
        case Cmd::New:
            commands.New();
            break;
        case Cmd::Quit:
            commands.Quit();
            break;
        }

        std::vector<int> asked;
        for (const auto& m : host.messages) {
            int id = 0;
            for (const auto& [candidate, style] : styles)
                if (m.text == Config::GetText(candidate)) {
                    id = candidate;
                    EXPECT_EQ(m.style, style) << id;
                }
            asked.push_back(id);
        }
        EXPECT_EQ(asked, row.asked);
        QStringList critical;
        for (int id : row.critical)
            critical << Config::GetText(id);
        EXPECT_EQ(host.critical, critical);
        EXPECT_TRUE(host.answers.empty() && host.files.empty()) << "questions or dialogs left out";
        EXPECT_EQ(host.journal, row.journal);

        const QString caption = row.caption == "=" ? QString("<unchanged>")
            : row.caption == "50010"              ? Config::GetText(50010)
                                                  : row.caption;
        EXPECT_EQ(host.caption, caption);
        const QString lastUsed = row.lastUsed == "=" ? before
            : row.lastUsed == "50010"                ? Config::GetText(50010)
            : row.lastUsed.isEmpty()                 ? QString()
                                                     : path(row.lastUsed);
        EXPECT_EQ(ini(IniKeys::Files, IniKeys::LastUsed), lastUsed);
        EXPECT_EQ(ini(IniKeys::Files, IniKeys::LastConfigModified), row.lastConfigModified);

        EXPECT_EQ(gConfig != inUse, row.replaced);
        EXPECT_EQ(gConfig->Modified(), row.modifiedAfter);
        if (host.modifiedShown) {
            EXPECT_EQ(*host.modifiedShown, gConfig->Modified());
        }
        if (row.working == Working::Untouched) {
            EXPECT_EQ(bytesOf(workingFile()), workingBefore);
            EXPECT_EQ(QFileInfo(workingFile()).lastModified(), workingTime);
        } else {
            config_test::expectSameModel(*readBack(workingFile()), *gConfig);
        }
        EXPECT_EQ(plat::Screen::MousePointer(), plat::Screen::vbDefault);
        // Every save draws a new scramble key: equal models, other bytes.
        if (row.lastUsed == "new")
            config_test::expectSameModel(*readBack(path("new")), *gConfig);
    }
    // A file that cannot be written is reported by the configuration itself.
    EXPECT_EQ(reports, QStringList(4, "ConfigClass.Save 76"));
}

TEST_F(FileCommands, ASavedModuleChangeStillAsksToKeepTheChangesAtQuit)
{
    // Another screen changed a module and saved the working file.
    gConfig->setModified(false);
    gConfig->Panel(3)->setTitle("Boiler room");
    Config::SaveCurrentConfig();
    ASSERT_TRUE(gConfig->Modified());
    RecordingHost host;
    host.answers = {MsgResult::vbNo};
    ConfigFileCommands(host).Quit();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, Config::GetText(50003));
    EXPECT_EQ(ini(IniKeys::Files, IniKeys::LastConfigModified), "1");
}

TEST_F(FileCommands, TheDialogTakesTheFilterRawAndStartsFromTheFileInUse)
{
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, "/panel/sites/north.px2");
    EXPECT_EQ(ConfigFileCommands::Filter(),
              "Pellonaris II configurations (*.px2)|*.px2|All files (*.*)|*.*");
    RecordingHost host;
    host.files = {""};
    ConfigFileCommands(host).SaveAs();
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].filter, ConfigFileCommands::Filter());
    EXPECT_EQ(host.dialogs[0].name, "north.px2");
    EXPECT_EQ(host.dialogs[0].folder, "/panel/sites");
    EXPECT_EQ(ConfigFileCommands::FileTitle("/panel/sites/north.px2"), "north");
    EXPECT_EQ(ConfigFileCommands::FileTitle("Untitled"), "Untitled");
}

TEST_F(FileCommands, AnOpenedFileSetsTheInactivityDetector)
{
    auto detector = Components::CreateObject<Stillmark::_ActivityDetect>(Stillmark::CLSID_ActivityDetect,
                                                                         Stillmark::IID_ActivityDetect);
    ASSERT_TRUE(detector);
    detector->setSamplingInterval(6000);
    for (int minutes : {0, 5, 1}) {
        SCOPED_TRACE(minutes);
        ConfigClass site;
        site.setInactivityTime(int16_t(minutes));
        ASSERT_EQ(site.Save(path("minutes")), -1);
        gConfig->setModified(false);
        RecordingHost host;
        host.detector = detector.get();
        host.files = {path("minutes")};
        ConfigFileCommands(host).Open();
        EXPECT_EQ(gConfig->InactivityTime(), minutes);
        EXPECT_EQ(detector->Enabled(), minutes >= 1);
        EXPECT_EQ(detector->N(), 10 * std::max(minutes, 1));
    }
    detector->setEnabled(false);
}

TEST_F(FileCommands, AUserFileReadsBackAsTheModelAndOpensIntoTheWorkingFile)
{
    config_test::buildSmallConfig(*gConfig);
    RecordingHost host;
    host.files = {path("new")};
    ConfigFileCommands(host).SaveAs();
    config_test::expectSameModel(*readBack(path("new")), *gConfig);

    // Opened on a fresh start: the working file becomes the user file's configuration.
    ReplaceConfig(std::make_unique<ConfigClass>());
    host.files = {path("new")};
    ConfigFileCommands(host).Open();
    const auto saved = readBack(path("new"));
    config_test::expectSameModel(*readBack(workingFile()), *saved);
    config_test::expectSameModel(*gConfig, *saved);
    EXPECT_FALSE(gConfig->Modified());
}

} // namespace
