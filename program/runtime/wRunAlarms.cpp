#include "program/runtime/wRunAlarms.h"

#include "program/runtime/HistoProcs.h"
#include "program/runtime/LampRows.h"
#include "program/runtime/RemotePages.h"
#include "program/runtime/RuntimeLook.h"
#include "program/runtime/dlgConsigne.h"

#include "program/bus/BusConstants.h"
#include "program/bus/CommandClass.h"
#include "program/bus/EventClass.h"
#include "program/bus/wPolling.h"

#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/Login.h"
#include "program/core/PanelClass.h"
#include "program/core/PollingLink.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"

#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/Theme.h"
#include "platform/Values.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int kWidth = RuntimeLook::ScreenWidth;
constexpr int kHeight = RuntimeLook::ScreenHeight;
// The levels of the actions: acknowledging and the remote control, leaving
// and polling, the bus monitor.
constexpr int kLevelOperator = 1;
constexpr int kLevelSupervisor = 2;
constexpr int kLevelTechnician = 3;

QPixmap picture(const char* name, QSize size)
{
    return plat::Icons::pixmap(QLatin1String(name), size);
}

wPolling& engineForm()
{
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    if (!engine)
        plat::raise(plat::rt::ObjectDoesNotSupport);
    return *engine;
}

} // namespace

wRunAlarms::wRunAlarms() : plat::Form(FormNames::wRunAlarms)
{
    buildControls();
}

void wRunAlarms::buildControls()
{
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    plat::ScreenParts::state(this, RuntimeLook::screenParts());

    lblLabels = RuntimeLook::title(this, TextIds::AlarmsTitle, 300);

    for (int i = 0; i < 2; ++i) {
        auto* beat = imgComm.add(i, new QLabel(this));
        beat->setPixmap(picture(i == 0 ? "heartbeat-on" : "heartbeat-off", QSize(24, 24)));
        beat->setGeometry(328, 20, 24, 24);
        beat->setVisible(i == 0);
    }
    RuntimeLook::addClock(this, lblDateTime);

    // The list, with its pointer to the left and its scroll buttons to the right.
    grdAlarms = new plat::FlexGrid(0, 1, this);
    grdAlarms->setObjectName(QStringLiteral("grdAlarms"));
    grdAlarms->setGeometry(36, 76, 680, 400);
    grdAlarms->setFont(plat::Theme::fixedFont(11));
    grdAlarms->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdAlarms->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(grdAlarms, &plat::FlexGrid::RowColChange, this, [this] { grdAlarms_RowColChange(); });
    connect(grdAlarms->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { RecaleCurseur(); });

    imgPointer = new QLabel(this);
    imgPointer->setObjectName(QStringLiteral("imgPointer"));
    imgPointer->setPixmap(picture("pointer", QSize(24, 24)));
    imgPointer->setGeometry(8, 76, 24, 24);
    imgPointer->hide();

    txtNoAlarm = new QLineEdit(this);
    txtNoAlarm->setObjectName(QStringLiteral("txtNoAlarm"));
    txtNoAlarm->setReadOnly(true);
    txtNoAlarm->setFrame(false);
    txtNoAlarm->setFocusPolicy(Qt::NoFocus);
    txtNoAlarm->setAlignment(Qt::AlignCenter);
    txtNoAlarm->setFont(plat::Theme::font(18, true));
    txtNoAlarm->setGeometry(136, 240, 480, 48);
    plat::setTag(txtNoAlarm, 710012);

    for (int i = ControlPageUp; i <= ControlPageDown; ++i) {
        auto* b = imgControl.add(i, RuntimeLook::button(this, nullptr, RuntimeLook::ScrollIcons[i - ControlPageUp],
                                                        {728, 76 + (i - ControlPageUp) * 112, 64, 64}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    // The missing modules, under the list.
    auto* missing = lblMissingPanel.add(0, new QLabel(this));
    missing->setGeometry(36, 482, 28, 22);
    missing->setAlignment(Qt::AlignCenter);
    missing->setFont(plat::Theme::font(10, true));
    missing->setStyleSheet(QStringLiteral("color: white; background: #C62828; border-radius: 3px;"));
    missing->hide();

    // The buttons.
    auto button = [this](const char* name, const char* svg, int x, int w) {
        return RuntimeLook::button(this, name, svg, {x, 512, w, 60});
    };
    auto captionBelow = [this](const char* name, int x, int w, int tag) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, 574, w, 22);
        l->setAlignment(Qt::AlignCenter);
        l->setFont(plat::Theme::font(10, true));
        plat::setTag(l, tag);
        return l;
    };
    imgAcquit = button("imgAcquit", "acquit", 8, 120);
    lblAcquit = captionBelow("lblAcquit", 8, 120, TextIds::AlarmsAcknowledge);
    plat::onClick(lblAcquit, [this] { lblAcquit_Click(); });
    imgArretKlaxon = button("imgArretKlaxon", "hornstop", 136, 72);
    imgConsigne = button("imgConsigne", "consigne", 216, 72);
    imgHisto = button("imgHisto", "histo", 296, 96);
    lblHisto = captionBelow("lblHisto", 296, 96, TextIds::AlarmsHistory);
    plat::onClick(lblHisto, [this] { lblHisto_Click(); });
    imgTelecommande = button("imgTelecommande", "telecommande", 400, 72);
    imgCommWatch = button("imgCommWatch", "commwatch", 480, 72);
    const char* stopRunIcons[] = {"stop", "run", "synchro"};
    for (int i = StopRunStop; i <= StopRunSynchro; ++i) {
        auto* b = imgStopRun.add(i, button(nullptr, stopRunIcons[i], 560, 72));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgStopRun_Click(i); });
    }
    imgStopRun(StopRunSynchro)->hide();
    imgNavig.add(NavigLogin, button(nullptr, "login", 640, 72));
    imgNavig.add(NavigLeave, button(nullptr, "leave", 720, 72));
    for (int index : {NavigLogin, NavigLeave})
        connect(imgNavig(index), &QAbstractButton::clicked, this, [this, index] { imgNavig_Click(index); });
    // The level under the login button; label 1 is its shadow.
    for (int i = 1; i >= 0; --i) {
        auto* l = lblLogin.add(i, new QLabel(this));
        l->setGeometry(640 + (i == 1 ? 1 : 0), 574 + (i == 1 ? 1 : 0), 72, 22);
        l->setAlignment(Qt::AlignCenter);
        l->setFont(plat::Theme::font(12, true));
        l->setStyleSheet(i == 1 ? QStringLiteral("color: #9AA3AE;") : QString());
    }
    plat::markShadow(lblLogin(1), lblLogin(0));

    connect(imgAcquit, &QAbstractButton::clicked, this, [this] { imgAcquit_Click(); });
    connect(imgArretKlaxon, &QAbstractButton::clicked, this, [this] { imgArretKlaxon_Click(); });
    connect(imgConsigne, &QAbstractButton::clicked, this, [this] { imgConsigne_Click(); });
    connect(imgHisto, &QAbstractButton::clicked, this, [this] { imgHisto_Click(); });
    connect(imgTelecommande, &QAbstractButton::clicked, this, [this] { imgTelecommande_Click(); });
    connect(imgCommWatch, &QAbstractButton::clicked, this, [this] { imgCommWatch_Click(); });

    tmrDateTime = new plat::FormTimer(QStringLiteral("tmrDateTime"), this);
    tmrDateTime->setInterval(DateTimeIntervalMs);
    tmrDateTime->setEnabled(true);
    connect(tmrDateTime, &plat::FormTimer::Timer, this, [this] { tmrDateTime_Timer(); });
}

// ---- The rows as the engine reads them ---------------------------------------

int wRunAlarms::AlarmRowCount() const
{
    return grdAlarms->Rows();
}

QString wRunAlarms::AlarmRowText(int row) const
{
    return grdAlarms->TextMatrix(row, 0);
}

qint32 wRunAlarms::AlarmRowData(int row) const
{
    return grdAlarms->RowData(row);
}

void wRunAlarms::ShowLoginLevel(int level)
{
    setLoginCaption(QString::number(level));
}

void wRunAlarms::ClearAlarmRows()
{
    grdAlarms->setRows(0);
    RecaleCurseur();
}

void wRunAlarms::setSynchroMarkVisible(bool visible)
{
    imgStopRun(StopRunSynchro)->setVisible(visible);
    repaint();
}

QString wRunAlarms::RowColor(qint32 id)
{
    return QString::number(AlarmRowRules::RowColor(id));
}

// ---- Engine events -------------------------------------------------------------

void wRunAlarms::mwComm_BusEvent(const EventClass& evt)
{
    plat::guard(QStringLiteral("wRunAlarms.mwComm_BusEvent"), [&] {
        if (!HistoProcs::IsToDisplay(evt))
            return;
        const qint32 id = evt.ID();
        const QString text = AlarmRowRules::RowText(
            evt, *gConfig,
            {gPanelLetter, gChannelLetter, Config::GetText(51031, true), Config::GetText(51032, true)});
        // The last row of the key, searched from the bottom up.
        int found = -1;
        for (int r = grdAlarms->Rows() - 1; r >= 0 && found < 0; --r)
            if (AlarmRowRules::Key(grdAlarms->RowData(r)) == AlarmRowRules::Key(id))
                found = r;
        switch (AlarmRowRules::ChangeFor(id, found >= 0)) {
        case AlarmRowRules::Change::Remove:
            removeRow(found);
            break;
        case AlarmRowRules::Change::Update:
            // In place: the row keeps its place and the selection stays.
            grdAlarms->setRowData(found, id);
            grdAlarms->setTextMatrix(found, 0, text);
            grdAlarms->setCellBackColor(found, 0, AlarmRowRules::RowColor(id));
            break;
        case AlarmRowRules::Change::Add: {
            const int before = grdAlarms->Row();
            grdAlarms->AddItem(text, 0);
            grdAlarms->setRowData(0, id);
            grdAlarms->setTopRow(0);
            grdAlarms->setCellBackColor(0, 0, AlarmRowRules::RowColor(id));
            grdAlarms->setRow(AlarmRowRules::SelectionAfterAdd(id, before, grdAlarms->Rows()));
            break;
        }
        case AlarmRowRules::Change::Nothing:
            break;
        }
        RecaleCurseur();
        ZOrder();
    });
}

void wRunAlarms::mwComm_PanelMove(bool, qint16, qint32, qint32)
{
}

void wRunAlarms::mwComm_PollDone()
{
    imgComm(0)->setVisible(!imgComm(0)->isVisibleTo(this));
    imgComm(1)->setVisible(!imgComm(0)->isVisibleTo(this));
}

void wRunAlarms::removeRow(int row)
{
    // The grid keeps at least one row of its own: the last one goes by emptying it.
    if (grdAlarms->Rows() < 2)
        grdAlarms->setRows(0);
    else
        grdAlarms->RemoveItem(row);
}

void wRunAlarms::RecaleCurseur()
{
    const int rows = grdAlarms->Rows();
    txtNoAlarm->setVisible(rows == 0);
    if (rows == 0) {
        imgPointer->hide();
        return;
    }
    const int rowHeight = grdAlarms->RowHeight(0);
    const int y = (grdAlarms->Row() - grdAlarms->TopRow()) * rowHeight;
    const QWidget* view = grdAlarms->viewport();
    if (grdAlarms->Row() >= 0 && y >= 0 && y <= view->height() - rowHeight) {
        const int top = grdAlarms->y() + view->y() + y + (rowHeight - imgPointer->height()) / 2;
        imgPointer->move(imgPointer->x(), top);
        imgPointer->show();
    } else {
        imgPointer->hide();
    }
}

// ---- Buttons ---------------------------------------------------------------------

bool wRunAlarms::askPassword()
{
    QPointer<wRunAlarms> self(this);
    const bool confirmed = Config::AskPassword(this);
    if (self && !IsUnloaded())
        setLoginCaption(QString::number(gUserLevel));
    return confirmed;
}

bool wRunAlarms::loginFor(int level)
{
    QPointer<wRunAlarms> self(this);
    while (!Config::AccessOk(level)) {
        if (!askPassword())
            return false;
        plat::Screen::DoEvents();
        if (!self || IsUnloaded())
            return false;
    }
    return true;
}

void wRunAlarms::imgAcquit_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgAcquit_Click"), [&] {
        if (grdAlarms->Rows() == 0)
            return;
        // A refused or cancelled login ends the acknowledgement silently.
        if (!loginFor(kLevelOperator))
            return;
        Global::Alarme(-1);
        // Read only now: rows may have come and gone during the login.
        const int row = grdAlarms->Row();
        if (row < 0 || row >= grdAlarms->Rows())
            return;
        const qint32 id = grdAlarms->RowData(row);
        const int module = AlarmRowRules::Panel(id);
        const auto panel = module >= 1 && module <= ConfigClass::kModules ? gConfig->Panel(qint16(module)) : nullptr;
        const AlarmRowRules::Acknowledgement ack = AlarmRowRules::Acknowledge(id, panel ? panel->Model() : 0);
        if (ack.row == AlarmRowRules::AckRow::Remove) {
            removeRow(row);
            RecaleCurseur();
        } else if (ack.row == AlarmRowRules::AckRow::PaintWhite) {
            grdAlarms->setCellBackColor(row, 0, AlarmRowRules::White);
        }
        if (!ack.send)
            return;
        // Both or neither: the engine is found before anything goes.
        wPolling& engine = engineForm();
        const CommandPtr cmd = CommandClass::Write(module, Bus::RegModuleCommand, {qint16(Bus::ModuleCommandAcknowledge)});
        EventClass ev;
        ev.setPanel(qint16(module));
        ev.setChnl(EventClass::ChnlStation);
        ev.setParam(0);
        ev.setAff(Polling::StationEvent::OperatorAck);
        engine.SendCommand(cmd);
        engine.SendEvent(ev);
    });
}

void wRunAlarms::imgArretKlaxon_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgArretKlaxon_Click"), [&] { Global::Alarme(-1); });
}

void wRunAlarms::imgConsigne_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgConsigne_Click"), [&] {
        const int row = grdAlarms->Row();
        if (grdAlarms->Rows() == 0 || row < 0 || row >= grdAlarms->Rows())
            return;
        const qint32 id = grdAlarms->RowData(row);
        const int module = AlarmRowRules::Panel(id);
        const int chnl = AlarmRowRules::Chnl(id);
        int help = 0;
        if (module >= 1 && module <= ConfigClass::kModules && chnl >= 1 && chnl <= PanelClass::kChannels)
            help = gConfig->Panel(qint16(module))->Channel(qint16(chnl))->HelpNum();
        if (help == 0) {
            Global::Message(Config::GetText(710021), MsgStyle::vbCritical);
            return;
        }
        // No-break spaces keep the line from wrapping at its blanks.
        dlgConsigne::Open(this, grdAlarms->TextMatrix(row, 0).replace(QLatin1Char(' '), QChar(0xA0)),
                          dlgConsigne::InstructionText(help));
    });
}

void wRunAlarms::imgHisto_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgHisto_Click"), [&] {
        QPointer<wRunAlarms> self(this);
        plat::Forms::Get(FormNames::wHistoric)->Show(true, this);
        if (self && !IsUnloaded())
            ZOrder();
    });
}

void wRunAlarms::imgTelecommande_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgTelecommande_Click"), [&] {
        if (loginFor(kLevelOperator))
            plat::Forms::Get(FormNames::wTeleCmdes)->Show(false, this);
    });
}

void wRunAlarms::imgCommWatch_Click()
{
    plat::guard(QStringLiteral("wRunAlarms.imgCommWatch_Click"), [&] {
        plat::Forms::Get(FormNames::wPolling)->Show();
    });
}

bool wRunAlarms::supervisorAccess(int refusedStyle)
{
    QPointer<wRunAlarms> self(this);
    // The answer is not needed: the level decides.
    if (gUserLevel < kLevelSupervisor)
        askPassword();
    plat::Screen::DoEvents();
    if (!self || IsUnloaded())
        return false;
    if (!Config::AccessOk(kLevelSupervisor)) {
        Global::Message(Config::GetText(20009), refusedStyle);
        return false;
    }
    return true;
}

void wRunAlarms::imgStopRun_Click(int index)
{
    plat::guard(QStringLiteral("wRunAlarms.imgStopRun_Click"), [&] {
        if (!supervisorAccess(MsgStyle::vbCritical))
            return;
        Polling::Engine().setRun(index != StopRunStop);
        showStopRun(Polling::Engine().Run());
    });
}

void wRunAlarms::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wRunAlarms.imgNavig_Click"), [&] {
        if (index == NavigLeave) {
            if (!supervisorAccess(MsgStyle::vbOKOnly))
                return;
            plat::Forms::Get(FormNames::wMain)->Show();
            plat::Forms::Unload(this);
        } else if (index == NavigLogin) {
            askPassword();
        }
    });
}

void wRunAlarms::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wRunAlarms.imgControl_Click"), [&] {
        grdAlarms->setFocus(Qt::OtherFocusReason);
        if (index >= ControlPageUp && index <= ControlPageDown)
            RuntimeLook::pressKey(grdAlarms, RuntimeLook::ScrollKeys[index - ControlPageUp]);
        RecaleCurseur();
    });
}

void wRunAlarms::grdAlarms_RowColChange()
{
    plat::guard(QStringLiteral("wRunAlarms.grdAlarms_RowColChange"), [&] { RecaleCurseur(); });
}

void wRunAlarms::setLoginCaption(const QString& caption)
{
    if (lblLogin(0)->text() == caption)
        return;
    lblLogin(0)->setText(caption);
    lblLogin_Change(0);
}

void wRunAlarms::lblLogin_Change(int index)
{
    if (index == 0)
        lblLogin(1)->setText(lblLogin(0)->text());
}

void wRunAlarms::tmrDateTime_Timer()
{
    plat::guard(QStringLiteral("wRunAlarms.tmrDateTime_Timer"), [&] {
        RuntimeLook::showNow(lblDateTime);
        FindMissingPanels();
    });
}

void wRunAlarms::FindMissingPanels()
{
    for (int k = lblMissingPanel.ubound(); k >= 1; --k)
        lblMissingPanel.unload(k);
    QLabel* model = lblMissingPanel(0);
    for (int m = 1; m <= ConfigClass::kModules; ++m) {
        const PanelClass& panel = *gConfig->Panel(qint16(m));
        if (panel.Model() <= 0 || !panel.Active() || !(panel.ErrCptr(1) > 3 || panel.ErrCptr(2) > 0))
            continue;
        const int k = lblMissingPanel.ubound() + 1;
        QLabel* copy = lblMissingPanel.load(k, LampRows::copyLabel);
        copy->setText(QString::number(panel.Numero()));
        copy->move(model->x() + int(k * MissingPanelPitch * model->width()), model->y());
        copy->show();
        copy->raise();
    }
}

// ---- Life cycle ---------------------------------------------------------------------

void wRunAlarms::connectEngine()
{
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    if (!engine)
        return;
    m_mwComm.push_back(connect(engine, &wPolling::BusEvent, this,
                               [this](const EventClass& evt) { mwComm_BusEvent(evt); }, Qt::DirectConnection));
    m_mwComm.push_back(connect(engine, &wPolling::PanelMove, this, &wRunAlarms::mwComm_PanelMove,
                               Qt::DirectConnection));
    m_mwComm.push_back(connect(engine, &wPolling::PollDone, this, [this] { mwComm_PollDone(); },
                               Qt::DirectConnection));
    m_mwComm.push_back(connect(&engine->engine(), &PollingEngine::RunIndicator, this,
                               &wRunAlarms::mwComm_RunIndicator, Qt::DirectConnection));
}

void wRunAlarms::mwComm_RunIndicator(bool running)
{
    plat::guard(QStringLiteral("wRunAlarms.mwComm_RunIndicator"), [&] { showStopRun(running); });
}

void wRunAlarms::showStopRun(bool running)
{
    imgStopRun(StopRunStop)->setVisible(running);
    imgStopRun(StopRunRun)->setVisible(!running);
}

void wRunAlarms::restoreRows()
{
    for (const auto& [key, value] : VEXfonctions::GetIniSection(IniKeys::LastAlarms)) {
        if (!plat::IsNumeric(key))
            continue;
        // A damaged value is left out; the other rows still come back.
        const std::optional<AlarmRowRules::SavedRow> saved = AlarmRowRules::ReadSaved(value);
        if (!saved)
            continue;
        grdAlarms->AddItem(saved->text);
        const int row = grdAlarms->Rows() - 1;
        grdAlarms->setRowHeight(row, -1);
        grdAlarms->setRowData(row, saved->id);
        grdAlarms->setRow(row);
        grdAlarms->setCellBackColor(AlarmRowRules::RowColor(saved->id));
    }
    const QString index = VEXfonctions::GetIni(IniKeys::LastAlarms, IniKeys::Index, IniKeys::IndexDefault);
    if (const std::optional<int> row = AlarmRowRules::RestoredSelection(index, grdAlarms->Rows()))
        grdAlarms->setRow(*row);
}

void wRunAlarms::Form_Load()
{
    plat::guard(QStringLiteral("wRunAlarms.Form_Load"), [&] {
        grdAlarms->horizontalHeader()->setStretchLastSection(true);
        grdAlarms->setRows(0);
        connectEngine();
        showStopRun(Polling::Engine().Run());
        restoreRows();
        RecaleCurseur();
        plat::Screen::shareCustomPointer(this, imgNavig(NavigLeave));
        Nationality();
        const bool history = plat::Forms::isRegistered(FormNames::wHistoric);
        imgHisto->setVisible(history);
        lblHisto->setVisible(history);
        Global::MiseAEchelle(this);
        tmrDateTime_Timer();
    });
}

void wRunAlarms::Nationality()
{
    plat::guard(QStringLiteral("wRunAlarms.Nationality"), [&] { plat::applyCaptions(this); });
}

void wRunAlarms::Form_Activate()
{
    plat::guard(QStringLiteral("wRunAlarms.Form_Activate"), [&] {
        plat::Forms::UnloadAllExcept({FormNames::wRunAlarms, FormNames::wPolling});
        if (plat::Form* engine = plat::Forms::Find(FormNames::wPolling))
            engine->Hide();
        showStopRun(Polling::Engine().Run());
        imgCommWatch->setVisible(Config::AccessOk(kLevelTechnician));
        setLoginCaption(QString::number(gUserLevel));
        imgTelecommande->setVisible(plat::Forms::isRegistered(FormNames::wTeleCmdes) && RemotePages::AnyModule(*gConfig));
    });
}

bool wRunAlarms::Form_QueryUnload(plat::UnloadMode mode)
{
    // The window's close box leaves the screen as the leave button does.
    if (mode == plat::vbFormControlMenu) {
        QTimer::singleShot(0, this, [this] { imgNavig_Click(NavigLeave); });
        return true;
    }
    return false;
}

void wRunAlarms::Form_Unload()
{
    plat::guard(QStringLiteral("wRunAlarms.Form_Unload"), [&] {
        for (const QMetaObject::Connection& c : m_mwComm)
            disconnect(c);
        m_mwComm.clear();
        tmrDateTime->setEnabled(false);
        // One rewrite of the file for the whole list, top row first.
        VEXfonctions::IniEntries rows;
        rows.reserve(grdAlarms->Rows());
        for (int r = 0; r < grdAlarms->Rows(); ++r)
            rows.append({QString::number(r + 1), AlarmRowRules::SavedValue(grdAlarms->RowData(r), grdAlarms->TextMatrix(r, 0))});
        VEXfonctions::SetIniSection(IniKeys::LastAlarms, rows);
    });
}

// ---- Painting and captions -------------------------------------------------------------

void wRunAlarms::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
