#pragma once
// Bytes and words of 16- and 32-bit values, and fixed-width hexadecimal
// texts. Stateless, application-wide.

#include "platform/Component.h"

#include <QString>

#include <cstdint>

namespace VexLib22 {

struct _HexFunctions : plat::IUnknown {
    // Bits 8-15 of the 16-bit form; overflow (6) outside -32768..65535.
    virtual uint8_t HiByte(int32_t Word) = 0;
    // Bits 0-7; never fails.
    virtual uint8_t LoByte(int32_t Word) = 0;
    // Signed or unsigned 32-bit values, rounded half to even; overflow (6)
    // outside -2^31..2^32.
    virtual int16_t HiWord(double Dword) = 0;
    virtual int16_t LoWord(double Dword) = 0;
    // Upper-case digits, fixed width, two's complement.
    virtual QString Hex2(uint8_t Val) = 0;
    virtual QString Hex4(int16_t Val) = 0;
    virtual QString Hex8(int32_t Val) = 0;
    virtual int16_t MakeInt(uint8_t oLSB, uint8_t oMSB) = 0;
    virtual int32_t MakeLong(int16_t nLSB, int16_t nMSB) = 0;

protected:
    ~_HexFunctions() = default;
};

} // namespace VexLib22
