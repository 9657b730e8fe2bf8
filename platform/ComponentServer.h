#pragma once
// What the four entry points of a component library do, shared by both
// libraries. A library's entry points call these with its own identity.

#include "platform/Component.h"

#include <QString>

namespace plat::ComponentServer {

struct LibraryIdentity {
    QString title;      // "VexLib22": program identifiers are "<title>.<class name>"
    Guid typeLibId;
    QString version;    // "2.02.0084"
    // Any symbol inside the library: used to find the library's own file.
    const void* anchor;
};

// DllGetClassObject: a class factory (IID_IClassFactory or IID_IUnknown) for a
// class of the table; CLASS_E_CLASSNOTAVAILABLE for an unknown class.
HRESULT getClassObject(const Guid* clsid, const Guid* iid, void** object);
// DllCanUnloadNow: S_OK when no object and no lock is alive, else S_FALSE.
HRESULT canUnloadNow();
// DllRegisterServer / DllUnregisterServer: write / remove the library's
// classes (and its type library) in the registry store.
HRESULT registerServer(const LibraryIdentity& library);
HRESULT unregisterServer(const LibraryIdentity& library);

} // namespace plat::ComponentServer

// The four entry points of a component library, at namespace scope of one of
// its .cpp files: COMPONENT_SERVER_ENTRY_POINTS(title, typeLibId, version).
#define COMPONENT_SERVER_ENTRY_POINTS(Title, TypeLibId, Version)                                 \
    extern "C" ::plat::HRESULT DllGetClassObject(const ::plat::Guid* clsid, const ::plat::Guid* iid, \
                                                 void** object)                                    \
    {                                                                                              \
        return ::plat::ComponentServer::getClassObject(clsid, iid, object);                        \
    }                                                                                              \
    extern "C" ::plat::HRESULT DllCanUnloadNow() { return ::plat::ComponentServer::canUnloadNow(); } \
    static ::plat::ComponentServer::LibraryIdentity componentLibraryIdentity()                     \
    {                                                                                              \
        return {Title, TypeLibId, Version, reinterpret_cast<const void*>(&DllGetClassObject)};     \
    }                                                                                              \
    extern "C" ::plat::HRESULT DllRegisterServer()                                                 \
    {                                                                                              \
        return ::plat::ComponentServer::registerServer(componentLibraryIdentity());                \
    }                                                                                              \
    extern "C" ::plat::HRESULT DllUnregisterServer()                                               \
    {                                                                                              \
        return ::plat::ComponentServer::unregisterServer(componentLibraryIdentity());              \
    }
