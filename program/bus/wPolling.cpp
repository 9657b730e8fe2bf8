#include "program/bus/wPolling.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/SerialControl.h"
#include "platform/Theme.h"

#include "program/bus/FormPollTimer.h"
#include "program/core/Config.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMain.h"
#include "program/core/TextIds.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <algorithm>

namespace {

wPolling::PortFactory& portFactory()
{
    static wPolling::PortFactory factory;
    return factory;
}

// The parity letter's place in "NEO" after text 100020: 100021 none, 100022
// even, 100023 odd; any other letter gives 100020.
int parityText(const QString& letter)
{
    const QString l = letter.trimmed().toUpper().left(1);
    const qsizetype at = l.isEmpty() ? -1 : QStringLiteral("NEO").indexOf(l);
    return TextIds::ParityFirst + int(at + 1);
}

int pixels(int twips) { return (twips + plat::kTwipsPerPixel / 2) / plat::kTwipsPerPixel; }

} // namespace

void wPolling::setPortFactory(PortFactory factory)
{
    portFactory() = std::move(factory);
}

std::unique_ptr<plat::SerialControl> wPolling::newPort()
{
    if (!portFactory())
        throw plat::RtError(plat::rt::ObjectVariableNotSet, QStringLiteral("No serial port factory is installed"));
    return portFactory()();
}

wPolling::wPolling() : plat::Form(FormNames::wPolling), m_commBus(newPort())
{
    tmrPoll = new plat::FormTimer(QStringLiteral("tmrPoll"), this);
    tmrMidnight = new plat::FormTimer(QStringLiteral("tmrMidnight"), this);
    tmrReactiv = new plat::FormTimer(QStringLiteral("tmrReactiv"), this);
    connect(tmrPoll, &plat::FormTimer::Timer, this, [this] { tmrPoll_Timer(); });
    connect(tmrMidnight, &plat::FormTimer::Timer, this, [this] { tmrMidnight_Timer(); });
    connect(tmrReactiv, &plat::FormTimer::Timer, this, [this] { tmrReactiv_Timer(); });
    connect(&m_engine, &PollingEngine::UserIsNotHere, this, [this] { UserSleep_UserIsNotHere(); });
    m_pollTimer = std::make_unique<FormPollTimer>(*tmrPoll);

    m_engine.setPort(m_commBus.get());
    m_engine.setTimer(m_pollTimer.get());
    connect(&m_engine, &PollingEngine::WriteError, this, &wPolling::WriteError, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::BusEvent, this, &wPolling::BusEvent, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::PanelMove, this, &wPolling::PanelMove, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::PollDone, this, &wPolling::PollDone, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::UpdateDone, this, &wPolling::UpdateDone, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::RunIndicator, this, &wPolling::showRunIndicator, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::PanelRead, this,
            [this](int module) { lblPanel->setText(QString::number(module)); }, Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::TickTime, this, [this](const QString& t) { lblTime->setText(t); },
            Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::ErrorRow, this,
            [this](int module, const QString& text) { grdErrors->setTextMatrix(module, 1, text); },
            Qt::DirectConnection);
    connect(&m_engine, &PollingEngine::UnloadRequested, this, [this] {
        if (!IsUnloaded())
            plat::Forms::Unload(this);
    });

    buildControls();
}

wPolling::~wPolling() = default;

void wPolling::buildControls()
{
    setWindowTitle(QStringLiteral("Communication watch"));
    setFixedSize(800, 600);

    auto caption = [this](const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setGeometry(x, y, w, 24);
        return l;
    };
    auto value = [this](const char* name, int x, int y, int w) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, y, w, 24);
        l->setFont(plat::Theme::font(11, true));
        return l;
    };
    caption(QStringLiteral("N1 = Total errors     N2 = 1st level errors N3 = 2nd level errors"), 16, 8, 768);

    grdErrors = new plat::FlexGrid(GridRows, 2, this);
    grdErrors->setObjectName(QStringLiteral("grdErrors"));
    grdErrors->setGeometry(16, 40, 560, 480);
    grdErrors->setColumnWidth(0, pixels(GridColumn0Twips));
    grdErrors->setColumnWidth(1, pixels(GridColumn1Twips));
    // The counters are aligned by blanks: a fixed-pitch font keeps the columns.
    grdErrors->setFont(plat::Theme::fixedFont());
    grdErrors->setTitleRow();
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < 2; ++c)
            grdErrors->setItem(r, c, new QTableWidgetItem);

    // The bus settings.
    caption(QStringLiteral("Communication"), 592, 40, 192)->setFont(plat::Theme::font(12, true));
    const int labelX = 592, valueX = 704, labelW = 108, valueW = 92;
    caption(QStringLiteral("Port"), labelX, 68, labelW);
    lblPort = value("lblPort", valueX, 68, valueW);
    caption(QStringLiteral("Speed"), labelX, 92, labelW);
    lblSpeed = value("lblSpeed", valueX, 92, valueW);
    caption(QStringLiteral("Parity"), labelX, 116, labelW);
    lblParity = value("lblParity", valueX, 116, valueW);
    caption(QStringLiteral("Frame length"), labelX, 140, labelW);
    lblDataBits = value("lblDataBits", valueX, 140, valueW);
    caption(QStringLiteral("Stop bits"), labelX, 164, labelW);
    lblStopBits = value("lblStopBits", valueX, 164, valueW);

    caption(QStringLiteral("Current run time :"), 592, 204, 192);
    lblTime = value("lblTime", 592, 228, 192);
    caption(QStringLiteral("Current panel No :"), 592, 260, 192);
    lblPanel = value("lblPanel", 592, 284, 192);

    caption(QStringLiteral("Stop/Run"), 592, 324, 96);
    for (int i = 0; i < 2; ++i) {
        auto* b = imgStopRun.add(i, new plat::PictureButton(this));
        b->setSvg(plat::Icons::svg(i == 0 ? QStringLiteral("stop") : QStringLiteral("run")));
        b->setGeometry(592, 352, 64, 64);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgStopRun_Click(i); });
    }
    caption(QStringLiteral("Reinit"), 688, 324, 96);
    imgReinit = new plat::PictureButton(this);
    imgReinit->setObjectName(QStringLiteral("imgReinit"));
    imgReinit->setSvg(plat::Icons::svg(QStringLiteral("reinit")));
    imgReinit->setGeometry(688, 352, 64, 64);
    connect(imgReinit, &QAbstractButton::clicked, this, [this] { imgReinit_Click(); });

    const char* scrollIcons[] = {"pageup", "up", "down", "pagedown"};
    for (int i = 0; i < 4; ++i) {
        auto* b = imgControl.add(i, new plat::PictureButton(this));
        b->setSvg(plat::Icons::svg(QLatin1String(scrollIcons[i])));
        b->setGeometry(16 + i * 76, 528, 64, 64);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    auto* close = imgNavig.add(NavigClose, new plat::PictureButton(this));
    close->setSvg(plat::Icons::svg(QStringLiteral("cancel")));
    close->setGeometry(720, 528, 64, 64);
    connect(close, &QAbstractButton::clicked, this, [this] { imgNavig_Click(NavigClose); });
    showRunIndicator(false);
}

void wPolling::fillGridHeader()
{
    grdErrors->setTextMatrix(0, 0, QStringLiteral("N°"));
    grdErrors->setTextMatrix(0, 1, QChar(0xA0) + QStringLiteral("N1     N2    N3    Next Poll"));
    for (int m = 1; m < GridRows; ++m)
        grdErrors->setTextMatrix(m, 0, QString::number(m).rightJustified(2, QLatin1Char('0')));
    grdErrors->setColumnWidth(0, pixels(GridColumn0Twips));
    grdErrors->setColumnWidth(1, pixels(GridColumn1Twips));
}

void wPolling::showRunIndicator(bool running)
{
    imgStopRun.item(0)->setVisible(running);
    imgStopRun.item(1)->setVisible(!running);
}

void wPolling::Form_Load()
{
    plat::guard(QStringLiteral("wPolling.Form_Load"), [&] {
        plat::Screen::shareCustomPointer(this, imgNavig(NavigClose));
        fillGridHeader();
        tmrPoll->setInterval(PollIntervalAtLoadMs);
        tmrPoll->setEnabled(false);
        tmrMidnight->setInterval(MidnightIntervalMs);
        tmrMidnight->setEnabled(true);
        tmrReactiv->setInterval(ReactivIntervalMs);
        tmrReactiv->setEnabled(true);
        m_engine.Load();
        Global::MiseAEchelle(this);
    });
}

void wPolling::Form_Activate()
{
    plat::guard(QStringLiteral("wPolling.Form_Activate"), [&] { showBusSettings(); });
}

void wPolling::showBusSettings()
{
    const QStringList parts = m_commBus->Settings().split(QLatin1Char(','));
    lblPort->setText(QString::number(m_commBus->CommPort()));
    lblSpeed->setText(parts.value(0));
    lblParity->setText(Config::GetText(parityText(parts.value(1))));
    lblDataBits->setText(parts.value(2));
    lblStopBits->setText(parts.value(3));
}

bool wPolling::Form_QueryUnload(plat::UnloadMode mode)
{
    // A stop from outside (the task manager, the session's end) unloads the
    // engine through the program's own end: its trace line names the cause.
    const plat::UnloadMode cause = Global::StopCause();
    // The monitor's close box closes the window, never the engine.
    if (mode == plat::vbFormControlMenu && cause == plat::vbFormCode) {
        Hide();
        return true;
    }
    m_engine.QueryUnload(cause != plat::vbFormCode ? cause : mode);
    return false;
}

void wPolling::changeEvent(QEvent* event)
{
    plat::Form::changeEvent(event);
    // The monitor is never minimised: it would leave the panel without a screen.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~Qt::WindowMinimized); });
}

void wPolling::Form_Unload()
{
    tmrPoll->setEnabled(false);
    tmrMidnight->setEnabled(false);
    tmrReactiv->setEnabled(false);
    m_engine.Unload();
}

void wPolling::tmrPoll_Timer()
{
    m_engine.tmrPoll_Timer();
}

void wPolling::tmrMidnight_Timer()
{
    m_timers.tmrMidnight_Timer();
}

void wPolling::tmrReactiv_Timer()
{
    m_timers.tmrReactiv_Timer();
}

void wPolling::UserSleep_UserIsNotHere()
{
    m_timers.UserSleep_UserIsNotHere();
}

void wPolling::imgStopRun_Click(int index)
{
    plat::guard(QStringLiteral("wPolling.imgStopRun_Click"), [&] { setRun(index != 0); });
}

void wPolling::imgReinit_Click()
{
    plat::guard(QStringLiteral("wPolling.imgReinit_Click"), [&] { ReinitComm(); });
}

void wPolling::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wPolling.imgControl_Click"), [&] {
        // The header row scrolls with the modules: module row r first under
        // it (1 .. 64) is the grid's top row r - 1.
        const int top = grdErrors->TopRow() + 1;
        const int last = grdErrors->Rows() - 1;
        int row = top;
        switch (index) {
        case 0: row = std::max(top - ScrollPage, 1); break;
        case 1: row = std::max(top - 1, 1); break;
        case 2: row = std::min(top + 1, last); break;
        case 3: row = std::min(top + ScrollPage, last); break;
        default: return;
        }
        grdErrors->setTopRow(row - 1);
    });
}

void wPolling::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wPolling.imgNavig_Click"), [&] {
        if (index == NavigClose)
            Hide();
    });
}

void wPolling::SendStationEvent(qint16 aff)
{
    EventClass ev;
    ev.setPanel(0);
    ev.setChnl(EventClass::ChnlStation);
    ev.setParam(0);
    ev.setAff(aff);
    SendEvent(ev);
}

bool wPolling::PortOpen() const
{
    return m_commBus->PortOpen();
}
