// The function library as the program meets it: the built libVexLib22.so,
// loaded and asked for its classes through its entry points.

#include "VexLib22/VexLib22.h"
#include "VexLib22/_StringArray.h"
#include "platform/RegistryStore.h"
#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace plat;
using namespace VexLib22;

namespace {

constexpr uint32_t HKCR = RegistryRoot::ClassesRoot;
constexpr uint32_t HKCU = RegistryRoot::CurrentUser;

struct ClassCase {
    const char* name;
    Guid clsid;
    Guid iid;
};

const ClassCase kClasses[] = {
    {"Divers", CLSID_Divers, IID_Divers},
    {"IniParam", CLSID_IniParam, IID_IniParam},
    {"WinPlace", CLSID_WinPlace, IID_WinPlace},
    {"PrintWnd", CLSID_PrintWnd, IID_PrintWnd},
    {"RegBase", CLSID_RegBase, IID_RegBase},
    {"StringArray", CLSID_StringArray, IID_StringArray},
    {"FilesPaths", CLSID_FilesPaths, IID_FilesPaths},
    {"LogFileClass", CLSID_LogFileClass, IID_LogFileClass},
    {"HexFunctions", CLSID_HexFunctions, IID_HexFunctions},
    {"StrToKclass", CLSID_StrToKclass, IID_StrToKclass},
    {"KeyFilter", CLSID_KeyFilter, IID_KeyFilter},
};

const Guid kUnknownClass = Guid::parse("{01234567-89AB-CDEF-0123-456789ABCDEF}");

class BuiltLibrary : public testing::Test {
protected:
    static QString file() { return testing_support::binFolder() + "/libVexLib22.so"; }

    void SetUp() override
    {
        m_handle = ::dlopen(QFile::encodeName(file()).constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_handle, nullptr) << ::dlerror();
        m_getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(m_handle, "DllGetClassObject"));
        m_canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(m_handle, "DllCanUnloadNow"));
        m_register = reinterpret_cast<DllRegisterServerFn>(::dlsym(m_handle, "DllRegisterServer"));
        m_unregister = reinterpret_cast<DllUnregisterServerFn>(::dlsym(m_handle, "DllUnregisterServer"));
        ASSERT_TRUE(m_getClassObject && m_canUnloadNow && m_register && m_unregister);
    }
    // The library is never unloaded, as in the program.

    ComPtr<IClassFactory> factory(const Guid& clsid)
    {
        void* p = nullptr;
        const HRESULT hr = m_getClassObject(&clsid, &IID_IClassFactory, &p);
        EXPECT_EQ(hr, S_OK) << clsid.toString().toStdString();
        return ComPtr<IClassFactory>::attach(static_cast<IClassFactory*>(p));
    }

    template <class I>
    ComPtr<I> create(const Guid& clsid, const Guid& iid)
    {
        ComPtr<IClassFactory> f = factory(clsid);
        if (!f)
            return {};
        void* p = nullptr;
        EXPECT_EQ(f->CreateInstance(nullptr, iid, &p), S_OK);
        return ComPtr<I>::attach(static_cast<I*>(p));
    }

    void* m_handle = nullptr;
    DllGetClassObjectFn m_getClassObject = nullptr;
    DllCanUnloadNowFn m_canUnloadNow = nullptr;
    DllRegisterServerFn m_register = nullptr;
    DllUnregisterServerFn m_unregister = nullptr;
};

// Points the registry store at a file of the test's own for the scope.
class TemporaryRegistry {
public:
    TemporaryRegistry() : m_saved(qgetenv("PLX_REGISTRY_FILE")), m_file(testing_support::programFolder() + "/Registry.ini")
    {
        qputenv("PLX_REGISTRY_FILE", QFile::encodeName(m_file));
    }
    ~TemporaryRegistry() { qputenv("PLX_REGISTRY_FILE", m_saved); }
    const QString& file() const { return m_file; }

private:
    QByteArray m_saved;
    QString m_file;
};

} // namespace

TEST_F(BuiltLibrary, ExportsExactlyTheFourEntryPoints)
{
    QProcess nm;
    nm.start("nm", {"-D", "--defined-only", file()});
    ASSERT_TRUE(nm.waitForFinished(30000));
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    QStringList names;
    for (const QString& line : QString::fromLocal8Bit(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
        names << fields.last().section('@', 0, 0);  // without a version suffix
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}));
}

TEST_F(BuiltLibrary, HandsOutEveryClassByItsIdentifiers)
{
    for (const ClassCase& c : kClasses) {
        SCOPED_TRACE(c.name);
        ComPtr<IUnknown> object = create<IUnknown>(c.clsid, c.iid);
        ASSERT_TRUE(object);
        void* same = nullptr;
        ASSERT_EQ(object->QueryInterface(IID_IUnknown, &same), S_OK);
        static_cast<IUnknown*>(same)->Release();
    }
}

TEST_F(BuiltLibrary, RefusesAWrongInterfaceAndAnUnknownClass)
{
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(m_getClassObject(&kUnknownClass, &IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);

    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(m_getClassObject(&CLSID_RegBase, &IID_RegBase, &p), E_NOINTERFACE);  // the factory is no RegBase
    EXPECT_EQ(p, nullptr);

    ComPtr<IClassFactory> f = factory(CLSID_RegBase);
    ASSERT_TRUE(f);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(f->CreateInstance(nullptr, IID_StringArray, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(m_getClassObject(&CLSID_RegBase, &IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(BuiltLibrary, CanUnloadOnlyWhenNoObjectNoFactoryAndNoLockIsAlive)
{
    ASSERT_EQ(m_canUnloadNow(), S_OK);
    {
        ComPtr<IClassFactory> f = factory(CLSID_RegBase);
        ASSERT_TRUE(f);
        EXPECT_EQ(m_canUnloadNow(), S_FALSE);
        void* p = nullptr;
        ASSERT_EQ(f->CreateInstance(nullptr, IID_RegBase, &p), S_OK);
        auto object = ComPtr<IUnknown>::attach(static_cast<IUnknown*>(p));
        f->LockServer(true);
        f.reset();
        EXPECT_EQ(m_canUnloadNow(), S_FALSE);  // the object and the lock
        object.reset();
        EXPECT_EQ(m_canUnloadNow(), S_FALSE);  // the lock
        factory(CLSID_RegBase)->LockServer(false);
    }
    EXPECT_EQ(m_canUnloadNow(), S_OK);
}

TEST_F(BuiltLibrary, RegistrationEditsOnlyTheLibrarysOwnKeys)
{
    TemporaryRegistry registry;
    RegistryStore store(registry.file());
    const Guid foreign = Guid::parse("{11111111-2222-3333-4444-555555555555}");
    ASSERT_TRUE(store.update([&](RegistryTree& t) {
        const QString key = "CLSID\\" + foreign.toString();
        return t.createKey(HKCR, key + "\\InprocServer32") && t.setValue(HKCR, key + "\\InprocServer32", "", "/opt/other.so")
               && t.createKey(HKCR, "Other.Thing\\CLSID") && t.setValue(HKCR, "Other.Thing\\CLSID", "", foreign.toString())
               && t.createKey(HKCR, "TypeLib\\{99999999-2222-3333-4444-555555555555}")
               && t.createKey(HKCR, "VexLib22.Divers\\Custom")  // someone else's subkey under one of ours
               && t.createKey(HKCU, "Software\\Any") && t.setValue(HKCU, "Software\\Any", "x", "y");
    }));
    const RegistryTree before = store.read();

    ASSERT_EQ(m_register(), S_OK);
    const QString path = QFileInfo(file()).absoluteFilePath();
    int registered = 0;
    for (const ClassCase& c : kClasses) {
        void* p = nullptr;
        if (m_getClassObject(&c.clsid, &IID_IClassFactory, &p) != S_OK)
            continue;  // every class handed out is registered, checked above
        static_cast<IUnknown*>(p)->Release();
        ++registered;
        SCOPED_TRACE(c.name);
        const QString key = "CLSID\\" + c.clsid.toString();
        const QString progId = QString("VexLib22.") + c.name;
        EXPECT_EQ(store.value(HKCR, key + "\\InprocServer32", ""), path);
        EXPECT_EQ(store.value(HKCR, key + "\\ProgID", ""), progId);
        EXPECT_EQ(store.value(HKCR, key + "\\TypeLib", ""), LIBID_VexLib22.toString());
        EXPECT_EQ(store.value(HKCR, progId + "\\CLSID", ""), c.clsid.toString());
    }
    EXPECT_GT(registered, 0);
    const QString typeLib = "TypeLib\\" + LIBID_VexLib22.toString();
    EXPECT_EQ(store.value(HKCR, typeLib, ""), QString("VexLib22"));
    EXPECT_EQ(store.value(HKCR, typeLib, "Version"), QString("2.02.0084"));
    EXPECT_EQ(store.value(HKCR, "CLSID\\" + foreign.toString() + "\\InprocServer32", ""), QString("/opt/other.so"));

    ASSERT_EQ(m_register(), S_OK);  // again: nothing changes
    const QByteArray once = store.read().serialize();
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(store.read().serialize(), once);

    ASSERT_EQ(m_unregister(), S_OK);
    // Everything ours is gone; the key that still holds a foreign subkey stays as it was.
    EXPECT_EQ(store.read().serialize().toStdString(), before.serialize().toStdString());
    EXPECT_EQ(m_unregister(), S_OK);  // nothing left to remove is no failure
}

TEST_F(BuiltLibrary, ALibraryErrorReachesTheCallerWithItsNumberTextAndSource)
{
    ComPtr<_StringArray> array = create<_StringArray>(CLSID_StringArray, IID_StringArray);
    ASSERT_TRUE(array);
    array->Add("x");
    try {
        array->setSorted(true);
        FAIL() << "no error";
    } catch (const RtError& e) {
        EXPECT_EQ(e.number(), 1043);
        EXPECT_EQ(e.description(),
                  QString::fromUtf8("La propriété Sorted d'un objet StringArray n'est autorisée que si le tableau est vide."));
        EXPECT_EQ(e.source(), QString("VexLib22"));
    }
    EXPECT_FALSE(array->Sorted());
}
