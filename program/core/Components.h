#pragma once
// How the program creates the classes of its component libraries: by class
// identifier, through the registry store and the library's entry point.

#include "platform/Component.h"
#include "platform/RtError.h"

#include "VexLib22/_Divers.h"
#include "VexLib22/_FilesPaths.h"
#include "VexLib22/_HexFunctions.h"
#include "VexLib22/_IniParam.h"
#include "VexLib22/_WinPlace.h"

namespace Components {

// A new object of the registered class, asked for interface iid. Raises
// run-time error 429 when the class is not registered or cannot be created.
void* CreateRaw(const plat::Guid& clsid, const plat::Guid& iid);

template <class I>
plat::ComPtr<I> CreateObject(const plat::Guid& clsid, const plat::Guid& iid)
{
    return plat::ComPtr<I>::attach(static_cast<I*>(CreateRaw(clsid, iid)));
}

// The application-wide objects of the function library: each created on its
// first use (429 when that fails, and again at the next use) and kept until
// the process ends.
VexLib22::_Divers& Divers();
VexLib22::_IniParam& IniParam();
VexLib22::_HexFunctions& HexFunctions();
VexLib22::_FilesPaths& FilesPaths();
VexLib22::_WinPlace& WinPlace();

} // namespace Components
