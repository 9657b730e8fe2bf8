#include "program/bus/FormsAlarmScreen.h"

#include "platform/Form.h"
#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"

#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

// The password dialog the alarm screen asked itself (to acknowledge, stop or
// leave): the operator is answering it, on the screen the alarm comes to.
bool isLoginOf(const plat::Form* form, const QWidget* screen)
{
    return form->Name() == FormNames::dlgUserCodes && form->parentWidget() == screen;
}

} // namespace

void FormsAlarmScreen::BringToFront()
{
    const QString& name = FormNames::wRunAlarms;
    if (!plat::Forms::isRegistered(name))
        return;
    const QPointer<plat::Form> screen = plat::Forms::Get(name);
    // While the operator answers the screen's own password dialog the screen
    // is in front under it already: raising it again would cover the dialog
    // for a moment, and a window system without backing store would then
    // show it afresh, so that keys touched meanwhile count as unseen.
    const std::vector<plat::Form*> forms = plat::Forms::All();
    const bool answering = screen->isVisible() && std::any_of(forms.begin(), forms.end(), [&](const plat::Form* f) {
                               return isLoginOf(f, screen) && f->isVisible();
                           });
    if (!answering)
        screen->Show();
    for (plat::Form* f : plat::Forms::Screens())
        if (f != screen && f->Name() != FormNames::wPolling && !isLoginOf(f, screen))
            plat::Forms::Unload(f);
    // A form unloaded with the others may have taken the screen along (its
    // unload handler runs code of its own): show it once more.
    if (Global::NbInstances(name) == 0)
        plat::Forms::Get(name)->Show();
}
