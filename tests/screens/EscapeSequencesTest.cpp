// The printer's escape sequences without the screen: the model files of the
// program folder, the sequences built from a model and the eight codes, the
// descriptions of the codes, what the sequence dialog offers and what its
// answer gives, and model files that hold what is no byte.

#include "program/screens/system/EscapeSequences.h"
#include "program/screens/system/PrinterModelFile.h"
#include "tests/screens/PrinterFixture.h"

namespace {

using namespace EscapeSequences;
using EscapeSequencesTable = PrinterFixture;

// The codes given, then codes that select nothing ("9": no colour, no style).
Texts codes(std::initializer_list<const char*> list)
{
    Texts t;
    t.fill(QStringLiteral("9"));
    size_t i = 0;
    for (const char* c : list)
        t[i++] = QString::fromLatin1(c);
    return t;
}

} // namespace

TEST_F(EscapeSequencesTable, ModelsAreThePrtFilesMatchedAndSortedWithoutRegardToCase)
{
    for (const char* name : {"zeta.PRT", "Alpha.prt", "beta.Prt", "notes.txt", "gamma.prt.bak"})
        QFile(folder() + "/" + name).open(QIODevice::WriteOnly);
    EXPECT_EQ(PrinterModelFile::Models(), QStringList({"Alpha", "beta", "zeta"}));
    EXPECT_EQ(PrinterModelFile::FileOf("ZETA"), folder() + "/zeta.PRT");
    EXPECT_EQ(PrinterModelFile::FileOf("gamma"), QString());
    EXPECT_FALSE(PrinterModelFile("gamma").Exists());
}

TEST_F(EscapeSequencesTable, BuildingJoinsTheModelsValuesOfEachCodeBySingleBlanks)
{
    struct Case {
        const char* what;
        QByteArray file; // none written when empty
        Texts codes;
        Texts expected;
    };
    const QByteArray colour3 = "[Reset]\r\nInit=1B 40\r\n[Colors]\r\n3=1B 72 31\r\n[Styles]\r\nB=1B 45\r\nU=1B 2D 31\r\n";
    const Case cases[] = {
        {"a colour and a style", colour3, codes({"0", "0", "3B"}), {"1B 40", "", "1B 72 31 1B 45"}},
        {"a style the file lacks adds nothing", colour3, codes({"0", "3I", "3IU"}),
         {"1B 40", "1B 72 31", "1B 72 31 1B 2D 31"}},
        {"a colour the file lacks leaves no blank before the style", colour3, codes({"0", "0B", "5BU"}),
         {"1B 40", "1B 45", "1B 45 1B 2D 31"}},
        {"no [Colors] at all", monoModel(), codes({"3BU", "0", "6B", "", "U"}),
         {"1B 40 0D", "", "1B 45", "", "1B 2D 31"}},
        {"styles anywhere in the code, capitals only, in the order B I U", colourModel(), codes({"", "U0B", "2ub", "1IB"}),
         {"1B 40", "1B 72 30 1B 45 1B 2D 31", "1B 72 32", "1B 72 31 1B 45 1B 34"}},
        {"a colour above 6 is no colour", colourModel(), codes({"", "7", "12B", "06"}), {"1B 40", "", "1B 45", "1B 72 36"}},
        {"a missing file gives empty sequences", {}, codes({"0", "3B", "0"}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(folder() + "/model.prt");
        if (!c.file.isEmpty())
            writeModel("model", c.file);
        const Texts before = c.codes;
        EXPECT_EQ(Build(PrinterModelFile("model"), c.codes), c.expected);
        EXPECT_EQ(c.codes, before);
    }
}

TEST_F(EscapeSequencesTable, ChangingTheModelRebuildsEverySequenceIncludingTheFirst)
{
    writeModel("colour", colourModel());
    writeModel("mono", monoModel());
    const Texts c = codes({"5", "1B", "2U"});
    EXPECT_EQ(Build(PrinterModelFile("colour"), c), (Texts{"1B 40", "1B 72 31 1B 45", "1B 72 32 1B 2D 31"}));
    EXPECT_EQ(Build(PrinterModelFile("mono"), c), (Texts{"1B 40 0D", "1B 45", "1B 2D 31"}));
}

TEST_F(EscapeSequencesTable, DescriptionNamesTheColourThenTheStyles)
{
    const struct {
        const char* code;
        const char* line;
    } cases[] = {
        {"3B", "Blue Bold"},
        {"0", "Black"},
        {"", "Black"},
        {"6UIB", "Green Bold Italic Underline"},
        {"2bi", "Cyan"},
        {"7", ""},
        {"8U", "Underline"},
        {"30B", "Bold"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(c.code), c.line) << c.code;
    gLanguage = 2;
    EXPECT_EQ(Describe("5BU"), "Rot Fett Unterstrichen");
}

TEST_F(EscapeSequencesTable, DialogOffersWhatTheModelDefinesAndItsAnswerGivesCodeAndSequence)
{
    writeModel("colour", colourModel());
    writeModel("mono", monoModel());
    using Styles = std::array<bool, 3>;
    const struct {
        const char* what;
        const char* model;
        const char* code;
        std::array<bool, 7> colours;
        int selected;
        Styles styles;
        Styles checked;
    } offers[] = {
        {"every colour and style", "colour", "3BU", {1, 1, 1, 1, 1, 1, 1}, 3, {1, 1, 1}, {1, 0, 1}},
        {"colour 0 only, styles of the file", "mono", "0I", {1, 0, 0, 0, 0, 0, 0}, 0, {1, 0, 1}, {0, 0, 0}},
        {"a colour not offered selects none", "mono", "4B", {1, 0, 0, 0, 0, 0, 0}, NoColour, {1, 0, 1}, {1, 0, 0}},
        {"a colour above 6 selects none", "colour", "9", {1, 1, 1, 1, 1, 1, 1}, NoColour, {1, 1, 1}, {0, 0, 0}},
    };
    for (const auto& o : offers) {
        SCOPED_TRACE(o.what);
        const Offer offer = OfferFor(PrinterModelFile(o.model), o.code);
        EXPECT_EQ(offer.colours, o.colours);
        EXPECT_EQ(offer.colour, o.selected);
        EXPECT_EQ(offer.styles, o.styles);
        EXPECT_EQ(offer.checked, o.checked);
    }

    const struct {
        const char* what;
        const char* model;
        int colour;
        Styles checked;
        const char* code;
        const char* sequence;
    } answers[] = {
        {"colour and styles in box order", "colour", 5, {1, 1, 1}, "5BIU", "1B 72 35 1B 45 1B 34 1B 2D 31"},
        {"colour 0 the file lacks, with bold: the bold value alone", "mono", 0, {1, 0, 0}, "0B", "1B 45"},
        {"none selected takes colour 0", "colour", NoColour, {0, 0, 1}, "0U", "1B 72 30 1B 2D 31"},
        {"nothing at all", "mono", NoColour, {0, 0, 0}, "0", ""},
    };
    for (const auto& a : answers) {
        SCOPED_TRACE(a.what);
        const Edited e = Answer(PrinterModelFile(a.model), a.colour, a.checked);
        EXPECT_EQ(e.code, a.code);
        EXPECT_EQ(e.sequence, a.sequence);
    }
}

TEST_F(EscapeSequencesTable, ValuesThatAreNoBytesAreNotUsedAndNamedOnce)
{
    const QByteArray tooLong = "1B" + QByteArray(" 1B").repeated(341);
    const struct {
        const char* what;
        QByteArray file;
        Texts expected; // codes "0", "1B", "2U"
        const char* named; // in the problem, "" for none
    } cases[] = {
        {"a value with a letter that is no hexadecimal digit",
         "[Reset]\r\nInit=1B 40\r\n[Colors]\r\n1=1B ZZ\r\n2=1B 72 32\r\n[Styles]\r\nB=1B 45\r\nU=1B 2D 31\r\n",
         {"1B 40", "1B 45", "1B 72 32 1B 2D 31"}, "[Colors] 1"},
        {"a number above FF and a prefix",
         "[Reset]\r\nInit=1B 100\r\n[Colors]\r\n1=1B 72 31\r\n2=0x1B\r\n[Styles]\r\nB=1B 45\r\nU=1B 2D 31\r\n",
         {"", "1B 72 31 1B 45", "1B 2D 31"}, "[Reset] Init, [Colors] 2"},
        {"a value longer than a profile read returns",
         "[Reset]\r\nInit=1B 40\r\n[Colors]\r\n1=1B 72 31\r\n[Styles]\r\nB=" + tooLong + "\r\nU=1B 2D 31\r\n",
         {"1B 40", "1B 72 31", "1B 2D 31"}, "[Styles] B"},
        {"blanks and tabs between items are single blanks",
         "[Reset]\r\nInit=1B\t 40\r\n[Colors]\r\n1=  1b   72 31  \r\n[Styles]\r\nB=1B 45\r\n",
         {"1B 40", "1b 72 31 1B 45", ""}, ""},
        {"a file that is no text", "[Reset]\r\nInit=1B 40\r\n" + QByteArray("\x00\x01\x02\xFF", 4), {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeModel("model", c.file);
        const PrinterModelFile model("model");
        EXPECT_EQ(Build(model, codes({"0", "1B", "2U"})), c.expected);
        const QString problem = model.Problem();
        if (QByteArray(c.named).isEmpty() && !c.file.contains('\0')) {
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
            continue;
        }
        EXPECT_TRUE(problem.contains("model.prt")) << problem.toStdString();
        EXPECT_TRUE(problem.contains(c.named)) << problem.toStdString();
    }
    writeModel("model", QByteArray("\x7F" "ELF\x02\x01\x01\x00", 8));
    EXPECT_TRUE(PrinterModelFile("model").Problem().contains("not a text file"));
}
