#include "program/bus/wPolling.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SerialPort.h"
#include "platform/Theme.h"

#include "program/core/Global.h"
#include "program/core/GlobalMain.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTableWidget>

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
            [this](int module, const QString& text) { grdErrors->item(module, 1)->setText(text); },
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
        l->setGeometry(x, y, w, 28);
        return l;
    };
    caption(QStringLiteral("N1 = Total errors     N2 = 1st level errors N3 = 2nd level errors"), 16, 8, 768);

    grdErrors = new QTableWidget(GridRows, 2, this);
    grdErrors->setObjectName(QStringLiteral("grdErrors"));
    grdErrors->setGeometry(16, 40, 560, 480);
    grdErrors->horizontalHeader()->hide();
    grdErrors->verticalHeader()->hide();
    grdErrors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdErrors->setSelectionMode(QAbstractItemView::NoSelection);
    grdErrors->setColumnWidth(0, pixels(GridColumn0Twips));
    grdErrors->setColumnWidth(1, pixels(GridColumn1Twips));
    // The counters are aligned by blanks: a fixed-pitch font keeps the columns.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(plat::Theme::font().pointSize());
    grdErrors->setFont(mono);
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < 2; ++c)
            grdErrors->setItem(r, c, new QTableWidgetItem);

    caption(QStringLiteral("Current run time :"), 592, 40, 192);
    lblTime = new QLabel(this);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblTime->setGeometry(592, 68, 192, 28);
    caption(QStringLiteral("Current panel No :"), 592, 108, 192);
    lblPanel = new QLabel(this);
    lblPanel->setObjectName(QStringLiteral("lblPanel"));
    lblPanel->setGeometry(592, 136, 192, 28);

    caption(QStringLiteral("Stop/Run"), 592, 196, 96);
    for (int i = 0; i < 2; ++i) {
        auto* b = imgStopRun.add(i, new plat::PictureButton(this));
        b->setSvg(QByteArray(i == 0 ? kStopSvg : kRunSvg));
        b->setGeometry(592, 224, 64, 64);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgStopRun_Click(i); });
    }
    caption(QStringLiteral("Reinit"), 688, 196, 96);
    imgReinit = new plat::PictureButton(this);
    imgReinit->setObjectName(QStringLiteral("imgReinit"));
    imgReinit->setSvg(QByteArray(kReinitSvg));
    imgReinit->setGeometry(688, 224, 64, 64);
    connect(imgReinit, &QAbstractButton::clicked, this, [this] { imgReinit_Click(); });
    showRunIndicator(false);
}

void wPolling::fillGridHeader()
{
    grdErrors->item(0, 0)->setText(QStringLiteral("N°"));
    grdErrors->item(0, 1)->setText(QChar(0xA0) + QStringLiteral("N1     N2    N3    Next Poll"));
    for (int m = 1; m < GridRows; ++m)
        grdErrors->item(m, 0)->setText(QString::number(m).rightJustified(2, QLatin1Char('0')));
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

bool wPolling::Form_QueryUnload(plat::UnloadMode mode)
{
    m_engine.QueryUnload(m_shutdownCause != plat::vbFormCode ? m_shutdownCause : mode);
    return false;
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
    plat::guard(QStringLiteral("wPolling.tmrMidnight_Timer"), [&] {
        if (m_engine.seams().midnightTimer)
            m_engine.seams().midnightTimer();
    });
}

void wPolling::tmrReactiv_Timer()
{
    plat::guard(QStringLiteral("wPolling.tmrReactiv_Timer"), [&] {
        if (m_engine.seams().reactivTimer) {
            m_engine.seams().reactivTimer();
            return;
        }
        // Until the re-announcement lands, the watchdog part: never leave the
        // panel without a screen.
        if (!plat::Forms::AnyVisible() && plat::Forms::isRegistered(Global::AlarmScreenForm))
            plat::Forms::Get(Global::AlarmScreenForm)->Show();
    });
}

void wPolling::imgStopRun_Click(int index)
{
    plat::guard(QStringLiteral("wPolling.imgStopRun_Click"), [&] { setRun(index != 0); });
}

void wPolling::imgReinit_Click()
{
    plat::guard(QStringLiteral("wPolling.imgReinit_Click"), [&] { ReinitComm(); });
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
