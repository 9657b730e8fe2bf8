#include "program/screens/bus/wTechEtatModule.h"

#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenLook.h"
#include "platform/SerialControl.h"
#include "platform/Shape.h"
#include "platform/Theme.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"
#include "program/runtime/LampRows.h"
#include "program/screens/bus/TechCommand.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>

namespace {

using namespace ModuleLamps;

using LampRows::copyLabel;
using LampRows::copyShape;
using LampRows::place;
using LampRows::px;

constexpr int kWidth = 11070;
constexpr int kHeight = 6795;
constexpr int kButtonWidth = 645;
constexpr int kButtonHeight = 555;
// The caption beside a button, from the button's top.
constexpr int kCaptionLeft = 810;
constexpr int kCaptionWidth = 1500;
// The frames behind a label and a lamp stand out by this many pixels.
constexpr int kFrameMargin = 3;
// The status line before the first read.
const QString kNoRead(24, QLatin1Char('-'));

plat::Shape* shape(QWidget* parent, plat::Shape::Kind kind, const QRect& geometry, unsigned int fill, bool filled,
                   unsigned int border, int borderWidth)
{
    return LampRows::shape(parent, kind, geometry, filled ? std::optional<unsigned int>(fill) : std::nullopt, border,
                           borderWidth);
}

QLabel* text(QWidget* parent, const QRect& geometry, const QFont& font, Qt::Alignment align)
{
    auto* l = new QLabel(parent);
    l->setGeometry(geometry);
    l->setFont(font);
    l->setAlignment(align);
    return l;
}

// A value of the module's identity, in a white box.
QLabel* boxed(QWidget* parent, const QRect& geometry)
{
    QLabel* l = text(parent, geometry, plat::Theme::font(10, true), Qt::AlignCenter);
    plat::ScreenLook::paintField(l, plat::ScreenLook::FieldWhite);
    return l;
}

} // namespace

wTechEtatModule::wTechEtatModule() : ModuleLampScreen(FormNames::wTechEtatModule)
{
    setWindowFlags(Qt::Dialog);
    setDialog(true);
    plat::setTag(this, 830000);
    buildControls();
    m_width = [this](const QString& caption) { return QFontMetricsF(lblVoyant(0)->font()).horizontalAdvance(caption); };
}

void wTechEtatModule::buildControls()
{
    setFixedSize(px(kWidth), px(kHeight));
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(0));

    const QRect frames[] = {{8655, -30, 2355, 660}, {8655, 660, 2355, 1890}, {8655, 3210, 2355, 1950},
                            {75, -30, 8520, 6465}, {8655, 2490, 2355, 780}};
    for (int i = 0; i < 5; ++i) {
        auto* f = frmFrames.add(i, new QFrame(this));
        f->setFrameShape(QFrame::StyledPanel);
        f->setGeometry(place(frames[i]));
    }
    // The lamp test's frame shares its edges with the frames above and below it.
    plat::markOverlap(frmFrames(4));

    // The module's identity.
    lblModType.add(1, boxed(frmFrames(0), place(120, 210, 1290, 315)));
    // The fixed word fits its box at 10 points.
    lblLabels.add(0, text(frmFrames(0), place(1470, 225, 330, 285), plat::Theme::font(10, true), Qt::AlignCenter))
        ->setText(QStringLiteral("No"));
    lblModType.add(0, boxed(frmFrames(0), place(1845, 210, 435, 315)));

    // The commands, each with its caption beside it.
    buildButton(HornOn, frmFrames(1), 165, 6, TextIds::ModuleHornOn, "switch-on");
    buildButton(HornOff, frmFrames(1), 735, 7, TextIds::ModuleHornOff, "switch-off");
    shpKlaxon = shape(frmFrames(1), plat::Shape::Rectangle, place(225, 1365, 435, 435), DarkGrey, true, 0x000000, 1);
    shpKlaxon->setObjectName(QStringLiteral("shpKlaxon"));
    plat::setTag(lblLabels.add(2, text(frmFrames(1), place(kCaptionLeft, 1290, kCaptionWidth, 585),
                                       plat::Theme::font(10, true), Qt::AlignLeft | Qt::AlignVCenter)),
                 830013);
    buildButton(LampTest, frmFrames(4), 150, 3, TextIds::ModuleLampTest, "active");
    buildButton(AcknowledgeHorn, frmFrames(2), 165, 5, TextIds::ModuleAcknowledgeHorn, "hornstop");
    buildButton(Acknowledge, frmFrames(2), 750, 4, TextIds::ModuleAcknowledge, "acquit");
    buildButton(Clear, frmFrames(2), 1335, 8, TextIds::ModuleClear, "clear");

    // The lamp panel: its outline, the column separator and the hidden
    // templates of a channel row.
    QFrame* lamps = frmFrames(3);
    shpFond = shape(lamps, plat::Shape::Rectangle, place(60, 150, 8355, 6225), 0xFFFFFF, false, Blue, 3);
    shpFond->setObjectName(QStringLiteral("shpFond"));
    LineSep = shape(lamps, plat::Shape::Line, QRect(px(4200), px(165), 2, px(6345) - px(165)), Blue, false, Blue, 2);
    LineSep->setObjectName(QStringLiteral("LineSep"));
    shpVoyant.add(0, shape(lamps, plat::Shape::Rectangle, place(390, 330, 435, 255), Yellow, true, 0x000000, 1))->hide();
    QLabel* label = lblVoyant.add(0, text(lamps, place(930, 330, 3195, 375), plat::Theme::font(8), Qt::AlignLeft | Qt::AlignTop));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("background: %1; color: black; padding: 0px 2px;").arg(plat::Theme::fromBgr(Amber).name()));
    label->hide();
    lblNum.add(0, text(lamps, place(120, 330, 225, 240), plat::Theme::font(LampRows::NumberPointSize, true), Qt::AlignCenter))
        ->hide();
    shpBkTxt.add(0, shape(lamps, plat::Shape::Rectangle, place(930, 330, 3195, 375), LightGrey, true, FrameBorder, 1))->hide();
    shpBkLed.add(0, shape(lamps, plat::Shape::Rectangle, place(390, 330, 435, 255), LightGrey, true, FrameBorder, 1))->hide();

    // The status of the last read. The status text gets room for its
    // longest wording.
    plat::setTag(lblLabels.add(1, text(this, place(1965, 6510, 1035, 210), plat::Theme::font(8, true),
                                       Qt::AlignRight | Qt::AlignVCenter)),
                 830100);
    lblCommResult = text(this, place(3210, 6510, 2400, 210), plat::Theme::font(8), Qt::AlignLeft | Qt::AlignVCenter);
    lblCommResult->setObjectName(QStringLiteral("lblCommResult"));
    lblCommResult->setText(kNoRead);

    imgClose = plat::ScreenLook::button(this, "close", place(9120, 5415, 1500, 750));
    imgClose->setObjectName(QStringLiteral("imgClose"));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });

    buildTimers(PollIntervalMs, ClignIntervalMs);
}

void wTechEtatModule::buildButton(int index, QWidget* frame, int top, int labelIndex, int tag, const char* icon)
{
    auto* b = cmdBoutons.add(index, plat::ScreenLook::button(frame, icon, place(120, top, kButtonWidth, kButtonHeight)));
    connect(b, &QAbstractButton::clicked, this, [this, index] { cmdBoutons_Click(index); });
    QLabel* caption = lblLabels.add(labelIndex, text(frame, place(kCaptionLeft, top, kCaptionWidth, kButtonHeight),
                                                     plat::Theme::font(10, true), Qt::AlignLeft | Qt::AlignVCenter));
    caption->setWordWrap(true);
    plat::setTag(caption, tag);
    plat::forwardClicks(caption, b);
}

// ---- Life cycle -----------------------------------------------------------------

void wTechEtatModule::Form_Load()
{
    plat::guard(QStringLiteral("wTechEtatModule.Form_Load"), [&] {
        Nationality();
        m_closing = false;
        m_portReported = false;
        for (const auto& [i, lamp] : shpVoyant) {
            lamp->setFillColor(Yellow);
            plat::setTag(lamp, QString());
        }
    });
}

void wTechEtatModule::layOutChannels()
{
    m_lamps = LampCount(mPanel->ChannelCount());
    const double lineHeight = QFontMetricsF(lblVoyant(0)->font()).height();
    for (int i = 1; i <= m_lamps; ++i) {
        const Row row = RowOf(i, m_lamps, lblNum(0)->height() * plat::kTwipsPerPixel);

        QLabel* label = lblVoyant.load(i, copyLabel);
        label->setGeometry(place(row.label));
        const QString caption = Caption(*gConfig, *mPanel->Channel(qint16(i)));
        const int returns = CentringReturns(caption, label->width(), label->height(), m_width, lineHeight);
        label->setText(QString(returns, QLatin1Char('\n')) + caption);
        label->show();

        LampRows::showFramed(label, shpBkTxt.load(i, copyShape), kFrameMargin);

        plat::Shape* lamp = shpVoyant.load(i, copyShape);
        lamp->setGeometry(place(row.lamp));
        lamp->setFillColor(Yellow);
        plat::setTag(lamp, QString());
        lamp->show();
        lamp->raise();

        LampRows::showFramed(lamp, shpBkLed.load(i, copyShape), kFrameMargin);

        QLabel* number = lblNum.load(i, copyLabel);
        number->move(px(row.number.x()), px(row.number.y()));
        number->setText(QString::number(i));
        number->show();
        number->raise();
    }
    for (const auto& [i, b] : cmdBoutons)
        b->setEnabled(true);
}

QString wTechEtatModule::LampTag(int i) const
{
    return shpVoyant.exists(i) ? plat::tagOf(shpVoyant(i)) : QString();
}

// ---- The read cycle ---------------------------------------------------------------

void wTechEtatModule::tmrPoll_Timer()
{
    std::optional<plat::RtError> failed;
    QPointer<wTechEtatModule> self(this);
    plat::trapErrors([&] { readCycle(); }, [&](const plat::RtError& e) { failed = e; });
    if (!failed)
        return;
    // The next tick starts a new cycle.
    if (self)
        m_busy = false;
    plat::reportError(QStringLiteral("wTechEtatModule.tmrPoll_Timer"), *failed);
}

void wTechEtatModule::readCycle()
{
    if (!mPanel)
        return;
    QVector<qint16> words(mPanel->ChannelCount());
    if (m_closing) {
        m_busy = false;
        imgClose_Click();
        return;
    }
    if (m_busy)
        return;
    m_busy = true;
    const bool enabled = tmrPoll->Enabled();
    const QPointer<wTechEtatModule> self(this);

    for (int tries = 0;;) {
        if (!tmrPoll->Enabled()) {
            m_busy = false;
            return;
        }
        status(TextIds::ModuleReading);
        if (read(Bus::RegChannelState, words)) {
            status(TextIds::ModuleReadOk);
            for (int i = 1; i <= m_lamps; ++i)
                plat::setTag(shpVoyant(i), i <= words.size() ? QString::number(words[i - 1]) : QString());
            break;
        }
        status(TextIds::ModuleNoReply);
        if (!pauseAfterFailure(self))
            return;
        tries = (tries + 1) % Tries;
        if (tries == 0) {
            lampsUnknown();
            break;
        }
    }

    QVector<qint16> horn(1);
    for (int tries = 0;;) {
        status(TextIds::ModuleReading);
        if (read(Bus::RegHorn, horn)) {
            status(TextIds::ModuleReadOk);
            tries = 0;
            shpKlaxon->setFillColor(HornColor(horn[0]));
        } else {
            status(TextIds::ModuleNoReply);
            if (!pauseAfterFailure(self))
                return;
            tries = (tries + 1) % Tries;
            if (tries == 0)
                shpKlaxon->setFillColor(Yellow);
        }
        if (tries == 0) {
            m_busy = false;
            tmrPoll->setEnabled(enabled);
            return;
        }
    }
}

bool wTechEtatModule::read(int reg, QVector<qint16>& words)
{
    plat::SerialControl& port = TechCommand::Engine().CommBus();
    // Every try fails on a closed port: said once a visit, the lamps show the rest.
    if (!port.PortOpen()) {
        if (m_portReported)
            return false;
        m_portReported = true;
    }
    return CommFunctions::LitMots(port, quint8(mPanel->Numero()), reg, words);
}

void wTechEtatModule::status(int textId)
{
    lblCommResult->setText(Config::GetText(textId));
    repaint();
}

bool wTechEtatModule::pauseAfterFailure(const QPointer<wTechEtatModule>& self)
{
    plat::Screen::DoEvents();
    // Unloaded meanwhile from outside (the alarm screen, a logout): nothing
    // of it is touched any more.
    if (!self || IsUnloaded())
        return false;
    if (m_closing) {
        tmrPoll->setEnabled(false);
        tmrClign->setEnabled(false);
        m_busy = false;
        plat::Forms::Unload(this);
        return false;
    }
    repaint();
    return true;
}

void wTechEtatModule::lampsUnknown()
{
    for (int i = 1; i <= m_lamps; ++i) {
        shpVoyant(i)->setFillColor(Yellow);
        plat::setTag(shpVoyant(i), QString());
    }
}

void wTechEtatModule::tmrClign_Timer()
{
    plat::guard(QStringLiteral("wTechEtatModule.tmrClign_Timer"), [&] {
        if (m_closing)
            return;
        m_blink.step();
        for (int i = 1; i <= m_lamps; ++i)
            shpVoyant(i)->setFillColor(LampColor(plat::tagOf(shpVoyant(i)), m_blink));
    });
}

// ---- Commands -------------------------------------------------------------------

void wTechEtatModule::cmdBoutons_Click(int index)
{
    const bool enabled = tmrPoll->Enabled();
    tmrPoll->setEnabled(false);
    const QPointer<wTechEtatModule> self(this);
    plat::guard(QStringLiteral("wTechEtatModule.cmdBoutons_Click"), [&] {
        struct Write {
            int reg;
            qint16 value;
        };
        std::optional<Write> w;
        switch (index) {
        case LampTest:
            w = Write{Bus::RegLedTest, 1};
            break;
        case Acknowledge:
            w = Write{Bus::RegModuleCommand, 2};
            break;
        case AcknowledgeHorn:
            w = Write{Bus::RegModuleCommand, 1};
            break;
        case HornOn:
            w = Write{Bus::RegHorn, 1};
            break;
        case HornOff:
            w = Write{Bus::RegHorn, 0};
            break;
        case Clear:
            w = Write{Bus::RegModuleCommand, 3};
            break;
        default:
            break;
        }
        if (!w || !mPanel)
            return;
        wPolling& engine = TechCommand::Engine();
        TechCommand::Send(engine, TechCommand::Write(engine, mPanel->Numero(), w->reg, w->value));
    });
    if (self && !IsUnloaded())
        tmrPoll->setEnabled(enabled);
}

void wTechEtatModule::imgClose_Click()
{
    plat::guard(QStringLiteral("wTechEtatModule.imgClose_Click"), [&] {
        tmrClign->setEnabled(false);
        tmrPoll->setEnabled(false);
        m_closing = true;
        plat::Forms::Unload(this);
    });
}

void wTechEtatModule::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
