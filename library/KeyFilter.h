#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_KeyFilter.h"

namespace VexLib22 {

class KeyFilter : public plat::ComObject<_KeyFilter, IID_KeyFilter> {
public:
    int16_t FilterInt(int16_t KeyAscii, bool bPositive = false) override;
    int16_t FilterUint(int16_t KeyAscii) override;
    int16_t FilterHex(int16_t KeyAscii) override;
    int16_t FilterDec(int16_t KeyAscii, const QString& sSep = QStringLiteral(".")) override;
    int16_t FilterMaj(int16_t KeyAscii) override;
};

} // namespace VexLib22
