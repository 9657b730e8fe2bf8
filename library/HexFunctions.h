#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_HexFunctions.h"

namespace VexLib22 {

class HexFunctions : public plat::ComObject<_HexFunctions, IID_HexFunctions> {
public:
    uint8_t HiByte(int32_t Word) override;
    uint8_t LoByte(int32_t Word) override;
    int16_t HiWord(double Dword) override;
    int16_t LoWord(double Dword) override;
    QString Hex2(uint8_t Val) override;
    QString Hex4(int16_t Val) override;
    QString Hex8(int32_t Val) override;
    int16_t MakeInt(uint8_t oLSB, uint8_t oMSB) override;
    int32_t MakeLong(int16_t nLSB, int16_t nMSB) override;
};

} // namespace VexLib22
