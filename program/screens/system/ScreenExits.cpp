#include "program/screens/system/ScreenExits.h"

#include "platform/Forms.h"
#include "program/core/Config.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMessage.h"
#include "program/core/dlgMessage.h"
#include "program/screens/system/wMain.h"

namespace ScreenExits {

void ShowMain(plat::Form* screen)
{
    plat::Forms::Get(FormNames::wMain)->Show();
    plat::Forms::Unload(screen);
}

bool Leave(plat::Form* screen, bool changed, const std::function<bool()>& accept)
{
    if (changed) {
        const int answer = Global::Message(Config::GetText(30010), MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion);
        // An alarm brought up while the question waited has cleared the screen away.
        if (answer == MsgResult::vbCancel || screen->IsUnloaded())
            return false;
        if (answer == MsgResult::vbYes && !accept())
            return false;
    }
    ShowMain(screen);
    return true;
}

void ReopenMenu(int entry)
{
    if (auto* main = qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain)))
        main->imgMenu_Click(entry);
}

} // namespace ScreenExits
