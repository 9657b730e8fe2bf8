#pragma once
// The class table of a component library: each class's source file registers
// itself with COMPONENT_CLASS, and the entry points hand out what the table holds.
// Each library links its own copy of the platform, so each has its own table.

#include "platform/Component.h"

#include <QString>
#include <vector>

namespace plat {

struct ComponentClassEntry {
    QString name;       // "Divers": the program identifier is "<library title>.<name>"
    Guid clsid;
    Guid iid;
    IUnknown* (*create)();  // a new object holding one reference
};

void registerComponentClass(const ComponentClassEntry& entry);
const std::vector<ComponentClassEntry>& componentClasses();
const ComponentClassEntry* findComponentClass(const Guid& clsid);

struct ComponentClassRegistrar {
    explicit ComponentClassRegistrar(const ComponentClassEntry& entry) { registerComponentClass(entry); }
};

} // namespace plat

// In the class's .cpp, at namespace scope: COMPONENT_CLASS(Divers, _Divers, CLSID_Divers, IID_Divers)
#define COMPONENT_CLASS(Cls, Iface, Clsid, Iid)                                                   \
    static const ::plat::ComponentClassRegistrar componentRegistrar_##Cls(::plat::ComponentClassEntry{ \
        QStringLiteral(#Cls), Clsid, Iid,                                                          \
        []() -> ::plat::IUnknown* { return static_cast<::plat::IUnknown*>(static_cast<Iface*>(new Cls)); }})
