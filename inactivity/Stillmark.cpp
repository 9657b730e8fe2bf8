// Entry points of the inactivity detector library (no class handed out yet).

#include "platform/Component.h"

using namespace plat;

extern "C" {
HRESULT DllGetClassObject(const Guid*, const Guid*, void** object)
{
    if (object)
        *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}
HRESULT DllCanUnloadNow() { return componentObjectCount() == 0 ? S_OK : S_FALSE; }
HRESULT DllRegisterServer() { return S_OK; }
HRESULT DllUnregisterServer() { return S_OK; }
}
