#include "program/core/Components.h"

#include "VexLib22/VexLib22.h"
#include "platform/RegistryStore.h"

#include <QFile>
#include <QHash>

#include <dlfcn.h>
#include <mutex>

namespace Components {

namespace {

[[noreturn]] void cannotCreate(const plat::Guid& clsid, const QString& why)
{
    throw plat::RtError(plat::rt::CannotCreateObject,
                        QStringLiteral("%1: class %2 %3").arg(plat::rtErrorText(plat::rt::CannotCreateObject),
                                                               clsid.toString(), why));
}

QString hresultText(plat::HRESULT hr)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(uint32_t(hr), 8, 16, QLatin1Char('0')).toUpper();
}

// Each library file is loaded once and stays loaded: objects and the
// application-wide instances may live until the process ends.
plat::DllGetClassObjectFn entryPoint(const plat::Guid& clsid, const QString& file)
{
    static std::mutex mutex;
    static QHash<QString, plat::DllGetClassObjectFn> loaded;
    const std::lock_guard<std::mutex> lock(mutex);
    if (const auto it = loaded.constFind(file); it != loaded.cend())
        return it.value();
    void* handle = ::dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        cannotCreate(clsid, QStringLiteral("cannot be loaded from %1 (%2)").arg(file, QString::fromLocal8Bit(::dlerror())));
    auto fn = reinterpret_cast<plat::DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    if (!fn)
        cannotCreate(clsid, QStringLiteral("is registered in %1, which has no DllGetClassObject").arg(file));
    loaded.insert(file, fn);
    return fn;
}

// An application-wide object: created once, never released.
template <class I>
I& appObject(const plat::Guid& clsid, const plat::Guid& iid)
{
    static std::mutex mutex;
    static I* object = nullptr;
    const std::lock_guard<std::mutex> lock(mutex);
    if (!object)
        object = static_cast<I*>(CreateRaw(clsid, iid));
    return *object;
}

} // namespace

void* CreateRaw(const plat::Guid& clsid, const plat::Guid& iid)
{
    const QString key = QStringLiteral("CLSID\\%1\\InprocServer32").arg(clsid.toString());
    const QString file = plat::RegistryStore().value(plat::RegistryRoot::ClassesRoot, key, QString()).value_or(QString());
    if (file.isEmpty())
        cannotCreate(clsid, QStringLiteral("is not registered"));

    const plat::DllGetClassObjectFn getClassObject = entryPoint(clsid, file);
    plat::IClassFactory* factory = nullptr;
    plat::HRESULT hr = getClassObject(&clsid, &plat::IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (hr != plat::S_OK || !factory)
        cannotCreate(clsid, QStringLiteral("is not available in %1 (%2)").arg(file, hresultText(hr)));
    void* object = nullptr;
    hr = factory->CreateInstance(nullptr, iid, &object);
    factory->Release();
    if (hr != plat::S_OK || !object)
        cannotCreate(clsid, QStringLiteral("refused interface %1 (%2)").arg(iid.toString(), hresultText(hr)));
    return object;
}

VexLib22::_Divers& Divers()
{
    return appObject<VexLib22::_Divers>(VexLib22::CLSID_Divers, VexLib22::IID_Divers);
}

VexLib22::_IniParam& IniParam()
{
    return appObject<VexLib22::_IniParam>(VexLib22::CLSID_IniParam, VexLib22::IID_IniParam);
}

VexLib22::_HexFunctions& HexFunctions()
{
    return appObject<VexLib22::_HexFunctions>(VexLib22::CLSID_HexFunctions, VexLib22::IID_HexFunctions);
}

VexLib22::_FilesPaths& FilesPaths()
{
    return appObject<VexLib22::_FilesPaths>(VexLib22::CLSID_FilesPaths, VexLib22::IID_FilesPaths);
}

VexLib22::_WinPlace& WinPlace()
{
    return appObject<VexLib22::_WinPlace>(VexLib22::CLSID_WinPlace, VexLib22::IID_WinPlace);
}

} // namespace Components
