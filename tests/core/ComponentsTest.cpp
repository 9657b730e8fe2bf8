// The program's loader against the libraries the test harness registered.

#include "program/core/Components.h"

#include "VexLib22/VexLib22.h"
#include "VexLib22/_RegBase.h"
#include "VexLib22/_StringArray.h"
#include "platform/Regional.h"
#include "platform/RegistryStore.h"
#include "tests/harness/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

const plat::Guid kUnregistered = plat::Guid::parse("{0BADC0DE-0000-4000-8000-000000000429}");

void expect429(const std::function<void()>& fn, const plat::Guid& clsid, const QString& detail)
{
    try {
        fn();
        ADD_FAILURE() << "no error";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::CannotCreateObject);
        EXPECT_TRUE(e.description().contains(clsid.toString())) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(detail)) << e.description().toStdString();
    }
}

} // namespace

TEST(Components, CreatesARegisteredClassThroughItsLibrary)
{
    auto reg = Components::CreateObject<_RegBase>(CLSID_RegBase, IID_RegBase);
    ASSERT_TRUE(reg);
    // The object reads the same store from inside the library: its own registration.
    const QString key = "CLSID\\" + CLSID_RegBase.toString() + "\\InprocServer32";
    EXPECT_EQ(reg->GetRegKey(static_cast<int32_t>(HKEY_CLASSES_ROOT), key),
              QFileInfo(testing_support::binFolder() + "/libVexLib22.so").absoluteFilePath());
    auto second = Components::CreateObject<_RegBase>(CLSID_RegBase, IID_RegBase);
    EXPECT_NE(second.get(), reg.get());  // every creation is a new object
}

TEST(Components, RefusesWhatCannotBeCreatedWith429)
{
    expect429([] { Components::CreateRaw(kUnregistered, IID_RegBase); }, kUnregistered, "not registered");
    expect429([] { Components::CreateRaw(CLSID_RegBase, IID_Divers); }, CLSID_RegBase, IID_Divers.toString());
}

TEST(Components, RefusesAClassWhoseLibraryCannotBeLoaded)
{
    const QByteArray saved = qgetenv("PLX_REGISTRY_FILE");
    const QString file = testing_support::programFolder() + "/Registry.ini";
    qputenv("PLX_REGISTRY_FILE", QFile::encodeName(file));
    plat::RegistryStore store(file);
    const QString key = "CLSID\\" + kUnregistered.toString() + "\\InprocServer32";
    ASSERT_TRUE(store.createKey(plat::RegistryRoot::ClassesRoot, key));
    ASSERT_TRUE(store.setValue(plat::RegistryRoot::ClassesRoot, key, "", "/nonexistent/libGone.so"));
    expect429([] { Components::CreateRaw(kUnregistered, IID_RegBase); }, kUnregistered, "/nonexistent/libGone.so");

    // A loadable library that does not have the class.
    ASSERT_TRUE(store.setValue(plat::RegistryRoot::ClassesRoot, key, "", testing_support::binFolder() + "/libVexLib22.so"));
    expect429([] { Components::CreateRaw(kUnregistered, IID_RegBase); }, kUnregistered, "0x80040111");
    qputenv("PLX_REGISTRY_FILE", saved);
}

TEST(Components, ApplicationWideObjectsAreCreatedOnceAndWork)
{
    _IniParam* ini = &Components::IniParam();
    EXPECT_EQ(&Components::IniParam(), ini);
    EXPECT_EQ(ini->GetPrivateParam("Section", "Key", "default", testing_support::programFolder() + "/none.ini"),
              QString("default"));
    EXPECT_EQ(&Components::Divers(), &Components::Divers());
    EXPECT_EQ(Components::HexFunctions().Hex4(0x1A2B), QString("1A2B"));
    EXPECT_EQ(&Components::FilesPaths(), &Components::FilesPaths());
    EXPECT_EQ(&Components::WinPlace(), &Components::WinPlace());
}

TEST(Components, TheLibraryReadsTheRegionalSettingsOfTheProgram)
{
    // The library holds a copy of the platform layer of its own: it must
    // still see the locale that the program runs in.
    plat::Regional::setLocale(QLocale(QLocale::German, QLocale::Germany));
    auto divers = Components::CreateObject<_Divers>(CLSID_Divers, IID_Divers);
    ASSERT_TRUE(divers);
    EXPECT_EQ(divers->SepDec(), ",");
    EXPECT_EQ(divers->SepMil(), ".");
    EXPECT_EQ(divers->SepList(), ";");
    EXPECT_FLOAT_EQ(divers->Num("1.234,5"), 1234.5f);

    auto sorted = Components::CreateObject<_StringArray>(CLSID_StringArray, IID_StringArray);
    sorted->setSorted(true);
    for (const char* s : {"Zimmer", "\u00d6l", "Ofen", "Pumpe"})
        sorted->Add(QString::fromUtf8(s));
    EXPECT_EQ(sorted->Item(0), "Ofen");
    EXPECT_EQ(sorted->Item(1), QString::fromUtf8("\u00d6l"));
}
