#include "library/KeyFilter.h"

#include "platform/Cp1252.h"
#include "platform/ComponentClasses.h"

namespace VexLib22 {

COMPONENT_CLASS(KeyFilter, _KeyFilter, CLSID_KeyFilter, IID_KeyFilter);

namespace {
constexpr int16_t kBackspace = 8;
bool isDigit(int16_t k) { return k >= '0' && k <= '9'; }
} // namespace

int16_t KeyFilter::FilterInt(int16_t KeyAscii, bool bPositive)
{
    if (isDigit(KeyAscii) || KeyAscii == kBackspace)
        return KeyAscii;
    if (!bPositive && (KeyAscii == '+' || KeyAscii == '-'))
        return KeyAscii;
    return 0;
}

int16_t KeyFilter::FilterUint(int16_t KeyAscii)
{
    return isDigit(KeyAscii) || KeyAscii == kBackspace ? KeyAscii : 0;
}

int16_t KeyFilter::FilterHex(int16_t KeyAscii)
{
    if (isDigit(KeyAscii) || KeyAscii == kBackspace || (KeyAscii >= 'A' && KeyAscii <= 'F'))
        return KeyAscii;
    if (KeyAscii >= 'a' && KeyAscii <= 'f')
        return int16_t(KeyAscii - 'a' + 'A');
    return 0;
}

int16_t KeyFilter::FilterDec(int16_t KeyAscii, const QString& sSep)
{
    if (isDigit(KeyAscii) || KeyAscii == kBackspace || KeyAscii == '+' || KeyAscii == '-')
        return KeyAscii;
    if (KeyAscii == '.' || KeyAscii == ',') {
        // No separator given: the point.
        const QChar sep = sSep.isEmpty() ? QChar('.') : sSep[0];
        return int16_t(static_cast<unsigned char>(plat::Cp1252::encodeChar(sep)));
    }
    return 0;
}

int16_t KeyFilter::FilterMaj(int16_t KeyAscii)
{
    if (KeyAscii < 0 || KeyAscii > 255)
        return KeyAscii;
    const QChar c = plat::Cp1252::decodeChar(static_cast<unsigned char>(KeyAscii));
    const QChar up = c.toUpper();
    // An upper case outside the code page (micro sign) leaves the key as typed.
    if (up == c || !plat::Cp1252::canEncode(up))
        return KeyAscii;
    return int16_t(static_cast<unsigned char>(plat::Cp1252::encodeChar(up)));
}

} // namespace VexLib22
