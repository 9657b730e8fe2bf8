#include "tools/screens/GalleryEntries.h"

#include "platform/Form.h"
#include "platform/Forms.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgKeyboard.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/dlgBusCopy.h"
#include "program/screens/bus/dlgEditMirror.h"
#include "program/screens/bus/wBusMiroirs.h"
#include "program/screens/bus/wBusMirrorOne.h"
#include "program/screens/bus/wBusPanneau.h"
#include "program/screens/bus/wTechConsignations.h"
#include "program/screens/bus/wTechEtatModule.h"
#include "program/screens/bus/wTechFindPanels.h"
#include "platform/Captions.h"
#include "platform/Shape.h"
#include "platform/AppIdentity.h"
#include "platform/FlexGrid.h"
#include "program/core/TextIds.h"
#include "program/screens/system/dlgParamPrinter.h"
#include "program/bus/EventClass.h"
#include "program/core/LanguageGlobals.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/HistoricBrowser.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/dlgConsigne.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wRunAlarms.h"
#include "program/runtime/wTeleCmde.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

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

// A page of modules of every model, some switched off, titles on two lines in
// their colours; module 2's channel 3 with its texts and flags.
void busModules()
{
    const struct {
        int module;
        int model;
        bool active;
        const char* title;
        int colour;
    } modules[] = {
        {1, 1, true, "Boiler room|North", 0x00FFFF},
        {2, 2, true, "Car park", 0x00FF00},
        {3, 3, false, "Kitchen|Ground floor", 0x0000FF},
        {4, 4, true, "Pumps", 0xFFFF00},
        {5, 5, true, "Laboratory 2|East wing", 0xFFFFFF},
        {6, 0, true, "", 0x00FFFF},
        {7, 1, true, "Stairs A", 0x00FFFF},
        {9, 2, false, "Server room|Level -1", 0x00A5FF},
    };
    for (const auto& m : modules) {
        auto p = gConfig->Panel(int16_t(m.module));
        p->setModel(m.model);
        p->setActive(m.active);
        p->setTitle(QString::fromLatin1(m.title));
        p->setTitleColor(m.colour);
    }
    auto ch = gConfig->Panel(2)->Channel(3);
    ch->setScreenText(QStringLiteral("Smoke detector, east staircase"));
    ch->setPrintText(QStringLiteral("SMOKE EAST STAIRCASE LEVEL 3"));
    ch->setScrAlm(true);
    ch->setKlaxon(true);
    ch->setAlmPrio(5);
    ch->setBibNum(2);
    ch->setHelpNum(3);
    ch->setReactTpo(4);
    gConfig->setBiblio(2, QStringLiteral("Fire alarm"));
    gConfig->setConsigne(3, QStringLiteral("Call the fire brigade,\r\nthen open the gate."));
}

void shown(plat::Form* form)
{
    form->Show();
}

// The editor on module 2 (model 2), its channel 3, row 6 (the alarm
// priority) highlighted: the row buttons step from the title over the
// channel row.
void moduleEditor(plat::Form* form)
{
    auto* editor = as<wBusPanneau>(form);
    editor->setNumModule(2);
    editor->Show();
    for (int i = 0; i < 2; ++i)
        editor->imgControl_Click(wBusPanneau::ControlNextChannel);
    for (int i = 0; i < 5; ++i)
        editor->imgNavig_Click(wBusPanneau::NavigNextRow);
}

// The page of modules with two more, and twenty mirrors between them: whole
// modules and channels, of both types, several to and from module 1 channel 3.
void twentyMirrors()
{
    busModules();
    gConfig->Panel(10)->setModel(1);
    gConfig->Panel(10)->setTitle(QStringLiteral("Workshop"));
    gConfig->Panel(12)->setModel(3);
    gConfig->Panel(12)->setTitle(QStringLiteral("Cold store"));
    const int mirrors[][5] = {
        {1, 3, 7, 3, 1}, {1, 3, 3, 5, 2}, {7, 1, 1, 3, 1}, {3, 2, 1, 3, 1}, {1, 0, 2, 0, 0},
        {1, 0, 4, 0, 0}, {2, 0, 9, 0, 0}, {3, 0, 5, 0, 0}, {7, 2, 9, 12, 2}, {7, 4, 3, 8, 1},
        {3, 6, 7, 10, 1}, {1, 5, 9, 5, 2}, {9, 0, 3, 0, 0}, {12, 0, 4, 0, 0}, {1, 8, 7, 8, 1},
        {3, 11, 1, 11, 1}, {10, 1, 2, 7, 2}, {1, 3, 9, 20, 1}, {3, 1, 7, 5, 2}, {1, 1, 3, 1, 1},
    };
    for (const auto& m : mirrors)
        gConfig->Mirrors()->Add(int16_t(m[0]), int16_t(m[1]), int16_t(m[2]), int16_t(m[3]), int16_t(m[4]));
    LanguageGlobals::SetLetters();
    LanguageGlobals::SetNoChannelText();
}

void mirrorSelected(plat::Form* form)
{
    auto* list = as<wBusMiroirs>(form);
    list->Show();
    list->lvwMirrors->topLevelItem(2)->setSelected(true);
    list->lvwMirrors_Click();
}

// A channel mirror of module 1 channel 3 onto module 7 channel 3, as Modify presets it.
void channelMirror(plat::Form* form)
{
    auto* dlg = as<dlgEditMirror>(form);
    dlg->lblSrceModNo->setCaption(QStringLiteral("1"));
    dlg->lblSrceChnlNo->setCaption(QStringLiteral("3"));
    dlg->lblDestModNo->setCaption(QStringLiteral("7"));
    dlg->lblDestModType->setCaption(Global::ModuleName(gConfig->Panel(7)->Model()));
    dlg->lblDestChnlNo->setCaption(QStringLiteral("3"));
    dlg->optType(1)->setChecked(true);
}

// Module 1 channel 3 as the module editor opens its mirrors.
void mirrorsOfChannel(plat::Form* form)
{
    auto* screen = as<wBusMirrorOne>(form);
    screen->setMirrors(gConfig->Mirrors());
    screen->setPanel(gConfig->Panel(1));
    for (int i : {0, 1})
        screen->lblModele(i)->setText(Global::ModuleName(1));
    screen->lblNumModule(0)->setCaption(QStringLiteral("1"));
    screen->lblChannel->setCaption(QStringLiteral("3"));
}

// A serial colour printer of the shipped models, its lines in several
// colours and styles; the engine's printer prints on it.
void colourPrinter()
{
    // Loaded before the printer is configured: its load opens no port.
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    const QDir shipped(QCoreApplication::applicationDirPath());
    for (const QString& model : shipped.entryList({QStringLiteral("*.prt")}, QDir::Files))
        QFile::copy(shipped.filePath(model), plat::AppIdentity::programFolder() + QLatin1Char('/') + model);
    gConfig->setPrtSettings(QStringLiteral("COM2:19200,E,7,1"));
    gConfig->setPrinterName(QStringLiteral("Generic colour"));
    const char* const codes[] = {"0", "5B", "5BU", "1BIU", "0", "3I", "6", "2U"};
    for (int i = 0; i < 8; ++i)
        gConfig->setPrinterInitCode(i, QLatin1String(codes[i]));
    if (const EnginePrinterPtr live = engine->dpPrinter()) {
        live->setPort(QStringLiteral("COM2"));
        live->setSettings(QStringLiteral("19200,E,7,1"));
    }
}

void alarmLineStyle(plat::Form* form)
{
    auto* dlg = as<dlgParamPrinter>(form);
    dlg->lblLegend->setText(Config::GetText(TextIds::PrinterSequenceTitleFirst + 3));
    dlg->selectColour(5);
    dlg->chkStyle(0)->setChecked(true);
}

// A copy of module 3 onto module 7 about to be made.
void copyThreeOntoSeven(plat::Form* form)
{
    auto* dlg = as<dlgBusCopy>(form);
    dlg->lblPanelNo(dlgBusCopy::Source)->setCaption(QStringLiteral("3"));
    dlg->lblPanelNo(dlgBusCopy::Target)->setCaption(QStringLiteral("7"));
}

// Thirteen modules that take remote commands, their channels named and in
// every state.
void remoteSite()
{
    gConfig->setBiblio(1, QStringLiteral("Pump"));
    gConfig->setBiblio(2, QStringLiteral("Valve"));
    gConfig->setConsigne(1, QStringLiteral("Check the pump's breaker in cabinet B2 before switching it on again."));
    for (int m = 1; m <= 13; ++m) {
        PanelClass& p = *gConfig->Panel(qint16(m));
        p.setModel(m % 3 == 0 ? 5 : 4);
        p.setActive(true);
        p.setTitle(QStringLiteral("Hall %1 outputs").arg(QChar('A' + m - 1)));
        for (int c = 1; c <= 12; ++c) {
            ChannelClass& ch = *p.Channel(qint16(c));
            ch.setBibNum(qint16(c % 3));
            ch.setScreenText(QStringLiteral("Line %1, outlet %2").arg(m).arg(c));
            ch.setHelpNum(1);
            const int states[] = {0, 1, 0, 2, 1, 0, 3, 0, 255, 1, 0, 0};
            ch.setState(qint16(states[c - 1]));
        }
    }
}

EventClass numbered(int num, int module, int chnl, int param, int aff)
{
    EventClass ev;
    ev.setNum(num);
    ev.setPanel(qint16(module));
    ev.setChnl(qint16(chnl));
    ev.setParam(qint16(param));
    ev.setAff(qint16(aff));
    return ev;
}

// This month's history: a start, logins, alarms of two modules and their
// acknowledgements, a day apart.
void monthOfHistory()
{
    remoteSite();
    LanguageGlobals::SetLetters();
    const QDate today = QDate::currentDate();
    // Drawn once per language: each drawing writes the month afresh.
    QFile::remove(HistoFile::FileName(today, HistoFile::Daily()));
    int num = 1;
    auto record = [&](int day, int module, int chnl, int param, int aff) {
        EventClass ev = numbered(num++, module, chnl, param, aff);
        ev.setClock(12000 + num * 37);
        ev.setGDH(plat::DateTime::fromDate(QDate(today.year(), today.month(), day), QTime(6 + num % 12, num * 7 % 60, num % 60)));
        HistoProcs::HistoEvent(ev);
    };
    record(1, 0, 254, 0, 1);
    for (int day = 1; day <= today.day(); ++day) {
        record(day, 3, day % 12 + 1, 1, 3);
        record(day, 0, 254, 0, 0);
        record(day, 9, 5, 1, 1);
        record(day, 3, day % 12 + 1, 0, 1);
    }
}

// Four alarm modules whose channels reach the screen, every kind of event shown.
void alarmSite()
{
    // No rows kept from the drawing in the previous language.
    VEXfonctions::SetIniSection(IniKeys::LastAlarms, {});
    gConfig->setBiblio(1, QStringLiteral("Fire"));
    gConfig->setBiblio(2, QStringLiteral("Door"));
    for (int bit = 0; bit <= 4; ++bit)
        gConfig->setOptionScreen(bit, true);
    for (int m : {3, 4, 7, 9}) {
        PanelClass& p = *gConfig->Panel(qint16(m));
        p.setModel(1);
        p.setActive(true);
        for (int c = 1; c <= 12; ++c) {
            ChannelClass& ch = *p.Channel(qint16(c));
            ch.setBibNum(qint16(c % 2 + 1));
            ch.setScreenText(QStringLiteral("Hall %1, zone %2").arg(QChar('A' + m - 1)).arg(c));
            ch.setScrAlm(true);
        }
    }
}

// Alarms standing in every state: new, acknowledged, cleared before their
// acknowledgement, a fault and a module gone missing; the screen shown, as
// the program shows it, with the level under its login button.
void alarmsStanding(plat::Form* form)
{
    LanguageGlobals::SetLetters();
    auto* screen = as<wRunAlarms>(form);
    screen->Show();
    int num = 100;
    auto event = [&](int module, int chnl, int param, int aff) {
        EventClass ev = numbered(num++, module, chnl, param, aff);
        ev.setGDH(plat::DateTime::fromDate(QDate::currentDate(), QTime(7, num % 60, num * 7 % 60)));
        screen->mwComm_BusEvent(ev);
    };
    event(3, 2, 1, 2);
    event(3, 5, 1, 1);
    event(9, 5, 0, 1);
    event(4, 1, 2, 1);
    event(7, EventClass::ChnlPresence, 0, 0);
    event(3, 7, 1, 3);
}

void historyLoaded(plat::Form* form)
{
    as<wHistoric>(form)->tmrUpdate_Timer();
}

void lampsOfEveryColour(plat::Form* form)
{
    auto* screen = as<wTeleCmde>(form);
    screen->setPanel(gConfig->Panel(9));
    screen->tmrPoll_Timer();
    screen->lblVoyant_Click(5);
}

// The instruction of an entry of the history viewer.
void instructionOfHistory(plat::Form* form)
{
    remoteSite();
    LanguageGlobals::SetLetters();
    EventClass ev;
    ev.setNum(4711);
    ev.setPanel(9);
    ev.setChnl(5);
    ev.setParam(1);
    ev.setAff(3);
    ev.setGDH(plat::DateTime::fromDate(QDate(2026, 12, 8), QTime(14, 5, 31)));
    const QString row = HistoProcs::HistoFileLineToHistoScreenLine(
        HistoProcs::HistoScreenLineToHistoFileLine(HistoProcs::FormateHistoScreen(ev)));
    auto* dlg = as<dlgConsigne>(form);
    dlg->setAlarm(HistoricBrowser::AlarmCaption(row));
    dlg->setConsigne(dlgConsigne::InstructionText(1));
}

// A scan of the page of modules above that has reached address 10.
void scannedToTen(plat::Form* form)
{
    auto* scan = as<wTechFindPanels>(form);
    const int found[] = {1, 2, 3, 3, 5, 0, 1, 0, 2};
    for (int a = 1; a <= 9; ++a)
        scan->showResult(a, found[a - 1]);
    scan->grdPanels->setTextMatrix(10, wTechFindPanels::ColDetected, QStringLiteral("Test..."));
    scan->grdPanels->setRow(3);
}

// The page of modules above with two channels out of order.
void channelsOutOfOrder()
{
    busModules();
    gConfig->Panel(2)->Channel(3)->setOutOfOrder(true);
    gConfig->Panel(5)->Channel(7)->setOutOfOrder(true);
    LanguageGlobals::SetLetters();
}

// Channel 3 of module 2 to be put back, module 4 to be taken out.
void pendingChanges(plat::Form* form)
{
    auto* screen = as<wTechConsignations>(form);
    screen->imgControl_Click(OutOfService::ModuleUp);
    screen->imgControl_Click(OutOfService::ModuleUp);
    for (int i = 0; i < 3; ++i)
        screen->imgControl_Click(OutOfService::ChannelUp);
    screen->imgControl_Click(OutOfService::ChannelBack);
    screen->imgControl_Click(OutOfService::ModuleUp);
    screen->imgControl_Click(OutOfService::ModuleUp);
    screen->imgControl_Click(OutOfService::ModuleOut);
}

// The technician on module 1 of the overview's page (model 1: every button).
void technicianOnModuleOne()
{
    busModules();
    VEXfonctions::SetIni(IniKeys::General, IniKeys::TechPanel, QStringLiteral("1"));
}

// Module 1 of the remote site read a moment ago: lamps of every state, the
// horn sounding.
void moduleStateRead(plat::Form* form)
{
    auto* screen = as<wTechEtatModule>(form);
    screen->setPanel(gConfig->Panel(1));
    const char* const states[] = {"0", "1", "0", "2", "1", "0", "3", "0", "255", "1", "0", "4"};
    for (int i = 1; i <= screen->Lamps(); ++i)
        plat::setTag(screen->shpVoyant(i), QString::fromLatin1(states[i - 1]));
    for (int i = 0; i < 4; ++i)
        screen->tmrClign_Timer();
    screen->shpKlaxon->setFillColor(0x0000FF);
    screen->lblCommResult->setText(Config::GetText(830102));
}

} // namespace

const std::vector<GalleryEntry>& galleryEntries()
{
    static const std::vector<GalleryEntry> entries = {
        {QStringLiteral("wMain"), namedAndModified, {}},
        {QStringLiteral("dlgMessage"), {}, quitQuestion},
        {QStringLiteral("dlgListInput"), {}, portNumber},
        {QStringLiteral("dlgKeyboard"), {}, moduleTitle},
        {FormNames::wBusModules, busModules, shown},
        {FormNames::wBusPanneau, busModules, moduleEditor},
        {QStringLiteral("wParamPrinter"), colourPrinter, {}},
        {QStringLiteral("dlgParamPrinter"), {}, alarmLineStyle},
        {FormNames::dlgBusCopy, {}, copyThreeOntoSeven},
        {FormNames::wBusMiroirs, twentyMirrors, mirrorSelected},
        {FormNames::dlgEditMirror, twentyMirrors, channelMirror},
        {FormNames::wBusMirrorOne, twentyMirrors, mirrorsOfChannel},
        {FormNames::wSysConfSon, yearOfHistory, shown},
        {FormNames::dlgDefPwds, threeUsers, shown},
        {FormNames::wParamBiblio, libraryTexts, shown},
        {FormNames::wParamConsignes, instructionTexts, shown},
        {QStringLiteral("wRunAlarms"), alarmSite, alarmsStanding},
        {FormNames::wPolling, {}, shown},
        {QStringLiteral("wHistoric"), monthOfHistory, historyLoaded},
        {QStringLiteral("dlgConsigne"), {}, instructionOfHistory},
        {QStringLiteral("wTeleCmdes"), remoteSite, {}},
        {QStringLiteral("wTeleCmde"), remoteSite, lampsOfEveryColour},
        {FormNames::wTechnician, technicianOnModuleOne, {}},
        {FormNames::wTechEtatModule, remoteSite, moduleStateRead},
        {FormNames::wTechFindPanels, busModules, scannedToTen},
        {FormNames::wTechConsignations, channelsOutOfOrder, pendingChanges},
    };
    return entries;
}
