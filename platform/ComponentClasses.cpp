#include "platform/ComponentClasses.h"

namespace plat {

namespace {
std::vector<ComponentClassEntry>& table()
{
    static std::vector<ComponentClassEntry> t;
    return t;
}
} // namespace

void registerComponentClass(const ComponentClassEntry& entry)
{
    table().push_back(entry);
}

const std::vector<ComponentClassEntry>& componentClasses()
{
    return table();
}

const ComponentClassEntry* findComponentClass(const Guid& clsid)
{
    for (const auto& e : table())
        if (e.clsid == clsid)
            return &e;
    return nullptr;
}

} // namespace plat
