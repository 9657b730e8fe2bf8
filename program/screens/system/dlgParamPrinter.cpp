#include "program/screens/system/dlgParamPrinter.h"

#include "platform/Captions.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "program/core/TextIds.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 430;
constexpr int kBand = 60;
constexpr int kMargin = 16;
constexpr int kRowHeight = 40;
constexpr int kRowPitch = 46;
constexpr int kColumnWidth = 200;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 64;

// Dark text on the light colours, white on the dark ones.
QColor inkOn(const QColor& background)
{
    const double luminance = 0.299 * background.red() + 0.587 * background.green() + 0.114 * background.blue();
    return luminance > 150 ? plat::Theme::text() : QColor(Qt::white);
}

QString choiceStyle(const char* kind, const QColor& background)
{
    return QStringLiteral("%1 { background: %2; color: %3; border: 1px solid %4; border-radius: 6px; padding-left: 8px; }"
                          "%1:disabled { background: %5; color: %6; }")
        .arg(QLatin1String(kind), background.name(), inkOn(background).name(), plat::Theme::buttonBorder().name(),
             plat::Theme::buttonDisabled().name(), plat::Theme::textDisabled().name());
}

} // namespace

dlgParamPrinter::dlgParamPrinter() : plat::Form(FormNames::dlgParamPrinter)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(kBand));

    lblLegend = plat::ScreenLook::bandLabel(this, 15, {kMargin, 0, kWidth - 2 * kMargin, kBand});
    lblLegend->setObjectName(QStringLiteral("lblLegend"));

    m_colours = new QButtonGroup(this);
    for (int i = 0; i < int(std::size(ColourBackgrounds)) + 1; ++i) {
        auto* o = optColor.add(i, new QRadioButton(this));
        o->setFont(plat::Theme::font(12, true));
        o->setFocusPolicy(Qt::NoFocus);
        o->setGeometry(kMargin, kBand + kMargin + i * kRowPitch, kColumnWidth, kRowHeight);
        const unsigned int bgr = i == 0 ? 0u : ColourBackgrounds[i - 1];
        o->setStyleSheet(choiceStyle("QRadioButton", i == 0 ? plat::Theme::panel() : plat::Theme::fromBgr(bgr))
                         + plat::ScreenLook::optionMark());
        if (i > 0)
            o->setProperty("BackColor", bgr);
        plat::setTag(o, TextIds::PrinterColourFirst + i);
        m_colours->addButton(o, i);
    }
    for (int k = 0; k < 3; ++k) {
        auto* c = chkStyle.add(k, new QCheckBox(this));
        c->setFont(plat::Theme::font(12, true));
        c->setFocusPolicy(Qt::NoFocus);
        c->setGeometry(2 * kMargin + kColumnWidth, kBand + kMargin + k * kRowPitch,
                       kWidth - 3 * kMargin - kColumnWidth, kRowHeight);
        c->setStyleSheet(choiceStyle("QCheckBox", plat::Theme::panel())
                         + QStringLiteral("QCheckBox::indicator { width: 24px; height: 24px; }"));
        plat::setTag(c, TextIds::PrinterStyleFirst + k);
    }

    const char* const icons[] = {"cancel", "ok"};
    for (int i : {ButtonCancel, ButtonOk}) {
        auto* b = imgControl.add(
            i, plat::ScreenLook::button(this, QLatin1String(icons[i]),
                                        {kWidth - kMargin - (2 - i) * kButtonWidth - (1 - i) * kMargin,
                                         kHeight - kMargin - kButtonHeight, kButtonWidth, kButtonHeight}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
}

void dlgParamPrinter::Form_Load()
{
    plat::guard(QStringLiteral("dlgParamPrinter.Form_Load"), [&] { Nationality(); });
}

int dlgParamPrinter::SelectedColour() const
{
    return m_colours->checkedId();
}

void dlgParamPrinter::selectColour(int index)
{
    if (optColor.exists(index)) {
        optColor(index)->setChecked(true);
        return;
    }
    // An exclusive group keeps one option on; it lets go only while not exclusive.
    m_colours->setExclusive(false);
    for (const auto& [i, o] : optColor)
        o->setChecked(false);
    m_colours->setExclusive(true);
}

void dlgParamPrinter::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgParamPrinter.imgControl_Click"), [&] {
        m_ok = index == ButtonOk;
        Hide();
    });
}

void dlgParamPrinter::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
