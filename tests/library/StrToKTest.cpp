#include "library/KeyFilter.h"
#include "library/StrToKclass.h"
#include "platform/Regional.h"

#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

// All tokens of a text: the first call with the text, then calls with the
// empty text, up to and including the first empty token after the last one.
QStringList cut(StrToKclass& t, const QString& text, const std::optional<QString>& sep, int calls)
{
    QStringList out;
    out << t.Strtok(text, sep);
    for (int i = 1; i < calls; ++i)
        out << t.Strtok(QString(), sep);
    return out;
}

} // namespace

TEST(Strtok, CutsOneTokenPerCall)
{
    struct Case { const char* text; const char* sep; int calls; QStringList expected; };
    const Case cases[] = {
        {"a;b;;c", ";", 5, {"a", "b", "", "c", ""}},
        {"\"x\",y", ",", 3, {"x", "y", ""}},
        {"one", ";", 2, {"one", ""}},
        {"a;", ";", 3, {"a", "", ""}},
        {";a", ";", 3, {"", "a", ""}},
        {"a::b::c", "::", 4, {"a", "b", "c", ""}},
        {"/usr/local/bin", "/", 5, {"", "usr", "local", "bin", ""}},
        {"\"a;b\"", ";", 3, {"\"a", "b\"", ""}},     // quotes do not group
        {"\"\";x", ";", 2, {"", "x"}},               // an empty quoted token
        {"\";x", ";", 2, {"", "x"}},                 // a lone quote: nothing inside
        {"\"q\"", ";", 2, {"q", ""}},
        {"abc", "", 2, {"abc", ""}},                 // an empty separator is never found
    };
    for (const auto& c : cases) {
        auto t = plat::ComPtr<StrToKclass>::attach(new StrToKclass);
        EXPECT_EQ(cut(*t, QString::fromUtf8(c.text), QString::fromUtf8(c.sep), c.calls), c.expected) << c.text;
    }
}

TEST(Strtok, ANewTextRestartsAndAnEmptyStartGivesNothing)
{
    auto t = plat::ComPtr<StrToKclass>::attach(new StrToKclass);
    EXPECT_EQ(t->Strtok(), "");
    EXPECT_EQ(t->Strtok("a,b,c", QString(",")), "a");
    EXPECT_EQ(t->Strtok("x,y", QString(",")), "x");
    EXPECT_EQ(t->Strtok(QString(), QString(",")), "y");
    EXPECT_EQ(t->Strtok(QString(), QString(",")), "");
    // The separator may change from one call to the next.
    EXPECT_EQ(t->Strtok("a-b,c", QString("-")), "a");
    EXPECT_EQ(t->Strtok(QString(), QString(",")), "b");
    EXPECT_EQ(t->Strtok(QString(), QString(",")), "c");
}

TEST(Strtok, WithoutASeparatorCutsAtTheSystemListSeparator)
{
    plat::Regional::setLocale(QLocale(QLocale::German, QLocale::Germany));  // list separator ";"
    auto t = plat::ComPtr<StrToKclass>::attach(new StrToKclass);
    EXPECT_EQ(t->Strtok("a;b,c"), "a");
    EXPECT_EQ(t->Strtok(), "b,c");
    EXPECT_EQ(t->Strtok(), "");
}

TEST(Strtok, TwoObjectsKeepTheirOwnPosition)
{
    auto t1 = plat::ComPtr<StrToKclass>::attach(new StrToKclass);
    auto t2 = plat::ComPtr<StrToKclass>::attach(new StrToKclass);
    EXPECT_EQ(t1->Strtok("a/b", QString("/")), "a");
    EXPECT_EQ(t2->Strtok("x/y", QString("/")), "x");
    EXPECT_EQ(t1->Strtok(QString(), QString("/")), "b");
    EXPECT_EQ(t2->Strtok(QString(), QString("/")), "y");
}

TEST(KeyFilter, FiltersTypedCodes)
{
    auto k = plat::ComPtr<KeyFilter>::attach(new KeyFilter);
    enum Filter { Int, IntPositive, Uint, Hex, Dec, DecComma, DecEmpty, Maj };
    struct Case { Filter f; int in; int out; };
    const Case cases[] = {
        {Int, '0', '0'}, {Int, '9', '9'}, {Int, '-', '-'}, {Int, '+', '+'}, {Int, 8, 8},
        {Int, '.', 0}, {Int, 'a', 0}, {Int, ' ', 0},
        {IntPositive, '-', 0}, {IntPositive, '+', 0}, {IntPositive, '5', '5'}, {IntPositive, 8, 8},
        {Uint, '7', '7'}, {Uint, 8, 8}, {Uint, 'a', 0}, {Uint, 'Z', 0}, {Uint, '-', 0},
        {Hex, 'b', 'B'}, {Hex, 'f', 'F'}, {Hex, 'A', 'A'}, {Hex, 'F', 'F'}, {Hex, '3', '3'},
        {Hex, 8, 8}, {Hex, 'g', 0}, {Hex, 'G', 0}, {Hex, '-', 0},
        {Dec, ',', '.'}, {Dec, '.', '.'}, {Dec, '-', '-'}, {Dec, '+', '+'}, {Dec, '4', '4'},
        {Dec, 8, 8}, {Dec, 'e', 0},
        {DecComma, '.', ','}, {DecComma, ',', ','},
        {DecEmpty, ',', '.'},
        {Maj, 'a', 'A'}, {Maj, 'Z', 'Z'}, {Maj, '1', '1'}, {Maj, 8, 8}, {Maj, 233, 201},
        {Maj, 0x9A, 0x8A}, {Maj, 0x9C, 0x8C}, {Maj, 0x9E, 0x8E}, {Maj, 0xFF, 0x9F},
        {Maj, 0xE0, 0xC0}, {Maj, 0xDF, 0xDF}, {Maj, 0xB5, 0xB5}, {Maj, 0xF7, 0xF7},
    };
    for (const auto& c : cases) {
        const int16_t in = int16_t(c.in);
        int16_t out = 0;
        switch (c.f) {
        case Int: out = k->FilterInt(in); break;
        case IntPositive: out = k->FilterInt(in, true); break;
        case Uint: out = k->FilterUint(in); break;
        case Hex: out = k->FilterHex(in); break;
        case Dec: out = k->FilterDec(in); break;
        case DecComma: out = k->FilterDec(in, ","); break;
        case DecEmpty: out = k->FilterDec(in, ""); break;
        case Maj: out = k->FilterMaj(in); break;
        }
        EXPECT_EQ(out, c.out) << "filter " << c.f << " code " << c.in;
    }
}
