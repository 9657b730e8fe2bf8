// The main window itself: its load, the language button and the help file,
// the login button, F12, and the file tool buttons and the close box wired
// to the file commands, clicked on the real window.

#include "platform/Regional.h"
#include "platform/SystemKeyboard.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/ScreensFixture.h"

#include <QListWidget>
#include <QTest>

namespace {

class MainWindow : public ScreensFixture {
protected:
    void TearDown() override
    {
        plat::SystemKeyboard::end();
        plat::SystemKeyboard::setProgram(QString());
        ScreensFixture::TearDown();
    }
    static QString traceText()
    {
        QFile f(folder() + "/trace.log");
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    static void touch(const QString& name)
    {
        QFile f(folder() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

TEST_F(MainWindow, LoadShowsTheVersionTheFileInUseTheLevelAndLeavesOnlyTheEngineHidden)
{
    plat::Forms::Get("wRunAlarms")->Show();
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, "/panel/sites/Site north.px2");
    gUserLevel = 3;
    gConfig->setModified(true);
    wMain* main = showMain();
    settle();

    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    ASSERT_NE(engine(), nullptr);
    EXPECT_FALSE(engine()->isVisible());
    const QString date = QFileInfo(QCoreApplication::applicationFilePath()).lastModified().date().toString("dd/MM/yyyy");
    EXPECT_EQ(main->lblLabels(10)->text(), "V.2.2.27 - " + date);
    EXPECT_EQ(main->lblLabels(9)->text(), Config::GetText(100120));
    EXPECT_EQ(main->lblLabels(8)->text(), Config::GetText(100000));
    EXPECT_EQ(main->lblLabels(7)->text(), Config::GetText(0));
    EXPECT_EQ(main->lblLabels(2)->text(), Config::GetText(100110));
    EXPECT_EQ(main->lblFileName->text(), "Site north");
    EXPECT_TRUE(main->lblModified->isVisible());
    EXPECT_EQ(main->lblModified->text(), Config::GetText(100001));
    EXPECT_EQ(main->lblLogin(0)->text(), "3");
    EXPECT_EQ(main->lblLogin(1)->text(), "3");

    // Every caption has its shadow after the existing labels, 2 pixels right and down.
    ASSERT_EQ(main->lblMenu.count(), 12);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(main->lblMenu(i)->text(), Config::GetText(100200 + 10 * i));
        EXPECT_EQ(main->lblMenu(i + 6)->text(), main->lblMenu(i)->text());
        EXPECT_EQ(main->lblMenu(i + 6)->pos(), main->lblMenu(i)->pos() + QPoint(2, 2));
        EXPECT_EQ(main->lblMenu(i)->geometry().center(), main->imgMenu(i)->geometry().center());
    }
    EXPECT_EQ(main->lblLabels.count(), 10);
    EXPECT_EQ(main->lblLanguage(1)->text(), "English");

    EXPECT_EQ(gPanelLetter, "M");
    EXPECT_EQ(gChannelLetter, "C");
    EXPECT_EQ(gMirrorTypeLetters, Config::GetText(50012));
    EXPECT_EQ(gNoChannelText, Config::GetText(10100));
    EXPECT_EQ(ini(IniKeys::General, IniKeys::Language), "0");

    gConfig->setModified(false);
    main->Form_Activate();
    EXPECT_FALSE(main->lblModified->isVisible());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(MainWindow, WithNoFileInUseTheCaptionNamesTheUnnamedConfiguration)
{
    EXPECT_EQ(showMain()->lblFileName->text(), Config::GetText(50010));
}

TEST_F(MainWindow, TheLanguageButtonCyclesTheLanguages)
{
    wMain* main = showMain();
    struct Step {
        const char* name;
        const char* panel;
        const char* channel;
        const char* key;
    } steps[] = {{"Français", "M", "V", "1"}, {"Deutsch", "M", "K", "2"}, {"English", "M", "C", "0"}};
    int clicks = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        // The caption acts as the button.
        if (clicks++ % 2)
            QTest::mouseClick(main->lblLanguage(0), Qt::LeftButton);
        else
            QTest::mouseClick(main->imgLanguage, Qt::LeftButton);
        EXPECT_EQ(main->lblLanguage(0)->text(), s.name);
        EXPECT_EQ(main->lblLanguage(1)->text(), s.name);
        EXPECT_EQ(gLanguage, QString(s.key).toInt());
        EXPECT_EQ(ini(IniKeys::General, IniKeys::Language), s.key);
        EXPECT_EQ(gPanelLetter, s.panel);
        EXPECT_EQ(gChannelLetter, s.channel);
        EXPECT_EQ(gNoChannelText, Config::GetText(10100));
        EXPECT_EQ(main->lblMenu(2)->text(), Config::GetText(100220));
        EXPECT_EQ(main->lblMenu(8)->text(), Config::GetText(100220));
        EXPECT_EQ(main->lblLabels(2)->text(), Config::GetText(100110));
        EXPECT_EQ(main->lblFileName->text(), Config::GetText(50010));
        EXPECT_TRUE(main->lstLanguage->isHidden());
    }
    EXPECT_EQ(Config::GetText(100230), "Alarms");
}

TEST_F(MainWindow, TheHelpFileIsTheLanguagesOwnOrLanguageZerosOrNone)
{
    struct Case {
        QStringList present;
        int language;
        QString expected;
    } cases[] = {
        {{"PLX2-en.chm", "PLX2-fr.chm"}, 1, "PLX2-fr.chm"},
        {{"PLX2-en.chm", "PLX2-fr.chm"}, 2, "PLX2-en.chm"},
        {{"PLX2-de.chm"}, 2, "PLX2-de.chm"},
        {{"PLX2-fr.chm"}, 2, ""},
        {{}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 in %2").arg(c.language).arg(c.present.join(",")).toStdString());
        for (const QString& f : QStringList{"PLX2-en.chm", "PLX2-fr.chm", "PLX2-de.chm"})
            QFile::remove(folder() + "/" + f);
        for (const QString& f : c.present)
            touch(f);
        plat::Forms::UnloadAllExcept({});
        settle();
        gLanguage = c.language;
        helpOpened.clear();
        wMain* main = showMain();
        const QString expected = c.expected.isEmpty() ? QString() : folder() + "/" + c.expected;
        EXPECT_EQ(plat::Help::helpFile(), expected);
        // F1 in any window opens it.
        QTest::keyClick(main->imgMenu(0), Qt::Key_F1);
        EXPECT_EQ(helpOpened, expected.isEmpty() ? QStringList() : QStringList{expected});
    }
}

TEST_F(MainWindow, AStoredIndexNamingNoLanguageSelectsNoneUntilOneIsChosen)
{
    touch("PLX2-en.chm");
    VEXfonctions::SetIni(IniKeys::General, IniKeys::Language, "7");
    gLanguage = 7;
    wMain* main = showMain();
    EXPECT_EQ(main->lstLanguage->currentRow(), -1);
    EXPECT_EQ(main->lblLanguage(0)->text(), "");
    EXPECT_EQ(plat::Help::helpFile(), "");
    EXPECT_EQ(ini(IniKeys::General, IniKeys::Language), "7");
    // The captions are still looked up, in the first language's column.
    EXPECT_EQ(main->lblMenu(3)->text(), "Alarms");
    QTest::mouseClick(main->imgLanguage, Qt::LeftButton);
    EXPECT_EQ(main->lblLanguage(0)->text(), "English");
    EXPECT_EQ(gLanguage, 0);
    EXPECT_EQ(ini(IniKeys::General, IniKeys::Language), "0");
    EXPECT_EQ(plat::Help::helpFile(), folder() + "/PLX2-en.chm");
}

TEST_F(MainWindow, TheLoginButtonAndItsCaptionShowTheNewLevel)
{
    wMain* main = showMain();
    testing_support::ModalAnswers answers;
    answers.password("2468").password("");
    QTest::mouseClick(main->imgNavig(wMain::NavigLogin), Qt::LeftButton);
    EXPECT_EQ(main->lblLogin(0)->text(), "2");
    EXPECT_EQ(main->lblLogin(1)->text(), "2");
    QTest::mouseClick(main->lblLogin(0), Qt::LeftButton);
    EXPECT_EQ(main->lblLogin(0)->text(), "0");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
}

TEST_F(MainWindow, F12AndSaveAsBringTheDesktopKeyboardTheSaveStepDoesNot)
{
    plat::SystemKeyboard::setProgram("sleep", {"30"});
    wMain* main = showMain();
    QTest::keyClick(main, Qt::Key_F12);
    EXPECT_TRUE(plat::SystemKeyboard::running());
    plat::SystemKeyboard::end();

    // Around the save as dialog only, ended whatever the dialog answers.
    std::vector<bool> during;
    wMain::setFileDialog([&](QWidget*, const QString&, bool, const QString&, const QString&) {
        during.push_back(plat::SystemKeyboard::running());
        return QString();
    });
    main->imgNavig_Click(wMain::NavigSaveAs);
    EXPECT_FALSE(plat::SystemKeyboard::running());
    gConfig->setModified(true);
    testing_support::ModalAnswers answers;
    answers.message(MsgResult::vbYes);
    main->imgNavig_Click(wMain::NavigOpen);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(during, (std::vector<bool>{true, false}));

    // A desktop without a keyboard: the command goes on.
    plat::SystemKeyboard::setProgram(folder() + "/no-such-keyboard");
    const QString file = folder() + "/copy.px2";
    wMain::setFileDialog([&](QWidget*, const QString&, bool, const QString&, const QString&) { return file; });
    main->imgNavig_Click(wMain::NavigSaveAs);
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(MainWindow, TheFileButtonsRunTheCommandsOnTheWindowAndTheEngine)
{
    ConfigClass site;
    site.setBusSettings("COM3:9600,N,8,1");
    site.setInactivityTime(5);
    ASSERT_EQ(site.Save(folder() + "/site.px2"), -1);
    wMain* main = showMain();
    ASSERT_NE(engine(), nullptr);
    ASSERT_TRUE(engine()->UserSleep());

    fileAnswers = {folder() + "/site.px2"};
    QTest::mouseClick(main->imgNavig(wMain::NavigOpen), Qt::LeftButton);
    EXPECT_EQ(main->lblFileName->text(), "site");
    EXPECT_FALSE(main->lblModified->isVisible());
    EXPECT_EQ(engine()->CommBus().CommPort(), 3) << "the opened bus settings reach the port";
    EXPECT_EQ(engine()->UserSleep()->N(), 50);
    EXPECT_TRUE(engine()->UserSleep()->Enabled());
    EXPECT_TRUE(traceText().contains("REINIT"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].save);

    gConfig->setModified(true);
    main->Form_Activate();
    fileAnswers = {folder() + "/no-such-folder/x.px2"};
    QTest::mouseClick(main->imgNavig(wMain::NavigSaveAs), Qt::LeftButton);
    EXPECT_EQ(criticalBoxes, QStringList{Config::GetText(20002)});
    EXPECT_TRUE(main->lblModified->isVisible());
    EXPECT_EQ(main->lblFileName->text(), "site");

    testing_support::ModalAnswers answers;
    answers.message(MsgResult::vbOK).message(MsgResult::vbNo);
    QTest::mouseClick(main->imgNavig(wMain::NavigNew), Qt::LeftButton);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.messages, QStringList({Config::GetText(30013).replace("\r\n", "\n"), Config::GetText(50003)}));
    EXPECT_EQ(main->lblFileName->text(), Config::GetText(50010));
    EXPECT_FALSE(main->lblModified->isVisible());
}

TEST_F(MainWindow, TheCloseBoxQuitsAndTheWindowStaysWhenTheQuitEndsEarly)
{
    QPointer<wMain> main = showMain();
    {
        testing_support::ModalAnswers answers;
        answers.message(MsgResult::vbCancel);
        main->close();
        QTest::qWait(50);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(answers.messages, QStringList{Config::GetText(50002)});
    }
    settle();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(ini(IniKeys::Files, IniKeys::LastConfigModified), "<none>");

    // Polling, and a level-1 user defined: nobody logged in may not quit.
    engine()->setRun(true);
    gConfig->setUserCount(1);
    gConfig->setUserLevel(1, 1);
    {
        testing_support::ModalAnswers answers;
        answers.message(MsgResult::vbOK);
        main->close();
        QTest::qWait(50);
        EXPECT_EQ(answers.messages, QStringList{Config::GetText(20009)});
    }
    settle();
    ASSERT_TRUE(main);

    // The users changed: the changes are dropped.
    gUserLevel = 1;
    {
        testing_support::ModalAnswers answers;
        answers.message(MsgResult::vbNo);
        main->close();
        QTest::qWait(50);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(answers.messages, QStringList{Config::GetText(50003)});
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    }
    settle();
    EXPECT_FALSE(main);
    EXPECT_TRUE(plat::Forms::All().empty());
    EXPECT_TRUE(Global::Ending());
    EXPECT_EQ(ini(IniKeys::Files, IniKeys::LastConfigModified), "1");
}

} // namespace
