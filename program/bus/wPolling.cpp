#include "program/bus/wPolling.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Screen.h"
#include "platform/SerialPort.h"
#include "platform/Theme.h"

#include "program/core/Config.h"
#include "program/core/Global.h"
#include "program/core/GlobalMain.h"
#include "program/core/TextIds.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSessionManager>
#include <QTimer>
#include <QScrollBar>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

wPolling::PortFactory& portFactory()
{
    static wPolling::PortFactory factory;
    return factory;
}

// Termination requests reach the event loop through a pipe: the signal
// handler may only write a byte.
int g_termPipe[2] = {-1, -1};
struct sigaction g_previousTerm {};

void onTerminate(int)
{
    const char byte = 1;
    if (g_termPipe[1] >= 0)
        (void)!::write(g_termPipe[1], &byte, 1);
}

const char kStopSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 48 48'>"
    "<circle cx='24' cy='24' r='22' fill='#c62828'/><rect x='15' y='15' width='18' height='18' fill='#fff'/></svg>";
const char kRunSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 48 48'>"
    "<circle cx='24' cy='24' r='22' fill='#2e7d32'/><polygon points='18,13 36,24 18,35' fill='#fff'/></svg>";
const char kReinitSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 48 48'>"
    "<circle cx='24' cy='24' r='22' fill='#1565c0'/>"
    "<path d='M34 24a10 10 0 1 1-3-7.1' fill='none' stroke='#fff' stroke-width='4'/>"
    "<polygon points='33,9 35,19 25,17' fill='#fff'/></svg>";

// Scroll arrows (a page up, a row up, a row down, a page down) and a close cross.
QByteArray arrowSvg(bool up, bool page)
{
    const QByteArray head = up ? "M12 30 L24 18 L36 30" : "M12 18 L24 30 L36 18";
    const QByteArray second = up ? "M12 40 L24 28 L36 40" : "M12 8 L24 20 L36 8";
    return "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 48 48'><path d='" + head + (page ? " " + second : "")
        + "' fill='none' stroke='#1e2733' stroke-width='5' stroke-linecap='round' stroke-linejoin='round'/></svg>";
}
const char kCloseSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 48 48'>"
    "<path d='M13 13 L35 35 M35 13 L13 35' fill='none' stroke='#1e2733' stroke-width='5' stroke-linecap='round'/></svg>";

// Position of the parity letter in "NEO": text id 100021 none, 100022 even,
// 100023 odd; any other letter gives 100020.
int parityText(const QString& letter)
{
    const qsizetype at = QStringLiteral("NEO").indexOf(letter.trimmed().toUpper().left(1));
    return TextIds::ParityFirst + int(letter.trimmed().isEmpty() || at < 0 ? 0 : at + 1);
}

int pixels(int twips) { return (twips + plat::kTwipsPerPixel / 2) / plat::kTwipsPerPixel; }

} // namespace

// tmrPoll as the engine arms it.
class wPolling::TimerLink : public PollTimer {
public:
    explicit TimerLink(plat::FormTimer* timer) : m_timer(timer) {}
    int Interval() const override { return m_timer->Interval(); }
    void setInterval(int ms) override { m_timer->setInterval(ms); }
    bool Enabled() const override { return m_timer->Enabled(); }
    void setEnabled(bool on) override { m_timer->setEnabled(on); }

private:
    plat::FormTimer* m_timer;
};

void wPolling::setPortFactory(PortFactory factory)
{
    portFactory() = std::move(factory);
}

wPolling::wPolling() : plat::Form(Polling::FormName)
{
    m_commBus = portFactory() ? portFactory()() : std::make_unique<plat::SerialPort>();
    tmrPoll = new plat::FormTimer(QStringLiteral("tmrPoll"), this);
    tmrMidnight = new plat::FormTimer(QStringLiteral("tmrMidnight"), this);
    tmrReactiv = new plat::FormTimer(QStringLiteral("tmrReactiv"), this);
    connect(tmrPoll, &plat::FormTimer::Timer, this, [this] { tmrPoll_Timer(); });
    connect(tmrMidnight, &plat::FormTimer::Timer, this, [this] { tmrMidnight_Timer(); });
    connect(tmrReactiv, &plat::FormTimer::Timer, this, [this] { tmrReactiv_Timer(); });
    connect(&m_engine, &PollingEngine::UserIsNotHere, this, [this] { UserSleep_UserIsNotHere(); });
    m_pollTimer = std::make_unique<TimerLink>(tmrPoll);

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

wPolling::~wPolling()
{
    unwatchShutdownCauses();
}

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
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < 2; ++c)
            grdErrors->setItem(r, c, new QTableWidgetItem);

    // The bus settings.
    caption(QStringLiteral("Communication"), 592, 40, 192)->setFont(plat::Theme::font(12, true));
    const int labelX = 592, valueX = 704;
    caption(QStringLiteral("Port"), labelX, 68, 108);
    lblPort = value("lblPort", valueX, 68, 80);
    caption(QStringLiteral("Speed"), labelX, 92, 108);
    lblSpeed = value("lblSpeed", valueX, 92, 80);
    caption(QStringLiteral("Parity"), labelX, 116, 108);
    lblParity = value("lblParity", valueX, 116, 80);
    caption(QStringLiteral("Frame length"), labelX, 140, 108);
    lblDataBits = value("lblDataBits", valueX, 140, 80);
    caption(QStringLiteral("Stop bits"), labelX, 164, 108);
    lblStopBits = value("lblStopBits", valueX, 164, 80);

    caption(QStringLiteral("Current run time :"), 592, 204, 192);
    lblTime = value("lblTime", 592, 228, 192);
    caption(QStringLiteral("Current panel No :"), 592, 260, 192);
    lblPanel = value("lblPanel", 592, 284, 192);

    caption(QStringLiteral("Stop/Run"), 592, 324, 96);
    for (int i = 0; i < 2; ++i) {
        auto* b = imgStopRun.add(i, new plat::PictureButton(this));
        b->setSvg(QByteArray(i == 0 ? kStopSvg : kRunSvg));
        b->setGeometry(592, 352, 64, 64);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgStopRun_Click(i); });
    }
    caption(QStringLiteral("Reinit"), 688, 324, 96);
    imgReinit = new plat::PictureButton(this);
    imgReinit->setObjectName(QStringLiteral("imgReinit"));
    imgReinit->setSvg(QByteArray(kReinitSvg));
    imgReinit->setGeometry(688, 352, 64, 64);
    connect(imgReinit, &QAbstractButton::clicked, this, [this] { imgReinit_Click(); });

    for (int i = 0; i < 4; ++i) {
        auto* b = imgControl.add(i, new plat::PictureButton(this));
        b->setSvg(arrowSvg(i < 2, i == 0 || i == 3));
        b->setGeometry(16 + i * 76, 528, 64, 64);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    auto* close = imgNavig.add(NavigClose, new plat::PictureButton(this));
    close->setSvg(QByteArray(kCloseSvg));
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
        // Before the engine's load: a stop requested while its port message
        // waits is the task manager's too.
        watchShutdownCauses();
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
    // The monitor's close box closes the window, never the engine.
    if (mode == plat::vbFormControlMenu && m_shutdownCause == plat::vbFormCode) {
        Hide();
        return true;
    }
    m_engine.QueryUnload(m_shutdownCause != plat::vbFormCode ? m_shutdownCause : mode);
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
    unwatchShutdownCauses();
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

// ---- Shutdown causes --------------------------------------------------------
// A termination request (SIGTERM) is the task manager's end of the program,
// the session manager's shutdown is Windows closing. Either ends the run as
// the program's own end does; the engine's query-unload then knows the cause.

void wPolling::shutdownBy(plat::UnloadMode mode)
{
    if (m_shutdownCause != plat::vbFormCode)
        return;
    m_shutdownCause = mode;
    Global::EndProgram();
}

void wPolling::watchShutdownCauses()
{
    if (g_termPipe[0] < 0 && ::pipe2(g_termPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_termNotifier = new QSocketNotifier(g_termPipe[0], QSocketNotifier::Read, this);
        connect(m_termNotifier, &QSocketNotifier::activated, this, [this] {
            char buf[16];
            while (::read(g_termPipe[0], buf, sizeof buf) > 0) {
            }
            shutdownBy(plat::vbAppTaskManager);
        });
        struct sigaction sa {};
        sa.sa_handler = onTerminate;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, &g_previousTerm);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { shutdownBy(plat::vbAppWindows); }, Qt::DirectConnection);
    }
}

void wPolling::unwatchShutdownCauses()
{
    if (!m_termNotifier)
        return;
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    delete m_termNotifier;
    m_termNotifier = nullptr;
    for (int& fd : g_termPipe) {
        ::close(fd);
        fd = -1;
    }
}
