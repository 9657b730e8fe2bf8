#include "program/core/VEXfonctions.h"

#include "platform/AppIdentity.h"
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

} // namespace VEXfonctions
