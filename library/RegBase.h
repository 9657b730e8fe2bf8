#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_RegBase.h"

namespace VexLib22 {

class RegBase : public plat::ComObject<_RegBase, IID_RegBase> {
public:
    bool SetRegKey(int32_t lRootID, const QString& sKey, const QString& sValue,
                   const plat::Value& sValueName = QString()) override;
    QString GetRegKey(int32_t lRootID, const QString& sKey, const plat::Value& sValueName = QString()) override;
    void DelRegKey(int32_t lRootID, const QString& sKey) override;
    bool SetRegExtAssociation(const QString& sAppPath, const QString& sExt, const QString& sCmd,
                              const QString& sTypeDesc, const plat::Value& IconRank = 0) override;
};

} // namespace VexLib22
