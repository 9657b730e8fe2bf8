#include "program/core/MirrorClass.h"

#include "platform/Guard.h"
#include "program/core/ConfigFile.h"

namespace {
// At least two digits, as the "00" format writes them ("-03" for -3).
QString twoDigits(int v)
{
    const QString digits = QString::number(v < 0 ? -v : v).rightJustified(2, u'0');
    return v < 0 ? QStringLiteral("-") + digits : digits;
}
} // namespace

QString MirrorClass::ID() const
{
    return twoDigits(m_fromModule) + twoDigits(m_fromChannel) + twoDigits(m_toModule) + twoDigits(m_toChannel);
}

void MirrorClass::Copy(const MirrorClass& src)
{
    const MirrorClass s = src;   // src may be this mirror
    setToModule(s.ToModule());
    setToChannel(s.ToChannel());
    setMirrorType(s.MirrorType());
    setFromModule(s.FromModule());
    setFromChannel(s.FromChannel());
}

bool MirrorClass::SaveTo(ConfigFile::Writer& file)
{
    return plat::guard("MirrorClass.SaveTo", [&] {
        file.i16(m_fromModule);
        file.i16(m_fromChannel);
        file.i16(m_toModule);
        file.i16(m_toChannel);
        file.i16(m_mirrorType);
    });
}

bool MirrorClass::ReadFrom(ConfigFile::Reader& file)
{
    return plat::guard("MirrorClass.ReadFrom", [&] {
        m_fromModule = file.i16();
        m_fromChannel = file.i16();
        m_toModule = file.i16();
        m_toChannel = file.i16();
        m_mirrorType = file.i16();
    });
}
