#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_IniParam.h"

namespace VexLib22 {

class IniParam : public plat::ComObject<_IniParam, IID_IniParam> {
public:
    QString GetPrivateParam(const QString& sTopic, const QString& sItem, const QString& sDefaut,
                            const QString& sIniFileName) override;
    void SetPrivateParam(const QString& sTopic, const QString& sItem, const QString& sValue,
                         const QString& sIniFileName) override;
    void DelPrivateParam(const QString& sTopic, const QString& sItem, const QString& sIniFileName) override;
    void DelPrivateSection(const QString& sTopic, const QString& sIniFileName) override;
    int16_t GetPrivateParamsList(QStringList& sTab, const QString& sTopic, const QString& sIniFileName) override;
};

} // namespace VexLib22
