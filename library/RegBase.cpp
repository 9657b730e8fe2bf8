#include "library/RegBase.h"

#include "platform/ComponentClasses.h"
#include "platform/RegistryStore.h"

#include <algorithm>

namespace VexLib22 {

namespace {

uint32_t rootOf(int32_t lRootID)
{
    return static_cast<uint32_t>(lRootID);
}

// The program's file name: the text after the last folder separator.
QString programFileName(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

} // namespace

bool RegBase::SetRegKey(int32_t lRootID, const QString& sKey, const QString& sValue, const plat::Value& sValueName)
{
    const uint32_t root = rootOf(lRootID);
    const QString name = sValueName.toText();
    const bool written = plat::RegistryStore().update([&](plat::RegistryTree& t) {
        if (!t.keyExists(root, sKey) && !t.createKey(root, sKey))
            return false;
        return t.setValue(root, sKey, name, sValue);
    });
    return !written;
}

QString RegBase::GetRegKey(int32_t lRootID, const QString& sKey, const plat::Value& sValueName)
{
    return plat::RegistryStore().value(rootOf(lRootID), sKey, sValueName.toText()).value_or(QString());
}

void RegBase::DelRegKey(int32_t lRootID, const QString& sKey)
{
    plat::RegistryStore().deleteKey(rootOf(lRootID), sKey);
}

bool RegBase::SetRegExtAssociation(const QString& sAppPath, const QString& sExt, const QString& sCmd,
                                   const QString& sTypeDesc, const plat::Value& IconRank)
{
    const int32_t classes = static_cast<int32_t>(HKEY_CLASSES_ROOT);
    const QString className = programFileName(sAppPath);
    const QString extKey = QLatin1Char('.') + sExt;

    const QString owner = GetRegKey(classes, extKey);
    if (!owner.isEmpty() && owner.compare(className, Qt::CaseInsensitive) != 0)
        return false;  // the extension belongs to another program

    if (SetRegKey(classes, extKey, className))
        return false;
    if (SetRegKey(classes, className + QStringLiteral("\\shell\\Open\\command"), sAppPath + QLatin1Char(' ') + sCmd))
        return false;
    SetRegKey(classes, className + QStringLiteral("\\DefaultIcon"), sAppPath + QStringLiteral(", ") + IconRank.toText());
    SetRegKey(classes, className, sTypeDesc);
    // The shell would be told that associations changed here; nothing on this platform caches them.
    return true;
}

COMPONENT_CLASS(RegBase, _RegBase, CLSID_RegBase, IID_RegBase);

} // namespace VexLib22
