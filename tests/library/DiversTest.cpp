#include "library/Divers.h"
#include "platform/Regional.h"
#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace VexLib22;
using plat::DateTime;
using plat::Value;

namespace {

class DiversTest : public testing::Test {
protected:
    plat::ComPtr<Divers> d = plat::ComPtr<Divers>::attach(new Divers);
};

// Decimal comma, a narrow no-break space between digit groups.
void useFrenchSeparators()
{
    plat::Regional::setLocale(QLocale(QLocale::French, QLocale::France));
}

using testing_support::errorOf;

} // namespace

TEST_F(DiversTest, SeparatorsAreReadOnceAndKept)
{
    useFrenchSeparators();
    EXPECT_EQ(d->SepList(), ";");
    EXPECT_EQ(d->SepDec(), ",");
    EXPECT_EQ(d->SepMil(), QString(QChar(0x202F)));

    plat::Regional::reset();
    EXPECT_EQ(d->SepList(), ";");
    EXPECT_EQ(d->SepDec(), ",");
    auto fresh = plat::ComPtr<Divers>::attach(new Divers);
    EXPECT_EQ(fresh->SepList(), ",");
    EXPECT_EQ(fresh->SepDec(), ".");
    EXPECT_EQ(fresh->SepMil(), ",");
}

TEST_F(DiversTest, MiniAndMaxiCompareByTheKindsOfTheirArguments)
{
    const Value jan2 = DateTime::fromDate({2024, 1, 2});
    struct Case { Value a; Value b; Value mini; Value maxi; };
    const Case cases[] = {
        {5, "12", 5, "12"},                       // the text reads as a number
        {"abc", "abd", "abc", "abd"},
        {jan2, "2024-01-01", "2024-01-01", jan2}, // the text reads as a date
        {true, 0.5, 0.5, true},                   // True counts as 1
        {false, -0.5, -0.5, false},
        {"9", "10", "9", "10"},                   // numeric texts compare as numbers
        {"B", "a", "B", "a"},                     // other texts in binary order
        {3, 3.0, 3, 3.0},                         // a tie: Mini gives A, Maxi gives B
        {"x", 5, 5, "x"},                         // mixed: a number is less than a text
        {jan2, 45000, 45000, jan2},               // mixed: a date compares by its serial
        {Value(), 5, Value(), 5},                 // Empty is 0 beside a number
        {Value(), -5, -5, Value()},
        {Value::null(), 5, Value::null(), 5},     // with Null nothing is greater
        {5, Value::null(), 5, Value::null()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(d->Mini(c.a, c.b), c.mini) << c.a.toText().toStdString() << " / " << c.b.toText().toStdString();
        EXPECT_EQ(d->Maxi(c.a, c.b), c.maxi) << c.a.toText().toStdString() << " / " << c.b.toText().toStdString();
    }
}

TEST_F(DiversTest, NumericTextsFollowTheRegionalSeparators)
{
    useFrenchSeparators();
    EXPECT_EQ(d->Maxi("2,5", 2), Value("2,5"));
    EXPECT_EQ(d->Mini("10,5", "9,75"), Value("9,75"));
}

TEST_F(DiversTest, ObjectsCannotBeCompared)
{
    EXPECT_EQ(errorOf([&] { d->Mini(Value::other(), 1); }), plat::rt::TypeMismatch);
    EXPECT_EQ(errorOf([&] { d->Maxi(Value::other(), Value::other()); }), plat::rt::TypeMismatch);
}

TEST_F(DiversTest, BornerClampsInPlaceAndTheLowerBoundWinsWhenTheyCross)
{
    struct Case { Value v; Value lo; Value hi; Value expected; };
    const Case cases[] = {
        {15, 0, 10, 10}, {-3, 0, 10, 0}, {5, 0, 10, 5}, {5, 8, 2, 8}, {1, 1, 64, 1}, {64.5, 1, 64, 64},
    };
    for (const auto& c : cases) {
        Value v = c.v;
        Value lo = c.lo, hi = c.hi;
        d->Borner(v, lo, hi);
        EXPECT_EQ(v, c.expected) << c.v.toText().toStdString();
        EXPECT_EQ(lo, c.lo);
        EXPECT_EQ(hi, c.hi);
    }
}

TEST_F(DiversTest, NumReadsEitherNotation)
{
    struct Case { const char* text; float expected; };
    const Case point[] = {
        {"", 0}, {"abc", 0}, {"12.5", 12.5f}, {"1,234,567", 1234567}, {"1,234.5", 1234.5f},
        {"1.234,5", 1.2345f}, {"12,5", 125}, {"1 234", 1234}, {" 1 234", 1234}, {"1\u00A0234.5", 1234.5f},
        {"12,5abc", 12}, {"-7", -7}, {"1,,2", 1},
    };
    for (const auto& c : point)
        EXPECT_FLOAT_EQ(d->Num(QString::fromUtf8(c.text)), c.expected) << c.text;

    useFrenchSeparators();
    auto fr = plat::ComPtr<Divers>::attach(new Divers);
    const Case comma[] = {
        {"1 234,5", 1234.5f}, {"12,5", 12.5f}, {"12.5", 12.5f}, {"1,234,567", 1234567}, {"1.234,5", 1.2345f},
        {"", 0}, {"abc", 0}, {"12,5x", 12.5f},
    };
    for (const auto& c : comma)
        EXPECT_FLOAT_EQ(fr->Num(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST_F(DiversTest, NumBeyondASingleRaisesOverflow)
{
    EXPECT_EQ(errorOf([&] { d->Num("1e300"); }), plat::rt::Overflow);
    EXPECT_EQ(errorOf([&] { d->Num("1.5e300x"); }), plat::rt::Overflow);
    EXPECT_FLOAT_EQ(d->Num("1e300x"), 0);   // no point and no comma: not read
    EXPECT_FLOAT_EQ(d->Num("3.4e38"), 3.4e38f);
}

TEST_F(DiversTest, CeilingRoundsUpWhateverTheSign)
{
    struct Case { double in; int32_t out; };
    const Case cases[] = {{2.1, 3}, {2, 2}, {-2.5, -2}, {-0.5, 0}, {-3, -3}, {0, 0}, {1e-9, 1},
                          {2147483646.5, 2147483647}, {-2147483648.0, -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(d->Ceiling(c.in), c.out) << c.in;
}

TEST_F(DiversTest, CeilingOutsideTheRangeRaisesOverflow)
{
    for (double v : {2147483647.5, -2147483649.0, 1e20, double(NAN)}) {
        try {
            d->Ceiling(v);
            ADD_FAILURE() << v;
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), plat::rt::Overflow);
            EXPECT_EQ(e.source(), "VexLib22");
        }
    }
}

TEST_F(DiversTest, RemplaceReplacesTheFirstOccurrenceOnly)
{
    struct Case { const char* orig; const char* rech; const char* rempl; const char* expected; };
    const Case cases[] = {
        {"a-b-c", "-", "+", "a+b-c"}, {"abc", "x", "y", "abc"}, {"abc", "", ">", ">abc"},
        {"ABC abc", "abc", "x", "ABC x"}, {"aaa", "aa", "b", "ba"}, {"", "a", "b", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(d->Remplace(c.orig, c.rech, c.rempl), Value(c.expected)) << c.orig;
}

TEST(DiversCommandLine, SplitsAtBlanksGroupsQuotedTextAndEscapesQuotesWithBackslashes)
{
    struct Case { const char* line; QStringList args; };
    const Case cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"  prog   a\tb  ", {"prog", "a", "b"}},
        {"\"/opt/my tools/prog\" \"x y\" z", {"/opt/my tools/prog", "x y", "z"}},
        {"prog a\"b c\"d", {"prog", "ab cd"}},
        {"prog \"\"", {"prog", ""}},
        {"prog \"say \"\"hi\"\"\"", {"prog", "say \"hi\""}},
        {"prog a\\\"b", {"prog", "a\"b"}},
        {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
        {"prog a\\b", {"prog", "a\\b"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Divers::splitCommandLine(QString::fromUtf8(c.line)), c.args) << c.line;
}

TEST_F(DiversTest, LaunchAndWaitForAppWaitsForTheEndInTheGivenFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir("work dir");
    const QString work = dir.path() + "/work dir";
    // The program's working folder is AppDir; the file appears only once it has ended.
    EXPECT_TRUE(d->LaunchAndWaitForApp("sh", work, "-c \"sleep 0.2; echo done > out.txt\""));
    QFile out(work + "/out.txt");
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "done");
}

TEST_F(DiversTest, LaunchAndWaitForAppQuotesAProgramPathWithBlanks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir("my tools");
    const QString script = dir.path() + "/my tools/write.sh";
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho \"$1|$2\" > \"$3\"\n");
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString target = dir.path() + "/args.txt";
    EXPECT_TRUE(d->LaunchAndWaitForApp(script, dir.path(), "\"a b\" c \"" + target + "\""));
    QFile out(target);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "a b|c");
}

TEST_F(DiversTest, LaunchAndWaitForAppReportsWhatCouldNotStart)
{
    EXPECT_FALSE(d->LaunchAndWaitForApp("no-such-program-pellonaris", "", ""));
    EXPECT_FALSE(d->LaunchAndWaitForApp("/nonexistent/prog", "", "x"));
    EXPECT_FALSE(d->LaunchAndWaitForApp("", "", ""));
    EXPECT_FALSE(d->LaunchAndWaitForApp("true", "/nonexistent-folder-pellonaris", ""));
    // A program that ends with a failure code has still run.
    EXPECT_TRUE(d->LaunchAndWaitForApp("false", "", "", true));
}
