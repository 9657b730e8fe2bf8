#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_IniParam.h"
#include "VexLib22/_WinPlace.h"

namespace VexLib22 {

class WinPlace : public plat::ComObject<_WinPlace, IID_WinPlace> {
public:
    void RestoreWindow(QObject* f, const QString& sIniFileName) override;
    void SaveWindow(QObject* f, const QString& sIniFileName) override;
    void RestorePos(QObject* f, const QString& sIniFileName) override;
    void StorePos(QObject* f, const QString& sIniFileName) override;
    void CentrerEcran(QObject* f) override;
    void SetToTopmost(QObject* f) override;
    void SetToNotTopmost(QObject* f) override;
    int32_t AppActivateEx(const QString& AppCaption, bool Exact = false) override;

private:
    _IniParam& ini();
    plat::ComPtr<_IniParam> m_ini;   // made on first use
};

} // namespace VexLib22
