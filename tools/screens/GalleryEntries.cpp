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
#include "program/core/ChannelClass.h"
#include "program/core/LanguageGlobals.h"
#include "program/core/PanelClass.h"
#include "program/bus/EventClass.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/HistoricBrowser.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wTeleCmde.h"
#include "program/runtime/dlgConsigne.h"

#include <QFile>
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
        EventClass ev;
        ev.setNum(num++);
        ev.setPanel(qint16(module));
        ev.setChnl(qint16(chnl));
        ev.setParam(qint16(param));
        ev.setAff(qint16(aff));
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

} // namespace

const std::vector<GalleryEntry>& galleryEntries()
{
    static const std::vector<GalleryEntry> entries = {
        {QStringLiteral("wMain"), namedAndModified, {}},
        {QStringLiteral("dlgMessage"), {}, quitQuestion},
        {QStringLiteral("dlgListInput"), {}, portNumber},
        {QStringLiteral("dlgKeyboard"), {}, moduleTitle},
        {QStringLiteral("wHistoric"), monthOfHistory, historyLoaded},
        {QStringLiteral("dlgConsigne"), {}, instructionOfHistory},
        {QStringLiteral("wTeleCmdes"), remoteSite, {}},
        {QStringLiteral("wTeleCmde"), remoteSite, lampsOfEveryColour},
    };
    return entries;
}
