#include "platform/Regional.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "tests/harness/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace plat;

namespace {

using testing_support::errorOf;

// Decimal comma, a narrow no-break space between digit groups.
void useDecimalComma()
{
    Regional::setLocale(QLocale(QLocale::French, QLocale::France));
}
} // namespace

TEST(Val, ReadsUpToTheFirstCharacterThatCannotBelongToANumber)
{
    struct Case { const char* text; double expected; };
    const Case cases[] = {
        {"", 0},          {"abc", 0},        {"12", 12},          {"  12", 12},
        {"12.5", 12.5},   {"12,5", 12},      {"-3.25x", -3.25},   {"+7", 7},
        {".5", 0.5},      {"-.5", -0.5},     {"1 2 3", 123},      {"\t4\n2", 42},
        {"1e3", 1000},    {"2D2", 200},      {"1e", 1},           {"1e+", 1},
        {"3.4.5", 3.4},   {"1615 198th Street", 1615198},         {"- 5", -5},
        {"&HFF", 255},    {"&hff", 255},     {"&HFFFF", -1},      {"&H10000", 65536},
        {"&HFFFFFFFF", -1}, {"&O17", 15},    {"&H", 0},           {"&HG", 0},
        {"1,234", 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(Val, IgnoresTheRegionalDecimalSeparator)
{
    useDecimalComma();
    EXPECT_DOUBLE_EQ(Val("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(Val("12,5"), 12);
}

TEST(Val, RaisesOverflowBeyondTheRange)
{
    EXPECT_EQ(errorOf([] { Val("&H123456789"); }), rt::Overflow);
    EXPECT_EQ(errorOf([] { Val("1e999"); }), rt::Overflow);
}

TEST(CIntCLng, RoundHalfToEven)
{
    struct Case { double in; int out; };
    const Case cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                          {2.4999, 2}, {2.5001, 3}, {-7.6, -8}, {32767.4, 32767}};
    for (const auto& c : cases) {
        EXPECT_EQ(CInt(c.in), c.out) << c.in;
        EXPECT_EQ(CLng(c.in), c.out) << c.in;
    }
    EXPECT_EQ(CLng(2147483646.5), 2147483646);
    EXPECT_EQ(CLng(-2147483648.4), -2147483647 - 1);
}

TEST(CIntCLng, RaiseOverflowOutOfRange)
{
    for (double v : {32767.5, -32768.6, 40000.0, double(NAN)})
        EXPECT_EQ(errorOf([v] { CInt(v); }), rt::Overflow) << v;
    EXPECT_EQ(errorOf([] { CInt(-32768.5); }), 0);   // rounds to the even -32768
    for (double v : {2147483647.5, -2147483649.0, 1e12, double(INFINITY)})
        EXPECT_EQ(errorOf([v] { CLng(v); }), rt::Overflow) << v;
}

TEST(IsNumeric, ReadsWholeTextsWithTheRegionalSeparators)
{
    struct Case { const char* text; bool numeric; double value; };
    const Case cases[] = {
        {"12", true, 12},          {" 12 ", true, 12},      {"-12.5", true, -12.5},
        {"+.5", true, 0.5},        {"1.", true, 1},         {"1,234,567", true, 1234567},
        {"1,234.5", true, 1234.5}, {"1e3", true, 1000},     {"&H1F", true, 31},
        {"", false, 0},            {" ", false, 0},         {"abc", false, 0},
        {"12abc", false, 0},       {"1.2.3", false, 0},     {",5", false, 0},
        {"1e", false, 0},          {"-", false, 0},         {".", false, 0},
        {"&H", false, 0},          {"1 234", false, 0},     {"2024-01-01", false, 0},
    };
    for (const auto& c : cases) {
        const auto v = parseNumber(QString::fromUtf8(c.text));
        EXPECT_EQ(v.has_value(), c.numeric) << c.text;
        EXPECT_EQ(IsNumeric(QString::fromUtf8(c.text)), c.numeric) << c.text;
        if (v && c.numeric) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(IsNumeric, FollowsADecimalCommaLocale)
{
    useDecimalComma();
    EXPECT_DOUBLE_EQ(*parseNumber("1234,5"), 1234.5);
    EXPECT_DOUBLE_EQ(*parseNumber(QString::fromUtf8("1\u202F234,5")), 1234.5);
    EXPECT_FALSE(IsNumeric("12.5"));
    EXPECT_DOUBLE_EQ(CDbl("-0,25"), -0.25);
    EXPECT_EQ(errorOf([] { CDbl("12.5"); }), rt::TypeMismatch);
}

TEST(IsDate, ReadsTheShortDateOrderIsoDatesAndTimes)
{
    struct Case { const char* text; bool isDate; QDate date; QTime time; };
    const Case cases[] = {
        {"02/01/2024", true, {2024, 1, 2}, {0, 0}},
        {"2/1/24", true, {2024, 1, 2}, {0, 0}},
        {"31-12-99", true, {1999, 12, 31}, {0, 0}},
        {"2024-01-01", true, {2024, 1, 1}, {0, 0}},
        {"15.03.2023 08:30:15", true, {2023, 3, 15}, {8, 30, 15}},
        {"02/01/2024 7:05 PM", true, {2024, 1, 2}, {19, 5}},
        {"12:00 AM", true, {1899, 12, 30}, {0, 0}},
        {"23:59", true, {1899, 12, 30}, {23, 59}},
        {"31/02/2024", false, {}, {}},
        {"02/01-2024", false, {}, {}},
        {"25:00", false, {}, {}},
        {"12.5", false, {}, {}},
        {"abc", false, {}, {}},
        {"", false, {}, {}},
        {"02/01/202412:00", false, {}, {}},
    };
    for (const auto& c : cases) {
        const auto d = parseDate(QString::fromUtf8(c.text));
        EXPECT_EQ(d.has_value(), c.isDate) << c.text;
        EXPECT_EQ(IsDate(QString::fromUtf8(c.text)), c.isDate) << c.text;
        if (d && c.isDate) {
            EXPECT_EQ(d->date(), c.date) << c.text;
            EXPECT_EQ(d->time(), c.time) << c.text;
        }
    }
}

TEST(IsDate, FollowsTheMonthFirstOrderOfTheShortDate)
{
    Regional::setShortDateFormat("MM/dd/yyyy");
    EXPECT_EQ(CDate("02/01/2024").date(), QDate(2024, 2, 1));
    EXPECT_FALSE(IsDate("13/01/2024"));
    EXPECT_EQ(errorOf([] { CDate("13/01/2024"); }), rt::TypeMismatch);
}

TEST(HexFixed, PadsAndCutsToTheWidth)
{
    EXPECT_EQ(hexFixed(0xAB, 4), "00AB");
    EXPECT_EQ(hexFixed(0x12345, 4), "2345");
    EXPECT_EQ(hexFixed(0xFFFFFFFFu, 8), "FFFFFFFF");
    EXPECT_EQ(hexFixed(0, 2), "00");
}

TEST(Trim, TakesSpacesOnlyUnlessOtherBlanksAreGiven)
{
    struct Case {
        const char* text;
        const char* spaces;
        const char* blanks;
        const char* rightEnd;
    } cases[] = {
        {"  a b  ", "a b", "a b", "  a b"},
        {"\t a \t", "\t a \t", "a", "\t a \t"},
        {" \r\n", "\r\n", "\r\n", " \r\n"},
        {"   ", "", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::Trim(c.text), c.spaces) << c.text;
        EXPECT_EQ(plat::Trim(c.text, plat::SpacesAndTabs), c.blanks) << c.text;
        EXPECT_EQ(plat::RTrim(QString(c.text)), QString(c.rightEnd)) << c.text;
    }
}

TEST(Value, ConvertsAsTheRunTime)
{
    EXPECT_DOUBLE_EQ(Value().toDouble(), 0);
    EXPECT_EQ(Value().toText(), "");
    EXPECT_DOUBLE_EQ(Value(true).toDouble(), -1);
    EXPECT_EQ(Value(true).toText(), "True");
    EXPECT_DOUBLE_EQ(Value("12.5").toDouble(), 12.5);
    EXPECT_EQ(Value(2.5).toLong(), 2);
    EXPECT_EQ(Value(3.5).toLong(), 4);
    EXPECT_EQ(Value(0.5).toText(), "0.5");
    EXPECT_EQ(Value(int64_t(1) << 40).type(), Value::Type::Integer);
    EXPECT_EQ(errorOf([] { Value(int64_t(1) << 40).toLong(); }), rt::Overflow);
    EXPECT_EQ(errorOf([] { Value("abc").toDouble(); }), rt::TypeMismatch);
    EXPECT_EQ(errorOf([] { Value::null().toDouble(); }), rt::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Value::other().toText(); }), rt::TypeMismatch);
    EXPECT_EQ(Value(DateTime::fromDate({2024, 1, 2})).toText(), "02/01/2024");
}

TEST(Value, DecimalTextFollowsTheRegionalSeparator)
{
    useDecimalComma();
    EXPECT_EQ(Value(0.5).toText(), "0,5");
    EXPECT_DOUBLE_EQ(Value("0,5").toDouble(), 0.5);
}

TEST(CompareValues, FollowsTheRunTimesRulesForMixedTypes)
{
    struct Case { Value a; Value b; int expected; };
    const Case cases[] = {
        {5, 7, -1},
        {7.5, 7, 1},
        {true, 0, -1},                      // True is -1
        {Value(), 0, 0},
        {Value(), "", 0},
        {Value(), "a", -1},
        {Value(), Value(), 0},
        {"abc", "abd", -1},
        {"B", "a", -1},                     // binary order: upper case first
        {"12", "9", -1},                    // texts compare as texts
        {100, "5", -1},                     // a number is less than a text
        {"5", 100, 1},
        {Value(DateTime(45000.0)), 45000.5, -1},
        {Value(DateTime(-1.25)), Value(DateTime(-1.5)), -1},   // 06:00 before 12:00 on 29/12/1899
    };
    for (const auto& c : cases) {
        const auto r = compareValues(c.a, c.b);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(*r, c.expected) << c.a.toText().toStdString() << " vs " << c.b.toText().toStdString();
    }
}

TEST(CompareValues, NullHasNoOrderAndObjectsCannotBeCompared)
{
    EXPECT_FALSE(compareValues(Value::null(), 1).has_value());
    EXPECT_FALSE(compareValues("a", Value::null()).has_value());
    EXPECT_EQ(errorOf([] { compareValues(Value::other(), 1); }), rt::TypeMismatch);
    EXPECT_EQ(errorOf([] { compareValues(Value::other(), Value::other()); }), rt::TypeMismatch);
}
