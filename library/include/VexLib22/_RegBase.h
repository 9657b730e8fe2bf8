#pragma once
// Text values of the registry, and the association of a file extension with a
// program. Roots are KeyTypesEnum values. Application-wide, without state.

#include "platform/Component.h"
#include "platform/Values.h"

#include <QString>

#include <cstdint>

namespace VexLib22 {

struct _RegBase : plat::IUnknown {
    // Writes a text value (sValueName "" is the key's default value), creating
    // the key when it is missing. Returns True when the write FAILED.
    virtual bool SetRegKey(int32_t lRootID, const QString& sKey, const QString& sValue,
                           const plat::Value& sValueName = QString()) = 0;
    // The text value, or "" on any failure (missing key or value).
    virtual QString GetRegKey(int32_t lRootID, const QString& sKey, const plat::Value& sValueName = QString()) = 0;
    // Deletes a key without subkeys; the outcome is not reported.
    virtual void DelRegKey(int32_t lRootID, const QString& sKey) = 0;
    // Makes "." + sExt open with the program sAppPath (its file name is the
    // class name). False, with nothing changed, when the extension belongs to
    // another program or one of the first two writes failed.
    virtual bool SetRegExtAssociation(const QString& sAppPath, const QString& sExt, const QString& sCmd,
                                      const QString& sTypeDesc, const plat::Value& IconRank = 0) = 0;

protected:
    ~_RegBase() = default;
};

} // namespace VexLib22
