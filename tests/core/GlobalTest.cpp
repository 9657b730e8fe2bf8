// The shared helpers: names and formats, the horn against a recording
// player, word wrapping against a fixed-pitch surface, screen scaling,
// title shadows, folders, started processes, counted strings.

#include "program/core/Global.h"
#include "program/core/ConfigClass.h"

#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/ControlArray.h"
#include "platform/Cp1252.h"
#include "platform/Form.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Process.h"
#include "platform/RtError.h"
#include "platform/SoundPlayer.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/ProgramGlobals.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtEndian>
#include <gtest/gtest.h>

#include <memory>

#include <functional>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString show(const std::optional<int>& v)
{
    return v ? QString::number(*v) : QStringLiteral("none");
}

// Records what the helpers report instead of showing it.
class ReportedErrors : public testing_support::ProgramGlobals {
protected:
    ReportedErrors()
    {
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors.names << name;
            errors.numbers << e.number();
        });
    }

    struct {
        QStringList names;
        QList<int> numbers;
    } errors;
};

QByteArray counted(qint32 count, const QByteArray& bytes)
{
    char c[4];
    qToLittleEndian<qint32>(count, c);
    return QByteArray(c, 4) + bytes;
}

} // namespace

// ---- Pure helpers -----------------------------------------------------------

TEST(Global, PureHelpersTable)
{
    const QString forty = QString(8, '1') + QString(29, '0') + "101"; // 40 digits, the last 32 are 5
    struct Case {
        const char* what;
        std::function<QString()> got;
        QString expected;
    };
    const std::vector<Case> cases{
        {"model 0 is no module", [] { return Global::ModuleName(0); }, "-----"},
        {"model 2", [] { return Global::ModuleName(2); }, "K6200TX"},
        {"model 5", [] { return Global::ModuleName(5); }, "T7150"},
        {"model 6", [] { return Global::ModuleName(6); }, ""},
        {"model -1", [] { return Global::ModuleName(-1); }, ""},
        {"left pads", [] { return Global::LeftFormat("ABC", 5); }, "ABC  "},
        {"left cuts", [] { return Global::LeftFormat("ABCDEF", 3); }, "ABC"},
        {"left counts characters", [] { return Global::LeftFormat(QString::fromUtf8("ÄÉÎ€"), 2); },
         QString::fromUtf8("ÄÉ")},
        {"left width 0", [] { return Global::LeftFormat("ABC", 0); }, ""},
        {"right pads", [] { return Global::RightFormat("ABC", 5); }, "  ABC"},
        {"right keeps the last characters", [] { return Global::RightFormat("ABCDEF", 3); }, "DEF"},
        {"right of empty", [] { return Global::RightFormat("", 2); }, "  "},
        {"delay 1", [] { return Global::ReactivTime(1); }, "00:01"},
        {"delay 6", [] { return Global::ReactivTime(6); }, "12:00"},
        {"delay 8", [] { return Global::ReactivTime(8); }, "36:00"},
        {"delay above 8", [] { return Global::ReactivTime(9); }, "36:00"},
        {"delay 0", [] { return Global::ReactivTime(0); }, ""},
        {"delay negative", [] { return Global::ReactivTime(-4); }, ""},
        {"code trimmed", [] { return show(Global::ReactivTimeCode(" 12:00 ")); }, "6"},
        {"code first", [] { return show(Global::ReactivTimeCode("00:01")); }, "1"},
        {"code last", [] { return show(Global::ReactivTimeCode("36:00")); }, "8"},
        {"code unknown", [] { return show(Global::ReactivTimeCode("12:01")); }, "none"},
        {"code empty", [] { return show(Global::ReactivTimeCode("")); }, "none"},
        {"bits 101", [] { return QString::number(Global::BinToDec("101")); }, "5"},
        {"bits empty", [] { return QString::number(Global::BinToDec("")); }, "0"},
        {"only the last 32 of 40 digits", [=] { return QString::number(Global::BinToDec(forty)); }, "5"},
        {"bit 31 does not overflow", [] { return QString::number(Global::BinToDec(QString(32, '1'))); },
         "4294967295"},
        {"16-bit flag drops bit 16", [] { return QString::number(Global::BinToDec("10000000000000001", true)); },
         "1"},
        {"without the flag bit 16 counts", [] { return QString::number(Global::BinToDec("10000000000000001")); },
         "65537"},
        {"a digit 2 counts twice", [] { return QString::number(Global::BinToDec("20")); }, "4"},
        {"a letter counts nothing", [] { return QString::number(Global::BinToDec("1x1")); }, "5"},
        {"mask key 0", [] { return Global::PasswordMask("Code 42!", 0); }, "Code 42!"},
        {"mask on the code page", [] { return Global::PasswordMask("A", 0x20); }, "a"},
        {"mask of e-acute", [] { return Global::PasswordMask(QString::fromUtf8("é"), 0x01); }, QString::fromUtf8("è")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got(), c.expected) << c.what;
}

TEST(Global, PasswordMaskTwiceGivesTheTextBackForEveryByteAndKey)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = plat::Cp1252::decode(all);
    for (int key : {0, 1, 0x20, 0x7F, 0x80, 0xAA, 0xFF}) {
        const QString masked = Global::PasswordMask(text, static_cast<unsigned char>(key));
        EXPECT_EQ(masked.size(), text.size()) << key;
        EXPECT_EQ(Global::PasswordMask(masked, static_cast<unsigned char>(key)), text) << key;
    }
}

TEST_F(ReportedErrors, ANegativeWidthIsReportedUnderTheHelpersName)
{
    EXPECT_EQ(Global::LeftFormat("ABC", -1), "");
    EXPECT_EQ(Global::RightFormat("ABC", -1), "");
    EXPECT_EQ(errors.names, QStringList({"Global.LeftFormat", "Global.RightFormat"}));
    EXPECT_EQ(errors.numbers, QList<int>({plat::rt::InvalidProcedureCall, plat::rt::InvalidProcedureCall}));
}

// ---- Counted strings --------------------------------------------------------

TEST(Global, CountedStringsHaveTheirExactBytesAndReadBack)
{
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    EXPECT_TRUE(Global::PutString(buf, "AB"));
    EXPECT_TRUE(Global::PutString(buf, ""));
    EXPECT_TRUE(Global::PutString(buf, QString::fromUtf8("  é€ ")));
    EXPECT_EQ(buf.data(), counted(2, "AB") + counted(0, "") + counted(5, "  \xE9\x80 "));

    buf.seek(0);
    QString a, b, c;
    EXPECT_TRUE(Global::GetString(buf, a));
    EXPECT_TRUE(Global::GetString(buf, b));
    EXPECT_TRUE(Global::GetString(buf, c));
    EXPECT_EQ(a, "AB");
    EXPECT_EQ(b, "");
    EXPECT_EQ(c, QString::fromUtf8("é€")); // trimmed of spaces
    EXPECT_TRUE(buf.atEnd());

    // Scrambled user names keep their spaces.
    buf.seek(counted(2, "AB").size() + 4);
    EXPECT_TRUE(Global::GetString(buf, c, false));
    EXPECT_EQ(c, QString::fromUtf8("  é€ "));
}

TEST(Global, DamagedCountsAreRefusedWithoutReadingOn)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        int error;
    };
    const std::vector<Case> cases{
        {"negative count", counted(-1, "abc"), plat::rt::BadRecordNumber},
        {"huge count", counted(0x7FFFFFFF, "abc"), plat::rt::InputPastEndOfFile},
        {"one byte short", counted(4, "abc"), plat::rt::InputPastEndOfFile},
        {"count cut short", QByteArray("\x02\x00", 2), plat::rt::InputPastEndOfFile},
        {"nothing left", QByteArray(), plat::rt::InputPastEndOfFile},
    };
    for (const Case& c : cases) {
        QByteArray data = c.bytes;
        QBuffer buf(&data);
        buf.open(QIODevice::ReadOnly);
        QString text = "untouched";
        try {
            Global::GetString(buf, text);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), c.error) << c.what;
        }
        EXPECT_EQ(text, "untouched") << c.what;
    }
}

TEST(Global, WriteErrorsReachTheCaller)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(Global::PutString(readOnly, "A"), plat::RtError);

    QFile full("/dev/full");
    if (full.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        EXPECT_THROW(Global::PutString(full, "A"), plat::RtError);
    }
}

// ---- The horn ---------------------------------------------------------------

class Horn : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        plat::setSoundPlayer(&player);
        // Priorities name sounds of their own number plus four, so that a
        // file named after the priority instead of its sound shows.
        auto config = std::make_unique<ConfigClass>([](int) { return QString(); });
        for (int prio = 0; prio < 100; ++prio)
            config->setAlarmPrioSound(int16_t(prio), int16_t(prio + 4));
        ReplaceConfig(std::move(config));
        Global::Alarme(-1);
        player.calls.clear();
    }
    void TearDown() override
    {
        Global::Alarme(-1);
        ProgramGlobals::TearDown();
    }
    static QString file(int sound)
    {
        return plat::AppIdentity::programFolder() + "/AlarmSound" + QString::number(sound) + ".wav";
    }

    testing_support::FakeSoundPlayer player;
};

TEST_F(Horn, OnlyAHigherPriorityReplacesTheSoundingOne)
{
    Global::Alarme(3);
    Global::Alarme(2); // below the one sounding: nothing
    Global::Alarme(5);
    Global::Alarme(5); // equal: nothing
    EXPECT_EQ(Global::HornLevel(), 5);
    Global::Alarme(-1);
    EXPECT_EQ(Global::HornLevel(), 0);
    Global::Alarme(2); // silent again: plays
    EXPECT_EQ(player.calls, QStringList({"play " + file(7), "play " + file(9), "stop", "play " + file(6)}));
    EXPECT_EQ(player.playing, file(6));
}

TEST_F(Horn, LevelZeroAndOtherNegativesNeverSound)
{
    Global::Alarme(0);
    Global::Alarme(-2);
    EXPECT_TRUE(player.calls.isEmpty());
}

using HornRealPlayer = ReportedErrors;

TEST_F(HornRealPlayer, MissingOrSilentSoundsNeitherBlockNorFail)
{
    // A valid one-second PCM file, and a number that has no file at all.
    QFile wav(plat::AppIdentity::programFolder() + "/AlarmSound7.wav");
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    const qint32 rate = 8000, dataBytes = 8000;
    auto le32 = [](qint32 v) { char c[4]; qToLittleEndian(v, c); return QByteArray(c, 4); };
    auto le16 = [](qint16 v) { char c[2]; qToLittleEndian(v, c); return QByteArray(c, 2); };
    wav.write("RIFF" + le32(36 + dataBytes) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(rate) + le32(rate) +
              le16(1) + le16(8) + "data" + le32(dataBytes) + QByteArray(dataBytes, char(0x80)));
    wav.close();

    QElapsedTimer t;
    t.start();
    Global::Alarme(7);
    Global::Alarme(9); // no such file: silence, and no error
    Global::Alarme(-1);
    plat::soundPlayer().playLoop(wav.fileName());
    plat::soundPlayer().stop();
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_TRUE(errors.names.isEmpty());
}

// ---- Word wrapping ----------------------------------------------------------

namespace {

// Every character 10 units wide; records each printed piece with its x.
class FixedPitchSurface : public Global::PrintSurface {
public:
    double CurrentX() const override { return x; }
    double CurrentY() const override { return y; }
    void setCurrentX(double v) override { x = v; }
    void setCurrentY(double v) override { y = v; }
    double TextWidth(const QString& text) const override { return 10.0 * text.size(); }
    void Print(const QString& text, bool newLine) override
    {
        lines << QString("%1:%2%3").arg(x).arg(text).arg(newLine ? "" : "+");
        if (newLine) {
            x = 0;
            y += 20;
        } else {
            x += TextWidth(text);
        }
    }

    double x = 0, y = 0;
    QStringList lines;
};

} // namespace

TEST(Global, PrintParagraphWrapsAtSpacesAndLineBreaks)
{
    struct Case {
        const char* what;
        QString text;
        double width;
        QStringList lines;
    };
    const std::vector<Case> cases{
        {"fits", "abc", 100, {"5:abc"}},
        {"a full line goes back to its last space", "one two three", 75, {"5:one", "5:two", "5:three"}},
        {"wraps at the last space", "one two three", 85, {"5:one two", "5:three"}},
        {"a piece narrower than the width, not equal", "ab cd", 50, {"5:ab", "5:cd"}},
        {"breaks at the space that follows a full piece", "abcd efgh", 45, {"5:abcd", "5:efgh"}},
        {"a word longer than the line is cut", "abcdefghij kl", 45, {"5:abcd", "5:efgh", "5:ij", "5:kl"}},
        {"carriage return", "ab\rcd", 100, {"5:ab", "5:cd"}},
        {"CR LF is one break", "ab\r\ncd", 100, {"5:ab", "5:cd"}},
        {"an empty line between two breaks", "ab\r\n\r\ncd", 100, {"5:ab", "5:", "5:cd"}},
        {"empty text prints an empty line", "", 100, {"5:"}},
        {"narrower than one character still moves on", "abc", 5, {"5:a", "5:b", "5:c"}},
        {"negative width prints nothing", "abc", -1, {}},
    };
    for (const Case& c : cases) {
        FixedPitchSurface s;
        s.x = 99;
        Global::PrintParagraph(s, c.text, 5, c.width);
        EXPECT_EQ(s.lines, c.lines) << c.what;
        if (!c.lines.isEmpty()) {
            EXPECT_EQ(s.y, 20.0 * c.lines.size()) << c.what;
        }
    }
}

TEST(Global, PrintAtMovesOnlyWhatItIsGiven)
{
    FixedPitchSurface s;
    s.x = 7;
    s.y = 3;
    Global::PrintAt(s, std::nullopt, 40, "ab", false);
    Global::PrintAt(s, std::nullopt, std::nullopt, "c", true);
    Global::PrintAt(s, 12, std::nullopt, "d", true);
    EXPECT_EQ(s.lines, QStringList({"7:ab+", "27:c", "12:d"}));
    EXPECT_EQ(s.y, 80);
}

TEST(Global, PainterSurfaceDrawsWrappedLinesDownTheImage)
{
    QPixmap pix(200, 200);
    pix.fill(Qt::white);
    QPainter p(&pix);
    Global::PainterSurface s(p);
    const double line = QFontMetricsF(p.font(), p.device()).lineSpacing();
    Global::PrintParagraph(s, "alpha beta alpha beta", 0, s.TextWidth("alpha beta ") + 1);
    p.end();
    EXPECT_DOUBLE_EQ(s.CurrentY(), 2 * line);
    const QImage img = pix.toImage();
    bool inked = false;
    for (int x = 0; x < 100 && !inked; ++x)
        for (int y = int(line); y < int(2 * line) && !inked; ++y)
            inked = img.pixelColor(x, y) != Qt::white;
    EXPECT_TRUE(inked) << "nothing printed on the second line";
}

// ---- Scaling ----------------------------------------------------------------

namespace {

// A screen of the design: absolute controls, a grid, a background picture,
// and a panel laid out by a layout.
struct DesignForm {
    DesignForm()
    {
        form.setGeometry(10, 20, 800, 600);
        QFont f = form.font();
        f.setPointSizeF(10);
        form.setFont(f);
        title = new QLabel("Title", &form);
        title->setGeometry(100, 50, 200, 40);
        QFont big = title->font();
        big.setPointSizeF(20);
        title->setFont(big);
        inherits = new QLabel("inherits", &form);
        inherits->setGeometry(100, 100, 80, 20);
        grid = new QTableWidget(3, 2, &form);
        grid->setGeometry(0, 200, 400, 300);
        grid->setColumnWidth(0, 100);
        grid->setColumnWidth(1, 60);
        grid->setRowHeight(1, 30);
        back = new QLabel(&form);
        back->setObjectName("imgBackPicture");
        QPixmap pm(8, 6);
        pm.fill(Qt::darkBlue);
        back->setPixmap(pm);
        back->setGeometry(0, 0, 800, 600);
        back->raise();
        panel = new QWidget(&form);
        panel->setGeometry(500, 300, 200, 200);
        auto* lay = new QVBoxLayout(panel);
        inLayout = new QLabel("laid out", panel);
        inLayout->setFixedSize(60, 30);
        lay->addWidget(inLayout);
    }

    QWidget form;
    QLabel* title;
    QLabel* inherits;
    QTableWidget* grid;
    QLabel* back;
    QWidget* panel;
    QLabel* inLayout;
};

} // namespace

using ScreenScaling = testing_support::ProgramGlobals;

TEST_F(ScreenScaling, MiseAEchelleChangesNothingOnTheDesignScreenOrWhenTurnedOff)
{
    DesignForm d;
    gNoResize = false;
    EXPECT_FALSE(Global::MiseAEchelle(&d.form, QSize(800, 600)));
    gNoResize = true;
    EXPECT_FALSE(Global::MiseAEchelle(&d.form, QSize(1024, 768)));
    EXPECT_FALSE(Global::MiseAEchelle(&d.form));
    EXPECT_EQ(d.form.geometry(), QRect(10, 20, 800, 600));
    EXPECT_EQ(d.title->geometry(), QRect(100, 50, 200, 40));
    EXPECT_DOUBLE_EQ(d.title->font().pointSizeF(), 20);
    EXPECT_EQ(d.grid->columnWidth(0), 100);
    EXPECT_EQ(d.grid->rowHeight(1), 30);
    EXPECT_EQ(d.back->geometry(), QRect(0, 0, 800, 600));
}

TEST_F(ScreenScaling, MiseAEchelleScalesGeometryFontsAndColumnsButLeavesLayoutsTheirWork)
{
    gNoResize = false;
    DesignForm d;
    const QRect laidOutBefore = d.inLayout->geometry();
    EXPECT_TRUE(Global::MiseAEchelle(&d.form, QSize(1000, 900)));

    EXPECT_EQ(d.form.geometry(), QRect(13, 30, 1000, 900));
    EXPECT_EQ(d.title->geometry(), QRect(125, 75, 250, 60));
    EXPECT_NEAR(d.title->font().pointSizeF(), 30, 0.01);
    // Inherited from the form, scaled once only.
    EXPECT_NEAR(d.inherits->font().pointSizeF(), 15, 0.01);
    EXPECT_EQ(d.grid->geometry(), QRect(0, 300, 500, 450));
    EXPECT_EQ(d.grid->columnWidth(0), 125);
    EXPECT_EQ(d.grid->columnWidth(1), 75);
    EXPECT_EQ(d.grid->rowHeight(1), 45);
    // The layout keeps placing its control; its fixed size grows with the screen.
    EXPECT_EQ(d.panel->geometry(), QRect(625, 450, 250, 300));
    EXPECT_EQ(d.inLayout->size(), QSize(75, 45));
    EXPECT_EQ(d.inLayout->pos(), laidOutBefore.topLeft());
    // The background covers the whole form, behind everything.
    EXPECT_EQ(d.back->geometry(), QRect(0, 0, 1000, 900));
    EXPECT_TRUE(d.back->hasScaledContents());
    EXPECT_EQ(d.form.children().indexOf(d.back), 0);
}

// ---- Shadows, forms, folders, processes ---------------------------------------

TEST(Global, OmbrerTexteAddsABlackShadowBehindEveryLabel)
{
    QWidget form;
    plat::ControlArray<QLabel> labels("lblMenu");
    for (int i = 0; i < 2; ++i) {
        auto* l = new QLabel(QString("Menu %1").arg(i), &form);
        l->setGeometry(10, 10 + 40 * i, 100, 30);
        l->setAlignment(Qt::AlignCenter);
        plat::setTag(l, 100200 + i);
        labels.add(i, l);
    }
    labels(1)->setHidden(true);

    Global::OmbrerTexte(labels, 2, 2);

    ASSERT_EQ(labels.count(), 4);
    for (int i = 0; i < 2; ++i) {
        QLabel* face = labels(i);
        QLabel* shadow = labels(i + 2);
        EXPECT_EQ(shadow->objectName(), QString("lblMenu(%1)").arg(i + 2));
        EXPECT_EQ(shadow->text(), face->text());
        EXPECT_EQ(plat::tagOf(shadow), plat::tagOf(face));
        EXPECT_EQ(shadow->alignment(), face->alignment());
        EXPECT_EQ(shadow->geometry(), face->geometry().translated(2, 2));
        EXPECT_EQ(shadow->palette().color(QPalette::WindowText), QColor(Qt::black));
        EXPECT_EQ(shadow->isHidden(), face->isHidden());
        EXPECT_LT(form.children().indexOf(shadow), form.children().indexOf(face)) << "shadow above its label";
    }
}

TEST(Global, NbInstancesCountsLoadedFormsOfTheName)
{
    plat::Forms::registerForm("wGlobalProbe", [] { return new plat::Form("wGlobalProbe"); });
    EXPECT_EQ(Global::NbInstances("wGlobalProbe"), 0);
    plat::Form* f = plat::Forms::Get("wGlobalProbe");
    EXPECT_EQ(Global::NbInstances("wGlobalProbe"), 1);
    EXPECT_EQ(Global::NbInstances("wglobalprobe"), 0);
    plat::Forms::Unload(f);
    EXPECT_EQ(Global::NbInstances("wGlobalProbe"), 0);
}

TEST(Global, CreateFolderPathMakesTheParentsAndRaisesWhenItCannot)
{
    const QString root = testing_support::programFolder();
    EXPECT_TRUE(Global::CreateFolderPath(root + "/Histo/2024/Copy"));
    EXPECT_TRUE(QFileInfo(root + "/Histo/2024/Copy").isDir());
    EXPECT_TRUE(Global::CreateFolderPath(root + "/Histo")); // already there
    EXPECT_FALSE(Global::CreateFolderPath(""));

    QFile file(root + "/plain");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_THROW(Global::CreateFolderPath(root + "/plain"), plat::RtError);
    EXPECT_THROW(Global::CreateFolderPath(root + "/plain/below"), plat::RtError);
}

TEST(Global, KillProcessEndsOnlyWhatWasStartedUnderThatName)
{
    ASSERT_TRUE(plat::Process::start("sleep", {"30"}, "osk.exe"));
    ASSERT_TRUE(plat::Process::start("sleep", {"30"}, "other.exe"));
    EXPECT_EQ(plat::Process::runningCount("osk.exe"), 1);
    EXPECT_FALSE(plat::Process::start("/nonexistent/program"));

    EXPECT_EQ(Global::KillProcess("OSK.EXE"), 1);
    EXPECT_EQ(plat::Process::runningCount("osk.exe"), 0);
    EXPECT_EQ(plat::Process::runningCount("other.exe"), 1);
    EXPECT_EQ(Global::KillProcess("osk.exe"), 0); // nothing left: nothing happens

    EXPECT_EQ(plat::Process::terminateStarted("other.exe"), 1);
    EXPECT_EQ(plat::Process::runningCount("other.exe"), 0);
}
