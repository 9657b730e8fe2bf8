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
#include "platform/AppIdentity.h"
#include "program/core/TextIds.h"
#include "program/screens/system/dlgParamPrinter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
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

// A serial colour printer of the shipped models, its lines in several colours and styles.
void colourPrinter()
{
    const QDir shipped(QCoreApplication::applicationDirPath());
    for (const QString& model : shipped.entryList({QStringLiteral("*.prt")}, QDir::Files))
        QFile::copy(shipped.filePath(model), plat::AppIdentity::programFolder() + QLatin1Char('/') + model);
    gConfig->setPrtSettings(QStringLiteral("COM2:19200,E,7,1"));
    gConfig->setPrinterName(QStringLiteral("Generic colour"));
    const char* const codes[] = {"0", "5B", "5BU", "1BIU", "0", "3I", "6", "2U"};
    for (int i = 0; i < 8; ++i)
        gConfig->setPrinterInitCode(i, QLatin1String(codes[i]));
}

void alarmLineStyle(plat::Form* form)
{
    auto* dlg = as<dlgParamPrinter>(form);
    dlg->lblLegend->setText(Config::GetText(TextIds::PrinterSequenceTitleFirst + 3));
    dlg->selectColour(5);
    dlg->chkStyle(0)->setChecked(true);
}

} // namespace

const std::vector<GalleryEntry>& galleryEntries()
{
    static const std::vector<GalleryEntry> entries = {
        {QStringLiteral("wMain"), namedAndModified, {}},
        {QStringLiteral("dlgMessage"), {}, quitQuestion},
        {QStringLiteral("dlgListInput"), {}, portNumber},
        {QStringLiteral("dlgKeyboard"), {}, moduleTitle},
        {QStringLiteral("wParamPrinter"), colourPrinter, {}},
        {QStringLiteral("dlgParamPrinter"), {}, alarmLineStyle},
    };
    return entries;
}
