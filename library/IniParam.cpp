#include "library/IniParam.h"
#include "platform/Values.h"

#include "platform/ComponentClasses.h"
#include "platform/ProfileFile.h"

#include <algorithm>
#include <limits>

namespace VexLib22 {

namespace {
// Values come back through a buffer of 1024 characters, NUL included.
constexpr qsizetype kValueMax = 1023;

} // namespace

QString IniParam::GetPrivateParam(const QString& sTopic, const QString& sItem, const QString& sDefaut,
                                  const QString& sIniFileName)
{
    QString v = plat::ProfileFile::getString(sTopic, sItem, sDefaut, sIniFileName);
    if (const qsizetype nul = v.indexOf(QChar(0)); nul >= 0)
        v.truncate(nul);
    v.truncate(kValueMax);
    return plat::Trim(v);
}

void IniParam::SetPrivateParam(const QString& sTopic, const QString& sItem, const QString& sValue,
                               const QString& sIniFileName)
{
    plat::ProfileFile::writeString(sTopic, sItem, sValue, sIniFileName);
}

void IniParam::DelPrivateParam(const QString& sTopic, const QString& sItem, const QString& sIniFileName)
{
    plat::ProfileFile::deleteKey(sTopic, sItem, sIniFileName);
}

void IniParam::DelPrivateSection(const QString& sTopic, const QString& sIniFileName)
{
    plat::ProfileFile::deleteSection(sTopic, sIniFileName);
}

int16_t IniParam::GetPrivateParamsList(QStringList& sTab, const QString& sTopic, const QString& sIniFileName)
{
    // Every key, however long the list: the caller deletes and restores rows
    // by these names, and a cut list would leave stale rows behind.
    const QStringList names = plat::ProfileFile::keys(sTopic, sIniFileName);
    if (names.isEmpty())
        return 0;
    sTab = names;
    return int16_t(std::min<qsizetype>(names.size(), std::numeric_limits<int16_t>::max()));
}

COMPONENT_CLASS(IniParam, _IniParam, CLSID_IniParam, IID_IniParam);

} // namespace VexLib22
