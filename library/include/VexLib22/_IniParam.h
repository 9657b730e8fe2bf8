#pragma once
// Settings in private profile (INI) files. Stateless, application-wide.

#include "platform/Component.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace VexLib22 {

struct _IniParam : plat::IUnknown {
    // The value of the key, trimmed of spaces and at most 1023 characters;
    // sDefaut when the key or the section is missing.
    virtual QString GetPrivateParam(const QString& sTopic, const QString& sItem, const QString& sDefaut,
                                    const QString& sIniFileName) = 0;
    // The three writes report nothing, not even a failure.
    virtual void SetPrivateParam(const QString& sTopic, const QString& sItem, const QString& sValue,
                                 const QString& sIniFileName) = 0;
    virtual void DelPrivateParam(const QString& sTopic, const QString& sItem, const QString& sIniFileName) = 0;
    virtual void DelPrivateSection(const QString& sTopic, const QString& sIniFileName) = 0;
    // Fills sTab with the key names of the section in file order and returns
    // their count; with no keys sTab is left as it was.
    virtual int16_t GetPrivateParamsList(QStringList& sTab, const QString& sTopic, const QString& sIniFileName) = 0;

protected:
    ~_IniParam() = default;
};

} // namespace VexLib22
