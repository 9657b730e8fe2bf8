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
#include "program/screens/bus/dlgBusCopy.h"

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

// A copy of module 3 onto module 7 about to be made.
void copyThreeOntoSeven(plat::Form* form)
{
    auto* dlg = as<dlgBusCopy>(form);
    dlg->lblPanelNo(dlgBusCopy::Source)->setCaption(QStringLiteral("3"));
    dlg->lblPanelNo(dlgBusCopy::Target)->setCaption(QStringLiteral("7"));
}

} // namespace

const std::vector<GalleryEntry>& galleryEntries()
{
    static const std::vector<GalleryEntry> entries = {
        {QStringLiteral("wMain"), namedAndModified, {}},
        {QStringLiteral("dlgMessage"), {}, quitQuestion},
        {QStringLiteral("dlgListInput"), {}, portNumber},
        {QStringLiteral("dlgKeyboard"), {}, moduleTitle},
        {QStringLiteral("dlgBusCopy"), {}, copyThreeOntoSeven},
    };
    return entries;
}
