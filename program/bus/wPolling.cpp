#include "program/bus/wPolling.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "platform/Theme.h"

#include "program/bus/FormPollTimer.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMain.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {

wPolling::PortFactory& portFactory()
{
    static wPolling::PortFactory factory;
    return factory;
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
            [this](int module, const QString& text) { grdErrors->item(module, 1)->setText(text); },
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
        b->setSvg(plat::Icons::svg(i == 0 ? QStringLiteral("stop") : QStringLiteral("run")));
        b->setGeometry(592, 224, 64, 64);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgStopRun_Click(i); });
    }
    caption(QStringLiteral("Reinit"), 688, 196, 96);
    imgReinit = new plat::PictureButton(this);
    imgReinit->setObjectName(QStringLiteral("imgReinit"));
    imgReinit->setSvg(plat::Icons::svg(QStringLiteral("reinit")));
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
        m_engine.Load();
        Global::MiseAEchelle(this);
    });
}

bool wPolling::Form_QueryUnload(plat::UnloadMode mode)
{
    // A stop from outside (the task manager, the session's end) unloads the
    // engine through the program's own end: its trace line names the cause.
    const plat::UnloadMode cause = Global::StopCause();
    m_engine.QueryUnload(cause != plat::vbFormCode ? cause : mode);
    return false;
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
    plat::guard(QStringLiteral("wPolling.tmrMidnight_Timer"), [&] {
        if (m_engine.seams().midnightTimer)
            m_engine.seams().midnightTimer();
    });
}

void wPolling::tmrReactiv_Timer()
{
    plat::guard(QStringLiteral("wPolling.tmrReactiv_Timer"), [&] {
        if (m_engine.seams().reactivTimer)
            m_engine.seams().reactivTimer();
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
