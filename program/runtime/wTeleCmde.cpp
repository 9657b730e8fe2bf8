#include "program/runtime/wTeleCmde.h"

#include "program/runtime/LampRows.h"
#include "program/runtime/RuntimeLook.h"
#include "program/runtime/dlgConsigne.h"

#include "program/bus/CommFunctions.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"

#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/NestedLoop.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenParts.h"
#include "platform/Shape.h"
#include "platform/Theme.h"
#include "platform/Values.h"

#include <QEventLoop>
#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {

using LampRows::copyLabel;
using LampRows::copyShape;
using LampRows::place;
using LampRows::px;
using LampRows::shape;

constexpr int kWidth = 11040;
constexpr int kHeight = 6435;

// The channel rows: text, lamp and number of the left and right columns,
// rows 990 twips apart.
constexpr int kTextLeft[] = {930, 4890};
constexpr int kLampLeft[] = {390, 4350};
constexpr int kNumberLeft[] = {120, 8130};
constexpr int kTextTop = 330;
constexpr int kRowStep = 990;
constexpr int kTextWidth = 3195;
constexpr int kTextHeight = 855;
constexpr int kLampHeight = 435;
constexpr int kRowsPerColumn = 6;
// The frames behind a text and a lamp stand out by this many pixels.
constexpr int kFrameMargin = 3;
// How often the wait for a command looks at it again.
constexpr int kWaitCheckMs = 20;

constexpr unsigned int kFond = 0xFFFF00;
constexpr unsigned int kFondBorder = 0xFF6600;
constexpr unsigned int kFocus = 0x00C000;
constexpr unsigned int kTextBack = 0x00CCFF;
constexpr unsigned int kBack = 0xE3E3E3;
constexpr unsigned int kBackBorder = 0xA0A0A0;

QLabel* label(QWidget* parent, const QRect& geometry, int pointSize, bool bold, Qt::Alignment align)
{
    auto* l = new QLabel(parent);
    l->setGeometry(geometry);
    l->setFont(plat::Theme::font(pointSize, bold));
    l->setAlignment(align);
    return l;
}

// A boxed value: number, model, selected channel.
QLabel* boxed(QWidget* parent, const QRect& geometry)
{
    QLabel* l = label(parent, geometry, 10, true, Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("background: white; border: 1px solid %1;").arg(plat::Theme::buttonBorder().name()));
    return l;
}

} // namespace

wTeleCmde::wTeleCmde() : ModuleLampScreen(FormNames::wTeleCmde)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    buildControls();
    m_metrics.width = [this](const QString& text) { return QFontMetricsF(font()).horizontalAdvance(text); };
    m_metrics.lineHeight = [this] { return QFontMetricsF(font()).height(); };
}

void wTeleCmde::buildControls()
{
    setFixedSize(px(kWidth), px(kHeight));
    plat::ScreenParts::state(this, {plat::Theme::window(), {}, 2, plat::Theme::buttonBorder()});

    shpFond = shape(this, plat::Shape::Rectangle, place(90, 105, 8355, 6225), kFond, kFondBorder, 3);
    shpFond->setObjectName(QStringLiteral("shpFond"));
    LineSep = shape(this, plat::Shape::Line, QRect(px(4215), px(135), 2, px(6315) - px(135)), std::nullopt, kFondBorder, 2);
    LineSep->setObjectName(QStringLiteral("LineSep"));

    const QRect frames[] = {place(8580, 30, 2355, 660), place(8595, 720, 2355, 630), place(8595, 1455, 2355, 4035)};
    for (int i = 0; i < 3; ++i) {
        auto* f = frmFrames.add(i, new QFrame(this));
        f->setFrameShape(QFrame::StyledPanel);
        f->setGeometry(frames[i]);
    }
    lblLabels.add(0, label(frmFrames(0), place(1470, 225, 360, 255), 9, true, Qt::AlignCenter))->setText(QStringLiteral("No"));
    lblModType.add(0, boxed(frmFrames(0), place(1845, 210, 435, 315)));
    lblModType.add(1, boxed(frmFrames(0), place(120, 210, 1290, 315)));
    plat::setTag(lblLabels.add(1, label(frmFrames(1), place(120, 225, 1680, 255), 9, true, Qt::AlignRight | Qt::AlignVCenter)),
                 220010);
    lblChnlNo = boxed(frmFrames(1), place(1845, 210, 435, 315));
    lblChnlNo->setObjectName(QStringLiteral("lblChnlNo"));

    // The buttons, each with its caption beside it.
    struct Command {
        int index;
        int top;
        const char* icon;
        int tag;
    };
    const Command commands[] = {{On, 510, "switch-on", TextIds::RemoteSwitchOn}, {Off, 1680, "switch-off", TextIds::RemoteSwitchOff}};
    for (const Command& c : commands) {
        auto* b = ImgTcmde.add(c.index, RuntimeLook::button(frmFrames(2), nullptr, c.icon, place(210, c.top, 750, 750)));
        const int index = c.index;
        connect(b, &QAbstractButton::clicked, this, [this, index] { ImgTcmde_Click(index); });
        QLabel* caption = lblLabels.add(c.index == On ? 2 : 3,
                                        label(frmFrames(2), place(1035, c.top, 1260, 750), 10, true, Qt::AlignLeft | Qt::AlignVCenter));
        plat::setTag(caption, c.tag);
        plat::forwardClicks(caption, b);
    }
    imgConsigne = RuntimeLook::button(frmFrames(2), "imgConsigne", "consigne", place(210, 2850, 750, 750));
    connect(imgConsigne, &QAbstractButton::clicked, this, [this] { imgConsigne_Click(); });
    QLabel* instruction = lblLabels.add(4, label(frmFrames(2), place(1035, 2850, 1260, 750), 10, true, Qt::AlignLeft | Qt::AlignVCenter));
    instruction->setWordWrap(true);
    plat::setTag(instruction, 220022);
    plat::forwardClicks(instruction, imgConsigne);

    imgClose = RuntimeLook::button(this, "imgClose", "cancel", place(9030, 5595, 1500, 750));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });

    // The templates of a channel row, hidden; the rows are copies of them.
    auto* text = lblVoyant.add(0, label(this, place(kTextLeft[0], kTextTop, 3075, kTextHeight), 8, false,
                                        Qt::AlignLeft | Qt::AlignTop));
    text->setWordWrap(true);
    text->setStyleSheet(QStringLiteral("background: %1; border: 1px solid black; padding: 1px;")
                            .arg(plat::Theme::fromBgr(kTextBack).name()));
    text->hide();
    shpVoyant.add(0, shape(this, plat::Shape::Square, place(390, 540, 435, kLampHeight), RemoteChannels::LampOff, 0x000000, 1))
        ->hide();
    shpBkTxt.add(0, shape(this, plat::Shape::Rectangle, place(kTextLeft[0], kTextTop, 3075, kTextHeight), kBack, kBackBorder, 1))
        ->hide();
    shpBkLed.add(0, shape(this, plat::Shape::Rectangle, place(390, 540, 435, kLampHeight), kBack, kBackBorder, 1))->hide();
    lblNum.add(0, label(this, place(120, 637, 225, 240), LampRows::NumberPointSize, true, Qt::AlignCenter))->hide();

    // The selection frame lies at this offset from a lamp.
    shpFocus = shape(this, plat::Shape::Rectangle, place(390 - 75, 540 - 285, 3870, 1020), std::nullopt, kFocus, 2);
    shpFocus->setObjectName(QStringLiteral("shpFocus"));
    // The focus ring goes round a row, over its controls.
    plat::markOverlap(shpFocus);
    shpFocus->hide();

    buildTimers(PollIntervalMs, ClignIntervalMs);
}

void wTeleCmde::Form_Load()
{
    plat::guard(QStringLiteral("wTeleCmde.Form_Load"), [&] {
        mFocusDX = shpFocus->x() - shpVoyant(0)->x();
        mFocusDY = shpFocus->y() - shpVoyant(0)->y();
        Nationality();
    });
}

void wTeleCmde::layOutChannels()
{
    for (int i = 1; i <= RemoteChannels::Channels; ++i) {
        const int column = i > kRowsPerColumn ? 1 : 0;
        const int row = (i - 1) % kRowsPerColumn;

        QLabel* text = lblVoyant.load(i, copyLabel);
        text->setGeometry(place(kTextLeft[column], kTextTop + row * kRowStep, kTextWidth, kTextHeight));
        const QString caption = RemoteChannels::Caption(*gConfig, *mPanel->Channel(qint16(i)));
        const int feeds = RemoteChannels::CentringLineFeeds(caption, text->width(), text->height(), m_metrics);
        text->setText(QString(feeds, QLatin1Char('\n')) + caption);
        text->show();
        plat::onClick(text, [this, i] { lblVoyant_Click(i); });

        LampRows::showFramed(text, shpBkTxt.load(i, copyShape), kFrameMargin);

        plat::Shape* lamp = shpVoyant.load(i, copyShape);
        const int lampHeight = px(kLampHeight);
        lamp->setGeometry(px(kLampLeft[column]), text->y() + (text->height() - lampHeight) / 2, lamp->width(),
                          lampHeight);
        lamp->show();
        lamp->raise();

        LampRows::showFramed(lamp, shpBkLed.load(i, copyShape), kFrameMargin);

        QLabel* number = lblNum.load(i, copyLabel);
        number->move(px(kNumberLeft[column]), text->y() + (text->height() - number->height()) / 2);
        number->setText(QString::number(i));
        number->show();
        number->raise();
    }
    shpFocus->raise();
}

int wTeleCmde::SelectedChannel() const
{
    return int(plat::Val(lblChnlNo->text()));
}

int wTeleCmde::channelOrTold() const
{
    const int channel = SelectedChannel();
    if (channel == 0) {
        Global::Message(Config::GetText(220100), MsgStyle::vbCritical);
        return 0;
    }
    if (!mPanel)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return channel;
}

void wTeleCmde::tmrPoll_Timer()
{
    plat::guard(QStringLiteral("wTeleCmde.tmrPoll_Timer"), [&] {
        if (!mPanel)
            return;
        for (const auto& [index, lamp] : shpVoyant)
            lamp->setFillColor(LampRows::LampColor(mPanel->Channel(qint16(index))->State(), RemoteChannels::LampOff));
    });
}

void wTeleCmde::tmrClign_Timer()
{
    plat::guard(QStringLiteral("wTeleCmde.tmrClign_Timer"), [] {});
}

void wTeleCmde::lblVoyant_Click(int index)
{
    plat::guard(QStringLiteral("wTeleCmde.lblVoyant_Click"), [&] {
        lblChnlNo->setText(QString::number(index));
        shpFocus->move(shpVoyant(index)->x() + mFocusDX, shpVoyant(index)->y() + mFocusDY);
        shpFocus->show();
    });
}

void wTeleCmde::ImgTcmde_Click(int index)
{
    plat::guard(QStringLiteral("wTeleCmde.ImgTcmde_Click"), [&] {
        auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
        if (!engine)
            plat::raise(plat::rt::ObjectDoesNotSupport);
        // Polling first: nothing would send the command.
        if (!engine->Run()) {
            Global::Message(Config::GetText(220101), MsgStyle::vbCritical);
            return;
        }
        const int channel = channelOrTold();
        if (channel == 0)
            return;
        const CommandPtr cmd = RemoteChannels::Command(mPanel->Numero(), channel, index == On);
        plat::Screen::setMousePointer(plat::Screen::vbArrowHourglass);
        // The queue drops a command equal to one it holds.
        engine->SendCommand(cmd);
        waitFor(*cmd);
    });
    plat::Screen::setMousePointer(plat::Screen::vbDefault);
}

void wTeleCmde::waitFor(const CommandClass& cmd)
{
    // Only a command that failed once is waited for, until it succeeds or is
    // given up; polling stopped, the engine gone or the deadline passed end
    // the wait too, so the screen never waits on a command nobody will send.
    QPointer<wPolling> engine = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    plat::Clock& clock = CommFunctions::clock();
    const qint64 start = clock.nowMs();
    const qint64 deadline = RemoteChannels::WaitDeadlineMs(engine ? engine->CommBus().Settings() : QString());
    // The screen closed under the wait (an alarm, a logout) ends it too:
    // nobody watches it any more.
    auto keepWaiting = [&] {
        const bool polling = engine && !engine->IsUnloaded() && !engine->engine().Closing() && engine->Run();
        return !IsUnloaded() && RemoteChannels::KeepWaiting(cmd, polling, clock.nowMs() - start, deadline);
    };
    plat::Screen::DoEvents();
    if (!keepWaiting())
        return;
    QEventLoop loop;
    QTimer check;
    check.setInterval(kWaitCheckMs);
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (!keepWaiting())
            loop.quit();
    });
    if (engine) {
        connect(engine, &plat::Form::unloaded, &loop, &QEventLoop::quit);
        connect(&engine->engine(), &PollingEngine::PollingStopped, &loop, &QEventLoop::quit);
    }
    connect(this, &plat::Form::unloaded, &loop, &QEventLoop::quit);
    check.start();
    const plat::NestedLoop waiting;
    loop.exec();
}

void wTeleCmde::imgConsigne_Click()
{
    plat::guard(QStringLiteral("wTeleCmde.imgConsigne_Click"), [&] {
        const int channel = channelOrTold();
        if (channel == 0)
            return;
        const int help = mPanel->Channel(qint16(channel))->HelpNum();
        if (help == 0) {
            Global::Message(Config::GetText(710021), MsgStyle::vbCritical);
            return;
        }
        dlgConsigne::Open(this, QString(), dlgConsigne::InstructionText(help));
    });
}

void wTeleCmde::imgClose_Click()
{
    plat::guard(QStringLiteral("wTeleCmde.imgClose_Click"), [&] {
        tmrClign->setEnabled(false);
        tmrPoll->setEnabled(false);
        plat::Forms::Unload(this);
    });
}

void wTeleCmde::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
