// The library's entry points, linked into this test, and the detector made
// through them.

#include "Stillmark/_ActivityDetect.h"
#include "platform/RegistryStore.h"

#include "tests/harness/TestSupport.h"

#include <gtest/gtest.h>

extern "C" {
plat::HRESULT DllGetClassObject(const plat::Guid* clsid, const plat::Guid* iid, void** object);
plat::HRESULT DllCanUnloadNow();
}

using namespace Stillmark;

namespace {

plat::ComPtr<plat::IClassFactory> factory(const plat::Guid& clsid, plat::HRESULT* hr = nullptr)
{
    void* object = nullptr;
    const plat::HRESULT result = DllGetClassObject(&clsid, &plat::IID_IClassFactory, &object);
    if (hr)
        *hr = result;
    return plat::ComPtr<plat::IClassFactory>::attach(static_cast<plat::IClassFactory*>(object));
}

TEST(StillmarkEntryPoints, HandOutActivityDetectByClassIdentifier)
{
    auto f = factory(CLSID_ActivityDetect);
    ASSERT_TRUE(f);
    void* object = nullptr;
    ASSERT_EQ(f->CreateInstance(nullptr, IID_ActivityDetect, &object), plat::S_OK);
    auto detector = plat::ComPtr<_ActivityDetect>::attach(static_cast<_ActivityDetect*>(object));
    EXPECT_EQ(DllCanUnloadNow(), plat::S_FALSE);

    // A new detector: idle, nothing seen, no window.
    EXPECT_FALSE(detector->IsUserSleep());
    EXPECT_EQ(int(detector->State()), 0);
    EXPECT_EQ(detector->N(), 0);
    EXPECT_EQ(detector->SamplingInterval(), 0);
    EXPECT_FALSE(detector->Enabled());

    // The event interface is not the detector's.
    void* sink = nullptr;
    EXPECT_EQ(detector->QueryInterface(IID___ActivityDetect, &sink), plat::E_NOINTERFACE);
    void* unknown = nullptr;
    ASSERT_EQ(detector->QueryInterface(plat::IID_IUnknown, &unknown), plat::S_OK);
    static_cast<plat::IUnknown*>(unknown)->Release();

    f.reset();
    detector.reset();
    EXPECT_EQ(DllCanUnloadNow(), plat::S_OK);
}

TEST(StillmarkEntryPoints, KnowNoOtherClass)
{
    plat::HRESULT hr = plat::S_OK;
    EXPECT_FALSE(factory(IID_ActivityDetect, &hr));
    EXPECT_EQ(hr, plat::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(factory(LIBID_Stillwatch, &hr));
    EXPECT_EQ(hr, plat::CLASS_E_CLASSNOTAVAILABLE);
}

TEST(StillmarkIdentity, FlagsAndIdentifiers)
{
    EXPECT_EQ(CURSOR_ACTIVITY, 1);
    EXPECT_EQ(KEYBRD_ACTIVITY, 2);
    EXPECT_EQ(JOYSTK_ACTIVITY, 4);
    EXPECT_EQ(CLSID_ActivityDetect.toString(), QStringLiteral("{C9C15AA3-4AEC-4378-B1E7-9A10DFA47459}"));
    EXPECT_EQ(IID_ActivityDetect.toString(), QStringLiteral("{D5232FA3-4116-4080-B6AE-0B0A90D1A93F}"));
    EXPECT_EQ(IID___ActivityDetect.toString(), QStringLiteral("{F3763435-B826-42A5-8741-83A280E69A1D}"));
    EXPECT_EQ(LIBID_Stillwatch.toString(), QStringLiteral("{C7AEF93F-F0AC-4183-8C26-D432BF903547}"));
    EXPECT_EQ(ENUMID_ACTIVITYDETECT_FLAG.toString(), QStringLiteral("{0900367F-4023-4233-911B-AFC3AB6846C4}"));
}

} // namespace
