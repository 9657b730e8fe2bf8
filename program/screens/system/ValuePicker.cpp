#include "program/screens/system/ValuePicker.h"

#include "platform/Forms.h"
#include "platform/RtError.h"
#include "program/core/FormNames.h"
#include "program/core/dlgListInput.h"

#include <QLineEdit>
#include <QPointer>

namespace ValuePicker {

std::optional<QString> Pick(plat::Form* caller, const QString& current, const QString& valuesList,
                            const std::function<void(dlgListInput&)>& place)
{
    auto* picker = qobject_cast<dlgListInput*>(plat::Forms::Get(FormNames::dlgListInput));
    if (!picker)
        plat::raise(plat::rt::TypeMismatch);
    QPointer<plat::Form> guardPicker(picker);
    picker->setParentForm(caller);
    if (place)
        place(*picker);
    picker->txtValue->setText(current);
    picker->setValuesList(valuesList);
    picker->Show(true, caller);
    std::optional<QString> chosen;
    if (guardPicker && !picker->IsUnloaded() && picker->Ok())
        chosen = picker->txtValue->text();
    plat::Forms::Unload(guardPicker);
    return chosen;
}

} // namespace ValuePicker
