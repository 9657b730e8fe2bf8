#include "library/HexFunctions.h"

#include "platform/Component.h"
#include "platform/RtError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace VexLib22;

namespace {

class HexFunctionsTest : public testing::Test {
protected:
    void SetUp() override { m_hex = plat::ComPtr<_HexFunctions>::attach(new HexFunctions); }

    template <class F>
    void expectOverflow(F f, const std::string& what)
    {
        try {
            f();
            ADD_FAILURE() << what << ": no error";
        } catch (const plat::RtError& e) {
            EXPECT_EQ(e.number(), 6) << what;
            EXPECT_EQ(e.description(), "Overflow") << what;
            EXPECT_EQ(e.source(), "VexLib22") << what;
        }
    }

    plat::ComPtr<_HexFunctions> m_hex;
};

} // namespace

TEST_F(HexFunctionsTest, SplitsWordsIntoBytes)
{
    struct Case { int32_t word; int hi; int lo; };
    const Case cases[] = {
        {0x1234, 0x12, 0x34}, {0, 0, 0},       {255, 0, 255},    {256, 1, 0},
        {65535, 255, 255},    {-1, 255, 255},  {-32768, 128, 0}, {-256, 255, 0},
        {32767, 127, 255},    {-32767, 128, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_hex->HiByte(c.word), c.hi) << c.word;
        EXPECT_EQ(m_hex->LoByte(c.word), c.lo) << c.word;
    }
}

TEST_F(HexFunctionsTest, HiByteRefusesValuesOutsideSixteenBits)
{
    for (int32_t w : {65536, 70000, -32769, -40000, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})
        expectOverflow([&] { m_hex->HiByte(w); }, "HiByte " + std::to_string(w));
}

TEST_F(HexFunctionsTest, LoByteNeverFails)
{
    struct Case { int32_t word; int lo; };
    const Case cases[] = {{65536, 0}, {65537, 1}, {std::numeric_limits<int32_t>::min(), 0},
                          {std::numeric_limits<int32_t>::max(), 255}, {-32769, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(m_hex->LoByte(c.word), c.lo) << c.word;
}

TEST_F(HexFunctionsTest, SplitsDoubleWordsIntoWords)
{
    struct Case { double dword; int hi; int lo; };
    const Case cases[] = {
        {0, 0, 0},
        {65535, 0, -1},
        {65536, 1, 0},
        {4294967295.0, -1, -1},          // unsigned form
        {-1, -1, -1},                    // signed form
        {2147483647.0, 32767, -1},
        {2147483648.0, -32768, 0},       // 2^31 is taken as -2^31
        {-2147483648.0, -32768, 0},
        {0x12345678, 0x1234, 0x5678},
        {0.5, 0, 0},                     // halves to the even neighbour
        {1.5, 0, 2},
        {2.5, 0, 2},
        {65535.5, 1, 0},
        {-0.5, 0, 0},
        {-1.5, -1, -2},
        {0.4999, 0, 0},
        {0.5001, 0, 1},
        {4294967295.5, 0, 0},            // -0.5 after the unsigned shift
        {2147483646.5, 32767, -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_hex->HiWord(c.dword), c.hi) << std::to_string(c.dword);
        EXPECT_EQ(m_hex->LoWord(c.dword), c.lo) << std::to_string(c.dword);
    }
}

TEST_F(HexFunctionsTest, WordsRefuseValuesOutsideThirtyTwoBits)
{
    const double cases[] = {4294967296.0, 5e9, -2147483649.0, -2147483648.5, -1e12,
                            // rounds up to 2^31, which no longer fits
                            2147483647.5, 2147483647.75,
                            std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
    for (double d : cases) {
        expectOverflow([&] { m_hex->HiWord(d); }, "HiWord " + std::to_string(d));
        expectOverflow([&] { m_hex->LoWord(d); }, "LoWord " + std::to_string(d));
    }
}

TEST_F(HexFunctionsTest, WritesFixedWidthUpperCaseHex)
{
    struct Case2 { uint8_t v; const char* text; };
    for (const Case2& c : {Case2{0, "00"}, Case2{10, "0A"}, Case2{0xAB, "AB"}, Case2{255, "FF"}})
        EXPECT_EQ(m_hex->Hex2(c.v), c.text);
    struct Case4 { int16_t v; const char* text; };
    for (const Case4& c : {Case4{0, "0000"}, Case4{255, "00FF"}, Case4{-1, "FFFF"}, Case4{-32768, "8000"},
                           Case4{0x0ABC, "0ABC"}, Case4{32767, "7FFF"}})
        EXPECT_EQ(m_hex->Hex4(c.v), c.text);
    struct Case8 { int32_t v; const char* text; };
    for (const Case8& c : {Case8{0, "00000000"}, Case8{255, "000000FF"}, Case8{-1, "FFFFFFFF"},
                           Case8{0x0ABCDEF1, "0ABCDEF1"}, Case8{std::numeric_limits<int32_t>::min(), "80000000"}})
        EXPECT_EQ(m_hex->Hex8(c.v), c.text);
}

TEST_F(HexFunctionsTest, BuildsWordsAndDoubleWords)
{
    struct CaseI { uint8_t lsb, msb; int16_t value; };
    for (const CaseI& c : {CaseI{0x34, 0x12, 4660}, CaseI{0xFF, 0xFF, -1}, CaseI{0x00, 0x80, -32768},
                           CaseI{0xFF, 0x7F, 32767}, CaseI{0, 0, 0}})
        EXPECT_EQ(m_hex->MakeInt(c.lsb, c.msb), c.value) << int(c.lsb) << "," << int(c.msb);
    struct CaseL { int16_t lsb, msb; int32_t value; };
    for (const CaseL& c : {CaseL{0x5678, 0x1234, 0x12345678}, CaseL{-1, -1, -1}, CaseL{-1, 0, 65535},
                           CaseL{0, -32768, std::numeric_limits<int32_t>::min()}, CaseL{0, 1, 65536}})
        EXPECT_EQ(m_hex->MakeLong(c.lsb, c.msb), c.value) << c.lsb << "," << c.msb;
}

TEST_F(HexFunctionsTest, BytesOfEverySixteenBitValueBuildItAgain)
{
    for (int32_t x = -32768; x <= 32767; ++x)
        ASSERT_EQ(m_hex->MakeInt(m_hex->LoByte(x), m_hex->HiByte(x)), x) << x;
}

TEST_F(HexFunctionsTest, WordsOfDoubleWordsBuildThemAgain)
{
    for (int64_t v : {int64_t(0), int64_t(1), int64_t(-1), int64_t(0x7FFFFFFF), int64_t(-0x7FFFFFFF - 1),
                      int64_t(0x12345678), int64_t(-0x12345678), int64_t(0xDEADBEEF)}) {
        const int32_t asSigned = int32_t(uint32_t(v));
        EXPECT_EQ(m_hex->MakeLong(m_hex->LoWord(double(v)), m_hex->HiWord(double(v))), asSigned) << v;
    }
}
