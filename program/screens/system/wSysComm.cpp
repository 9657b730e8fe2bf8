#include "program/screens/system/wSysComm.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenLook.h"
#include "platform/SerialControl.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/TextIds.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/screens/system/ScreenExits.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QStringList>

namespace {

using namespace plat::ScreenLook;

constexpr int kFrameLeft = 24;
constexpr int kFrameTop = 76;
constexpr int kFrameWidth = 600;
constexpr int kFrameHeight = 408;
constexpr int kHeadingTop = 112;
constexpr int kFirstRow = 150;
constexpr int kRowPitch = 52;
constexpr int kRowHeight = 42;
constexpr int kTitleLeft = 40;
constexpr int kTitleWidth = 200;
constexpr int kActualLeft = 248;
constexpr int kActualWidth = 168;
constexpr int kNewLeft = 432;
constexpr int kNewWidth = 172;
constexpr int kToolLeft = 668;
// The bar of leave and close buttons along the bottom.
constexpr int kButton = 64;
constexpr int kBarTop = ScreenHeight - kButton - 10;
// Row of the automatic start, below the five line settings.
constexpr int kAutoStartRow = 5;

// The rows of the line settings: port, speed, parity, data bits, stop bits.
constexpr int kRowPort = 0;
constexpr int kRowSpeed = 1;
constexpr int kRowParity = 2;
constexpr int kRowDataBits = 3;
constexpr int kRowStop = 4;
constexpr int kActual = 5;   // lblBusConfig(kActual + row): the open port's value of that row
constexpr int kAutoStartTitle = 10;
constexpr int kAutoStartActual = 11;

constexpr int kStyleQuestion = MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion;
constexpr int kStyleCritical = MsgStyle::vbCritical;
constexpr int kStyleExclamation = MsgStyle::vbExclamation;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;

QRect rowRect(int left, int width, int row)
{
    return QRect(left, kFirstRow + row * kRowPitch, width, kRowHeight);
}

} // namespace

// What the screen's decisions need of the engine form.
class wSysComm::EngineLink : public BusPortSettings::Host {
public:
    bool Run() const override { return engine()->Run(); }
    void setRun(bool run) override { engine()->setRun(run); }
    bool RunsWhenPortOpens() const override { return engine()->engine().RunsWhenPortOpens(); }
    void RunWhenPortOpens() override { engine()->RunWhenPortOpens(); }
    plat::SerialControl& CommBus() override { return engine()->CommBus(); }
    void LeaveLine() override { engine()->engine().LeaveLine(); }
    void PortCannotOpen() override { Global::Message(Config::GetText(630100), kStyleExclamation); }
};

wSysComm::wSysComm() : plat::Form(FormNames::wSysComm), m_link(std::make_unique<EngineLink>()), m_settings(*m_link)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    buildControls();
}

wSysComm::~wSysComm() = default;

wPolling* wSysComm::engine()
{
    auto* e = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    if (!e)
        plat::raise(plat::rt::TypeMismatch);
    return e;
}

void wSysComm::buildControls()
{
    auto* face = lblLabels.add(0, new QLabel(this));
    auto* shadow = lblLabels.add(1, new QLabel(this));
    title(face, shadow);
    plat::setTag(face, 630010);
    plat::setTag(shadow, 630010);

    auto* frame = frmFrames.add(0, new QGroupBox(this));
    frame->setFont(plat::Theme::font(12, true));
    frame->setGeometry(kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight);
    plat::setTag(frame, 620100);

    auto* current = lblLabels.add(2, label(this, 12, true, Qt::AlignCenter));
    current->setGeometry(kActualLeft, kHeadingTop, kActualWidth, 30);
    plat::setTag(current, 620101);
    auto* fresh = lblLabels.add(3, label(this, 12, true, Qt::AlignCenter));
    fresh->setGeometry(kNewLeft, kHeadingTop, kNewWidth, 30);
    plat::setTag(fresh, 620102);

    for (int row = 0; row < 5; ++row) {
        auto* t = lblBusConfig.add(row, label(this, 13, false));
        t->setGeometry(rowRect(kTitleLeft, kTitleWidth, row));
        plat::setTag(t, TextIds::SerialFieldFirst + row);
        auto* actual = lblBusConfig.add(kActual + row, label(this, 14, true, Qt::AlignCenter));
        actual->setGeometry(rowRect(kActualLeft, kActualWidth, row));
    }
    auto* autoTitle = lblBusConfig.add(kAutoStartTitle, label(this, 13, false));
    autoTitle->setGeometry(rowRect(kTitleLeft, kTitleWidth, kAutoStartRow));
    autoTitle->setWordWrap(true);
    plat::setTag(autoTitle, 620117);
    auto* autoActual = lblBusConfig.add(kAutoStartActual, label(this, 14, true, Qt::AlignCenter));
    autoActual->setGeometry(rowRect(kActualLeft, kActualWidth, kAutoStartRow));

    auto field = [this](const char* name, int row) {
        auto* f = new plat::Label(this);
        f->setObjectName(QLatin1String(name));
        f->setFont(plat::Theme::font(14, true));
        f->setAlignment(Qt::AlignCenter);
        f->setGeometry(rowRect(kNewLeft, kNewWidth, row));
        paintField(f, FieldWhite);
        return f;
    };
    lblBusPort = field("lblBusPort", kRowPort);
    lblBusSpeed = field("lblBusSpeed", kRowSpeed);
    lblBusStop = field("lblBusStop", kRowStop);
    lblAutoStart = field("lblAutoStart", kAutoStartRow);
    chkAutoStart = new QCheckBox(this);
    chkAutoStart->setObjectName(QStringLiteral("chkAutoStart"));
    chkAutoStart->hide();
    lblBusPointer = new plat::Label(this);
    lblBusPointer->setObjectName(QStringLiteral("lblBusPointer"));
    lblBusPointer->hide();
    connect(lblBusPort, &plat::Label::Change, this, [this] { lblBusPort_Change(); });
    connect(lblBusSpeed, &plat::Label::Change, this, [this] { lblBusSpeed_Change(); });
    connect(lblBusStop, &plat::Label::Change, this, [this] { lblBusStop_Change(); });
    connect(lblBusPointer, &plat::Label::Change, this, [this] { lblBusPointer_Change(); });
    connect(chkAutoStart, &QCheckBox::toggled, this, [this] { chkAutoStart_Click(); });

    imgBusDir.add(0, button(this, "up", {kToolLeft, 150, 80, 72}));
    imgBusDir.add(1, button(this, "down", {kToolLeft, 232, 80, 72}));
    for (int i : {0, 1})
        connect(imgBusDir(i), &QAbstractButton::clicked, this, [this, i] { imgBusDir_Click(i); });
    imgBusModif = button(this, "edit", {kToolLeft, 334, 80, 72});
    imgBusModif->setObjectName(QStringLiteral("imgBusModif"));
    connect(imgBusModif, &QAbstractButton::clicked, this, [this] { imgBusModif_Click(); });

    imgNavig.add(NavigLeave, button(this, "leave", {24, kBarTop, kButton, kButton}));
    connect(imgNavig(NavigLeave), &QAbstractButton::clicked, this, [this] { imgNavig_Click(NavigLeave); });
    imgCommWatch = button(this, "commwatch", {120, kBarTop, kButton, kButton});
    imgCommWatch->setObjectName(QStringLiteral("imgCommWatch"));
    connect(imgCommWatch, &QAbstractButton::clicked, this, [this] { imgCommWatch_Click(); });
    imgClose = button(this, "cancel", {ScreenWidth - 24 - kButton, kBarTop, kButton, kButton});
    imgClose->setObjectName(QStringLiteral("imgClose"));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });

    for (QLabel* l : findChildren<QLabel*>())
        l->raise();
    mFields = {lblBusPort, lblBusSpeed, lblBusStop, chkAutoStart};
}

void wSysComm::Form_Load()
{
    plat::guard(QStringLiteral("wSysComm.Form_Load"), [&] {
        m_left = false;
        plat::Screen::shareCustomPointer(this, imgNavig(NavigLeave));
        loadFields();
        Nationality();
        Global::MiseAEchelle(this);
    });
}

void wSysComm::Form_Unload()
{
    plat::guard(QStringLiteral("wSysComm.Form_Unload"), [&] {
        // Gone without being left (the logout, an alarm): the port is put
        // back as the configuration has it. Nothing once the engine is gone:
        // the program is stopping.
        if (m_left || !plat::Forms::Find(FormNames::wPolling))
            return;
        m_settings.Abandon(BusPortSettings::Read(gConfig->BusSettings()).port);
    });
}

void wSysComm::loadFields()
{
    // The port's change handler puts a configured port that differs from
    // the live one on the port at once.
    const BusPortSettings::Texts t = BusPortSettings::Read(gConfig->BusSettings());
    lblBusPort->setCaption(t.port);
    lblBusSpeed->setCaption(t.speed);
    lblBusStop->setCaption(t.stop);
    {
        const QSignalBlocker quiet(chkAutoStart);
        chkAutoStart->setChecked(gConfig->AutoStart());
    }
    chkAutoStart_Click();

    plat::SerialControl& port = engine()->CommBus();
    const QStringList items = port.Settings().split(QLatin1Char(','));
    lblBusConfig(kActual + kRowPort)->setText(QString::number(port.CommPort()));
    lblBusConfig(kActual + kRowSpeed)->setText(items.value(0));
    lblBusConfig(kActual + kRowParity)->setText(Config::GetText(BusPortSettings::ParityText(items.value(1))));
    lblBusConfig(kActual + kRowDataBits)->setText(items.value(2));
    lblBusConfig(kActual + kRowStop)->setText(items.value(3));
    lblBusConfig(kAutoStartActual)->setText(lblAutoStart->text());

    mModified = false;
    lblBusPointer->setCaption(QString::number(BusPortSettings::FieldPort));
}

void wSysComm::Nationality()
{
    plat::guard(QStringLiteral("wSysComm.Nationality"), [&] { plat::applyCaptions(this); });
}

int wSysComm::pointer() const
{
    return int(plat::Val(lblBusPointer->Caption()));
}

void wSysComm::lblBusPointer_Change()
{
    plat::guard(QStringLiteral("wSysComm.lblBusPointer_Change"), [&] {
        const int selected = pointer();
        for (int i = 0; i < mFields.size(); ++i) {
            QWidget* shown = mFields[i] == chkAutoStart ? lblAutoStart : mFields[i];
            paintField(shown, i + 1 == selected ? FieldSelected : FieldWhite);
        }
    });
}

void wSysComm::imgBusDir_Click(int index)
{
    plat::guard(QStringLiteral("wSysComm.imgBusDir_Click"), [&] {
        const int p = pointer();
        if (index == 0 && p > 1)
            lblBusPointer->setCaption(QString::number(p - 1));
        else if (index == 1 && p < mFields.size())
            lblBusPointer->setCaption(QString::number(p + 1));
    });
}

void wSysComm::imgBusModif_Click()
{
    plat::guard(QStringLiteral("wSysComm.imgBusModif_Click"), [&] {
        const int field = pointer();
        if (field < 1 || field > mFields.size())
            return;
        const bool autoStart = field == BusPortSettings::FieldAutoStart;
        auto* shown = autoStart ? lblAutoStart : static_cast<plat::Label*>(mFields[field - 1]);
        // Beside the settings, not centred: its right edge on the frame's.
        const QRect frame(frmFrames(0)->mapToGlobal(QPoint(0, 0)), frmFrames(0)->size());
        const QPoint at(frame.right() + 1 - dlgListInput::kWidth, frame.center().y() - dlgListInput::kHeight / 2);
        const std::optional<QString> chosen =
            dlgListInput::Pick(this, shown->text(), BusPortSettings::ValuesList(field), at);
        if (!chosen)
            return;
        if (autoStart)
            chkAutoStart->setChecked(*chosen == Config::GetText(TextIds::Yes));
        else
            static_cast<plat::Label*>(mFields[field - 1])->setCaption(*chosen);
    });
}

void wSysComm::lblBusPort_Change()
{
    plat::guard(QStringLiteral("wSysComm.lblBusPort_Change"), [&] {
        if (m_settings.ApplyPort(lblBusPort->Caption()))
            mModified = true;
    });
}

void wSysComm::lblBusSpeed_Change()
{
    mModified = true;
}

void wSysComm::lblBusStop_Change()
{
    mModified = true;
}

void wSysComm::chkAutoStart_Click()
{
    plat::guard(QStringLiteral("wSysComm.chkAutoStart_Click"), [&] {
        lblAutoStart->setText(Config::GetText(TextIds::No + (chkAutoStart->isChecked() ? 1 : 0)));
        mModified = true;
    });
}

BusPortSettings::Texts wSysComm::fieldTexts() const
{
    return {lblBusPort->Caption(), lblBusSpeed->Caption(), lblBusStop->Caption()};
}

bool wSysComm::UpdateConfig()
{
    return m_settings.UpdateConfig(fieldTexts(), chkAutoStart->isChecked());
}

bool wSysComm::imgNavig_Click(int index)
{
    bool left = false;
    plat::guard(QStringLiteral("wSysComm.imgNavig_Click"), [&] {
        if (index != NavigLeave)
            return;
        if (mModified) {
            switch (Global::Message(Config::GetText(30010), kStyleQuestion)) {
            case kYes:
                if (!UpdateConfig()) {
                    Global::Message(Config::GetText(20006), kStyleCritical);
                    return;
                }
                break;
            case kNo:
                // The configured port back on the port, and the port and the
                // configuration agreeing again.
                loadFields();
                UpdateConfig();
                break;
            case kCancel:
            default:
                return;
            }
        }
        m_left = true;
        m_settings.Leave();
        ScreenExits::ShowMain(this);
        left = true;
    });
    return left;
}

void wSysComm::imgClose_Click()
{
    plat::guard(QStringLiteral("wSysComm.imgClose_Click"), [&] {
        if (imgNavig_Click(NavigLeave))
            ScreenExits::ReopenMenu(ScreenExits::SystemMenu);
    });
}

void wSysComm::imgCommWatch_Click()
{
    plat::guard(QStringLiteral("wSysComm.imgCommWatch_Click"), [&] {
        wPolling* monitor = engine();
        monitor->Show(true, this);
        if (monitor->Visible())
            monitor->ZOrder();
    });
}

void wSysComm::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
