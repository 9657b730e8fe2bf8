#include "platform/Cp1252.h"

#include <algorithm>
#include <array>

namespace plat::Cp1252 {

namespace {
// 0x80..0x9F; the five unassigned codes map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int lookup(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return 0x80 + i;
    return -1;
}
} // namespace

QChar decodeChar(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0)
        return QChar(kHigh[b - 0x80]);
    return QChar(char16_t(b));
}

bool canEncode(QChar c)
{
    return lookup(c.unicode()) >= 0;
}

bool canEncode(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return canEncode(c); });
}

char encodeChar(QChar c)
{
    const int v = lookup(c.unicode());
    return v < 0 ? '?' : char(v);
}

QByteArray encode(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    const QChar* in = text.constData();
    char* o = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        o[i] = encodeChar(in[i]);
    return out;
}

QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

QString decode(const char* bytes, qsizetype size)
{
    // The code page is Latin-1 but for 0x80..0x9F: convert it all as Latin-1,
    // then mend those few.
    QString out = QString::fromLatin1(bytes, size);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        if (o[i] >= 0x80 && o[i] < 0xA0)
            o[i] = kHigh[o[i] - 0x80];
    return out;
}

} // namespace plat::Cp1252
