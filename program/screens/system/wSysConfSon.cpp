#include "program/screens/system/wSysConfSon.h"

#include "platform/AppIdentity.h"
#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/FileManager.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/SoundPlayer.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/TextIds.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/screens/system/ScreenExits.h"
#include "program/screens/system/SettingsDialogs.h"
#include "program/screens/system/SoundSettings.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using namespace plat::ScreenLook;

constexpr int Button = 56;
constexpr int Margin = 8;
// The navigation bar at the foot of the screen.
constexpr int kBarTop = ScreenHeight - Margin - Button;

// The sound group on the left, the files group on the right.
constexpr int kLeftWidth = 372;
constexpr int kGroupsTop = Band + Margin;
constexpr int kSoundsHeight = 344;
constexpr int kRightLeft = Margin + kLeftWidth + Margin;
constexpr int kRightWidth = ScreenWidth - Margin - kRightLeft;
constexpr int kFilesHeight = 464;

// Rows of the sound group: caption, button, value, button.
constexpr int kCaptionLeft = 12;
constexpr int kCaptionWidth = 116;
constexpr int kFirstButton = 132;
constexpr int kValueLeft = kFirstButton + Button + 4;
constexpr int kValueWidth = 104;
constexpr int kSecondButton = kValueLeft + kValueWidth + 4;
constexpr int kPriorityTop = 32;
constexpr int kSoundTop = 132;
constexpr int kTestTop = 200;
constexpr int kAssignTop = 268;

const QString kExplorerCaption = QStringLiteral("Explorer");
// The retention count's picker: 1..the most the history keeps.
const QString kCountValues = QStringLiteral("*|1|%1").arg(HistorySettings::MaxCount);

QString valueStyle()
{
    return QStringLiteral("color: %1; background: %2; border: 1px solid %3; border-radius: 6px;")
        .arg(plat::Theme::text().name(), plat::Theme::window().name(), plat::Theme::buttonBorder().name());
}

QString tickStyle()
{
    return QStringLiteral("QCheckBox::indicator, QRadioButton::indicator { width: 26px; height: 26px; }");
}

QLineEdit* field(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* f = new QLineEdit(parent);
    f->setObjectName(name);
    f->setFont(plat::Theme::font(12));
    f->setGeometry(geometry);
    return f;
}

QPushButton* chooser(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* b = new QPushButton(QStringLiteral("..."), parent);
    b->setObjectName(name);
    b->setFont(plat::Theme::font(12, true));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

} // namespace

wSysConfSon::wSysConfSon() : plat::Form(FormNames::wSysConfSon)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    auto* shadow = lblLabels.add(0, new QLabel(this));
    auto* face = lblLabels.add(1, new QLabel(this));
    title(face, shadow);
    plat::setTag(face, 630010);
    plat::setTag(shadow, 630010);
    buildSounds();
    buildFiles();
    buildScreenAndBar();
    for (const auto& [index, b] : imgControl) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
}

wSysConfSon::~wSysConfSon() = default;

void wSysConfSon::buildSounds()
{
    QGroupBox* g = frmFrames.add(0, group(this, {Margin, kGroupsTop, kLeftWidth, kSoundsHeight}));
    plat::setTag(g, 630020);

    auto caption = [&](int index, int top) {
        auto* l = lblLabels.add(index, label(g, 11, true, Qt::AlignLeft | Qt::AlignVCenter));
        l->setWordWrap(true);
        l->setGeometry(kCaptionLeft, top, kCaptionWidth, Button);
        return l;
    };
    plat::setTag(caption(8, kPriorityTop), 630024);
    plat::setTag(caption(2, kSoundTop), 630021);
    plat::setTag(caption(3, kTestTop), 630022);
    plat::setTag(caption(4, kAssignTop), 630023);
    struct Control {
        int index;
        const char* icon;
        int left;
        int top;
    };
    for (const Control& c : {Control{PriorityDown, "minus", kFirstButton, kPriorityTop},
                             Control{PriorityUp, "plus", kSecondButton, kPriorityTop},
                             Control{SoundDown, "minus", kFirstButton, kSoundTop},
                             Control{SoundUp, "plus", kSecondButton, kSoundTop},
                             Control{TestPlay, "run", kFirstButton, kTestTop},
                             Control{TestStop, "stop", kValueLeft, kTestTop},
                             Control{ShowAssigned, "restore", kFirstButton, kAssignTop},
                             Control{Assign, "assign", kValueLeft, kAssignTop}})
        imgControl.add(c.index, button(g, QString::fromLatin1(c.icon), {c.left, c.top, Button, Button}));

    // The ends of the priority scale, under its buttons.
    auto* low = lblLabels.add(10, label(g, 9, false, Qt::AlignCenter));
    low->setGeometry(kFirstButton - 20, kPriorityTop + Button + 2, Button + 40, 20);
    plat::setTag(low, 630026);
    auto* high = lblLabels.add(11, label(g, 9, false, Qt::AlignCenter));
    high->setGeometry(kSecondButton - 20, kPriorityTop + Button + 2, Button + 40, 20);
    plat::setTag(high, 630027);

    for (plat::Label** value : {&lblSoundPrio, &lblSoundNum}) {
        *value = new plat::Label(g);
        (*value)->setFont(plat::Theme::font(22, true));
        (*value)->setAlignment(Qt::AlignCenter);
        (*value)->setStyleSheet(valueStyle());
    }
    lblSoundPrio->setObjectName(QStringLiteral("lblSoundPrio"));
    lblSoundPrio->setGeometry(kValueLeft, kPriorityTop, kValueWidth, Button);
    lblSoundPrio->setCursor(Qt::PointingHandCursor);
    // The priority's value list, for its picker.
    plat::setTag(lblSoundPrio, QStringLiteral("*|%1|%2").arg(Limits::FirstPriority).arg(Limits::LastPriority));
    lblSoundNum->setObjectName(QStringLiteral("lblSoundNum"));
    lblSoundNum->setGeometry(kValueLeft, kSoundTop, kValueWidth, Button);
    connect(lblSoundPrio, &plat::Label::Change, this, [this] { lblSoundPrio_Change(); });
    connect(lblSoundNum, &plat::Label::Change, this, [this] { lblSoundNum_Change(); });
    plat::onClick(lblSoundPrio, [this] { lblSoundPrio_Click(); });
}

void wSysConfSon::buildFiles()
{
    QGroupBox* g = frmFrames.add(1, group(this, {kRightLeft, kGroupsTop, kRightWidth, kFilesHeight}));
    plat::setTag(g, 630030);
    const int inner = kRightWidth - 2 * kCaptionLeft;
    auto caption = [&](int index, const QRect& r, int pointSize, bool bold) {
        auto* l = lblLabels.add(index, label(g, pointSize, bold, Qt::AlignLeft | Qt::AlignVCenter));
        l->setWordWrap(true);
        l->setGeometry(r);
        return l;
    };

    QLabel* folder = caption(5, {kCaptionLeft, 26, inner, 24}, 11, true);
    plat::setTag(folder, 630032);
    txtHistoPath = field(g, QStringLiteral("txtHistoPath"), {kCaptionLeft, 52, inner - Button - 6, 40});
    cmdChooseHistoPath = chooser(g, QStringLiteral("cmdChooseHistoPath"), {kCaptionLeft + inner - Button, 52, Button, 40});
    QLabel* copied = caption(6, {kCaptionLeft, 96, inner, 38}, 9, false);
    plat::setTag(copied, 630031);

    QLabel* periodicity = caption(7, {kCaptionLeft, 142, inner, 24}, 11, true);
    plat::setTag(periodicity, 630033);
    for (int i : {0, 1}) {
        auto* o = optPeriod.add(i, new QRadioButton(g));
        o->setFont(plat::Theme::font(12));
        o->setStyleSheet(tickStyle());
        o->setGeometry(kCaptionLeft + 12 + i * (inner / 2), 168, inner / 2 - 12, 36);
        plat::setTag(o, TextIds::PeriodUnitFirst + i);
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optPeriod_Click(i);
        });
    }

    chkPeriod = new QCheckBox(g);
    chkPeriod->setObjectName(QStringLiteral("chkPeriod"));
    chkPeriod->setFont(plat::Theme::font(12));
    chkPeriod->setStyleSheet(tickStyle());
    chkPeriod->setGeometry(kCaptionLeft, 212, inner, 36);
    plat::setTag(chkPeriod, 630036);
    txtPeriod = field(g, QStringLiteral("txtPeriod"), {kCaptionLeft + 36, 252, 90, 40});
    txtPeriod->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cmdPeriod = chooser(g, QStringLiteral("cmdPeriod"), {kCaptionLeft + 132, 252, Button, 40});
    auto* unit = lblPeriod.add(0, label(g, 12, false, Qt::AlignLeft | Qt::AlignVCenter));
    unit->setGeometry(kCaptionLeft + 132 + Button + 10, 252, inner - 198, 40);
    auto* unlimited = lblPeriod.add(1, label(g, 12, false, Qt::AlignLeft | Qt::AlignVCenter));
    unlimited->setGeometry(kCaptionLeft + 36, 252, inner - 36, 40);
    plat::setTag(unlimited, 630037);
    QLabel* purged = caption(9, {kCaptionLeft, 298, inner, 38}, 9, false);
    plat::setTag(purged, 630039);

    imgControl.add(HistoryReload, button(g, QStringLiteral("reload"), {kCaptionLeft, 352, Button, Button}));
    imgControl.add(HistorySave, button(g, QStringLiteral("save"), {kCaptionLeft + Button + 12, 352, Button, Button}));

    connect(cmdChooseHistoPath, &QPushButton::clicked, this, [this] { cmdChooseHistoPath_Click(); });
    connect(cmdPeriod, &QPushButton::clicked, this, [this] { cmdPeriod_Click(); });
    connect(chkPeriod, &QCheckBox::stateChanged, this, [this] { chkPeriod_Click(); });
    connect(txtHistoPath, &QLineEdit::textChanged, this, [this] { txtHistoPath_Change(); });
    connect(txtPeriod, &QLineEdit::textChanged, this, [this] { txtPeriod_Change(); });
}

void wSysConfSon::buildScreenAndBar()
{
    const int screenTop = kGroupsTop + kSoundsHeight + Margin;
    Frame1 = group(this, {Margin, screenTop, kLeftWidth, kGroupsTop + kFilesHeight - screenTop});
    Frame1->setObjectName(QStringLiteral("Frame1"));
    plat::setTag(Frame1, 630040);
    chkNoResize = new QCheckBox(Frame1);
    chkNoResize->setObjectName(QStringLiteral("chkNoResize"));
    chkNoResize->setFont(plat::Theme::font(12));
    chkNoResize->setStyleSheet(tickStyle());
    chkNoResize->setGeometry(kCaptionLeft, 34, kLeftWidth - 2 * kCaptionLeft, 40);
    plat::setTag(chkNoResize, 630041);
    connect(chkNoResize, &QCheckBox::stateChanged, this, [this] { chkNoResize_Click(); });

    auto* leaveButton =
        imgNavig.add(NavigLeave, button(this, QStringLiteral("leave"), {Margin, kBarTop, Button, Button}));
    // Nothing to open here: the button stays out of sight.
    auto* help =
        imgNavig.add(NavigHelp, button(this, QStringLiteral("help"), {Margin + Button + 8, kBarTop, Button, Button}));
    help->hide();
    for (auto* b : {leaveButton, help}) {
        const int i = imgNavig.indexOf(b);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }

    const int explorerLeft = ScreenWidth - Margin - Button;
    imgControl.add(Explorer, button(this, QStringLiteral("folder"), {explorerLeft, kBarTop, Button, Button}));
    auto* explorer = lblLabels.add(12, label(this, 11, true, Qt::AlignRight | Qt::AlignVCenter));
    explorer->setGeometry(explorerLeft - 208, kBarTop, 200, Button);
    explorer->setText(kExplorerCaption);
    plat::forwardClicks(explorer, imgControl(Explorer));

    imgClose = button(this, QStringLiteral("close"), {ScreenWidth - Margin - 52, 4, 52, 52});
    imgClose->setObjectName(QStringLiteral("imgClose"));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });
}

// ---- Load and unload --------------------------------------------------------------

void wSysConfSon::Form_Load()
{
    plat::guard(QStringLiteral("wSysConfSon.Form_Load"), [&] {
        Nationality();
        lblSoundPrio->setCaption(QString::number(Limits::LastPriority));
        readHistory();
        chkNoResize->setChecked(HistorySettings::ReadNoResize());
        if (!gDatabase)
            plat::raise(plat::rt::ObjectVariableNotSet);
        m_highest = SoundTable::Highest(*gDatabase);
        m_sounds = std::make_unique<SoundTable>(*gDatabase);
        // The test and assign buttons wait for the table.
        lblSoundNum_Change();
        m_changed = false;
        Global::MiseAEchelle(this);
    });
}

void wSysConfSon::Form_Unload()
{
    plat::guard(QStringLiteral("wSysConfSon.Form_Unload"), [&] {
        // A test sound never outlives the screen.
        if (m_testing)
            stopTest();
        if (QFile::exists(SoundTestWav()))
            QFile::remove(SoundTestWav());
    });
}

void wSysConfSon::readHistory()
{
    const HistorySettings s = HistorySettings::Read();
    txtHistoPath->setText(s.folder);
    const int unit = s.days ? 1 : 0;
    optPeriod(unit)->setChecked(true);
    txtPeriod->setText(s.count);
    chkPeriod->setChecked(s.limited);
    optPeriod_Click(unit);
    chkPeriod_Click();
}

HistorySettings wSysConfSon::shownHistory() const
{
    HistorySettings s;
    s.folder = txtHistoPath->text();
    s.days = optPeriod(1)->isChecked();
    s.count = txtPeriod->text();
    s.limited = chkPeriod->isChecked();
    return s;
}

bool wSysConfSon::writeHistory(bool withScaling)
{
    if (!shownHistory().Write()) {
        Global::Message(Config::GetText(TextIds::ValuesMissing), MsgStyle::vbExclamation);
        return false;
    }
    if (withScaling) {
        HistorySettings::WriteNoResize(chkNoResize->isChecked());
        gNoResize = chkNoResize->isChecked();
    }
    m_changed = false;
    configurationChanged();
    return true;
}

void wSysConfSon::configurationChanged()
{
    if (auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling)))
        engine->ConfigurationChanged();
}

// ---- Sounds -----------------------------------------------------------------------

int wSysConfSon::soundNumber() const
{
    return plat::CInt(plat::Val(lblSoundNum->Caption()));
}

int wSysConfSon::priority() const
{
    return plat::CInt(plat::Val(lblSoundPrio->Caption()));
}

void wSysConfSon::lblSoundPrio_Change()
{
    plat::guard(QStringLiteral("wSysConfSon.lblSoundPrio_Change"), [&] {
        lblSoundNum_Change();
        lblSoundNum->setCaption(QString::number(gConfig->AlarmPrioSound(int16_t(priority()))));
    });
}

void wSysConfSon::lblSoundNum_Change()
{
    plat::guard(QStringLiteral("wSysConfSon.lblSoundNum_Change"), [&] {
        // Without the sound table (the load stopped before it) no sound can be tested or assigned.
        const bool both = m_sounds && soundNumber() != 0 && priority() != 0;
        // While a test plays, its stop stays and nothing starts another.
        imgControl(TestStop)->setVisible(both || m_testing);
        imgControl(TestPlay)->setVisible(both && !m_testing);
        imgControl(Assign)->setVisible(both && !m_testing);
    });
}

void wSysConfSon::lblSoundPrio_Click()
{
    plat::guard(QStringLiteral("wSysConfSon.lblSoundPrio_Click"), [&] {
        const auto chosen = dlgListInput::Pick(this, lblSoundPrio->Caption(), plat::tagOf(lblSoundPrio));
        if (chosen && !IsUnloaded())
            lblSoundPrio->setCaption(*chosen);
    });
}

void wSysConfSon::showTestButtons(bool shown)
{
    for (int i : {SoundDown, SoundUp, ShowAssigned, PriorityDown, PriorityUp})
        imgControl(i)->setVisible(shown);
    for (int i : {TestPlay, Assign})
        imgControl(i)->setVisible(shown && m_sounds);
    imgNavig(NavigLeave)->setVisible(shown);
}

void wSysConfSon::stopTest()
{
    m_testing = false;
    EndSoundTest();
}

void wSysConfSon::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wSysConfSon.imgControl_Click"), [&] {
        const int prio = priority();
        switch (index) {
        case SoundDown:
            lblSoundNum->setCaption(QString::number(SoundSteps::Down(soundNumber(), 1)));
            break;
        case SoundUp:
            lblSoundNum->setCaption(QString::number(SoundSteps::Up(soundNumber(), m_highest)));
            break;
        case TestStop:
            if (m_testing)
                stopTest();
            showTestButtons(true);
            break;
        case TestPlay: {
            if (!m_sounds)
                return;
            const std::optional<QString> file = m_sounds->TestFile(soundNumber());
            if (!file) {
                Global::Message(Config::GetText(630029), MsgStyle::vbCritical);
                return;
            }
            plat::soundPlayer().playLoop(*file);
            m_testing = true;
            showTestButtons(false);
            break;
        }
        case ShowAssigned:
            lblSoundNum->setCaption(QString::number(gConfig->AlarmPrioSound(int16_t(prio))));
            break;
        case Assign:
            if (soundNumber() <= 0) {
                plat::Beep();
                return;
            }
            gConfig->setAlarmPrioSound(int16_t(prio), int16_t(soundNumber()));
            Global::Message(Config::GetText(30009), MsgStyle::vbInformation);
            break;
        case HistoryReload:
            readHistory();
            m_changed = false;
            break;
        case HistorySave:
            if (writeHistory(false))
                Global::Message(Config::GetText(30009), MsgStyle::vbInformation);
            break;
        case PriorityDown:
        case PriorityUp:
            lblSoundPrio->setCaption(QString::number(index == PriorityDown
                                                         ? SoundSteps::Down(prio, Limits::FirstPriority)
                                                         : SoundSteps::Up(prio, Limits::LastPriority)));
            lblSoundNum->setCaption(QString::number(gConfig->AlarmPrioSound(int16_t(priority()))));
            break;
        case Explorer:
            plat::FileManager::open(plat::AppIdentity::programFolder());
            break;
        default:
            break;
        }
    });
}

// ---- History and scaling ------------------------------------------------------------

void wSysConfSon::cmdChooseHistoPath_Click()
{
    plat::guard(QStringLiteral("wSysConfSon.cmdChooseHistoPath_Click"), [&] {
        const QString folder = SettingsDialogs::ChooseFolder(this, Config::GetText(630038), txtHistoPath->text());
        if (folder.isEmpty() || IsUnloaded())
            return;
        // The INI file would keep the name garbled.
        if (!HistorySettings::ValidFolder(folder)) {
            Global::Message(Config::GetText(TextIds::ValuesMissing), MsgStyle::vbExclamation);
            return;
        }
        txtHistoPath->setText(folder);
    });
}

void wSysConfSon::cmdPeriod_Click()
{
    plat::guard(QStringLiteral("wSysConfSon.cmdPeriod_Click"), [&] {
        const std::optional<QString> chosen = dlgListInput::Pick(this, txtPeriod->text(), kCountValues);
        if (chosen && !IsUnloaded())
            txtPeriod->setText(*chosen);
    });
}

void wSysConfSon::chkPeriod_Click()
{
    plat::guard(QStringLiteral("wSysConfSon.chkPeriod_Click"), [&] {
        const bool limited = chkPeriod->isChecked();
        txtPeriod->setVisible(limited);
        cmdPeriod->setVisible(limited);
        lblPeriod(0)->setVisible(limited);
        lblPeriod(1)->setVisible(!limited);
        m_changed = true;
    });
}

void wSysConfSon::optPeriod_Click(int index)
{
    plat::guard(QStringLiteral("wSysConfSon.optPeriod_Click"), [&] {
        m_changed = true;
        lblPeriod(0)->setText(optPeriod(index)->text());
    });
}

void wSysConfSon::txtHistoPath_Change()
{
    m_changed = true;
}

void wSysConfSon::txtPeriod_Change()
{
    m_changed = true;
}

void wSysConfSon::chkNoResize_Click()
{
    m_changed = true;
}

// ---- Leaving ----------------------------------------------------------------------

bool wSysConfSon::leave()
{
    return ScreenExits::Leave(this, m_changed, [this] {
        if (!writeHistory(true))
            return false;
        Config::SaveCurrentConfig();
        return true;
    });
}

void wSysConfSon::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wSysConfSon.imgNavig_Click"), [&] {
        if (index == NavigLeave)
            leave();
    });
}

void wSysConfSon::imgClose_Click()
{
    plat::guard(QStringLiteral("wSysConfSon.imgClose_Click"), [&] {
        if (leave())
            ScreenExits::ReopenMenu(ScreenExits::SystemMenu);
    });
}

void wSysConfSon::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
