#include "tools/screens/GalleryEntries.h"

#include "platform/Form.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgKeyboard.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"

#include <QLineEdit>

namespace {

template <class F>
F* as(plat::Form* form)
{
    return qobject_cast<F*>(form);
}

// The main window on a named configuration with unsaved changes.
void namedAndModified()
{
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::LastUsed, QStringLiteral("/panel/Site north.px2"));
    gConfig->setModified(true);
}

// A limited retention of a year of monthly files.
void yearOfHistory()
{
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodLimit, QStringLiteral("1"));
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::PeriodTime, QStringLiteral("12"));
}

// A third user, of level 1, seen by the technician.
void threeUsers()
{
    gConfig->setUserCount(3);
    gConfig->setUserName(3, QStringLiteral("Operator"));
    gConfig->setUserPwd(3, QStringLiteral("1111"));
    gConfig->setUserLevel(3, 1);
    gUserLevel = 3;
}

void libraryTexts()
{
    const char* const texts[] = {"Fire alarm", "Smoke detector", "Gas leak", "Water leak", "Door open", "Power failure"};
    int n = 0;
    for (const char* t : texts)
        gConfig->setBiblio(++n, QString::fromUtf8(t));
}

void instructionTexts()
{
    gConfig->setConsigne(1, QStringLiteral("Call the fire brigade (112).\r\nOpen the main gate and wait for them there."));
    gConfig->setConsigne(2, QStringLiteral("Close the gas valve in the boiler room.\r\nAir the room. Do not switch on any light."));
    gConfig->setConsigne(3, QStringLiteral("Check the pump room for water."));
}

void quitQuestion(plat::Form* form)
{
    auto* box = as<dlgMessage>(form);
    box->setMessage(Config::GetText(50003));
    box->setButtons(MsgStyle::vbYesNoCancel | MsgStyle::vbExclamation);
}

void portNumber(plat::Form* form)
{
    auto* dlg = as<dlgListInput>(form);
    dlg->txtValue->setText(QStringLiteral("3"));
    dlg->setValuesList(QStringLiteral("*|1|16"));
}

void moduleTitle(plat::Form* form)
{
    auto* dlg = as<dlgKeyboard>(form);
    dlg->txtValue(1)->hide();
    dlg->txtValue(0)->setMaxLength(24);
    dlg->txtValue(0)->setText(QStringLiteral("Hall B west"));
}

} // namespace

const std::vector<GalleryEntry>& galleryEntries()
{
    static const std::vector<GalleryEntry> entries = {
        {QStringLiteral("wMain"), namedAndModified, {}},
        {QStringLiteral("dlgMessage"), {}, quitQuestion},
        {QStringLiteral("dlgListInput"), {}, portNumber},
        {QStringLiteral("dlgKeyboard"), {}, moduleTitle},
        {QStringLiteral("wSysConfSon"), yearOfHistory, {}},
        {QStringLiteral("dlgDefPwds"), threeUsers, {}},
        {QStringLiteral("wParamBiblio"), libraryTexts, {}},
        {QStringLiteral("wParamConsignes"), instructionTexts, {}},
    };
    return entries;
}
