#include "program/screens/bus/wTechFindPanels.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/FlexGrid.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenLook.h"
#include "platform/SerialControl.h"
#include "platform/Theme.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"
#include "program/core/dlgMessage.h"
#include "program/runtime/RuntimeLook.h"
#include "program/screens/bus/TechCommand.h"
#include "program/screens/bus/wBusModules.h"
#include "program/screens/system/BusPortSettings.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

namespace {

using namespace plat::ScreenLook;

// The grid's column titles are the screen's own design, in one language.
const char* const kTitles[] = {"N°", "Nom du panneau", "Déclaré", "Activé", "Détecté"};
constexpr int kWidths[] = {44, 190, 96, 70, 96};
constexpr Qt::Alignment kAlign[] = {Qt::AlignCenter, Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignCenter,
                                    Qt::AlignCenter, Qt::AlignCenter};
const QString kUnknown = QStringLiteral("?????");
const QString kTesting = QStringLiteral("Test...");

constexpr int kGridLeft = 8;
constexpr int kGridTop = 96;
constexpr int kGridWidth = 520;
constexpr int kGridHeight = 436;
constexpr int kRowHeight = 26;

constexpr int kRightLeft = kGridLeft + kGridWidth + 10;
constexpr int kRightWidth = ScreenWidth - 8 - kRightLeft;
constexpr int kButton = 64;
constexpr int kButtonHeight = 52;
constexpr int kBarTop = ScreenHeight - 8 - kButtonHeight;

constexpr unsigned int kRowBack = FieldWhite;
constexpr unsigned int kRowSelected = FieldSelected;

QString activeText(bool active)
{
    return Config::GetText(active ? TextIds::Yes : TextIds::No);
}

} // namespace

wTechFindPanels::wTechFindPanels() : plat::Form(FormNames::wTechFindPanels)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    auto* title = lblLabels.add(0, bandLabel(this, 20, TitleRect));
    plat::setTag(title, 820000);
    auto* caption = lblLabels.add(1, label(this, 12, true));
    caption->setGeometry(kGridLeft, Band + 6, kGridWidth, 28);
    plat::setTag(caption, 820010);
    buildGrid();
    buildFrames();
    buildButtons();
    tmrScan = new QTimer(this);
    tmrScan->setObjectName(QStringLiteral("tmrScan"));
    tmrScan->setSingleShot(true);
    tmrScan->setInterval(0);
    connect(tmrScan, &QTimer::timeout, this, [this] { tmrScan_Timer(); });
}

void wTechFindPanels::buildGrid()
{
    grdPanels = new plat::FlexGrid(Limits::Modules + 1, 5, this);
    grdPanels->setObjectName(QStringLiteral("grdPanels"));
    grdPanels->setGeometry(kGridLeft, kGridTop, kGridWidth, kGridHeight);
    grdPanels->setFont(plat::Theme::font(11));
    grdPanels->setStyleSheet(scrollBarStyle());
    grdPanels->verticalScrollBar()->setStyleSheet(scrollBarStyle());
    grdPanels->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Touched through the buttons: no caret cell over the row's colour.
    grdPanels->setFocusPolicy(Qt::NoFocus);
    // Row 0 holds the titles; the header shows them so that they stay in sight.
    QStringList titles;
    for (int c = 0; c < 5; ++c) {
        titles << QString::fromUtf8(kTitles[c]);
        grdPanels->setColumnWidth(c, kWidths[c]);
        grdPanels->setTextMatrix(0, c, titles.back());
    }
    grdPanels->setHorizontalHeaderLabels(titles);
    grdPanels->horizontalHeader()->show();
    grdPanels->horizontalHeader()->setFont(plat::Theme::font(11, true));
    grdPanels->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdPanels->setRowHidden(0, true);
    for (int r = 1; r <= Limits::Modules; ++r) {
        grdPanels->setRowHeight(r, kRowHeight);
        for (int c = 0; c < 5; ++c) {
            grdPanels->setTextMatrix(r, c, QString());
            grdPanels->item(r, c)->setTextAlignment(kAlign[c]);
            grdPanels->setCellBackColor(r, c, kRowBack);
        }
    }
    connect(grdPanels, &plat::FlexGrid::RowColChange, this, [this] { grdPanels_RowColChange(); });
}

void wTechFindPanels::buildFrames()
{
    const int lineHeight = 26;
    auto* bus = frmFrames.add(0, group(this, {kRightLeft, Band + 6, kRightWidth, 40 + 5 * lineHeight}));
    plat::setTag(bus, 820200);
    for (int i = 0; i < 5; ++i) {
        auto* name = lblBusConfig.add(i, label(bus, 11, false));
        name->setGeometry(12, 28 + i * lineHeight, 120, lineHeight);
        plat::setTag(name, TextIds::SerialFieldFirst + i);
        auto* value = lblBusConfig.add(5 + i, label(bus, 11, true, Qt::AlignRight | Qt::AlignVCenter));
        value->setGeometry(132, 28 + i * lineHeight, kRightWidth - 144, lineHeight);
    }

    frmWarning = new QFrame(this);
    frmWarning->setObjectName(QStringLiteral("frmWarning"));
    frmWarning->setStyleSheet(QStringLiteral("QFrame#frmWarning { background: #fff1c2; border: 2px solid #d08000;"
                                             " border-radius: 6px; }"));
    lblWarning = label(frmWarning, 12, true, Qt::AlignCenter, QStringLiteral("lblWarning"));
    lblWarning->setWordWrap(true);
    plat::setTag(lblWarning, 820020);
    frmWarning->hide();

    const int top = bus->geometry().bottom() + 10;
    auto* commands = frmFrames.add(1, group(this, {kRightLeft, top, kRightWidth, 36 + 3 * (kButtonHeight + 8)}));
    const int tags[] = {TextIds::ScanDeactivate, TextIds::ScanActivate, TextIds::ScanTakeOverType};
    const char* icons[] = {"switch-off", "switch-on", "assign"};
    for (int i = 0; i < 3; ++i) {
        const int y = 30 + i * (kButtonHeight + 8);
        auto* b = imgCommand.add(i, button(commands, QLatin1String(icons[i]), {10, y, kButton, kButtonHeight}));
        auto* l = lblCommand.add(i, label(commands, 12, true));
        l->setGeometry(10 + kButton + 10, y, kRightWidth - kButton - 30, kButtonHeight);
        l->setWordWrap(true);
        plat::setTag(l, tags[i]);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgCommand_Click(i); });
        plat::forwardClicks(l, b);
    }
}

void wTechFindPanels::buildButtons()
{
    const char* icons[] = {"pageup", "up", "down", "pagedown"};
    for (int i = ControlPageUp; i <= ControlPageDown; ++i) {
        auto* b = imgControl.add(
            i, button(this, QLatin1String(icons[i - ControlPageUp]),
                      {kGridLeft + (i - ControlPageUp) * (kButton + 8), kBarTop, kButton, kButtonHeight}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    for (int i : {FindStop, FindStart}) {
        auto* b = imgFind.add(i, button(this, i == FindStart ? "run" : "stop",
                                        {kRightLeft, kBarTop, kButton, kButtonHeight}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgFind_Click(i); });
    }
    auto* leave = imgNavig.add(NavigLeave, button(this, "leave", {ScreenWidth - 8 - kButton, kBarTop, kButton,
                                                                  kButtonHeight}));
    connect(leave, &QAbstractButton::clicked, this, [this] { imgNavig_Click(NavigLeave); });
    showScanButtons();
}

void wTechFindPanels::Form_Load()
{
    plat::guard(QStringLiteral("wTechFindPanels.Form_Load"), [&] {
        // A new visit starts from the configuration, without the last visit's requests.
        m_scan.Load(*gConfig);
        m_asking = false;
        m_decided = false;
        for (int i = 1; i <= Limits::Modules; ++i) {
            fillRow(i);
            grdPanels->setTextMatrix(i, ColDetected, QString());
            grdPanels->setRowData(i, BusScan::NotScanned);
        }
        showBusSettings();
        openPort();
        frmWarning->setGeometry(frmFrames(0)->geometry());
        lblWarning->setGeometry(8, 8, frmWarning->width() - 16, frmWarning->height() - 16);
        frmWarning->raise();
        Nationality();
        selectRow(1);
        Global::MiseAEchelle(this);
    });
}

void wTechFindPanels::fillRow(int module)
{
    const PanelClass& p = m_scan.Copy(module);
    grdPanels->setTextMatrix(module, ColNumber, QString::number(module));
    grdPanels->setTextMatrix(module, ColTitle, p.Title());
    grdPanels->setTextMatrix(module, ColDeclared, Global::ModuleName(p.Model()));
    grdPanels->setTextMatrix(module, ColActive, activeText(p.Active()));
}

void wTechFindPanels::showBusSettings()
{
    plat::SerialControl& port = TechCommand::Engine().CommBus();
    const QStringList parts = port.Settings().split(QLatin1Char(','));
    lblBusConfig(5)->setText(QString::number(port.CommPort()));
    lblBusConfig(6)->setText(parts.value(0));
    lblBusConfig(7)->setText(Config::GetText(BusPortSettings::ParityText(parts.value(1))));
    lblBusConfig(8)->setText(parts.value(2));
    lblBusConfig(9)->setText(parts.value(3));
}

void wTechFindPanels::openPort()
{
    // A port that does not open is told once; the screen still loads whole,
    // and a scan then stops at its first address.
    plat::guard(QStringLiteral("wTechFindPanels.Form_Load"), [&] {
        plat::SerialControl& port = TechCommand::Engine().CommBus();
        const plat::Screen::Hourglass busy;
        if (!port.PortOpen())
            port.setPortOpen(true);
    });
}

void wTechFindPanels::Nationality()
{
    plat::guard(QStringLiteral("wTechFindPanels.Nationality"), [&] {
        plat::applyCaptions(this);
        grdPanels_RowColChange();
    });
}

void wTechFindPanels::selectRow(int row)
{
    if (row < 1 || row > Limits::Modules)
        return;
    grdPanels->setCurrentCell(row, ColTitle);
    grdPanels_RowColChange();
}

void wTechFindPanels::grdPanels_RowColChange()
{
    plat::guard(QStringLiteral("wTechFindPanels.grdPanels_RowColChange"), [&] {
        int row = grdPanels->Row();
        if (row < 1) {
            row = 1;
            grdPanels->setCurrentCell(row, ColTitle);
        }
        // The selection runs from the title to the last column.
        if (row != m_selected) {
            for (int c = ColTitle; c <= ColDetected; ++c) {
                if (m_selected >= 1)
                    grdPanels->setCellBackColor(m_selected, c, kRowBack);
                grdPanels->setCellBackColor(row, c, kRowSelected);
            }
            m_selected = row;
        }
        frmFrames(1)->setTitle(Config::GetText(820100) + QLatin1Char(' ')
                               + grdPanels->TextMatrix(row, ColNumber));
    });
}

void wTechFindPanels::keepInView(int row)
{
    QScrollBar* bar = grdPanels->verticalScrollBar();
    const int top = grdPanels->rowAt(0);
    const int bottom = grdPanels->rowAt(grdPanels->viewport()->height() - 1);
    if (bottom > 0 && row > bottom)
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else if (top > 0 && row < top)
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
}

void wTechFindPanels::showResult(int address, int type)
{
    grdPanels->setRowData(address, type);
    grdPanels->setTextMatrix(address, ColDetected, Global::ModuleName(type));
}

void wTechFindPanels::showScanButtons()
{
    const bool running = m_scan.Running();
    imgFind(FindStop)->setVisible(running);
    imgFind(FindStart)->setVisible(!running);
}

void wTechFindPanels::imgFind_Click(int index)
{
    plat::guard(QStringLiteral("wTechFindPanels.imgFind_Click"), [&] {
        if (index == FindStop) {
            m_scan.RequestStop();
            frmWarning->hide();
            return;
        }
        if (index != FindStart || m_scan.Running())
            return;
        m_scan.Start();
        showScanButtons();
        for (int i = 1; i <= Limits::Modules; ++i) {
            grdPanels->setTextMatrix(i, ColDetected, kUnknown);
            grdPanels->setRowData(i, BusScan::NotScanned);
        }
        frmWarning->setVisible(TechCommand::Engine().Run());
        askNext();
    });
}

void wTechFindPanels::askNext()
{
    const int address = m_scan.Next();
    if (address == 0) {
        endScan();
        return;
    }
    selectRow(address);
    keepInView(address);
    grdPanels->setTextMatrix(address, ColDetected, kTesting);
    // The yield: the engine's ticks, the touches and the painting come before the query.
    tmrScan->start();
}

void wTechFindPanels::tmrScan_Timer()
{
    const QPointer<wTechFindPanels> self(this);
    plat::guard(QStringLiteral("wTechFindPanels.tmrScan_Timer"), [&] {
        if (!m_scan.Running() || IsUnloaded())
            return;
        plat::SerialControl& port = TechCommand::Engine().CommBus();
        const int address = m_scan.Step([&port](int a) { return CommFunctions::GetModuleType(port, quint8(a)); });
        // A failed exchange's report may have let another screen unload this one.
        if (!self || IsUnloaded())
            return;
        if (address != 0) {
            showResult(address, m_scan.Result(address));
            grdPanels->viewport()->update();
        }
        // The port gave out (not open, or its device gone): one failure is enough.
        if (!port.PortOpen())
            m_scan.RequestStop();
        askNext();
    });
    // A step that failed ends the scan rather than leaving it hanging.
    if (self && !IsUnloaded() && m_scan.Running() && !tmrScan->isActive())
        endScan();
}

void wTechFindPanels::endScan()
{
    tmrScan->stop();
    m_scan.End();
    showScanButtons();
    frmWarning->hide();
}

void wTechFindPanels::imgCommand_Click(int index)
{
    plat::guard(QStringLiteral("wTechFindPanels.imgCommand_Click"), [&] {
        const int r = grdPanels->Row();
        if (r < 1 || r > Limits::Modules)
            return;
        switch (index) {
        case CommandActivate:
        case CommandDeactivate:
            if (!(index == CommandActivate ? m_scan.Activate(r) : m_scan.Deactivate(r)))
                plat::Beep();
            grdPanels->setTextMatrix(r, ColActive, activeText(m_scan.Copy(r).Active()));
            break;
        case CommandTakeOver:
            if (!m_scan.TakeOver(r)) {
                plat::Beep();
                break;
            }
            grdPanels->setTextMatrix(r, ColDeclared, grdPanels->TextMatrix(r, ColDetected));
            break;
        default:
            break;
        }
    });
}

void wTechFindPanels::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wTechFindPanels.imgControl_Click"), [&] {
        if (index < ControlPageUp || index > ControlPageDown)
            return;
        const int keys[] = {Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown};
        RuntimeLook::pressKey(grdPanels, keys[index - ControlPageUp]);
        selectRow(grdPanels->Row());
    });
}

void wTechFindPanels::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wTechFindPanels.imgNavig_Click"), [&] {
        if (index != NavigLeave)
            return;
        m_scan.RequestLeave();
        const QPointer<wTechFindPanels> self(this);
        const bool stay = Form_QueryUnload(plat::vbFormCode);
        if (!self || IsUnloaded())
            return;
        if (stay) {
            // Back to a usable screen: no request left, the start button back.
            m_scan.CancelLeave();
            showScanButtons();
            return;
        }
        m_decided = true;
        plat::Forms::Unload(this);
    });
}

bool wTechFindPanels::Form_QueryUnload(plat::UnloadMode)
{
    bool stay = false;
    plat::guard(QStringLiteral("wTechFindPanels.Form_QueryUnload"), [&] {
        // Only the leave button asks. An unload from elsewhere (the alarm
        // screen, the logout, the program's end) may come in an engine tick
        // or while the question is up: it drops the copies as No does.
        if (!m_scan.LeaveRequested() || m_asking || m_decided || !m_scan.Modified())
            return;
        const QPointer<wTechFindPanels> self(this);
        m_asking = true;
        const int r = Global::Message(Config::GetText(50003), MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion);
        if (!self || IsUnloaded()) {
            stay = true;
            return;
        }
        m_asking = false;
        if (r == MsgResult::vbCancel) {
            stay = true;
            return;
        }
        if (r != MsgResult::vbYes)
            return;
        m_scan.Accept(*gConfig);
        if (Global::NbInstances(FormNames::wBusModules) > 0)
            if (auto* overview = qobject_cast<wBusModules*>(plat::Forms::Find(FormNames::wBusModules)))
                overview->HabillePanneaux();
        if (gConfig->Modified())
            Config::SaveCurrentConfig();
    });
    return stay;
}

void wTechFindPanels::Form_Unload()
{
    // The scan ends with the screen, at once.
    tmrScan->stop();
    m_scan.End();
}

void wTechFindPanels::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
