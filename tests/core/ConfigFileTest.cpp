// The configuration file: its bytes, the version rule, damaged files, the
// atomic save.

#include "ConfigFixture.h"
#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>

using namespace config_test;

namespace {

constexpr uint8_t kGoldenKey = 0x5A;

QString goldenPath()
{
    return testing_support::sourceFolder() + "/tests/core/golden/small.px2";
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(data), data.size());
}

QString inFolder(const QString& name)
{
    return testing_support::programFolder() + "/" + name;
}

int16_t i16At(const QByteArray& d, qint64 at)
{
    return qFromLittleEndian<qint16>(d.constData() + at);
}

int32_t i32At(const QByteArray& d, qint64 at)
{
    return qFromLittleEndian<qint32>(d.constData() + at);
}

void putI16(QByteArray& d, qint64 at, int16_t v)
{
    qToLittleEndian<qint16>(v, d.data() + at);
}

void putI32(QByteArray& d, qint64 at, int32_t v)
{
    qToLittleEndian<qint32>(v, d.data() + at);
}

// Offsets of the settings that depend on the two first strings.
struct SettingsLayout {
    qint64 busAt = 32;
    qint64 prtAt = 0;
    qint64 soundsAt = 0;
    qint64 keyAt = 0;
    qint64 usersAt = 0;      // the user count
    std::vector<std::pair<qint64, qint64>> scrambled;   // [from, to) of every name and code
};

SettingsLayout layoutOf(const QByteArray& d)
{
    SettingsLayout l;
    l.prtAt = l.busAt + 4 + i32At(d, l.busAt);
    l.soundsAt = l.prtAt + 4 + i32At(d, l.prtAt) + 4;
    const int sounds = i16At(d, 28) <= 22 ? 6 : 100;
    l.keyAt = l.soundsAt + 2 * sounds + 4;
    l.usersAt = l.keyAt + 1;
    qint64 p = l.usersAt + 2;
    for (int u = 0; u < i16At(d, l.usersAt); ++u) {
        for (int s = 0; s < 2; ++s) {
            const qint64 n = i32At(d, p);
            l.scrambled.push_back({p + 4, p + 4 + n});
            p += 4 + n;
        }
        p += 4;
    }
    return l;
}

class ConfigFile_ : public ConfigTestBase {
protected:
    QByteArray golden() const
    {
        const QByteArray g = readFile(goldenPath());
        EXPECT_FALSE(g.isEmpty()) << "missing " << goldenPath().toStdString();
        return g;
    }
    std::unique_ptr<ConfigClass> smallConfig() const
    {
        auto c = newConfig();
        buildSmallConfig(*c);
        return c;
    }
};

TEST_F(ConfigFile_, DefaultConfigurationHasTheLayoutsSizeAndHeader)
{
    const auto c = newConfig();
    const QString path = inFolder("PLX2.dat");
    ASSERT_EQ(c->Save(path), -1);
    const QByteArray d = readFile(path);
    // 1024 of settings, 64 modules of 12 + 24 x 30 bytes, 64 x 24 + 48 x 1024
    // of texts, the mirror count.
    ASSERT_EQ(d.size(), 1024 + 64 * (12 + 24 * 30) + 64 * 24 + 48 * 1024 + 2);
    ASSERT_EQ(d.size(), 98562);

    EXPECT_EQ(d.left(24), QByteArray("Pellonaris II           "));
    EXPECT_EQ(d.mid(24, 8), QByteArray::fromHex("020002001b000000"));
    EXPECT_EQ(d.mid(32, 12), QByteArray::fromHex("00000000" "00000000" "0000" "0000"));
    for (int p = 0; p < 100; ++p)
        EXPECT_EQ(i16At(d, 44 + 2 * p), 1);
    EXPECT_EQ(d.mid(244, 5), QByteArray::fromHex("0000000000"));   // masks and key 0
    EXPECT_EQ(i16At(d, 249), 2);
    EXPECT_EQ(d.mid(251, 24), QByteArray::fromHex("00000000" "00000000" "03000000" "00000000" "00000000" "02000000"));
    EXPECT_EQ(d.mid(275, 76), QByteArray(76, '\0'));
    EXPECT_EQ(d.mid(351, 1024 - 351), QByteArray(1024 - 351, '\0'));
    // Module 1, then its first channel.
    EXPECT_EQ(d.mid(1024, 12), QByteArray::fromHex("0100" "00000000" "ffff0000" "0000"));
    EXPECT_EQ(d.mid(1036, 30), QByteArray::fromHex("00000000" "00000000" "0000" "0000" "0000" "0000" "ffff" "0000"
                                                   "6300" "0000" "00000000" "0000"));
    EXPECT_EQ(d[1024 + 732], 2) << "module 2 follows after 732 bytes";
    EXPECT_EQ(d.mid(1024 + 64 * 732), QByteArray(64 * 24 + 48 * 1024 + 2, '\0'));
}

TEST_F(ConfigFile_, KeyZeroLeavesUsersReadableAndAnyKeyReadsBack)
{
    const Defaults users{{100001, "Admin"}, {100011, "1234"}, {100002, "Op"}, {100012, "55"}};
    const auto c = newConfig(users);
    QByteArray d;
    ASSERT_TRUE(c->SaveData(d));
    EXPECT_TRUE(d.contains("Admin") && d.contains("1234"));

    for (int key : {1, 0x20, 0x7F, 0xFF}) {
        setKey(uint8_t(key));
        ASSERT_TRUE(c->SaveData(d));
        EXPECT_EQ(uint8_t(d[layoutOf(d).keyAt]), key);
        EXPECT_FALSE(d.contains("Admin"));
        const auto back = newConfig();
        ASSERT_EQ(back->ReadData(d), 0) << key;
        expectSameModel(*c, *back);
    }
}

TEST_F(ConfigFile_, ScrambledSpacesAtTheEndsAreKept)
{
    // With key 0x41, "a" is stored as a space: a code beginning and ending with one.
    setKey(0x41);
    const auto c = newConfig();
    c->setUserPwd(1, "a12a");
    c->setUserName(2, "a");
    QByteArray d;
    ASSERT_TRUE(c->SaveData(d));
    ASSERT_TRUE(d.contains(" ps "));
    const auto back = newConfig();
    ASSERT_EQ(back->ReadData(d), 0);
    EXPECT_EQ(back->UserPwd(1), "a12a");
    EXPECT_EQ(back->UserName(2), "a");
}

TEST_F(ConfigFile_, GoldenFileIsWrittenByteForByte)
{
    setKey(kGoldenKey);
    const auto c = smallConfig();
    QByteArray d;
    ASSERT_TRUE(c->SaveData(d));
    if (qEnvironmentVariableIsSet("PLX_UPDATE_GOLDEN"))
        writeFile(goldenPath(), d);
    const QByteArray g = golden();
    ASSERT_EQ(d.size(), g.size());
    EXPECT_TRUE(d == g);

    // A few fields by hand, so that the golden file is not only our own word.
    EXPECT_EQ(g.mid(32, 4 + 16), QByteArray::fromHex("10000000") + "COM2:19200,N,8,1");
    const SettingsLayout l = layoutOf(g);
    EXPECT_EQ(uint8_t(g[l.keyAt]), kGoldenKey);
    EXPECT_EQ(i16At(g, l.usersAt), 2);
    EXPECT_EQ(i32At(g, l.usersAt + 2), 13);   // "Chef d'équipe", one byte a character
    EXPECT_EQ(uint8_t(g[l.usersAt + 6]), uint8_t('C' ^ kGoldenKey));
    EXPECT_EQ(uint8_t(g[l.usersAt + 6 + 7]), uint8_t(0xE9 ^ kGoldenKey)) << "é in Windows-1252";
    EXPECT_EQ(g.mid(1024, 2), QByteArray::fromHex("0101"));
    EXPECT_EQ(i32At(g, 1026), 11);
    EXPECT_EQ(g.mid(1030, 11), QByteArray("Entr\xe9" "e nord"));
    EXPECT_EQ(i32At(g, 1041), 0x00FF00);
    EXPECT_EQ(i16At(g, 1045), -1);
    const qint64 mirrors = g.size() - 2 - 3 * 10;
    EXPECT_EQ(i16At(g, mirrors), 3);
    EXPECT_EQ(g.mid(mirrors + 2, 10), QByteArray::fromHex("0300" "0000" "0c00" "0700" "0100"));
    EXPECT_EQ(g.mid(mirrors - 48 * 1024, 15), QByteArray("Call the fire b"));
    EXPECT_EQ(g.mid(mirrors - 48 * 1024 - 64 * 24, 24), QByteArray("Fire                    "));
}

TEST_F(ConfigFile_, GoldenFileReadsIntoTheSameModelAndSavesTheSameBytes)
{
    const QString path = inFolder("small.px2");
    writeFile(path, golden());
    const auto back = newConfig();
    ASSERT_EQ(back->Read(path), 0);
    expectSameModel(*smallConfig(), *back);
    EXPECT_EQ(back->Consigne(1).left(44), "Call the fire brigade, then open the gate.\r\n");
    EXPECT_EQ(back->Panel(5)->Channel(3)->PrintText(), QString::fromUtf8("Pompe 3 — défaut"));
    EXPECT_EQ(back->UserPwd(2), " 12 ");

    setKey(kGoldenKey);
    const QString again = inFolder("again.px2");
    ASSERT_EQ(back->Save(again), -1);
    EXPECT_TRUE(readFile(again) == golden());
}

TEST_F(ConfigFile_, ReadThenSaveChangesOnlyTheKeyAndTheScrambledUsers)
{
    const QByteArray g = golden();
    const auto back = newConfig();
    ASSERT_EQ(back->ReadData(g), 0);
    setKey(0x33);
    QByteArray d;
    ASSERT_TRUE(back->SaveData(d));
    ASSERT_EQ(d.size(), g.size());
    const SettingsLayout l = layoutOf(g);
    std::vector<bool> mayDiffer(g.size(), false);
    mayDiffer[l.keyAt] = true;
    for (auto [from, to] : l.scrambled)
        for (qint64 i = from; i < to; ++i)
            mayDiffer[i] = true;
    int differing = 0;
    for (qint64 i = 0; i < g.size(); ++i) {
        if (d[i] != g[i]) {
            EXPECT_TRUE(mayDiffer[i]) << "byte " << i;
            ++differing;
        }
    }
    EXPECT_GT(differing, 0);
}

TEST_F(ConfigFile_, ReadingMarksOnlyThroughUserCountAndTheMirrorList)
{
    const auto back = newConfig();
    ASSERT_EQ(back->ReadData(golden()), 0);
    EXPECT_TRUE(back->Mirrors()->Modified());
    for (const auto& m : *back->Mirrors())
        EXPECT_FALSE(m->Modified());
    for (int m = 1; m <= 64; ++m)
        EXPECT_FALSE(back->Panel(m)->Modified()) << m;
    back->Mirrors()->setModified(false);
    EXPECT_FALSE(back->Modified()) << "two users over two: nothing else marked";

    // Read appends the stored mirrors to those held.
    const auto withMirror = newConfig();
    withMirror->Mirrors()->Add(9, 9, 9, 9, 0);
    ASSERT_EQ(withMirror->ReadData(golden()), 0);
    EXPECT_EQ(withMirror->Mirrors()->Count(), 4);

    // A user count that differs from the one held marks the root.
    const auto fewer = newConfig();
    fewer->setUserCount(1);
    fewer->setModified(false);
    QByteArray d;
    ASSERT_TRUE(fewer->SaveData(d));
    const auto other = newConfig();
    ASSERT_EQ(other->ReadData(d), 0);
    EXPECT_TRUE(other->Modified());
}

struct VersionCase {
    int major;
    int minor;
    int result;
};

TEST_F(ConfigFile_, VersionRuleComparesMajorAndMinorAsText)
{
    const std::vector<VersionCase> cases = {
        {2, 2, 0}, {2, 10, 0}, {2, 1, 0}, {1, 9, 0}, {2, 3, 20004}, {3, 0, 20004}, {2, 99, 20004}, {10, 0, 0},
    };
    for (const auto& vc : cases) {
        QByteArray d = golden();
        putI16(d, 24, int16_t(vc.major));
        putI16(d, 26, int16_t(vc.minor));
        const auto c = newConfig();
        EXPECT_EQ(c->ReadData(d), vc.result) << vc.major << "." << vc.minor;
    }
}

TEST_F(ConfigFile_, TitleMustBeTheProgramsOwn)
{
    const std::vector<std::pair<QByteArray, int>> cases = {
        {"Pellonaris II           ", 0},
        {"   Pellonaris II        ", 0},
        {"PELLONARIS II           ", 20003},
        {"Pellonaris III          ", 20003},
        {QByteArray("Pellonaris II\0          ", 24), 20003},
    };
    for (const auto& [title, result] : cases) {
        QByteArray d = golden();
        d.replace(0, 24, title);
        const auto c = newConfig();
        EXPECT_EQ(c->ReadData(d), result) << title.constData();
    }
}

TEST_F(ConfigFile_, RevisionUpTo22HoldsSixAlarmSounds)
{
    QByteArray d = golden();
    const SettingsLayout l = layoutOf(d);
    putI16(d, 28, 22);
    for (int p = 0; p < 6; ++p)
        putI16(d, l.soundsAt + 2 * p, int16_t(40 + p));
    // Drop sounds 6..99 and keep the body at 1024.
    d.remove(l.soundsAt + 12, 188);
    d.insert(1024 - 188, QByteArray(188, '\0'));
    const auto c = newConfig();
    ASSERT_EQ(c->ReadData(d), 0);
    for (int p = 1; p < 6; ++p)
        EXPECT_EQ(c->AlarmPrioSound(p), 40 + p);
    for (int p = 6; p <= 99; ++p)
        EXPECT_EQ(c->AlarmPrioSound(p), 1) << p;
    EXPECT_EQ(c->UserName(2), "Operator");
    EXPECT_EQ(c->Panel(2)->Channel(24)->ScreenText(), "B-24");

    // From revision 23 on, 100 sounds, and a sound above 99 reads 99.
    QByteArray e = golden();
    putI16(e, 28, 23);
    putI16(e, l.soundsAt + 2 * 7, 150);
    const auto c2 = newConfig();
    ASSERT_EQ(c2->ReadData(e), 0);
    EXPECT_EQ(c2->AlarmPrioSound(7), 99);
}

TEST_F(ConfigFile_, LongSettingsMoveTheBodyAndReadBack)
{
    const auto c = smallConfig();
    for (int i = 0; i < 8; ++i)
        c->setPrinterInitString(i, QString(150, QChar('a' + i)));
    const QString path = inFolder("long.px2");
    ASSERT_EQ(c->Save(path), -1);
    const auto back = newConfig();
    ASSERT_EQ(back->Read(path), 0);
    EXPECT_GT(back->LastRead().settingsEnd, 1024);
    EXPECT_EQ(back->LastRead().bodyOffset, back->LastRead().settingsEnd);
    expectSameModel(*c, *back);
}

TEST_F(ConfigFile_, ModuleKeepsTheStoredNumberUntilTheNextSave)
{
    QByteArray d = golden();
    d[1024] = 7;
    const auto c = newConfig();
    ASSERT_EQ(c->ReadData(d), 0);
    EXPECT_EQ(c->Panel(1)->Numero(), 7);
    QByteArray out;
    ASSERT_TRUE(c->SaveData(out));
    EXPECT_EQ(out[1024], 1);
    EXPECT_FALSE(c->Panel(1)->Modified()) << "the save clears the flag it set";
}

TEST_F(ConfigFile_, StoredTextsComeBackTrimmedFixedTextsWithTheirPadding)
{
    const auto c = newConfig();
    c->setBusSettings("  COM1:9600,N,8,1 ");
    c->Panel(1)->setTitle("  Hall ");
    c->Panel(1)->Channel(1)->setScreenText(" Door ");
    c->setPrinterName(" LX ");
    c->setBiblio(1, "  Fire");
    QByteArray d;
    ASSERT_TRUE(c->SaveData(d));
    const auto back = newConfig();
    ASSERT_EQ(back->ReadData(d), 0);
    EXPECT_EQ(back->BusSettings(), "COM1:9600,N,8,1");
    EXPECT_EQ(back->Panel(1)->Title(), "Hall");
    EXPECT_EQ(back->Panel(1)->Channel(1)->ScreenText(), "Door");
    EXPECT_EQ(back->PrinterName(), "LX");
    EXPECT_EQ(back->Biblio(1), "  Fire" + QString(18, u' '));
    EXPECT_EQ(back->Biblio(2), QString(24, QChar(0)));
}

TEST_F(ConfigFile_, EmptySettingsKeepTheDefaultsExceptTheSecondPrinterCopy)
{
    const auto empty = newConfig();
    QByteArray d;
    ASSERT_TRUE(empty->SaveData(d));
    const auto c = newConfig({{100301, "COM1:9600,N,8,1"}, {100302, "LPT1:"}});
    ASSERT_EQ(c->ReadData(d), 0);
    EXPECT_EQ(c->BusSettings(), "COM1:9600,N,8,1");
    EXPECT_EQ(c->PrtSettings(), "") << "the second copy is always assigned";
}

TEST_F(ConfigFile_, EmptyFileNamesTouchNothing)
{
    const auto c = newConfig();
    EXPECT_EQ(c->Save(""), 20002);
    EXPECT_EQ(c->Read(""), 20001);
    EXPECT_EQ(c->Read(inFolder("missing.px2")), 20001);
    EXPECT_EQ(c->Save(inFolder("no/such/folder/x.px2")), 20002);
    EXPECT_TRUE(reported("ConfigClass.Save"));
    EXPECT_FALSE(QDir(inFolder("no")).exists());
}

// ---- Damaged files ----------------------------------------------------------

class DamagedFile : public ConfigFile_ {
protected:
    // A model that differs from the golden file, and its bytes.
    void SetUp() override
    {
        ConfigFile_::SetUp();
        model = newConfig({{100001, "Keep"}, {100301, "COM4:9600,N,8,1"}});
        model->Panel(9)->setTitle("Untouched");
        model->Mirrors()->Add(4, 4, 4, 4, 0);
        model->setBiblio(9, "Stays");
        model->setModified(false);
        ASSERT_TRUE(model->SaveData(before));
    }
    void expectUnchanged()
    {
        QByteArray now;
        ASSERT_TRUE(model->SaveData(now));
        EXPECT_TRUE(now == before);
        EXPECT_FALSE(model->Modified());
    }
    std::unique_ptr<ConfigClass> model;
    QByteArray before;
};

TEST_F(DamagedFile, EveryTruncationIsRefusedAndLeavesTheModelAlone)
{
    const QByteArray g = golden();
    ASSERT_FALSE(g.isEmpty());
    int accepted = 0;
    for (qint64 len = 0; len < g.size(); ++len) {
        const int r = model->ReadData(g.left(len));
        if (r != 20001) {
            ADD_FAILURE() << "length " << len << " gave " << r;
            if (++accepted > 5)
                break;
        }
        if (len % 4099 == 0) {
            EXPECT_FALSE(model->LastRead().reason.isEmpty());
        }
    }
    expectUnchanged();
    EXPECT_EQ(model->ReadData(g), 0) << "the whole file still reads";
}

TEST_F(DamagedFile, ImpossibleCountsAndLengthsAreRefusedWithAReason)
{
    const QByteArray g = golden();
    const SettingsLayout l = layoutOf(g);
    const qint64 mirrors = g.size() - 32;
    struct Case {
        const char* name;
        std::function<void(QByteArray&)> damage;
        const char* reason;
        qint64 offset;
    };
    const std::vector<Case> cases = {
        {"negative string length", [&](QByteArray& d) { putI32(d, 32, -5); }, "negative string length", 32},
        {"huge string length", [&](QByteArray& d) { putI32(d, 32, 0x7FFFFFFF); }, "exceeds", 32},
        {"negative user count", [&](QByteArray& d) { putI16(d, l.usersAt, -1); }, "user count", l.usersAt},
        {"impossible user count", [&](QByteArray& d) { putI16(d, l.usersAt, 30000); }, "user count", l.usersAt},
        {"huge user name", [&](QByteArray& d) { putI32(d, l.usersAt + 2, 1 << 30); }, "user name", l.usersAt + 2},
        {"negative mirror count", [&](QByteArray& d) { putI16(d, mirrors, -1); }, "mirror count", mirrors},
        {"impossible mirror count", [&](QByteArray& d) { putI16(d, mirrors, 4); }, "mirror count", mirrors},
        {"channel text past the end", [&](QByteArray& d) { putI32(d, 1047, 200000); }, "module 1 channel 1 screen text",
         1047},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        QByteArray d = g;
        tc.damage(d);
        EXPECT_EQ(model->ReadData(d), 20001);
        EXPECT_TRUE(model->LastRead().reason.contains(tc.reason)) << model->LastRead().reason.toStdString();
        EXPECT_EQ(model->LastRead().offset, tc.offset);
    }
    expectUnchanged();
    EXPECT_TRUE(reports.empty()) << "a refused read shows no message";
}

// ---- The atomic save ----------------------------------------------------------

TEST_F(ConfigFile_, FailedSaveLeavesThePreviousFileWhole)
{
    const QString path = inFolder("PLX2.dat");
    writeFile(path, golden());
    // A file size limit below the configuration's size stands for a full disk.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 50000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto c = newConfig();
    c->setModified(false);
    c->Panel(3)->setTitle("edited");
    const int r = c->Save(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(r, 20002);
    EXPECT_TRUE(reported("ConfigClass.Save"));
    EXPECT_TRUE(c->Panel(3)->Modified()) << "the edit still reads as unsaved";
    EXPECT_TRUE(c->Modified());
    EXPECT_FALSE(c->Panel(4)->Modified());
    EXPECT_FALSE(c->Mirrors()->Modified());
    EXPECT_TRUE(readFile(path) == golden());
    EXPECT_EQ(QDir(testing_support::programFolder()).entryList(QDir::Files), QStringList{"PLX2.dat"})
        << "no temporary file is left behind";
    // And with room again, the save replaces it.
    EXPECT_EQ(c->Save(path), -1);
    EXPECT_EQ(readFile(path).size(), 98562 + 6) << "the default file and the title's six characters";
    EXPECT_FALSE(c->Panel(3)->Modified());
}

// ---- The technician's tool ------------------------------------------------------

QString runDump(const QString& file, int* exitCode)
{
    QProcess p;
    p.start(testing_support::binFolder() + "/cfgdump", {file});
    p.waitForFinished(30000);
    *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

TEST_F(ConfigFile_, DumpToolPrintsAFileAndSaysWhyOneIsRefused)
{
    const QString good = inFolder("small.px2");
    writeFile(good, golden());
    int code = -1;
    const QString out = runDump(good, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    for (const char* expected : {"Pellonaris II", "2.2 revision 27", "COM2:19200,N,8,1", "Operator", "Entrée nord",
                                 "K6200TX", "B-24", "03001207", "Fire", "Call the fire brigade"})
        EXPECT_TRUE(out.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(out.contains("4711")) << "user codes are not shown";

    QByteArray d = golden();
    putI32(d, 1047, 200000);
    const QString bad = inFolder("bad.px2");
    writeFile(bad, d);
    const QString why = runDump(bad, &code);
    EXPECT_NE(code, 0);
    EXPECT_TRUE(why.contains("20001")) << why.toStdString();
    EXPECT_TRUE(why.contains("offset 1047")) << why.toStdString();
    EXPECT_TRUE(why.contains("module 1 channel 1 screen text")) << why.toStdString();

    writeFile(bad, d.left(10));
    EXPECT_TRUE(runDump(bad, &code).contains("offset 0"));

    // Another kind of file: one line of plain text, none of its bytes.
    QByteArray binary;
    for (int i = 0; i < 300; ++i)
        binary.append(char((i * 37 + 11) % 256));
    writeFile(bad, binary);
    const QString refused = runDump(bad, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(refused.contains("20003")) << refused.toStdString();
    EXPECT_EQ(refused.count('\n'), 1) << refused.toStdString();
    for (QChar c : refused.chopped(1))
        ASSERT_TRUE(c >= u' ' && c <= u'~') << refused.toStdString();
}

TEST_F(ConfigFile_, DumpToolShowsTheSoundOfPriorityZero)
{
    QByteArray d = golden();
    putI16(d, layoutOf(d).soundsAt, 42);
    const QString file = inFolder("sound0.px2");
    writeFile(file, d);
    int code = -1;
    const QString out = runDump(file, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(out.contains(" 0=42 1=")) << out.toStdString();
}

TEST_F(ConfigFile_, DumpToolTellsItsUse)
{
    QProcess p;
    p.start(testing_support::binFolder() + "/cfgdump", {"--help"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("usage: cfgdump")) << "nothing on the standard output";
    p.start(testing_support::binFolder() + "/cfgdump", QStringList());
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().startsWith("usage: cfgdump"));
}

} // namespace

TEST_F(ConfigFile_, SaveCurrentConfigWritesTheWorkingFileAndKeepsTheModifiedFlag)
{
    struct Case {
        const char* what;
        bool modifyModule;
        bool expectModified;
    } cases[] = {
        {"unchanged configuration", false, false},
        {"an edited module", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto config = newConfig();
        config->setModified(false);
        if (c.modifyModule)
            config->Panel(3)->setTitle("Edited");
        ReplaceConfig(std::move(config));
        Config::SaveCurrentConfig();
        EXPECT_EQ(gConfig->Modified(), c.expectModified);
        auto back = newConfig();
        ASSERT_EQ(back->Read(testing_support::programFolder() + "/PLX2.dat"), 0);
        EXPECT_EQ(back->Panel(3)->Title(), gConfig->Panel(3)->Title());
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfigFile_, SaveCurrentConfigReportsAFailedSave)
{
    auto config = newConfig();
    config->Panel(3)->setTitle("Edited");
    ASSERT_TRUE(QDir().mkpath(testing_support::programFolder() + "/PLX2.dat/blocked"));
    ReplaceConfig(std::move(config));
    Config::SaveCurrentConfig();
    EXPECT_TRUE(gConfig->Modified());
    EXPECT_TRUE(reported("ConfigClass.Save"));
}
