#include "program/core/VEXfonctions.h"

#include "platform/AppIdentity.h"
#include "platform/ProfileFile.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/Components.h"

namespace VEXfonctions {

QString IniFileName()
{
    return plat::AppIdentity::programFile(QStringLiteral(".ini"));
}

QString GetIni(const QString& section, const QString& key, const QString& def)
{
    return Components::IniParam().GetPrivateParam(section, key, def, IniFileName());
}

void SetIni(const QString& section, const QString& key, const QString& value)
{
    Components::IniParam().SetPrivateParam(section, key, value, IniFileName());
}

void DelIniKey(const QString& section, const QString& key)
{
    Components::IniParam().DelPrivateParam(section, key, IniFileName());
}

void DelIniSection(const QString& section)
{
    Components::IniParam().DelPrivateSection(section, IniFileName());
}

int16_t GetIniKeys(QStringList& keys, const QString& section)
{
    return Components::IniParam().GetPrivateParamsList(keys, section, IniFileName());
}

IniEntries GetIniSection(const QString& section)
{
    IniEntries entries = plat::ProfileFile::sectionEntries(section, IniFileName());
    // Read as the library's GetPrivateParam reads one value.
    constexpr qsizetype valueMax = 1023;
    for (auto& entry : entries) {
        QString& v = entry.second;
        if (const qsizetype nul = v.indexOf(QChar(0)); nul >= 0)
            v.truncate(nul);
        v.truncate(valueMax);
        v = plat::Trim(v);
    }
    return entries;
}

void SetIniSection(const QString& section, const IniEntries& entries)
{
    if (!plat::ProfileFile::replaceSection(section, entries, IniFileName()))
        plat::raise(plat::rt::PathFileAccessError);
}

} // namespace VEXfonctions
