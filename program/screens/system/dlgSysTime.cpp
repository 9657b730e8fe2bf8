#include "program/screens/system/dlgSysTime.h"

#include "platform/Captions.h"
#include "platform/FormTimer.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "platform/WallClock.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMessage.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"
#include "program/screens/system/ClockFields.h"
#include "program/screens/system/ScreenExits.h"

#include <QLabel>

namespace {

using namespace plat::ScreenLook;

constexpr int kWidth = 720;
constexpr int kHeight = 380;
constexpr int kBand = 56;
constexpr int kStep = 56;
constexpr int kGap = 4;
constexpr int kValueWidth = 72;
constexpr int kYearWidth = 104;
constexpr int kSeparatorWidth = 24;
constexpr int kCaptionHeight = 24;
constexpr int kFieldHeight = 64;
constexpr int kDateTop = kBand + 20;
constexpr int kTimeTop = kDateTop + kCaptionHeight + kFieldHeight + 24;
constexpr int kAskStyle = MsgStyle::vbOKCancel | MsgStyle::vbQuestion;
constexpr int kOk = 1;

plat::WallClock*& installedClock()
{
    static plat::WallClock* clock = nullptr;
    return clock;
}

plat::WallClock& wallClock()
{
    plat::WallClock* c = installedClock();
    return c ? *c : plat::systemWallClock();
}

int valueWidth(int field)
{
    return field == ClockFields::Year ? kYearWidth : kValueWidth;
}

int blockWidth(int field)
{
    return kStep + kGap + valueWidth(field) + kGap + kStep;
}

} // namespace

void dlgSysTime::setWallClock(plat::WallClock* clock)
{
    installedClock() = clock;
}

dlgSysTime::dlgSysTime() : plat::Form(FormNames::dlgSysTime)
{
    setWindowFlag(Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(kBand));
    buildControls();
}

void dlgSysTime::buildControls()
{
    Label1 = bandLabel(this, 18, {24, 0, kWidth - 48, kBand});
    Label1->setObjectName(QStringLiteral("Label1"));
    plat::setTag(Label1, 800110);

    // Day / month / year above, hour : minute : second below.
    for (int row = 0; row < 2; ++row) {
        const int first = row * 3;
        int total = 2 * kSeparatorWidth;
        for (int f = first; f < first + 3; ++f)
            total += blockWidth(f);
        int x = (kWidth - total) / 2;
        const int top = row == 0 ? kDateTop : kTimeTop;
        for (int f = first; f < first + 3; ++f) {
            if (f > first) {
                QLabel* separator = label(this, 24, true, Qt::AlignCenter);
                separator->setText(row == 0 ? QStringLiteral("/") : QStringLiteral(":"));
                separator->setGeometry(x, top + kCaptionHeight, kSeparatorWidth, kFieldHeight);
                x += kSeparatorWidth;
            }
            auto* caption = lblTime.add(f, label(this, 11, false, Qt::AlignCenter));
            caption->setGeometry(x, top, blockWidth(f), kCaptionHeight);
            plat::setTag(caption, TextIds::ClockFieldFirst + f);

            auto* down = imgControl.add(2 * f, button(this, "minus", {x, top + kCaptionHeight, kStep, kFieldHeight}));
            auto* value = lblDate.add(f, new plat::Label(this));
            value->setFont(plat::Theme::font(24, true));
            value->setAlignment(Qt::AlignCenter);
            value->setGeometry(x + kStep + kGap, top + kCaptionHeight, valueWidth(f), kFieldHeight);
            paintField(value, FieldWhite);
            auto* up = imgControl.add(2 * f + 1, button(this, "plus",
                                                      {x + kStep + 2 * kGap + valueWidth(f), top + kCaptionHeight,
                                                       kStep, kFieldHeight}));
            for (auto* b : {down, up}) {
                const int i = imgControl.indexOf(b);
                connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
            }
            connect(value, &plat::Label::Change, this, [this, f] { lblDate_Change(f); });
            x += blockWidth(f);
        }
    }

    const int buttonTop = kHeight - kFieldHeight - 16;
    cmdBoutons.add(CmdClose, button(this, "cancel", {24, buttonTop, 88, kFieldHeight}));
    cmdBoutons.add(CmdSet, button(this, "ok", {kWidth - 24 - 88, buttonTop, 88, kFieldHeight}));
    for (int i : {CmdClose, CmdSet})
        connect(cmdBoutons(i), &QAbstractButton::clicked, this, [this, i] { cmdBoutons_Click(i); });

    tmrTimeUpdate = new plat::FormTimer(QStringLiteral("tmrTimeUpdate"), this);
    tmrTimeUpdate->setInterval(UpdateIntervalMs);
    connect(tmrTimeUpdate, &plat::FormTimer::Timer, this, [this] { tmrTimeUpdate_Timer(); });
}

void dlgSysTime::Form_Load()
{
    plat::guard(QStringLiteral("dlgSysTime.Form_Load"), [&] {
        Nationality();
        tmrTimeUpdate_Timer();
        tmrTimeUpdate->setEnabled(true);
    });
}

void dlgSysTime::Nationality()
{
    plat::guard(QStringLiteral("dlgSysTime.Nationality"), [&] { plat::applyCaptions(this); });
}

void dlgSysTime::tmrTimeUpdate_Timer()
{
    plat::guard(QStringLiteral("dlgSysTime.tmrTimeUpdate_Timer"), [&] {
        const ClockFields::Values now = ClockFields::Of(wallClock().now());
        m_refreshing = true;
        for (int f = 0; f < ClockFields::Count; ++f)
            lblDate(f)->setCaption(ClockFields::Format(now[f]));
        m_refreshing = false;
    });
    m_refreshing = false;
}

void dlgSysTime::lblDate_Change(int)
{
    // A change by the operator freezes all six fields.
    if (!m_refreshing)
        tmrTimeUpdate->setEnabled(false);
}

void dlgSysTime::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgSysTime.imgControl_Click"), [&] {
        plat::Label* field = lblDate(ClockFields::FieldOf(index));
        field->setCaption(ClockFields::Step(field->Caption(), index));
    });
}

void dlgSysTime::cmdBoutons_Click(int index)
{
    plat::guard(QStringLiteral("dlgSysTime.cmdBoutons_Click"), [&] {
        switch (index) {
        case CmdClose:
            plat::Forms::Unload(this);
            ScreenExits::ReopenMenu(ScreenExits::SystemMenu);
            break;
        case CmdSet:
            setClock();
            break;
        default:
            break;
        }
    });
}

void dlgSysTime::setClock()
{
    ClockFields::Values v{};
    for (int f = 0; f < ClockFields::Count; ++f)
        v[f] = int(plat::Val(lblDate(f)->Caption()));
    const plat::DateTime moment = ClockFields::Compose(v);
    plat::WallClock& clock = wallClock();
    // The next midnight would purge the trace and history files by the new date.
    if (ClockFields::FarAhead(clock.now(), moment) && Global::Message(Config::GetText(800130), kAskStyle) != kOk)
        return;
    clock.set(moment);
    // Polls and commands reckoned on the old clock must not wait for the new one.
    if (auto* engine = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)))
        engine->ClockChanged();
    tmrTimeUpdate->setEnabled(true);
}

void dlgSysTime::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
