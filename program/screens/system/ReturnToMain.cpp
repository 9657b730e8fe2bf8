#include "program/screens/system/ReturnToMain.h"

#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/screens/system/wMain.h"

namespace ReturnToMain {

void Leave(plat::Form* screen)
{
    plat::Forms::Get(FormNames::wMain)->Show();
    plat::Forms::Unload(screen);
}

void ReopenMenu(int entry)
{
    if (Global::NbInstances(FormNames::wMain) > 0)
        if (auto* main = qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain)))
            main->imgMenu_Click(entry);
}

} // namespace ReturnToMain
