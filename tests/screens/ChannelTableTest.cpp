// The channel table file without a screen: the export's exact bytes, the
// import of files a spreadsheet may have prepared, the round trip, and files
// refused whole with a message that names the line and the column.

#include "platform/Cp1252.h"
#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ChannelTable.h"
#include "tests/screens/BusScreensFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

using ChannelTable::Column;

const QString kHeader = "Pnl\tChnl\tScreen\tPrint\tTypePrt\tKlaxon\tPrio\tHisto\tBib\tHelp\tReact\tTempo\tTxtScr\tTxtImp";

QString goldenPath()
{
    return testing_support::sourceFolder() + "/tests/screens/golden/ChannelTable.txt";
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

// The lines of a file, each without its CR LF.
QStringList linesOf(const QByteArray& data)
{
    QStringList lines = plat::Cp1252::decode(data).split("\r\n");
    EXPECT_EQ(lines.last(), "") << "the last line ends with CR LF";
    lines.removeLast();
    return lines;
}

// A channel line with every field as given.
QString channelLine(const QStringList& fields)
{
    return fields.join('\t');
}

// A good line for module 5, channel 7, with one field put in place of its own.
QString line57(Column column = Column::Columns, const QString& value = {})
{
    QStringList f = {"5", "7", "1", "0", "2", "1", "50", "0", "3", "4", "1", "6", "Smoke", "SMOKE"};
    if (column != Column::Columns)
        f[column] = value;
    return channelLine(f);
}

class ChannelTableFile : public BusScreensFixture {
protected:
    // The modules and channels of the golden file: a module of model 2,
    // texts with accented letters, a text holding a TAB and a line break.
    static void configureSmall(ConfigClass& c)
    {
        auto one = c.Panel(1);
        one->setModel(2);
        one->setActive(true);
        one->setTitle("Chaufferie");
        auto ch = one->Channel(3);
        ch->setScrAlm(true);
        ch->setKlaxon(true);
        ch->setPrtAlm(true);
        ch->setTypeImp(2);
        ch->setAlmPrio(5);
        ch->setHisto(false);
        ch->setBibNum(2);
        ch->setHelpNum(48);
        ch->setReact(true);
        ch->setReactTpo(8);
        ch->setScreenText("Détecteur fumée, escalier Ost");
        ch->setPrintText("FUMÉE GRÖßE");
        one->Channel(24)->setScreenText("Dernière voie");
        one->Channel(24)->setAlmPrio(1);
        c.Panel(12)->setModel(1);
        c.Panel(12)->Channel(3)->setScreenText("Pump");
        c.Panel(12)->Channel(3)->setPrintText("PUMP");
        c.Panel(20)->Channel(1)->setScreenText("Two\tcolumns\r\nand lines");
    }

    static std::unique_ptr<ConfigClass> saved(void (*configure)(ConfigClass&))
    {
        auto c = std::make_unique<ConfigClass>();
        configure(*c);
        c->setModified(false);
        return c;
    }

    // Reads a file's bytes into gConfig; the error it raised, if any.
    static std::optional<plat::RtError> importBytes(const QByteArray& bytes)
    {
        try {
            ChannelTable::Read(bytes, *gConfig);
        } catch (const plat::RtError& e) {
            return e;
        }
        return std::nullopt;
    }

    // The same with text in Windows-1252.
    static std::optional<plat::RtError> import(const QString& text) { return importBytes(plat::Cp1252::encode(text)); }

    static QString refusal(int line, Column column)
    {
        return Config::GetText(200120)
            .replace("$1", QString::number(line))
            .replace("$2", ChannelTable::ColumnNames()[column]);
    }

    // The file descriptors of this process open on path.
    static int openOn(const QString& path)
    {
        int n = 0;
        const QString target = QFileInfo(path).canonicalFilePath();
        for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
            if (fd.symLinkTarget() == target)
                ++n;
        return n;
    }
};

} // namespace

TEST_F(ChannelTableFile, TheExportOfASmallConfigurationMatchesTheGoldenFileByteForByte)
{
    const auto c = saved(configureSmall);
    const QByteArray d = ChannelTable::Write(*c);
    if (qEnvironmentVariableIsSet("PLX_UPDATE_GOLDEN"))
        writeFile(goldenPath(), d);
    const QByteArray g = readFile(goldenPath());
    ASSERT_FALSE(g.isEmpty()) << "missing " << goldenPath().toStdString();
    EXPECT_TRUE(d == g);

    // A few lines by hand, so that the golden file is not only our own word.
    const QStringList lines = linesOf(g);
    ASSERT_EQ(lines.size(), 1 + 24 + 63 * 12);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[3], " 1 \t 3 \t 1 \t 1 \t 2 \t 1 \t 5 \t 0 \t 2 \t 48 \t 1 \t 8 \t"
                        "Détecteur fumée, escalier Ost\tFUMÉE GRÖßE\t");
    EXPECT_EQ(lines[24], " 1 \t 24 \t 0 \t 0 \t 0 \t 0 \t 1 \t 1 \t 0 \t 0 \t 0 \t 0 \tDernière voie\t\t");
    EXPECT_EQ(lines[25], " 2 \t 1 \t 0 \t 0 \t 0 \t 0 \t 99 \t 1 \t 0 \t 0 \t 0 \t 0 \t\t\t");
    EXPECT_EQ(lines[1 + 24 + 10 * 12 + 2], " 12 \t 3 \t 0 \t 0 \t 0 \t 0 \t 99 \t 1 \t 0 \t 0 \t 0 \t 0 \tPump\tPUMP\t");
    EXPECT_EQ(lines[1 + 24 + 18 * 12], " 20 \t 1 \t 0 \t 0 \t 0 \t 0 \t 99 \t 1 \t 0 \t 0 \t 0 \t 0 \t"
                                       "Two columns  and lines\t\t")
        << "a TAB, CR or LF of a text is a blank";
    EXPECT_EQ(lines.last(), " 64 \t 12 \t 0 \t 0 \t 0 \t 0 \t 99 \t 1 \t 0 \t 0 \t 0 \t 0 \t\t\t");
    EXPECT_TRUE(g.contains(QByteArray("D\xE9" "tecteur"))) << "é in Windows-1252";
    EXPECT_FALSE(c->Modified()) << "the export changes nothing";
}

TEST_F(ChannelTableFile, EveryModuleIsWrittenWithItsChannelCountAndNegativeNumbersTakeTheirSign)
{
    // 64 modules of every model but 2.
    for (int m = 1; m <= 64; ++m)
        gConfig->Panel(int16_t(m))->setModel(m % 2 == 0 ? 0 : (m % 4 == 1 ? 1 : 3));
    QStringList lines = linesOf(ChannelTable::Write(*gConfig));
    EXPECT_EQ(lines.size(), 1 + 768);
    for (int i = 1; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].count('\t'), 14) << i;
        ASSERT_TRUE(lines[i].endsWith('\t')) << i;
    }
    EXPECT_FALSE(lines[0].endsWith('\t'));

    // A value from an older file, out of the screens' ranges, is written as it is.
    gConfig->Panel(64)->setModel(2);
    gConfig->Panel(64)->Channel(24)->setBibNum(-3);
    gConfig->Panel(64)->Channel(24)->setReactTpo(100000);
    lines = linesOf(ChannelTable::Write(*gConfig));
    EXPECT_EQ(lines.size(), 1 + 768 + 12);
    EXPECT_EQ(lines.last(), " 64 \t 24 \t 0 \t 0 \t 0 \t 0 \t 99 \t 1 \t-3 \t 0 \t 0 \t 100000 \t\t\t");
}

TEST_F(ChannelTableFile, AnImportTakesTheLinesAFilePreparedByHandHolds)
{
    gConfig->Panel(5)->setModel(1);
    struct Case {
        const char* what;
        QString file;
        std::function<void(const ChannelClass&)> check;
        int module = 5;
        int channel = 7;
    };
    const auto taken = [](const ChannelClass& ch) {
        EXPECT_TRUE(ch.ScrAlm());
        EXPECT_FALSE(ch.PrtAlm());
        EXPECT_EQ(ch.TypeImp(), 2);
        EXPECT_TRUE(ch.Klaxon());
        EXPECT_EQ(ch.AlmPrio(), 50);
        EXPECT_FALSE(ch.Histo());
        EXPECT_EQ(ch.BibNum(), 3);
        EXPECT_EQ(ch.HelpNum(), 4);
        EXPECT_TRUE(ch.React());
        EXPECT_EQ(ch.ReactTpo(), 6);
        EXPECT_EQ(ch.ScreenText(), "Smoke");
        EXPECT_EQ(ch.PrintText(), "SMOKE");
    };
    const auto screen = [](bool on) { return [on](const ChannelClass& ch) { EXPECT_EQ(ch.ScrAlm(), on); }; };
    const auto prio = [](int p) { return [p](const ChannelClass& ch) { EXPECT_EQ(ch.AlmPrio(), p); }; };
    const Case cases[] = {
        {"header and blank lines skipped", kHeader + "\r\n\r\n" + line57() + "\r\n   \r\n\r\n", taken},
        {"5 and 7 set channel 7 of module 5", line57() + "\r\n", taken},
        {"blanks around numbers",
         channelLine({"  5 ", " 7  ", " 1", "0 ", " 2 ", " 1 ", " 5 0 ", "0", " 3", "4 ", "1", " 6 ", "Smoke", "SMOKE"}),
         taken},
        {"Screen 2", line57(Column::Screen, "2"), screen(true)},
        {"Screen -1", line57(Column::Screen, "-1"), screen(true)},
        {"Screen 0", line57(Column::Screen, " 0 "), screen(false)},
        {"Screen empty", line57(Column::Screen, ""), screen(false)},
        {"Screen 0.001", line57(Column::Screen, "0.001"), screen(true)},
        {"Prio 2.5", line57(Column::Prio, "2.5"), prio(2)},
        {"Prio 3.5", line57(Column::Prio, "3.5"), prio(4)},
        {"Prio 1E1", line57(Column::Prio, "1E1"), prio(10)},
        {"Prio 7 and words after it", line57(Column::Prio, "7 (urgent)"), prio(7)},
        {"Bib &H10", line57(Column::Bib, "&H10"), [](const ChannelClass& ch) { EXPECT_EQ(ch.BibNum(), 16); }},
        {"Help &O17", line57(Column::Help, "&O17"), [](const ChannelClass& ch) { EXPECT_EQ(ch.HelpNum(), 15); }},
        {"Tempo 0 of a new channel", line57(Column::Tempo, "0"),
         [](const ChannelClass& ch) { EXPECT_EQ(ch.ReactTpo(), 0); }},
        {"channel 20 of a 12-channel module", line57(Column::Chnl, "20"), taken, 5, 20},
        {"channel 0", line57(Column::Chnl, "0"), taken, 5, 0},
        {"LF line ends", kHeader + "\n" + line57() + "\n", taken},
        {"CR line ends", kHeader + "\r" + line57() + "\r", taken},
        {"last line without its end", kHeader + "\r\n" + line57(), taken},
        {"fields after the 14th ignored", line57() + "\t\tnote\t12", taken},
        {"texts as they stand", line57(Column::TxtScr, "  Fumée  "),
         [](const ChannelClass& ch) { EXPECT_EQ(ch.ScreenText(), "  Fumée  "); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->Panel(5)->setModel(1);
        gConfig->setModified(false);
        const auto error = import(c.file);
        ASSERT_FALSE(error) << error->description().toStdString();
        c.check(*gConfig->Panel(int16_t(c.module))->Channel(int16_t(c.channel)));
        // Slot 0 is no channel the configuration file keeps: it marks nothing to save.
        EXPECT_EQ(gConfig->Modified(), c.channel != 0);
        // Only that channel changed.
        gConfig->Panel(int16_t(c.module))->Channel(int16_t(c.channel))->setModified(false);
        EXPECT_FALSE(gConfig->Modified());
    }
}

TEST_F(ChannelTableFile, LinesWhoseFirstFieldReadsZeroAreSkipped)
{
    const QString lines[] = {
        line57(Column::Pnl, "0"),          // module 0
        line57(Column::Pnl, ""),           // no module
        line57(Column::Pnl, "Module"),     // words
        line57(Column::Pnl, "-0"),
        "0",
        "Exported by hand\t\t",
        "\t\t\t",
    };
    for (const QString& l : lines) {
        SCOPED_TRACE(l.toStdString());
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setModified(false);
        const auto error = import(kHeader + "\r\n" + l + "\r\n" + line57() + "\r\n");
        EXPECT_FALSE(error) << error->description().toStdString();
        EXPECT_EQ(gConfig->Panel(5)->Channel(7)->ScreenText(), "Smoke");
        // Only the channel line was taken.
        gConfig->Panel(5)->Channel(7)->setModified(false);
        EXPECT_FALSE(gConfig->Modified());
    }
}

TEST_F(ChannelTableFile, AFileWithoutChannelLinesOrSavedAsUnicodeIsRefusedWholeSayingWhy)
{
    const QString text = kHeader + "\r\n" + line57(Column::TxtScr, "Détecteur fumée") + "\r\n";
    const auto utf16 = [&](bool bigEndian) {
        QByteArray out;
        for (QChar c : text) {
            const char high = char(c.unicode() >> 8);
            const char low = char(c.unicode() & 0xFF);
            out += bigEndian ? QByteArray(1, high) + low : QByteArray(1, low) + high;
        }
        return out;
    };
    const QString noLine = Config::GetText(200121);
    const auto savedAs = [](const char* encoding) { return Config::GetText(200122).replace("$1", encoding); };
    struct Case {
        const char* what;
        QByteArray file;
        QString message;    // empty when the file is taken
    };
    const Case cases[] = {
        {"Windows-1252 with accents", plat::Cp1252::encode(text), {}},
        {"UTF-16 with its byte-order mark", "\xFF\xFE" + utf16(false), savedAs("UTF-16")},
        {"UTF-16 big-endian with its byte-order mark", "\xFE\xFF" + utf16(true), savedAs("UTF-16")},
        {"UTF-16 without a byte-order mark", utf16(false), savedAs("UTF-16")},
        {"a NUL byte", plat::Cp1252::encode(text) + '\0', savedAs("UTF-16")},
        {"UTF-8 with accents", text.toUtf8(), savedAs("UTF-8")},
        {"UTF-8 with its byte-order mark", "\xEF\xBB\xBF" + (kHeader + "\r\n" + line57() + "\r\n").toUtf8(),
         savedAs("UTF-8")},
        {"empty", QByteArray(), noLine},
        {"the header alone", (kHeader + "\r\n").toLatin1(), noLine},
        {"the header and blank lines", (kHeader + "\r\n\r\n  \r\n").toLatin1(), noLine},
        {"lines without a module number", plat::Cp1252::encode("Liste des voies\r\n" + line57(Column::Pnl, "0")),
         noLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setModified(false);
        const QByteArray before = ChannelTable::Write(*gConfig);
        const auto error = importBytes(c.file);
        if (c.message.isEmpty()) {
            ASSERT_FALSE(error) << error->description().toStdString();
            EXPECT_EQ(gConfig->Panel(5)->Channel(7)->ScreenText(), "Détecteur fumée");
            continue;
        }
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), plat::rt::InvalidPropertyValue);
        EXPECT_EQ(error->description(), c.message);
        EXPECT_FALSE(gConfig->Modified()) << "nothing of the file was taken";
        EXPECT_EQ(ChannelTable::Write(*gConfig), before);
    }
    EXPECT_EQ(savedAs("UTF-8"), "Nothing was imported: the file is saved as UTF-8 text. Save it as Windows-1252 (ANSI) "
                                "text and import it again.");
}

TEST_F(ChannelTableFile, AnExportReadBackChangesNothingAndOneLineChangedByHandChangesOnlyItsChannel)
{
    ReplaceConfig(saved(configureSmall));
    gConfig->Panel(20)->Channel(1)->setScreenText("Two columns  and lines");
    gConfig->Panel(33)->setModel(2);
    gConfig->Panel(33)->Channel(17)->setPrintText("Température haute");
    gConfig->setModified(false);
    const QByteArray exported = ChannelTable::Write(*gConfig);

    ChannelTable::Read(exported, *gConfig);
    EXPECT_FALSE(gConfig->Modified()) << "the file holds what the configuration holds";
    EXPECT_EQ(ChannelTable::Write(*gConfig), exported);

    // The technician raises the priority of channel 17 of module 33 in a spreadsheet.
    QStringList lines = plat::Cp1252::decode(exported).split("\r\n");
    const qsizetype at = lines.indexOf(QRegularExpression("^ 33 \t 17 \t.*"));
    ASSERT_GT(at, 0);
    QStringList fields = lines[at].split('\t');
    fields[Column::Prio] = "7";
    lines[at] = fields.join('\t');
    ChannelTable::Read(plat::Cp1252::encode(lines.join("\r\n")), *gConfig);
    EXPECT_EQ(gConfig->Panel(33)->Channel(17)->AlmPrio(), 7);
    EXPECT_EQ(gConfig->Panel(33)->Channel(17)->PrintText(), "Température haute");
    gConfig->Panel(33)->Channel(17)->setModified(false);
    EXPECT_FALSE(gConfig->Modified()) << "no other channel changed";
}

TEST_F(ChannelTableFile, AMalformedFileIsRefusedWholeNamingItsLineAndColumn)
{
    struct Case {
        const char* what;
        QString line;
        Column column;
        int error;
    };
    const Case cases[] = {
        {"13 fields", line57().section('\t', 0, 12), Column::TxtImp, plat::rt::SubscriptOutOfRange},
        {"2 fields", "5\t7", Column::Screen, plat::rt::SubscriptOutOfRange},
        {"a module number alone", "5", Column::Chnl, plat::rt::SubscriptOutOfRange},
        {"module 65", line57(Column::Pnl, "65"), Column::Pnl, plat::rt::SubscriptOutOfRange},
        {"module 0.4", line57(Column::Pnl, "0.4"), Column::Pnl, plat::rt::SubscriptOutOfRange},
        {"module 40000", line57(Column::Pnl, "40000"), Column::Pnl, plat::rt::Overflow},
        {"channel -1", line57(Column::Chnl, "-1"), Column::Chnl, plat::rt::SubscriptOutOfRange},
        {"channel 25", line57(Column::Chnl, "25"), Column::Chnl, plat::rt::SubscriptOutOfRange},
        {"Prio 40000", line57(Column::Prio, "40000"), Column::Prio, plat::rt::Overflow},
        {"Tempo beyond a Long", line57(Column::Tempo, "2147483648"), Column::Tempo, plat::rt::Overflow},
        {"Bib 65", line57(Column::Bib, "65"), Column::Bib, plat::rt::InvalidPropertyValue},
        {"Bib -1", line57(Column::Bib, "-1"), Column::Bib, plat::rt::InvalidPropertyValue},
        {"Help 49", line57(Column::Help, "49"), Column::Help, plat::rt::InvalidPropertyValue},
        {"Prio 0", line57(Column::Prio, "0"), Column::Prio, plat::rt::InvalidPropertyValue},
        {"Prio 100", line57(Column::Prio, "100"), Column::Prio, plat::rt::InvalidPropertyValue},
        {"TypeImp 4", line57(Column::TypePrt, "4"), Column::TypePrt, plat::rt::InvalidPropertyValue},
        {"Tempo 9", line57(Column::Tempo, "9"), Column::Tempo, plat::rt::InvalidPropertyValue},
        {"Tempo -1", line57(Column::Tempo, "-1"), Column::Tempo, plat::rt::InvalidPropertyValue},
        {"a flag of too many hexadecimal digits", line57(Column::Klaxon, "&H123456789"), Column::Klaxon,
         plat::rt::Overflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setModified(false);
        const QByteArray before = ChannelTable::Write(*gConfig);
        // A good line before the bad one and another after it.
        const auto error = import(kHeader + "\r\n" + line57(Column::Chnl, "1") + "\r\n\r\n" + c.line + "\r\n" +
                                  line57(Column::Chnl, "2") + "\r\n");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), c.error);
        EXPECT_EQ(error->description(), refusal(4, c.column));
        EXPECT_FALSE(gConfig->Modified()) << "nothing of the file was taken";
        EXPECT_EQ(ChannelTable::Write(*gConfig), before);
    }
    EXPECT_EQ(refusal(4, Column::Prio), "Nothing was imported: line 4, column Prio is missing or out of range.");
}

TEST_F(ChannelTableFile, AFileThatCannotBeReadOrWrittenRaisesAndIsNeverLeftOpenOrHalfWritten)
{
    const QString folder = testing_support::programFolder();
    const QString missing = folder + "/none.txt";
    EXPECT_THROW(ChannelTable::Import(missing, *gConfig), plat::RtError);
    EXPECT_THROW(ChannelTable::Import(folder, *gConfig), plat::RtError) << "a folder is no file";
    EXPECT_THROW(ChannelTable::Export(*gConfig, folder + "/no-folder/table.txt"), plat::RtError);
    EXPECT_FALSE(QFile::exists(folder + "/no-folder"));

    // A refused file is closed again.
    const QString bad = folder + "/bad.txt";
    writeFile(bad, plat::Cp1252::encode(line57(Column::Prio, "0")));
    try {
        ChannelTable::Import(bad, *gConfig);
        ADD_FAILURE() << "Prio 0 was taken";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.description(), refusal(1, Column::Prio));
    }
    EXPECT_EQ(openOn(bad), 0);

    // An export cut short by a full disk leaves the older file of the name whole.
    const QString older = folder + "/table.txt";
    writeFile(older, "older table\r\n");
    const QStringList before = QDir(folder).entryList(QDir::Files);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool refused = false;
    try {
        ChannelTable::Export(*gConfig, older);
    } catch (const plat::RtError&) {
        refused = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(refused);
    EXPECT_EQ(readFile(older), "older table\r\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), before) << "no temporary file is left";

    ChannelTable::Export(*gConfig, older);
    EXPECT_EQ(readFile(older), ChannelTable::Write(*gConfig));
    EXPECT_EQ(openOn(older), 0);
}
