#pragma once
// The value picker as the system and parameter screens use it: loaded with
// the calling screen as its parent, the current value and the list of
// values, shown modally, read and unloaded.

#include <QString>

#include <functional>
#include <optional>

class dlgListInput;

namespace plat {
class Form;
}

namespace ValuePicker {

// The value chosen, nothing when the operator cancels (or the picker went
// meanwhile). place may move the picker before it shows; without it the
// picker opens centred on the caller.
std::optional<QString> Pick(plat::Form* caller, const QString& current, const QString& valuesList,
                            const std::function<void(dlgListInput&)>& place = {});

} // namespace ValuePicker
