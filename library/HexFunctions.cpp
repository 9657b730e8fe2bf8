#include "library/HexFunctions.h"

#include "library/LibErrors.h"
#include "platform/ComponentClasses.h"

#include <cmath>

namespace VexLib22 {

namespace {

constexpr double kTwo31 = 2147483648.0;
constexpr double kTwo32 = 4294967296.0;

// A double word as a 32-bit pattern: unsigned values above 2^31 - 1 are
// taken as their signed equivalent, then rounded half to even.
uint32_t dwordBits(double value)
{
    if (!(value >= -kTwo31 && value < kTwo32))  // also refuses NaN
        raiseRtError(plat::rt::Overflow);
    if (value >= kTwo31)
        value -= kTwo32;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    // 2147483647.5 and above round up to 2^31, which no longer fits.
    if (whole >= kTwo31)
        raiseRtError(plat::rt::Overflow);
    return uint32_t(int32_t(whole));
}

QString hex(uint32_t bits, int digits)
{
    return QStringLiteral("%1").arg(bits, digits, 16, QChar('0')).toUpper();
}

} // namespace

uint8_t HexFunctions::HiByte(int32_t Word)
{
    if (Word < -32768 || Word > 65535)
        raiseRtError(plat::rt::Overflow);
    return uint8_t(uint16_t(Word) >> 8);
}

uint8_t HexFunctions::LoByte(int32_t Word)
{
    return uint8_t(uint32_t(Word) & 0xFFu);
}

int16_t HexFunctions::HiWord(double Dword)
{
    return int16_t(uint16_t(dwordBits(Dword) >> 16));
}

int16_t HexFunctions::LoWord(double Dword)
{
    return int16_t(uint16_t(dwordBits(Dword) & 0xFFFFu));
}

QString HexFunctions::Hex2(uint8_t Val)
{
    return hex(Val, 2);
}

QString HexFunctions::Hex4(int16_t Val)
{
    return hex(uint16_t(Val), 4);
}

QString HexFunctions::Hex8(int32_t Val)
{
    return hex(uint32_t(Val), 8);
}

int16_t HexFunctions::MakeInt(uint8_t oLSB, uint8_t oMSB)
{
    return int16_t(uint16_t((unsigned(oMSB) << 8) | oLSB));
}

int32_t HexFunctions::MakeLong(int16_t nLSB, int16_t nMSB)
{
    return int32_t((uint32_t(uint16_t(nMSB)) << 16) | uint16_t(nLSB));
}

COMPONENT_CLASS(HexFunctions, _HexFunctions, CLSID_HexFunctions, IID_HexFunctions);

} // namespace VexLib22
