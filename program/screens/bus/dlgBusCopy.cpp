#include "program/screens/bus/dlgBusCopy.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/screens/bus/ModuleCopy.h"
#include "program/screens/bus/wBusModules.h"

#include <QLabel>
#include <QPushButton>

namespace {

using namespace plat::ScreenLook;

constexpr int kMargin = 24;
constexpr int kColumnWidth = 200;
constexpr int kColumnGap = dlgBusCopy::kWidth - 2 * kMargin - 2 * kColumnWidth;
constexpr int kCaptionTop = Band + 16;
constexpr int kCaptionHeight = 32;
constexpr int kNumberTop = kCaptionTop + kCaptionHeight + 8;
constexpr int kArrow = 64;
constexpr int kNumberGap = 8;
constexpr int kCommandTop = kNumberTop + kArrow + 36;
constexpr int kCommandHeight = 64;

} // namespace

dlgBusCopy::dlgBusCopy() : plat::Form(FormNames::dlgBusCopy)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(Band));

    lblLabels = bandLabel(this, 18, {kMargin, 0, kWidth - 2 * kMargin, Band});
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    plat::setTag(lblLabels, 201000);

    const QString numberStyle = QStringLiteral("background: %1; border: 1px solid %2; border-radius: 6px;")
                                    .arg(plat::Theme::panel().name(), plat::Theme::buttonBorder().name());
    for (int side : {Source, Target}) {
        const int left = kMargin + side * (kColumnWidth + kColumnGap);
        auto* caption = lblPanelCaption.add(side, label(this, 13, true, Qt::AlignCenter));
        caption->setGeometry(left, kCaptionTop, kColumnWidth, kCaptionHeight);
        plat::setTag(caption, side == Source ? 201010 : 201011);

        const int down = side == Source ? ModuleCopy::SourceDown : ModuleCopy::TargetDown;
        const int up = side == Source ? ModuleCopy::SourceUp : ModuleCopy::TargetUp;
        imgControl.add(down, button(this, "previous", {left, kNumberTop, kArrow, kArrow}));
        imgControl.add(up, button(this, "next", {left + kColumnWidth - kArrow, kNumberTop, kArrow, kArrow}));

        auto* no = lblPanelNo.add(side, new plat::Label(this));
        no->setFont(plat::Theme::font(26, true));
        no->setAlignment(Qt::AlignCenter);
        no->setStyleSheet(numberStyle);
        no->setGeometry(left + kArrow + kNumberGap, kNumberTop, kColumnWidth - 2 * (kArrow + kNumberGap), kArrow);
        connect(no, &plat::Label::Change, this, [this, side] { lblPanelNo_Change(side); });
    }
    for (const auto& [index, arrow] : imgControl) {
        const int i = index;
        connect(arrow, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    const QString style = commandStyle();
    for (int i : {CmdClose, CmdCopy}) {
        auto* b = cmdBoutons.add(i, new QPushButton(this));
        b->setFont(plat::Theme::font(15, true));
        b->setStyleSheet(style);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(kMargin + i * (kColumnWidth + kColumnGap), kCommandTop, kColumnWidth, kCommandHeight);
        plat::setTag(b, i == CmdClose ? 10008 : 10009);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdBoutons_Click(i); });
    }
}

void dlgBusCopy::Form_Load()
{
    plat::guard(QStringLiteral("dlgBusCopy.Form_Load"), [&] {
        lblPanelNo(Source)->setCaption(QStringLiteral("1"));
        lblPanelNo(Target)->setCaption(QStringLiteral("1"));
        Nationality();
    });
}

void dlgBusCopy::Nationality()
{
    plat::guard(QStringLiteral("dlgBusCopy.Nationality"), [&] { plat::applyCaptions(this); });
}

int dlgBusCopy::number(int index) const
{
    return plat::CInt(plat::Val(lblPanelNo(index)->Caption()));
}

void dlgBusCopy::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgBusCopy.imgControl_Click"), [&] {
        const ModuleCopy::Numbers n = ModuleCopy::Step({number(Source), number(Target)}, index);
        lblPanelNo(Source)->setCaption(QString::number(n.source));
        lblPanelNo(Target)->setCaption(QString::number(n.target));
    });
}

void dlgBusCopy::lblPanelNo_Change(int)
{
    plat::guard(QStringLiteral("dlgBusCopy.lblPanelNo_Change"), [&] {
        cmdBoutons(CmdCopy)->setEnabled(ModuleCopy::CanCopy({number(Source), number(Target)}));
    });
}

void dlgBusCopy::cmdBoutons_Click(int index)
{
    plat::guard(QStringLiteral("dlgBusCopy.cmdBoutons_Click"), [&] {
        if (index == CmdClose) {
            plat::Forms::Unload(this);
            return;
        }
        if (index != CmdCopy)
            return;
        ModuleCopy::Copy(number(Source), number(Target));
        if (Global::NbInstances(FormNames::wBusModules) > 0)
            if (auto* overview = qobject_cast<wBusModules*>(plat::Forms::Find(FormNames::wBusModules)))
                overview->HabillePanneaux();
    });
}

void dlgBusCopy::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
