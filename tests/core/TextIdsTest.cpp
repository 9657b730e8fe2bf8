// The shipped configuration database (the built PLX2.cfg): every text id the
// program looks up is there in every language, the fixed values the program
// reads are there, the sounds are sound WAV files that loop without a click,
// and the file opens only with the program's password.
//
// Text ids are found in the program's sources: GetText(<number>) and
// setTag(<control>, <number>) calls (the tag may also be "<condition> ?
// <number> : <number>"), and the constants of any TextIds.h header, where
// code that computes ids or passes them on keeps them: each "Name = <number>"
// is an id, and a pair "<Name>First" / "<Name>Last" stands for the whole range.

#include "program/core/Config.h"

#include "platform/Database.h"
#include "platform/Guard.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

// The one text meant to be empty in every language: the title of the mirror
// list's first column.
constexpr long kEmptyOnPurpose = 500200;

QString shippedDatabase()
{
    return testing_support::binFolder() + "/PLX2.cfg";
}

// The source without its comments and with the text of its literals blanked,
// but for literals that are numbers.
QString withoutComments(const QString& src)
{
    QString out;
    out.reserve(src.size());
    for (int i = 0; i < src.size(); ++i) {
        const QChar c = src[i];
        const QChar next = i + 1 < src.size() ? src[i + 1] : QChar();
        if (c == '/' && next == '/') {
            while (i < src.size() && src[i] != '\n')
                ++i;
            out += '\n';
        } else if (c == '/' && next == '*') {
            i += 2;
            while (i + 1 < src.size() && !(src[i] == '*' && src[i + 1] == '/'))
                ++i;
            ++i;
            out += ' ';
        } else if (c == '"' || c == '\'') {
            // A literal keeps its text only when it is a number ("50010").
            QString literal;
            for (++i; i < src.size() && src[i] != c; ++i) {
                literal += src[i];
                if (src[i] == '\\' && i + 1 < src.size())
                    literal += src[++i];
            }
            static const QRegularExpression digits("^\\d+$");
            out += c;
            out += digits.match(literal).hasMatch() ? literal : QString(literal.size(), ' ');
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

// The last argument of each setTag call, however deeply its control is nested.
QStringList tagArguments(const QString& code)
{
    static const QRegularExpression call(R"(\bsetTag\s*\()");
    QStringList tags;
    for (auto it = call.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        int depth = 0;
        qsizetype lastStart = m.capturedEnd();
        for (qsizetype i = m.capturedEnd(); i < code.size(); ++i) {
            const QChar c = code[i];
            if (c == '(' || c == '{' || c == '[') {
                ++depth;
            } else if (c == ',' && depth == 0) {
                lastStart = i + 1;
            } else if (c == ')' || c == '}' || c == ']') {
                if (depth-- == 0) {
                    tags << code.mid(lastStart, i - lastStart);
                    break;
                }
            }
        }
    }
    return tags;
}

// Text ids used by one source file; a TextIds.h header gives all its constants.
std::set<long> textIdsIn(const QString& source, bool idHeader)
{
    static const QRegularExpression getText(R"re(\bGetText\s*\(\s*"?(\d+)"?\s*[,)])re");
    static const QRegularExpression literalTag(R"re(^\s*"?(\d+)"?\s*$)re");
    static const QRegularExpression eitherTag(R"re(^[^?]+\?\s*(\d+)\s*:\s*(\d+)\s*$)re");
    static const QRegularExpression constant(R"(\b(\w+)\s*=\s*(\d+)\b)");
    const QString code = withoutComments(source);
    std::set<long> ids;
    for (auto it = getText.globalMatch(code); it.hasNext();)
        ids.insert(it.next().captured(1).toLong());
    for (const QString& tag : tagArguments(code)) {
        if (const auto m = literalTag.match(tag); m.hasMatch()) {
            ids.insert(m.captured(1).toLong());
        } else if (const auto e = eitherTag.match(tag); e.hasMatch()) {
            ids.insert(e.captured(1).toLong());
            ids.insert(e.captured(2).toLong());
        }
    }
    if (idHeader) {
        QMap<QString, long> constants;
        for (auto it = constant.globalMatch(code); it.hasNext();) {
            const auto m = it.next();
            constants.insert(m.captured(1), m.captured(2).toLong());
            ids.insert(m.captured(2).toLong());
        }
        for (auto it = constants.cbegin(); it != constants.cend(); ++it) {
            if (!it.key().endsWith("First"))
                continue;
            const QString last = it.key().chopped(5) + "Last";
            if (constants.contains(last))
                for (long id = it.value(); id <= constants.value(last); ++id)
                    ids.insert(id);
        }
    }
    return ids;
}

struct Use {
    long id;
    QString where;
};

std::vector<Use> programTextIds()
{
    std::vector<Use> uses;
    const QString root = testing_support::sourceFolder() + "/program";
    QDirIterator it(root, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const bool idHeader = QFileInfo(path).fileName() == "TextIds.h";
        for (long id : textIdsIn(QString::fromUtf8(f.readAll()), idHeader))
            uses.push_back({id, path.mid(root.size() + 1)});
    }
    return uses;
}

int openError(const QString& path, const QString& connect)
{
    try {
        plat::Database::OpenDatabase(path, connect);
    } catch (const plat::RtError& e) {
        return e.number();
    }
    return 0;
}

std::unique_ptr<plat::Database> openShipped()
{
    return plat::Database::OpenDatabase(shippedDatabase(), ";pwd=9J84");
}

int16_t sampleAt(const QByteArray& wav, int i)
{
    const int at = 44 + 2 * i;
    return int16_t(uint8_t(wav[at]) | (uint8_t(wav[at + 1]) << 8));
}

uint32_t u32At(const QByteArray& b, int at)
{
    uint32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

uint16_t u16At(const QByteArray& b, int at)
{
    uint16_t v = 0;
    std::memcpy(&v, b.constData() + at, 2);
    return v;
}

} // namespace

TEST(TextIdScan, FindsLookupsTagsAndHeaderRangesButNotComments)
{
    struct Case {
        const char* source;
        bool header;
        std::set<long> ids;
    } cases[] = {
        {"x = Config::GetText(20004);", false, {20004}},
        {"GetText(\"50010\", true) + GetText( 10001 )", false, {50010, 10001}},
        {"plat::setTag(lblTitle, 10110); setTag(imgNavig(3), 30015);", false, {10110, 30015}},
        {"setTag(ui->cmdOk, \"10004\")", false, {10004}},
        {"plat::setTag(lblLabels.add(2, text(frame(1), place(1, 2, 3, 4), font(10), Align)), 830013);", false, {830013}},
        {"setTag(caption, side == Source ? 201010 : 201011); setTag(b, i == 1 ? 10008 : base + i)", false,
         {201010, 201011}},
        {"GetText(QString::number(id)); setTag(c, base + 1); GetText(kId); setTag(c, f(1, 20010))", false, {}},
        {"// GetText(11111)\n/* setTag(a, 22222) */ s = \"// GetText(10002)\";", false, {}},
        {"constexpr int PrintTypeFirst = 300310;\nconstexpr int PrintTypeLast = 300312;\nconstexpr int Lone = 42;",
         true, {300310, 300311, 300312, 42}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textIdsIn(QString::fromUtf8(c.source), c.header), c.ids) << c.source;
}

TEST(ShippedDatabase, HoldsEveryTextIdTheProgramUsesInEveryLanguage)
{
    auto db = openShipped();
    const QStringList fields = db->TableFields("T_Language");
    ASSERT_EQ(fields.size(), 3 + 3) << "three leading columns and three languages";
    auto rs = db->OpenRecordset("T_Language");
    rs->setIndex("PrimaryKey");
    for (const Use& use : programTextIds()) {
        rs->Seek("=", qlonglong(use.id));
        if (rs->NoMatch()) {
            ADD_FAILURE() << "text " << use.id << " (used in " << use.where.toStdString() << ") is not in PLX2.cfg";
            continue;
        }
        if (use.id == kEmptyOnPurpose)
            continue;
        for (int column = 3; column < fields.size(); ++column)
            EXPECT_FALSE(rs->field(column).toString().trimmed().isEmpty())
                << "text " << use.id << " (used in " << use.where.toStdString() << ") is empty in "
                << fields[column].toStdString();
    }
}

TEST(ShippedDatabase, HasNoTextMissingInALanguageAndOnlyTheMirrorListsFirstTitleEmpty)
{
    auto db = openShipped();
    const QStringList fields = db->TableFields("T_Language");
    QStringList empty, filled;
    for (int column = 3; column < fields.size(); ++column) {
        empty << QString("(\"%1\" IS NULL OR trim(\"%1\") = '')").arg(fields[column]);
        filled << "NOT " + empty.back();
    }
    // Empty in one language, filled in another: a translation missing.
    const QString missing = QString("SELECT Count(*) FROM T_Language WHERE (%1) AND (%2)")
                                .arg(empty.join(" OR "), filled.join(" OR "));
    EXPECT_EQ(db->SelectValue(missing).toInt(), 0);
    // Empty in every language: only the texts meant to be empty.
    const QString blank = QString("SELECT Count(*) FROM T_Language WHERE %1").arg(empty.join(" AND "));
    EXPECT_EQ(db->SelectValue(blank).toInt(), 1);
    EXPECT_EQ(db->SelectValue(blank + QString(" AND Id = %1").arg(kEmptyOnPurpose)).toInt(), 1);
}

TEST(ShippedDatabase, OpensOnlyWithTheProgramsPassword)
{
    EXPECT_EQ(openError(shippedDatabase(), ";pwd=9J84"), 0);
    EXPECT_EQ(openError(shippedDatabase(), ";pwd=9j84"), plat::dberr::InvalidPassword);
    EXPECT_EQ(openError(shippedDatabase(), ""), plat::dberr::InvalidPassword);
}

using ShippedDatabaseOpened = testing_support::ProgramGlobals;

TEST_F(ShippedDatabaseOpened, ConfigListsExactlyThreeLanguages)
{
    const QString cfg = testing_support::programFolder() + "/PLX2.cfg";
    ASSERT_TRUE(QFile::copy(shippedDatabase(), cfg));
    int reports = 0;
    plat::setErrorReporter([&](const QString&, const plat::RtError&) { ++reports; });
    ASSERT_TRUE(Config::OpenConfigBase());
    QSet<QString> names;
    for (int k = 0; k < 3; ++k) {
        const QString name = Config::GetLanguage(k);
        EXPECT_FALSE(name.isEmpty()) << k;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3);
    EXPECT_EQ(Config::GetLanguage(3), "");
    EXPECT_EQ(reports, 0);
}

TEST(ShippedDatabase, HoldsTheFixedValuesTheProgramReads)
{
    auto db = openShipped();
    auto rs = db->OpenRecordset("T_Config");
    rs->setIndex("PrimaryKey");
    for (int key : {100000, 100001, 100011, 100002, 100012, 100100, 100110, 100111, 100201, 100202, 100203, 100204,
                    100301, 100302}) {
        rs->Seek("=", key);
        EXPECT_FALSE(rs->NoMatch()) << key;
    }
    // Read as whole numbers and binary digit strings.
    static const QRegularExpression whole(R"(^-?\d+$)"), binary(R"(^[01]{1,8}$)");
    for (int key : {100100, 100110, 100111}) {
        rs->Seek("=", key);
        EXPECT_TRUE(whole.match(rs->field("Value").toString()).hasMatch()) << key;
    }
    for (int key : {100201, 100202, 100203, 100204}) {
        rs->Seek("=", key);
        EXPECT_TRUE(binary.match(rs->field("Value").toString()).hasMatch()) << key;
    }
}

TEST(ShippedDatabase, SoundsAreDistinctWavFilesThatLoopWithoutAClick)
{
    auto db = openShipped();
    const int count = db->SelectValue("SELECT Max(ID) as MaxID from T_Sounds").toInt();
    ASSERT_GE(count, 8);
    auto rs = db->OpenRecordset("T_Sounds");
    rs->setIndex("PrimaryKey");
    QSet<QByteArray> contents;
    for (int id = 1; id <= count; ++id) {
        SCOPED_TRACE(id);
        rs->Seek("=", id);
        ASSERT_FALSE(rs->NoMatch()) << "sound numbers run from 1 without a gap";
        const int size = rs->field("Size").toInt();
        const QByteArray wav = rs->GetChunk("Content", 0, size);
        ASSERT_EQ(wav.size(), size);
        EXPECT_EQ(rs->field("Extension").toString(), "wav");
        contents.insert(wav);

        ASSERT_GT(wav.size(), 44);
        EXPECT_EQ(wav.left(4), "RIFF");
        EXPECT_EQ(u32At(wav, 4), uint32_t(size - 8));
        EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(u16At(wav, 20), 1);        // PCM
        EXPECT_EQ(u16At(wav, 22), 1);        // mono
        const uint32_t rate = u32At(wav, 24);
        EXPECT_EQ(u16At(wav, 34), 16);       // bits
        EXPECT_EQ(wav.mid(36, 4), "data");
        ASSERT_EQ(u32At(wav, 40), uint32_t(size - 44));

        const int n = (size - 44) / 2;
        const double seconds = double(n) / rate;
        EXPECT_GE(seconds, 1.0);
        EXPECT_LE(seconds, 10.0);

        // The loop point: the file starts on a zero and its last sample leads
        // into the first no harder than any step inside the file.
        EXPECT_EQ(sampleAt(wav, 0), 0);
        int maxStep = 0, peak = 0;
        for (int i = 0; i + 1 < n; ++i) {
            maxStep = std::max(maxStep, std::abs(sampleAt(wav, i + 1) - sampleAt(wav, i)));
            peak = std::max(peak, std::abs(int(sampleAt(wav, i))));
        }
        EXPECT_LE(std::abs(sampleAt(wav, 0) - sampleAt(wav, n - 1)), maxStep);
        EXPECT_GT(peak, 8000) << "loud enough to be heard";
    }
    EXPECT_EQ(contents.size(), count);
}
