#include "platform/ComponentServer.h"

#include "platform/ComponentClasses.h"
#include "platform/RegistryStore.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace plat::ComponentServer {

namespace {

constexpr uint32_t kClassesRoot = RegistryRoot::ClassesRoot;

std::atomic<int>& serverLocks()
{
    static std::atomic<int> locks{0};
    return locks;
}

// Counts as a live object of the library, so that a held factory keeps it loaded.
class ClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit ClassFactory(const ComponentClassEntry& entry) : m_entry(entry) {}

    HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        IUnknown* created = nullptr;
        try {
            created = m_entry.create();
        } catch (...) {
            return E_FAIL;
        }
        if (!created)
            return E_FAIL;
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }

    HRESULT LockServer(bool lock) override
    {
        if (lock)
            ++serverLocks();
        else if (serverLocks() > 0)
            --serverLocks();
        return S_OK;
    }

private:
    ComponentClassEntry m_entry;
};

// Absolute path of the file that holds the library (the name it was loaded by).
QString libraryFile(const void* anchor)
{
    Dl_info info{};
    if (!anchor || !dladdr(anchor, &info) || !info.dli_fname || !*info.dli_fname)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

QString clsidKey(const ComponentClassEntry& e)
{
    return QStringLiteral("CLSID\\") + e.clsid.toString();
}

QString progId(const LibraryIdentity& library, const ComponentClassEntry& e)
{
    return library.title + QLatin1Char('.') + e.name;
}

QString typeLibKey(const LibraryIdentity& library)
{
    return QStringLiteral("TypeLib\\") + library.typeLibId.toString();
}

} // namespace

HRESULT getClassObject(const Guid* clsid, const Guid* iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!clsid || !iid)
        return E_POINTER;
    const ComponentClassEntry* entry = findComponentClass(*clsid);
    if (!entry)
        return CLASS_E_CLASSNOTAVAILABLE;
    if (!(*iid == IID_IClassFactory || *iid == IID_IUnknown))
        return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(new ClassFactory(*entry));
    return S_OK;
}

HRESULT canUnloadNow()
{
    return componentObjectCount() == 0 && serverLocks() == 0 ? S_OK : S_FALSE;
}

HRESULT registerServer(const LibraryIdentity& library)
{
    const QString file = libraryFile(library.anchor);
    if (file.isEmpty())
        return SELFREG_E_CLASS;
    const QString libId = library.typeLibId.toString();
    const bool ok = RegistryStore().update([&](RegistryTree& t) {
        auto put = [&](const QString& key, const QString& name, const QString& value) {
            return t.createKey(kClassesRoot, key) && t.setValue(kClassesRoot, key, name, value);
        };
        bool done = true;
        for (const ComponentClassEntry& e : componentClasses()) {
            const QString key = clsidKey(e);
            const QString prog = progId(library, e);
            done = done && put(key, {}, prog) && put(key + QStringLiteral("\\InprocServer32"), {}, file)
                   && put(key + QStringLiteral("\\ProgID"), {}, prog) && put(key + QStringLiteral("\\TypeLib"), {}, libId)
                   && put(prog, {}, prog) && put(prog + QStringLiteral("\\CLSID"), {}, e.clsid.toString());
        }
        const QString lib = typeLibKey(library);
        return done && put(lib, {}, library.title) && put(lib, QStringLiteral("Version"), library.version)
               && put(lib, QStringLiteral("Path"), file);
    });
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT unregisterServer(const LibraryIdentity& library)
{
    const bool ok = RegistryStore().update([&](RegistryTree& t) {
        // Only what this library wrote: a key that still holds another's
        // subkeys stays, without our values.
        auto remove = [&](const QString& key, std::initializer_list<const char*> names = {""}) {
            for (const char* name : names)
                t.deleteValue(kClassesRoot, key, QLatin1String(name));
            t.deleteKey(kClassesRoot, key);
        };
        for (const ComponentClassEntry& e : componentClasses()) {
            const QString key = clsidKey(e);
            for (const char* sub : {"\\InprocServer32", "\\ProgID", "\\TypeLib"})
                remove(key + QLatin1String(sub));
            remove(key);
            const QString prog = progId(library, e);
            remove(prog + QStringLiteral("\\CLSID"));
            remove(prog);
        }
        remove(typeLibKey(library), {"", "Version", "Path"});
        return true;
    });
    return ok ? S_OK : SELFREG_E_CLASS;
}

} // namespace plat::ComponentServer
