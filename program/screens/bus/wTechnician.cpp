#include "program/screens/bus/wTechnician.h"

#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/Label.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Housekeeping.h"
#include "program/core/IniKeys.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"
#include "program/screens/bus/TechCommand.h"
#include "program/screens/bus/TechnicianPanel.h"
#include "program/screens/bus/TraceCopy.h"
#include "program/screens/bus/wTechEtatModule.h"
#include "program/screens/system/ScreenExits.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

using namespace plat::ScreenLook;

// The selector and polling on the left, the command buttons on the right.
constexpr int kLeft = 24;
constexpr int kStep = 64;
constexpr int kGroupWidth = 372;
constexpr int kCommandLeft = 400;
constexpr int kCommandWidth = 190;
constexpr int kCommandHeight = 76;
constexpr int kCommandTop = 76;
constexpr int kCommandPitchX = 196;
constexpr int kCommandPitchY = 88;

QLabel* valueBox(QWidget* parent, const QRect& geometry, int pointSize)
{
    QLabel* l = label(parent, pointSize, true, Qt::AlignCenter);
    l->setGeometry(geometry);
    paintField(l, FieldWhite);
    return l;
}

} // namespace

wTechnician::wTechnician() : plat::Form(FormNames::wTechnician)
{
    buildControls();
}

void wTechnician::buildControls()
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());

    auto* titleShadow = lblLabels.add(4, new QLabel(this));
    title(lblLabels.add(0, new QLabel(this)), titleShadow);
    plat::setTag(lblLabels(0), 810010);
    plat::setTag(titleShadow, 810010);

    // The module selector.
    group(this, {kLeft - 8, 72, kGroupWidth, 200});
    plat::setTag(lblLabels.add(2, label(this, 12, true)), 810041);
    lblLabels(2)->setGeometry(kLeft, 80, kGroupWidth - 16, 30);
    const char* const steps[] = {"pageup", "previous", "next", "pagedown"};
    const int stepLeft[] = {kLeft, kLeft + 68, kLeft + 224, kLeft + 292};
    for (int i = 0; i < 4; ++i) {
        imgControl.add(i, button(this, steps[i], {stepLeft[i], 116, kStep, kStep}));
        connect(imgControl(i), &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    lblNumero = new plat::Label(this);
    lblNumero->setObjectName(QStringLiteral("lblNumero"));
    lblNumero->setFont(plat::Theme::font(20, true));
    lblNumero->setAlignment(Qt::AlignCenter);
    lblNumero->setGeometry(kLeft + 136, 116, 84, kStep);
    paintField(lblNumero, FieldWhite);
    connect(lblNumero, &plat::Label::Change, this, [this] { lblNumero_Change(); });
    plat::setTag(lblLabels.add(3, label(this, 12, true)), 810040);
    lblLabels(3)->setGeometry(kLeft, 196, 130, 56);
    lblPanelType = valueBox(this, {kLeft + 136, 200, 200, 48}, 14);
    lblPanelType->setObjectName(QStringLiteral("lblPanelType"));

    // Polling: stop or start, the synchronisation mark, the round blink, the monitor.
    group(this, {kLeft - 8, 288, kGroupWidth, 150});
    plat::setTag(lblLabels.add(1, label(this, 12, true)), 810020);
    lblLabels(1)->setGeometry(kLeft, 296, kGroupWidth - 16, 30);
    const char* const stopRun[] = {"stop", "run", "synchro"};
    const int stopRunLeft[] = {kLeft, kLeft, kLeft + 80};
    for (int i = 0; i < 3; ++i) {
        imgStopRun.add(i, button(this, stopRun[i], {stopRunLeft[i], 336, 72, 72}));
        connect(imgStopRun(i), &QAbstractButton::clicked, this, [this, i] { imgStopRun_Click(i); });
    }
    imgStopRun(StopRunSynchro)->hide();
    for (int i = 0; i < 2; ++i) {
        // A picture, not a button: touches go through it.
        auto* beat = imgComm.add(i, new QLabel(this));
        beat->setGeometry(kLeft + 176, 352, 40, 40);
        beat->setVisible(i == 0);
    }
    imgComm(0)->setPixmap(plat::Icons::pixmap(QStringLiteral("heartbeat-on"), QSize(40, 40)));
    imgComm(1)->setPixmap(plat::Icons::pixmap(QStringLiteral("heartbeat-off"), QSize(40, 40)));
    imgCommWatch = button(this, "commwatch", {kLeft + kGroupWidth - 96, 336, 72, 72});
    imgCommWatch->setObjectName(QStringLiteral("imgCommWatch"));
    connect(imgCommWatch, &QAbstractButton::clicked, this, [this] { imgCommWatch_Click(); });

    // The commands, by what they act on: the module, the bus, the files.
    cmdPanelReset = command("cmdPanelReset", TextIds::TechResetModule, 0, 0, &wTechnician::cmdPanelReset_Click);
    cmdRazCptr = command("cmdRazCptr", TextIds::TechResetCounters, 1, 0, &wTechnician::cmdRazCptr_Click);
    cmdTestLeds = command("cmdTestLeds", TextIds::TechLampTest, 0, 1, &wTechnician::cmdTestLeds_Click);
    cmdPanelState = command("cmdPanelState", TextIds::TechModuleState, 1, 1, &wTechnician::cmdPanelState_Click);
    cmdFindPanels = command("cmdFindPanels", TextIds::TechBusScan, 0, 2, &wTechnician::cmdFindPanels_Click);
    cmdPerturb = command("cmdPerturb", TextIds::TechOutOfService, 1, 2, &wTechnician::cmdPerturb_Click);
    cmdSynchroBus = command("cmdSynchroBus", TextIds::TechSynchroniseBus, 0, 3, &wTechnician::cmdSynchroBus_Click);
    cmdSynchroMinuit = command("cmdSynchroMinuit", TextIds::TechMidnightSynchro, 1, 3, &wTechnician::cmdSynchroMinuit_Click);
    cmdForceHisto = command("cmdForceHisto", TextIds::TechMidnightTasks, 0, 4, &wTechnician::cmdForceHisto_Click);
    cmdCopyTraces = command("cmdCopyTraces", TextIds::TechCopyTraces, 1, 4, &wTechnician::cmdCopyTraces_Click);

    imgNavig.add(NavigLeave, button(this, "leave", {kLeft - 8, ScreenHeight - 84, 72, 72}));
    connect(imgNavig(NavigLeave), &QAbstractButton::clicked, this, [this] { imgNavig_Click(NavigLeave); });
}

QPushButton* wTechnician::command(const char* name, int tag, int column, int row, void (wTechnician::*handler)())
{
    auto* b = new QPushButton(this);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    // The longest captions need the whole width.
    b->setStyleSheet(commandStyle() + QStringLiteral("QPushButton { padding: 4px 4px; }"));
    b->setFont(plat::Theme::font(10, true));
    b->setGeometry(kCommandLeft + column * kCommandPitchX, kCommandTop + row * kCommandPitchY, kCommandWidth,
                   kCommandHeight);
    plat::setTag(b, tag);
    connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    return b;
}

int wTechnician::Module() const
{
    return plat::CInt(plat::Val(lblNumero->Caption()));
}

// ---- Life cycle ---------------------------------------------------------------

void wTechnician::Form_Load()
{
    plat::guard(QStringLiteral("wTechnician.Form_Load"), [&] {
        bindPolling();
        Nationality();
        showStopRun(TechCommand::Engine().Run());
        const int n = TechnicianPanel::FromIni(
            VEXfonctions::GetIni(IniKeys::General, IniKeys::TechPanel, IniKeys::TechPanelDefault));
        // The caption starts empty: its change handler runs.
        lblNumero->setCaption(QString::number(n));
        Global::MiseAEchelle(this);
    });
}

void wTechnician::Form_Unload()
{
    plat::guard(QStringLiteral("wTechnician.Form_Unload"), [&] {
        releasePolling();
        VEXfonctions::SetIni(IniKeys::General, IniKeys::TechPanel, lblNumero->Caption());
    });
}

void wTechnician::Nationality()
{
    plat::guard(QStringLiteral("wTechnician.Nationality"), [&] { plat::applyCaptions(this); });
}

void wTechnician::bindPolling()
{
    releasePolling();
    wPolling& engine = TechCommand::Engine();
    m_mwPolling.push_back(connect(&engine, &wPolling::PollDone, this, [this] { mwPolling_PollDone(); },
                                  Qt::DirectConnection));
    m_mwPolling.push_back(connect(&engine, &wPolling::UpdateDone, this, [this] { mwPolling_UpdateDone(); },
                                  Qt::DirectConnection));
    m_mwPolling.push_back(connect(&engine.engine(), &PollingEngine::RunIndicator, this,
                                  &wTechnician::mwPolling_RunIndicator, Qt::DirectConnection));
}

void wTechnician::releasePolling()
{
    for (const QMetaObject::Connection& c : m_mwPolling)
        disconnect(c);
    m_mwPolling.clear();
}

void wTechnician::mwPolling_RunIndicator(bool running)
{
    plat::guard(QStringLiteral("wTechnician.mwPolling_RunIndicator"), [&] { showStopRun(running); });
}

void wTechnician::showStopRun(bool running)
{
    imgStopRun(StopRunStop)->setVisible(running);
    imgStopRun(StopRunRun)->setVisible(!running);
}

// ---- Selector -----------------------------------------------------------------

void wTechnician::lblNumero_Change()
{
    plat::guard(QStringLiteral("wTechnician.lblNumero_Change"), [&] {
        const int n = Module();
        if (n != 0) {
            lblPanelType->setText(Global::ModuleName(gConfig->Panel(qint16(n))->Model()));
        } else {
            lblNumero->setCaption(Config::GetText(10101));
            lblPanelType->setText(QString());
        }
        VisiButtons();
    });
}

void wTechnician::VisiButtons()
{
    plat::guard(QStringLiteral("wTechnician.VisiButtons"), [&] {
        const int n = Module();
        const int model = n >= 1 ? gConfig->Panel(qint16(n))->Model() : 0;
        const TechnicianPanel::Buttons b = TechnicianPanel::Allowed(n, model);
        cmdPanelReset->setEnabled(b.panelReset);
        cmdPanelState->setEnabled(b.panelState);
        cmdRazCptr->setEnabled(b.razCptr);
        cmdTestLeds->setEnabled(b.testLeds);
    });
}

void wTechnician::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wTechnician.imgControl_Click"), [&] {
        const int n = Module();
        const int next = TechnicianPanel::Step(n, index);
        if (next != n)
            lblNumero->setCaption(QString::number(next));
    });
}

// ---- Polling --------------------------------------------------------------------

void wTechnician::imgStopRun_Click(int index)
{
    plat::guard(QStringLiteral("wTechnician.imgStopRun_Click"), [&] {
        QPointer<wTechnician> self(this);
        TechCommand::Engine().setRun(index != StopRunStop);
        // Starting polling runs the first synchronisation, whose events may
        // have brought the alarm screen up in place of this one.
        if (!self || IsUnloaded())
            return;
        showStopRun(TechCommand::Engine().Run());
        VisiButtons();
    });
}

void wTechnician::mwPolling_PollDone()
{
    plat::guard(QStringLiteral("wTechnician.mwPolling_PollDone"), [&] {
        imgComm(0)->setVisible(!imgComm(0)->isVisibleTo(this));
        imgComm(1)->setVisible(!imgComm(0)->isVisibleTo(this));
    });
}

void wTechnician::imgCommWatch_Click()
{
    plat::guard(QStringLiteral("wTechnician.imgCommWatch_Click"), [&] {
        wPolling& engine = TechCommand::Engine();
        engine.Show();
        engine.raise();
        engine.activateWindow();
    });
}

void wTechnician::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wTechnician.imgNavig_Click"), [&] {
        if (index != NavigLeave)
            return;
        releasePolling();
        ScreenExits::ShowMain(this);
    });
}

// ---- Maintenance commands -------------------------------------------------------

void wTechnician::maintenance(int reg, short value, int question)
{
    if (question != 0 && Global::Message(Config::GetText(question), MsgStyle::vbOKCancel | MsgStyle::vbQuestion) != 1)
        return;
    wPolling& engine = TechCommand::Engine();
    TechCommand::Send(engine, TechCommand::Write(engine, Module(), reg, value));
}

void wTechnician::cmdPanelReset_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdPanelReset_Click"), [&] {
        const TechnicianPanel::Maintenance m = TechnicianPanel::PanelReset();
        maintenance(m.reg, m.value, TextIds::TechResetModuleQuestion);
    });
}

void wTechnician::cmdRazCptr_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdRazCptr_Click"), [&] {
        const TechnicianPanel::Maintenance m = TechnicianPanel::CounterReset();
        maintenance(m.reg, m.value, TextIds::TechResetCountersQuestion);
    });
}

void wTechnician::cmdTestLeds_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdTestLeds_Click"), [&] {
        const TechnicianPanel::Maintenance m = TechnicianPanel::LampTest();
        maintenance(m.reg, m.value, 0);
    });
}

// ---- Bus and files --------------------------------------------------------------

void wTechnician::cmdSynchroBus_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdSynchroBus_Click"), [&] { TechCommand::Engine().SynchroGeneraleBus(); });
}

void wTechnician::cmdForceHisto_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdForceHisto_Click"), [&] { Config::DoMidnightActions(); });
}

void wTechnician::cmdSynchroMinuit_Click()
{
    QPointer<wTechnician> self(this);
    setEnabled(false);
    const int pointer = plat::Screen::MousePointer();
    plat::Screen::setMousePointer(plat::Screen::vbHourglass);
    QPointer<plat::Form> notice;
    std::optional<plat::RtError> failed;
    plat::trapErrors(
        [&] {
            notice = plat::Forms::CreateInstance(FormNames::dlgMessage);
            auto* box = qobject_cast<dlgMessage*>(notice.data());
            if (!box)
                plat::raise(plat::rt::TypeMismatch);
            box->setMessage(Config::GetText(30022));
            box->setDoUnload(true);
            box->setButtons(MsgStyle::vbExclamation);
            box->cmdButton(0)->hide();
            box->Show(false);
            box->repaint();
            TechCommand::Engine().MidnightSynchro();
        },
        [&](const plat::RtError& e) { failed = e; });
    if (notice && !notice->IsUnloaded())
        plat::Forms::Unload(notice);
    plat::Screen::setMousePointer(pointer);
    // The pass may have brought the alarm screen up in place of this one.
    if (self && !IsUnloaded()) {
        setEnabled(true);
        ZOrder();
    }
    if (failed)
        plat::reportError(QStringLiteral("wTechnician.cmdSynchroMinuit_Click"), *failed);
}

void wTechnician::cmdCopyTraces_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdCopyTraces_Click"), [&] {
        const QString source = Housekeeping::TraceFolder();
        const QString target =
            TraceCopy::Target(VEXfonctions::GetIni(IniKeys::Files, IniKeys::Histo, QString()), source);
        // The pointer comes back before a message box, and when the copy raises.
        const TraceCopy::Outcome outcome = [&] {
            const plat::Screen::Hourglass busy;
            return TraceCopy::Run(source, target);
        }();
        switch (outcome) {
        case TraceCopy::Outcome::NoDrive:
            Global::Message(Config::GetText(30016), MsgStyle::vbCritical);
            break;
        case TraceCopy::Outcome::DriveNotReady:
            Global::Message(Config::GetText(30017), MsgStyle::vbCritical);
            break;
        case TraceCopy::Outcome::CannotCreate:
            Global::Message(Config::GetText(30018), MsgStyle::vbCritical);
            break;
        case TraceCopy::Outcome::SameFolder:
        case TraceCopy::Outcome::Copied:
            break;
        }
    });
}

// ---- Child screens --------------------------------------------------------------

bool wTechnician::showChild(const QString& name)
{
    QPointer<wTechnician> self(this);
    plat::Forms::Get(name)->Show(true, this);
    return self && !IsUnloaded();
}

void wTechnician::cmdFindPanels_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdFindPanels_Click"), [&] { showChild(FormNames::wTechFindPanels); });
}

void wTechnician::cmdPerturb_Click()
{
    plat::guard(QStringLiteral("wTechnician.cmdPerturb_Click"), [&] { showChild(FormNames::wTechConsignations); });
}

void wTechnician::cmdPanelState_Click()
{
    QPointer<wTechEtatModule> state;
    QPointer<wTechnician> self(this);
    plat::guard(QStringLiteral("wTechnician.cmdPanelState_Click"), [&] {
        const int n = Module();
        if (n < 1)
            return;
        const std::shared_ptr<PanelClass> panel = gConfig->Panel(qint16(n));
        if (panel->Model() < 1 || panel->Model() > 5)
            return;
        state = qobject_cast<wTechEtatModule*>(plat::Forms::Get(FormNames::wTechEtatModule));
        if (!state)
            plat::raise(plat::rt::TypeMismatch);
        state->setPanel(panel);
        state->tmrPoll->setEnabled(true);
        state->tmrClign->setEnabled(true);
        state->Show(true, this);
        if (state) {
            state->tmrPoll->setEnabled(false);
            state->tmrClign->setEnabled(false);
        }
    });
    if (!self || IsUnloaded())
        return;
    plat::Screen::DoEvents();
    if (state && !state->IsUnloaded())
        plat::Forms::Unload(state);
}

void wTechnician::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
