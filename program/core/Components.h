#pragma once
// How the program creates the classes of its component libraries: by class
// identifier, through the registry store and the library's entry point.

#include "platform/Component.h"
#include "platform/RtError.h"

namespace Components {

// A new object of the registered class, asked for interface iid. Raises
// run-time error 429 when the class is not registered or cannot be created.
void* CreateRaw(const plat::Guid& clsid, const plat::Guid& iid);

template <class I>
plat::ComPtr<I> CreateObject(const plat::Guid& clsid, const plat::Guid& iid)
{
    return plat::ComPtr<I>::attach(static_cast<I*>(CreateRaw(clsid, iid)));
}

} // namespace Components
