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
