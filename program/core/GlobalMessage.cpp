#include "program/core/GlobalMessage.h"

#include "platform/Forms.h"
#include "program/core/Components.h"
#include "program/core/ErrorHandling.h"
#include "program/core/dlgMessage.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"

#include <QPointer>
#include <memory>

namespace Global {

MessageShown HowMessageShown(int style)
{
    if (Global::Stopping())
        return MessageShown::Not;
    const bool okAlone = (style & 7) == MsgStyle::vbOKOnly;
    if (okAlone && ErrorHandling::Unattended::active())
        return MessageShown::WithoutWaiting;
    return MessageShown::Waiting;
}

int Message(const QString& text, int style)
{
    const MessageShown how = HowMessageShown(style);
    if (how == MessageShown::Not)
        return MsgResult::vbCancel;
    // Everything here is the box's own code except a modal box's wait.
    MessageBoxCode::Scope code;
    QPointer<plat::Form> form;
    try {
        form = plat::Forms::CreateInstance(FormNames::dlgMessage);
        auto* box = qobject_cast<dlgMessage*>(form.data());
        if (!box)
            plat::raise(plat::rt::TypeMismatch);
        box->setMessage(text);
        box->setButtons(style);
        if (how == MessageShown::Waiting) {
            box->setDoUnload(false);
            // The answer is kept even when something else unloads the box meanwhile.
            auto answer = std::make_shared<int>(-1);
            QObject::connect(box, &plat::Form::unloaded, box, [answer, box] { *answer = box->Result(); });
            {
                MessageBoxCode::Outside wait;
                // Someone is asked: what runs while the box waits is attended.
                ErrorHandling::Unattended::Suspend asked;
                box->Show(true);
            }
            if (form && !box->IsUnloaded())
                *answer = box->Result();
            plat::Forms::Unload(form);
            // A box that went without an answer counts as cancelled.
            return *answer < 0 ? MsgResult::vbCancel : *answer;
        }
        box->setDoUnload(true);
        // Nobody waits for it: it stays up through the clearing of the
        // screens until its own button.
        box->setNotice(true);
        box->Show(false);
        Components::WinPlace().SetToTopmost(box);
        return 0;
    } catch (const plat::RtError& e) {
        if (form)
            plat::Forms::Unload(form);
        ErrorHandling::ShowError(QStringLiteral("Global.Message"), e);
    }
    return MsgResult::vbCancel;
}

} // namespace Global
