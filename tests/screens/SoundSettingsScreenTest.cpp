// The sound and history settings on the program's assembly, with a recording
// sound player: the sound and priority buttons within their limits, the
// sound test and its stop (which never silences the horn), the assignment,
// and the history and scaling keys of the INI file read, saved and reloaded.

#include "platform/AppIdentity.h"
#include "platform/Database.h"
#include "program/bus/PollingEngine.h"
#include "program/core/dlgListInput.h"
#include "program/screens/system/SoundSettings.h"
#include "program/screens/system/dlgMenuSystem.h"
#include "program/screens/system/wSysConfSon.h"
#include "tests/screens/SettingsFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <sqlite3.h>

namespace {

constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kOk = 1;
constexpr int kHighest = 12;   // the shipped sound table holds sounds 1..12

using S = wSysConfSon;

class SoundSettings_ : public SettingsFixture {
protected:
    S* open() { return openScreen<S>(FormNames::wSysConfSon); }

    static QString prio(S* s) { return s->lblSoundPrio->Caption(); }
    static QString sound(S* s) { return s->lblSoundNum->Caption(); }
    static void show(S* s, int priority, int soundNumber)
    {
        s->lblSoundPrio->setCaption(QString::number(priority));
        s->lblSoundNum->setCaption(QString::number(soundNumber));
    }

    // Which of the screen's buttons are shown, as a word of 0s and 1s:
    // imgControl 0..10, imgNavig(0), imgClose.
    static std::string shownButtons(S* s)
    {
        std::string word;
        for (int i = 0; i <= S::Explorer; ++i)
            word += s->imgControl(i)->isVisible() ? '1' : '0';
        word += s->imgNavig(S::NavigLeave)->isVisible() ? '1' : '0';
        word += s->imgClose->isVisible() ? '1' : '0';
        return word;
    }

    static QByteArray contentOf(int soundNumber)
    {
        auto rs = gDatabase->OpenRecordset("T_Sounds");
        rs->setIndex("PrimaryKey");
        rs->Seek("=", soundNumber);
        return rs->GetChunk("Content", 0, rs->field("Size").toLongLong());
    }

    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QString soundTest() { return folder() + "/SoundTest.wav"; }
};

TEST_F(SoundSettings_, TheButtonsStepWithinTheirLimits)
{
    gConfig->setAlarmPrioSound(1, 4);
    gConfig->setAlarmPrioSound(49, 8);
    gConfig->setAlarmPrioSound(98, 2);
    S* s = open();
    EXPECT_EQ(prio(s), "99");
    EXPECT_EQ(sound(s), "1");
    EXPECT_EQ(s->HighestSound(), kHighest);

    struct Case {
        int button;
        int prio, sound;            // shown before
        int prioAfter, soundAfter;
    } cases[] = {
        {S::SoundDown, 99, 1, 99, 1},      {S::SoundDown, 99, 5, 99, 4},
        {S::SoundUp, 99, kHighest, 99, kHighest}, {S::SoundUp, 99, 11, 99, kHighest},
        {S::SoundUp, 99, 0, 99, 1},
        // The priority buttons show the priority's own sound, moved or not.
        {S::PriorityDown, 1, 9, 1, 4},     {S::PriorityDown, 50, 9, 49, 8},
        {S::PriorityUp, 99, 9, 99, 1},     {S::PriorityUp, 97, 9, 98, 2},
        // Show drops a choice not assigned.
        {S::ShowAssigned, 49, 3, 49, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("button %1 from %2/%3").arg(c.button).arg(c.prio).arg(c.sound).toStdString());
        show(s, c.prio, c.sound);
        click(s->imgControl(c.button));
        EXPECT_EQ(prio(s), QString::number(c.prioAfter));
        EXPECT_EQ(sound(s), QString::number(c.soundAfter));
    }

    // The priority picker offers 1..99 and shows the priority chosen with its sound.
    QStringList offered;
    ModalAnswers answers;
    answers.on(FormNames::dlgListInput, [&](plat::Form* f) {
        auto* picker = qobject_cast<dlgListInput*>(f);
        offered << picker->lstValue->item(0)->text() << picker->lstValue->item(picker->lstValue->count() - 1)->text();
        picker->txtValue->setText("49");
        picker->imgControl(2)->click();
    });
    click(s->lblSoundPrio);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(offered, QStringList({"1", "99"}));
    EXPECT_EQ(prio(s), "49");
    EXPECT_EQ(sound(s), "8");
    EXPECT_FALSE(s->Changed());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SoundSettings_, ATestPlaysTheAlarmSoundFileOrTheTablesSoundUntilStop)
{
    S* s = open();
    const std::string allShown = "1111111111111";
    ASSERT_EQ(shownButtons(s), allShown);

    // No alarm sound file for sound 3: the table's bytes, as they are, in SoundTest.wav.
    show(s, 20, 3);
    click(s->imgControl(S::TestPlay));
    EXPECT_EQ(player.playing, soundTest());
    EXPECT_TRUE(s->Testing());
    const QByteArray content = contentOf(3);
    ASSERT_FALSE(content.isEmpty());
    EXPECT_EQ(readFile(soundTest()), content);
    // Only stop, the two history buttons, the explorer and close are left.
    EXPECT_EQ(shownButtons(s), "0010001100101");
    click(s->imgControl(S::TestStop));
    EXPECT_EQ(player.calls.last(), "stop");
    EXPECT_FALSE(s->Testing());
    EXPECT_EQ(shownButtons(s), allShown);

    // An alarm sound file of the number is played in its place, and nothing is written.
    QFile::remove(soundTest());
    const QString alarmFile = folder() + "/AlarmSound5.wav";
    {
        QFile f(alarmFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("RIFF");
    }
    show(s, 20, 5);
    click(s->imgControl(S::TestPlay));
    EXPECT_EQ(player.playing, alarmFile);
    EXPECT_FALSE(QFile::exists(soundTest()));
    click(s->imgControl(S::TestStop));

    // Without a sound number test, stop and assign go; a stop made during a
    // test on a priority without a sound shows test and assign all the same.
    show(s, 20, 0);
    EXPECT_EQ(shownButtons(s), "1100101111111");
    gConfig->setAlarmPrioSound(30, 0);
    show(s, 20, 5);
    click(s->imgControl(S::TestPlay));
    s->lblSoundPrio->setCaption("30");
    ASSERT_EQ(sound(s), "0");
    click(s->imgControl(S::TestStop));
    EXPECT_EQ(shownButtons(s), allShown);

    // A number the table lacks: the message, nothing plays, nothing moves.
    gConfig->setAlarmPrioSound(40, 30);
    show(s, 40, 1);
    s->imgControl_Click(S::PriorityUp);
    s->imgControl_Click(S::PriorityDown);
    ASSERT_EQ(sound(s), "30");
    player.calls.clear();
    ModalAnswers answers;
    answers.message(kOk);
    click(s->imgControl(S::TestPlay));
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(630029)});
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(shownButtons(s), allShown);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SoundSettings_, EndingATestGivesTheHornItsSoundBackAndLeavesItSilentOtherwise)
{
    // The horn sounds for priority 7, whose sound is 2.
    gConfig->setAlarmPrioSound(7, 2);
    Global::Alarme(7);
    const QString horn = Global::AlarmSoundFile(2);
    ASSERT_EQ(player.playing, horn);
    S* s = open();

    // A stop without a test leaves the horn alone.
    player.calls.clear();
    click(s->imgControl(S::TestStop));
    EXPECT_TRUE(player.calls.isEmpty());

    show(s, 20, 3);
    click(s->imgControl(S::TestPlay));
    ASSERT_EQ(player.playing, soundTest());
    click(s->imgControl(S::TestStop));
    EXPECT_EQ(player.playing, horn);
    EXPECT_EQ(Global::HornLevel(), 7);

    // Closed during a test (close stays in reach), the screen ends the test too.
    for (bool hornSounding : {true, false}) {
        SCOPED_TRACE(hornSounding ? "horn sounding" : "horn silent");
        if (!hornSounding)
            Global::Alarme(-1);
        click(s->imgControl(S::TestPlay));
        ASSERT_EQ(player.playing, soundTest());
        ModalAnswers answers;
        answers.click(FormNames::dlgMenuSystem, menuButton(MenuDialog::CmdCancel));
        click(s->imgClose);
        settle();
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_EQ(player.playing, hornSounding ? horn : QString());
        EXPECT_FALSE(QFile::exists(soundTest())) << "the test file goes with the screen";
        EXPECT_EQ(visibleForms(), QStringList{"wMain"});
        s = open();
    }
}

TEST_F(SoundSettings_, AnAssignmentReachesTheConfigurationAtOnceAndLeavingAsksNothing)
{
    S* s = open();
    show(s, 40, 0);
    s->imgControl_Click(S::Assign);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(gConfig->AlarmPrioSound(40), 1);
    EXPECT_FALSE(gConfig->Modified());

    s->lblSoundNum->setCaption("6");
    ModalAnswers answers;
    answers.message(kOk);
    click(s->imgControl(S::Assign));
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(30009)});
    EXPECT_EQ(gConfig->AlarmPrioSound(40), 6);
    EXPECT_TRUE(gConfig->Modified());
    EXPECT_FALSE(s->Changed());

    // Leaving asks nothing and writes nothing: the next save takes the assignment.
    click(s->imgNavig(S::NavigLeave));
    settle();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
    EXPECT_FALSE(QFile::exists(workingFile()));
    EXPECT_EQ(ini("Files", "PeriodUnit"), "<none>");
    EXPECT_EQ(gConfig->AlarmPrioSound(40), 6);
}

TEST_F(SoundSettings_, TheHistoryKeysAreSavedReloadedAndWithYesTheScalingSwitchToo)
{
    VEXfonctions::SetIni("Files", "Histo", "/data/histo");
    VEXfonctions::SetIni("Files", "PeriodUnit", "1");
    VEXfonctions::SetIni("Files", "PeriodTime", "30");
    VEXfonctions::SetIni("Files", "PeriodLimit", "1");
    VEXfonctions::SetIni("General", "NoResize", "0");
    S* s = open();
    EXPECT_EQ(s->txtHistoPath->text(), "/data/histo");
    EXPECT_TRUE(s->optPeriod(1)->isChecked());
    EXPECT_EQ(s->txtPeriod->text(), "30");
    EXPECT_TRUE(s->chkPeriod->isChecked());
    EXPECT_TRUE(s->txtPeriod->isVisible());
    EXPECT_FALSE(s->lblPeriod(1)->isVisible());
    EXPECT_EQ(s->lblPeriod(0)->text(), Config::GetText(630035));
    EXPECT_FALSE(s->chkNoResize->isChecked());
    EXPECT_FALSE(s->Changed());

    // Months, six of them, and the limit off: the count is still written.
    click(s->optPeriod(0));
    EXPECT_EQ(s->lblPeriod(0)->text(), Config::GetText(630034));
    s->txtPeriod->setText("6");
    s->chkPeriod->setChecked(false);
    EXPECT_TRUE(s->lblPeriod(1)->isVisible());
    EXPECT_FALSE(s->txtPeriod->isVisible());
    s->txtHistoPath->setText("  /data/copy  ");
    EXPECT_TRUE(s->Changed());
    ModalAnswers answers;
    answers.message(kOk);
    click(s->imgControl(S::HistorySave));
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(30009)});
    EXPECT_EQ(ini("Files", "Histo"), "/data/copy");
    EXPECT_EQ(ini("Files", "PeriodUnit"), "0");
    EXPECT_EQ(ini("Files", "PeriodTime"), "6");
    EXPECT_EQ(ini("Files", "PeriodLimit"), "0");
    EXPECT_EQ(ini("General", "NoResize"), "0") << "the save button leaves the scaling switch";
    EXPECT_FALSE(s->Changed());
    EXPECT_FALSE(engine()->engine().HistoPeriodDaily()) << "the engine reloads the settings";
    EXPECT_EQ(engine()->engine().HistoPeriodTime(), 6);

    // Changed behind the screen's back: reload shows the file again.
    VEXfonctions::SetIni("Files", "PeriodUnit", "1");
    VEXfonctions::SetIni("Files", "PeriodLimit", "1");
    s->txtPeriod->setText("9");
    click(s->imgControl(S::HistoryReload));
    EXPECT_TRUE(s->optPeriod(1)->isChecked());
    EXPECT_TRUE(s->chkPeriod->isChecked());
    EXPECT_EQ(s->txtPeriod->text(), "6");
    EXPECT_FALSE(s->Changed());

    // Only the scaling switch changed: Yes writes all five keys, the switch
    // takes effect and the working file is saved.
    gNoResize = false;
    s->chkNoResize->setChecked(true);
    answers.message(kYes);
    click(s->imgNavig(S::NavigLeave));
    settle();
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(ini("General", "NoResize"), "1");
    EXPECT_EQ(ini("Files", "PeriodUnit"), "1");
    EXPECT_EQ(ini("Files", "PeriodLimit"), "1");
    EXPECT_TRUE(gNoResize);
    EXPECT_TRUE(QFile::exists(workingFile()));
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});

    // No writes nothing.
    s = open();
    s->txtPeriod->setText("99");
    answers.message(kNo);
    click(s->imgNavig(S::NavigLeave));
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(ini("Files", "PeriodTime"), "6");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SoundSettings_, AnyNonZeroKeyTicksItsBoxAndAnyUnitLoadsTheWholeScreen)
{
    struct Case {
        const char* unit;
        const char* limit;
        const char* noResize;
        bool days, limited, ticked;
    } cases[] = {
        {"2", "-1", "-1", true, true, true},
        {"-1", "True", "0", false, true, false},
        {"abc", "abc", "5", false, false, true},
        {"0", "0", "1", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 %2 %3").arg(c.unit, c.limit, c.noResize).toStdString());
        VEXfonctions::SetIni("Files", "PeriodUnit", c.unit);
        VEXfonctions::SetIni("Files", "PeriodLimit", c.limit);
        VEXfonctions::SetIni("General", "NoResize", c.noResize);
        S* s = open();
        EXPECT_EQ(s->optPeriod(1)->isChecked(), c.days);
        EXPECT_EQ(s->optPeriod(0)->isChecked(), !c.days);
        EXPECT_EQ(s->chkPeriod->isChecked(), c.limited);
        EXPECT_EQ(s->chkNoResize->isChecked(), c.ticked);
        // Loaded to its end: the sound table is read and nothing counts as changed.
        EXPECT_EQ(s->HighestSound(), kHighest);
        EXPECT_FALSE(s->Changed());
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SoundSettings_, TheRetentionCountIsCheckedOnlyWhileTheRetentionIsLimited)
{
    for (const char* count : {"abc", "731", "-1", "1.5", "", "12 months"}) {
        SCOPED_TRACE(count);
        for (const char* key : {"Histo", "PeriodUnit", "PeriodTime", "PeriodLimit"})
            VEXfonctions::DelIniKey("Files", key);
        S* s = open();
        s->chkPeriod->setChecked(true);
        s->txtPeriod->setText(count);
        ModalAnswers answers;
        answers.message(kOk);
        click(s->imgControl(S::HistorySave));
        EXPECT_EQ(answers.messages, QStringList{Config::GetText(20006)});
        EXPECT_EQ(ini("Files", "PeriodTime"), "<none>");
        EXPECT_EQ(ini("Files", "Histo"), "<none>");
        EXPECT_TRUE(s->Changed());
        // Yes on leaving: the same, and the screen stays for the count to be mended.
        answers.message(kYes).message(kOk);
        click(s->imgNavig(S::NavigLeave));
        settle();
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(ini("Files", "PeriodTime"), "<none>");
        EXPECT_EQ(ini("General", "NoResize"), "<none>");
        EXPECT_FALSE(QFile::exists(workingFile()));
        EXPECT_EQ(visibleForms(), QStringList{"wSysConfSon"});
        // Unlimited, the count is hidden: nothing there to mend, it is written as it stands.
        s->chkPeriod->setChecked(false);
        answers.message(kOk);
        click(s->imgControl(S::HistorySave));
        EXPECT_EQ(answers.messages.last(), Config::GetText(30009));
        EXPECT_EQ(ini("Files", "PeriodTime"), QString(count).trimmed());
        EXPECT_TRUE(answers.allAnswered());
    }
    // So is one the INI file already held, when only the folder changes.
    VEXfonctions::SetIni("Files", "PeriodTime", "1000");
    VEXfonctions::SetIni("Files", "PeriodLimit", "0");
    {
        S* s = open();
        s->txtHistoPath->setText("/data/copy");
        ModalAnswers answers;
        answers.message(kOk);
        click(s->imgControl(S::HistorySave));
        EXPECT_EQ(ini("Files", "Histo"), "/data/copy");
        EXPECT_EQ(ini("Files", "PeriodTime"), "1000");
    }
    // The picker's range, and the ends typed, are taken.
    for (const char* count : {"0", "730", " 12 "}) {
        S* s = open();
        s->txtPeriod->setText(count);
        ModalAnswers answers;
        answers.message(kOk);
        click(s->imgControl(S::HistorySave));
        EXPECT_EQ(ini("Files", "PeriodTime"), QString(count).trimmed());
    }
}

TEST_F(SoundSettings_, AFolderTheIniFileCannotHoldIsRefusedAndTheStoredOneKept)
{
    VEXfonctions::SetIni("Files", "Histo", "/data/histo");
    S* s = open();
    const QString greek = QString::fromUtf8("/mnt/\u0394\u03AF\u03C3\u03BA\u03BF\u03C2");
    folderAnswers = {greek, QString::fromUtf8("/mnt/Cl\u00E9")};
    ModalAnswers answers;
    answers.message(kOk);
    click(s->cmdChooseHistoPath);
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(20006)});
    EXPECT_EQ(s->txtHistoPath->text(), "/data/histo");
    EXPECT_FALSE(s->Changed());
    click(s->cmdChooseHistoPath);
    EXPECT_EQ(s->txtHistoPath->text(), QString::fromUtf8("/mnt/Cl\u00E9")) << "one that Windows-1252 holds is taken";

    // Typed into the field, the same name is not saved either.
    s->txtHistoPath->setText(greek);
    answers.message(kOk);
    click(s->imgControl(S::HistorySave));
    EXPECT_EQ(answers.messages.last(), Config::GetText(20006));
    EXPECT_EQ(ini("Files", "Histo"), "/data/histo");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(SoundSettings_, WithoutTheSoundTableTheScreenSaysSoOnceAndOffersNoTest)
{
    // A database without its sound table, and no alarm sound file to fall back on.
    plat::Forms::Unload(plat::Forms::Find(FormNames::wSysConfSon));
    ReplaceDatabase(nullptr);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(folder() + "/PLX2.cfg").constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE T_Sounds", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_TRUE(Config::OpenConfigBase());
    for (const QString& f : QDir(folder()).entryList({"AlarmSound*.wav"}))
        QFile::remove(folder() + "/" + f);

    S* s = open();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("wSysConfSon.Form_Load ")) << reports[0].toStdString();
    const std::string noTest = "1100101111111";
    EXPECT_EQ(shownButtons(s), noTest);
    // Every refresh keeps them hidden: a sound number, a priority, the stop.
    show(s, 20, 3);
    EXPECT_EQ(shownButtons(s), noTest);
    click(s->imgControl(S::PriorityUp));
    EXPECT_EQ(shownButtons(s), noTest);
    s->imgControl_Click(S::TestStop);
    EXPECT_EQ(shownButtons(s), noTest);
    s->imgControl_Click(S::TestPlay);
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(SoundSettings_, TheChoosersFillTheirFieldsAndTheExplorerOpensTheProgramFolder)
{
    S* s = open();
    const QString start = s->txtHistoPath->text();
    EXPECT_EQ(start, folder());
    folderAnswers = {"/mnt/usb", ""};
    click(s->cmdChooseHistoPath);
    EXPECT_EQ(s->txtHistoPath->text(), "/mnt/usb");
    click(s->cmdChooseHistoPath);
    EXPECT_EQ(s->txtHistoPath->text(), "/mnt/usb") << "a cancelled chooser changes nothing";
    EXPECT_EQ(folderPrompts, QStringList({Config::GetText(630038) + " | " + start,
                                          Config::GetText(630038) + " | /mnt/usb"}));

    s->chkPeriod->setChecked(true);
    s->txtPeriod->setText("12");
    QString values;
    ModalAnswers answers;
    answers.on(FormNames::dlgListInput, [&](plat::Form* f) {
        auto* picker = qobject_cast<dlgListInput*>(f);
        values = QString("%1 %2 %3").arg(picker->lstValue->count()).arg(picker->lstValue->item(0)->text(),
                                                                         picker->txtValue->text());
        picker->txtValue->setText("365");
        picker->imgControl(2)->click();
    });
    click(s->cmdPeriod);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(values, "730 1 12");
    EXPECT_EQ(s->txtPeriod->text(), "365");

    click(s->imgControl(S::Explorer));
    EXPECT_EQ(fileManagerOpened, QStringList{folder()});
    click(s->lblLabels(12));
    EXPECT_EQ(fileManagerOpened.size(), 2) << "its caption opens it too";
}

// ---- The sound table apart from the screen --------------------------------------

QString makeSounds(const QStringList& rows)
{
    const QString path = testing_support::programFolder() + "/sounds.cfg";
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    QStringList statements{"CREATE TABLE MSysAccess (Salt BLOB, Digest BLOB)",
                           "CREATE TABLE T_Sounds (ID INTEGER PRIMARY KEY, Size INTEGER, Content BLOB, Extension TEXT)"};
    const QByteArray salt("0123456789abcdef");
    statements << QString("INSERT INTO MSysAccess VALUES (x'%1', x'%2')")
                      .arg(QString::fromLatin1(salt.toHex()),
                           QString::fromLatin1(plat::Database::passwordDigest(salt, "pw").toHex()));
    for (const QString& r : rows)
        statements << "INSERT INTO T_Sounds VALUES " + r;
    for (const QString& s : statements)
        EXPECT_EQ(sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << s.toStdString();
    sqlite3_close(db);
    return path;
}

TEST(SoundTable, AnEmptyTableHasNoHighestAndAnotherExtensionGivesItsOwnTestFile)
{
    auto empty = plat::Database::OpenDatabase(makeSounds({}), ";pwd=pw");
    EXPECT_EQ(SoundTable::Highest(*empty), 0);
    QFile::remove(testing_support::programFolder() + "/sounds.cfg");

    auto db = plat::Database::OpenDatabase(makeSounds({"(3, 4, x'01020304', 'ogg')"}), ";pwd=pw");
    EXPECT_EQ(SoundTable::Highest(*db), 3);
    SoundTable table(*db);
    const auto file = table.TestFile(3);
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, testing_support::programFolder() + "/SoundTest.ogg");
    QFile f(*file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_FALSE(table.TestFile(2));
}

} // namespace
