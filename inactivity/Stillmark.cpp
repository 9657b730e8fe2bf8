// Entry points of the inactivity detector library: the classes of its table,
// handed out and registered under the library's identity.

#include "Stillmark/_ActivityDetect.h"
#include "platform/ComponentServer.h"

using namespace plat;

namespace {

ComponentServer::LibraryIdentity identity();

} // namespace

extern "C" {
HRESULT DllGetClassObject(const Guid* clsid, const Guid* iid, void** object)
{
    return ComponentServer::getClassObject(clsid, iid, object);
}
HRESULT DllCanUnloadNow()
{
    return ComponentServer::canUnloadNow();
}
HRESULT DllRegisterServer()
{
    return ComponentServer::registerServer(identity());
}
HRESULT DllUnregisterServer()
{
    return ComponentServer::unregisterServer(identity());
}
}

namespace {

ComponentServer::LibraryIdentity identity()
{
    return {Stillmark::kTitle, Stillmark::LIBID_Stillwatch, Stillmark::kVersion,
            reinterpret_cast<const void*>(&DllGetClassObject)};
}

} // namespace
