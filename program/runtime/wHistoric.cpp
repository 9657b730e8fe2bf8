#include "program/runtime/wHistoric.h"

#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/RemotePages.h"
#include "program/runtime/RuntimeLook.h"
#include "program/runtime/dlgConsigne.h"

#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Login.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"

#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Screen.h"
#include "platform/Theme.h"

#include <QFile>
#include <QLabel>
#include <QPointer>

namespace {

using RuntimeLook::button;
constexpr int kTop = 76;
constexpr int kBarTop = 512;
constexpr int kBarHeight = 60;
// The remote-control screen needs the operator's level.
constexpr int kLevelOperator = 1;
constexpr int kLevelSupervisor = 2;

} // namespace

wHistoric::wHistoric() : plat::Form(FormNames::wHistoric)
{
    buildControls();
}

void wHistoric::buildControls()
{
    setFixedSize(RuntimeLook::ScreenWidth, RuntimeLook::ScreenHeight);
    plat::ScreenParts::state(this, RuntimeLook::screenParts());
    lblLabels = RuntimeLook::title(this, TextIds::HistoryTitle, 480);
    RuntimeLook::addClock(this, lblDateTime);

    lstFiles = new plat::ListBox(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setFont(plat::Theme::font(12, true));
    lstFiles->setGeometry(8, kTop, 148, 360);

    imgControl.add(ControlPrevious, button(this, nullptr, "previous", {8, 444, 70, 60}));
    imgControl.add(ControlNext, button(this, nullptr, "next", {86, 444, 70, 60}));

    grdAlarms = new HistoricGrid(this);
    grdAlarms->setObjectName(QStringLiteral("grdAlarms"));
    grdAlarms->setFont(plat::Theme::fixedFont(8));
    grdAlarms->setGeometry(164, kTop, 556, 428);

    for (int i = ControlPageUp; i <= ControlPageDown; ++i)
        imgControl.add(i, button(this, nullptr, RuntimeLook::ScrollIcons[i - ControlPageUp],
                                 {728, kTop + (i - ControlPageUp) * 121, 64, 64}));
    for (const auto& [index, b] : imgControl) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    imgConsigne = button(this, "imgConsigne", "consigne", {8, kBarTop, 72, kBarHeight});
    imgTelecommande = button(this, "imgTelecommande", "telecommande", {88, kBarTop, 72, kBarHeight});
    imgClose = button(this, "imgClose", "cancel", {720, kBarTop, 72, kBarHeight});
    connect(imgConsigne, &QAbstractButton::clicked, this, [this] { imgConsigne_Click(); });
    connect(imgTelecommande, &QAbstractButton::clicked, this, [this] { imgTelecommande_Click(); });
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });

    tmrUpdate = new plat::FormTimer(QStringLiteral("tmrUpdate"), this);
    tmrUpdate->setInterval(UpdateDelayMs);
    connect(tmrUpdate, &plat::FormTimer::Timer, this, [this] { tmrUpdate_Timer(); });
    tmrDateTime = new plat::FormTimer(QStringLiteral("tmrDateTime"), this);
    tmrDateTime->setInterval(DateTimeIntervalMs);
    tmrDateTime->setEnabled(true);
    connect(tmrDateTime, &plat::FormTimer::Timer, this, [this] { tmrDateTime_Timer(); });
}

void wHistoric::Form_Load()
{
    plat::guard(QStringLiteral("wHistoric.Form_Load"), [&] {
        grdAlarms->setRows(0);
        plat::Screen::shareCustomPointer(this, imgClose);
        Nationality();
        Global::MiseAEchelle(this);
        // The period the history is written to now is the one shown first.
        m_periods = HistoricBrowser::Periods(plat::AppIdentity::programFolder());
        for (const HistoricBrowser::Period& p : m_periods)
            lstFiles->AddItem(p.text);
        if (const std::optional<int> current =
                HistoricBrowser::Preselected(m_periods, QDate::currentDate(), HistoFile::Daily()))
            lstFiles->setListIndex(*current);
        m_goToTop = false;
        tmrUpdate->setEnabled(true);
        tmrDateTime_Timer();
    });
}

void wHistoric::Nationality()
{
    plat::guard(QStringLiteral("wHistoric.Nationality"), [&] { plat::applyCaptions(this); });
}

void wHistoric::Form_Activate()
{
    plat::guard(QStringLiteral("wHistoric.Form_Activate"), [&] {
        if (!m_skipReload)
            tmrUpdate->setEnabled(true);
        m_skipReload = false;
        imgTelecommande->setVisible(plat::Forms::isRegistered(FormNames::wTeleCmdes)
                                    && RemotePages::AnyModule(*gConfig));
    });
}

void wHistoric::tmrUpdate_Timer()
{
    const int pointer = plat::Screen::MousePointer();
    plat::guard(QStringLiteral("wHistoric.tmrUpdate_Timer"), [&] {
        tmrUpdate->setEnabled(false);
        grdAlarms->setRows(0);
        const int index = lstFiles->ListIndex();
        if (index < 0 || index >= int(m_periods.size()) || !QFile::exists(m_periods[size_t(index)].path))
            return;
        plat::Screen::setMousePointer(plat::Screen::vbHourglass);
        grdAlarms->setEntries(HistoricBrowser::Load(m_periods[size_t(index)].path));
        if (grdAlarms->Rows() == 0)
            return;
        if (m_goToTop) {
            grdAlarms->setRow(0);
            imgControl_Click(ControlPageUp);
        } else {
            grdAlarms->setRow(grdAlarms->Rows() - 1);
            imgControl_Click(ControlPageDown);
        }
    });
    plat::Screen::setMousePointer(pointer);
}

void wHistoric::step(std::optional<int> to, bool goToTop)
{
    if (!to)
        return;
    lstFiles->setListIndex(*to);
    m_goToTop = goToTop;
    tmrUpdate->setEnabled(true);
}

void wHistoric::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wHistoric.imgControl_Click"), [&] {
        if (index == ControlPrevious) {
            step(HistoricBrowser::Previous(lstFiles->ListIndex()), false);
        } else if (index == ControlNext) {
            step(HistoricBrowser::Next(lstFiles->ListIndex(), lstFiles->ListCount()), true);
        } else if (index >= ControlPageUp && index <= ControlPageDown) {
            RuntimeLook::pressKey(grdAlarms, RuntimeLook::ScrollKeys[index - ControlPageUp]);
        }
    });
}

void wHistoric::imgConsigne_Click()
{
    plat::guard(QStringLiteral("wHistoric.imgConsigne_Click"), [&] {
        // An empty list has no entry to read: told as an entry without instruction.
        const QString row = grdAlarms->Text();
        const int n = HistoricBrowser::InstructionNumber(row, *gConfig);
        if (n == 0) {
            Global::Message(Config::GetText(710021), MsgStyle::vbCritical);
            return;
        }
        QPointer<wHistoric> self(this);
        dlgConsigne::Open(this, HistoricBrowser::AlarmCaption(row), dlgConsigne::InstructionText(n));
        if (self && !IsUnloaded())
            m_skipReload = true;
    });
}

void wHistoric::imgTelecommande_Click()
{
    plat::guard(QStringLiteral("wHistoric.imgTelecommande_Click"), [&] {
        QPointer<wHistoric> self(this);
        // The answer is not needed: the level decides.
        if (gUserLevel < kLevelSupervisor)
            Config::AskPassword();
        plat::Screen::DoEvents();
        if (!self || IsUnloaded())
            return;
        if (Config::AccessOk(kLevelOperator))
            plat::Forms::Get(FormNames::wTeleCmdes)->Show(true, this);
        else
            Global::Message(Config::GetText(20009), MsgStyle::vbCritical);
    });
}

void wHistoric::imgClose_Click()
{
    plat::guard(QStringLiteral("wHistoric.imgClose_Click"), [&] {
        bool others = false;
        // A report left up is no screen: the main window still comes back.
        for (plat::Form* f : plat::Forms::Screens())
            others = others || (f != this && f->Name() != FormNames::wPolling);
        if (!others)
            plat::Forms::Get(FormNames::wMain)->Show();
        plat::Forms::Unload(this);
    });
}

void wHistoric::tmrDateTime_Timer()
{
    plat::guard(QStringLiteral("wHistoric.tmrDateTime_Timer"), [&] { RuntimeLook::showNow(lblDateTime); });
}

void wHistoric::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
