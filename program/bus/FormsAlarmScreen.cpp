#include "program/bus/FormsAlarmScreen.h"

#include "platform/Form.h"
#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"

void FormsAlarmScreen::BringToFront()
{
    const QString& name = FormNames::wRunAlarms;
    if (!plat::Forms::isRegistered(name))
        return;
    plat::Forms::Get(name)->Show();
    plat::Forms::UnloadAllExcept({name, FormNames::wPolling});
    // A form unloaded with the others may have taken the screen along (its
    // unload handler runs code of its own): show it once more.
    if (Global::NbInstances(name) == 0)
        plat::Forms::Get(name)->Show();
}
