#pragma once
// The list of modules that the simulator plays and the demo configures:
// "address:model" pairs separated by commas, "1:1,2:4".

#include <QString>

#include <optional>
#include <vector>

namespace modsim {

struct ModuleSpec {
    int address;
    int model;
};

// The modules in the order given; nothing, and why in *error, when an item is
// no "address:model", an address is outside 1..64 or given twice, a model is
// outside 1..5, or the list is empty.
std::optional<std::vector<ModuleSpec>> parseModuleList(const QString& text, QString* error);

} // namespace modsim
