#include "program/core/Login.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/DateTime.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "program/core/AccessControl.h"
#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "program/core/PollingLink.h"
#include "program/core/dlgUserCodes.h"
#include "program/core/FormNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {

std::vector<UserEntry> configuredUsers()
{
    if (!gConfig)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return AccessControl::UsersOf(gConfig);
}

} // namespace

namespace Login {

void ApplyCode(const QString& code)
{
    const AccessControl::Login login = AccessControl::Decide(code, Config::GetConfig(ServiceCodeKey), configuredUsers(),
                                                             plat::DateTime::now());
    gUserLevel = login.level;
    gUserName = login.name;
    if (login.traceLine) {
        gTraceLog().Comment(*login.traceLine);
        gTraceLog().FlushFile();
    }
    Polling::Engine().SendStationEvent(Polling::StationEvent::UserChange);
}

} // namespace Login

namespace Config {

bool AskPassword(plat::Form* owner)
{
    bool answer = false;
    QPointer<plat::Form> dialog;
    plat::guard(QStringLiteral("Config.AskPassword"), [&] {
        dialog = plat::Forms::Get(FormNames::dlgUserCodes);
        auto* dlg = qobject_cast<dlgUserCodes*>(dialog.data());
        if (!dlg)
            plat::raise(plat::rt::ObjectDoesNotSupport);
        // A login: no level, no name, the code masked.
        dlg->imgCmd(dlgUserCodes::CmdLevelDown)->hide();
        dlg->imgCmd(dlgUserCodes::CmdLevelUp)->hide();
        dlg->lblPwdLevel->hide();
        dlg->lblLevel->hide();
        dlg->txtPwd(0)->hide();
        dlg->txtPwd(1)->setEchoMode(QLineEdit::Password);
        dlg->Show(true, owner);
        // The dialog may have been unloaded while it was open (inactivity
        // logout): that is no confirmation.
        if (!dialog || dlg->IsUnloaded() || !dlg->Ok())
            return;
        const QString code = dlg->txtPwd(1)->text();
        plat::Forms::Unload(dlg);
        Login::ApplyCode(code);
        answer = true;
    });
    if (dialog && !dialog->IsUnloaded())
        plat::Forms::Unload(dialog);
    return answer;
}

bool AccessOk(int level)
{
    bool ok = false;
    plat::guard(QStringLiteral("Config.AccessOk"), [&] { ok = AccessControl::AccessOk(level, gUserLevel, configuredUsers()); });
    return ok;
}

} // namespace Config
