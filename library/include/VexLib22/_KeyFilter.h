#pragma once
// Interface of KeyFilter: filters of a typed Windows-1252 character code. The
// result replaces the code; 0 throws the key away; backspace (8) always passes.

#include "platform/Component.h"

#include <QString>
#include <cstdint>

namespace VexLib22 {

struct _KeyFilter : plat::IUnknown {
    virtual int16_t FilterInt(int16_t KeyAscii, bool bPositive = false) = 0;
    virtual int16_t FilterUint(int16_t KeyAscii) = 0;
    virtual int16_t FilterHex(int16_t KeyAscii) = 0;
    virtual int16_t FilterDec(int16_t KeyAscii, const QString& sSep = QStringLiteral(".")) = 0;
    virtual int16_t FilterMaj(int16_t KeyAscii) = 0;

protected:
    ~_KeyFilter() = default;
};

} // namespace VexLib22
