#include "program/screens/bus/dlgEditMirror.h"

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "program/core/Config.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMessage.h"
#include "program/core/TextIds.h"
#include "program/core/dlgMessage.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {

using namespace plat::ScreenLook;

constexpr int kBand = 12;
constexpr int kMargin = 16;
constexpr int kGroupWidth = (dlgEditMirror::kWidth - 3 * kMargin) / 2;
constexpr int kGroupTop = kBand + 12;
constexpr int kGroupHeight = 252;
constexpr int kArrow = 56;
constexpr int kInner = 12;
constexpr int kCaptionHeight = 24;
constexpr int kRowHeight = kCaptionHeight + 4 + kArrow;
// The module row, its model name, then the channel row.
constexpr int kModuleTop = 28;
constexpr int kModelTop = kModuleTop + kRowHeight + 4;
constexpr int kChannelTop = kModelTop + 30;
constexpr int kBottomTop = kGroupTop + kGroupHeight + 12;
constexpr int kBottomHeight = dlgEditMirror::kHeight - kBottomTop - kMargin;
constexpr int kTypeWidth = 340;

} // namespace

dlgEditMirror::dlgEditMirror() : plat::Form(FormNames::dlgEditMirror)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(kBand));

    for (int side : {FrameSource, FrameDestination}) {
        auto* g = frmFrames.add(side, group(this, {kMargin + side * (kGroupWidth + kMargin), kGroupTop, kGroupWidth,
                                                   kGroupHeight}));
        g->setFont(plat::Theme::font(13, true));
        plat::setTag(g, side == FrameSource ? 510200 : 510201);
    }
    QGroupBox* source = frmFrames(FrameSource);
    QGroupBox* dest = frmFrames(FrameDestination);

    lblSrceModNo = numberRow(source, kModuleTop, 0, MirrorChoice::SourceModuleDown, MirrorChoice::SourceModuleUp);
    lblSrceChnlNo = numberRow(source, kChannelTop, 1, MirrorChoice::SourceChannelDown, MirrorChoice::SourceChannelUp);
    lblDestModNo = numberRow(dest, kModuleTop, 2, MirrorChoice::DestModuleDown, MirrorChoice::DestModuleUp);
    // The destination channel goes with its own panel, shown for a channel mirror only.
    frmDestChnl = new QFrame(dest);
    frmDestChnl->setObjectName(QStringLiteral("frmDestChnl"));
    frmDestChnl->setGeometry(0, kChannelTop, kGroupWidth, kRowHeight);
    lblDestChnlNo = numberRow(frmDestChnl, 0, 3, MirrorChoice::DestChannelDown, MirrorChoice::DestChannelUp);
    lblSrceModNo->setObjectName(QStringLiteral("lblSrceModNo"));
    lblSrceChnlNo->setObjectName(QStringLiteral("lblSrceChnlNo"));
    lblDestModNo->setObjectName(QStringLiteral("lblDestModNo"));
    lblDestChnlNo->setObjectName(QStringLiteral("lblDestChnlNo"));

    for (auto [type, parent] : {std::pair{&lblSrceModType, source}, std::pair{&lblDestModType, dest}}) {
        auto* l = new plat::Label(parent);
        l->setFont(plat::Theme::font(12, false));
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(kInner, kModelTop, kGroupWidth - 2 * kInner, 24);
        *type = l;
    }
    lblSrceModType->setObjectName(QStringLiteral("lblSrceModType"));
    lblDestModType->setObjectName(QStringLiteral("lblDestModType"));

    connect(lblSrceModNo, &plat::Label::Change, this, [this] { lblSrceModNo_Change(); });
    connect(lblSrceChnlNo, &plat::Label::Change, this, [this] { lblSrceChnlNo_Change(); });
    connect(lblDestModNo, &plat::Label::Change, this, [this] { lblDestModNo_Change(); });
    // The other captions have no rule of their own: the choice takes them as they are set.
    connect(lblSrceModType, &plat::Label::Change, this, [this] {
        if (!m_showing)
            m_choice.setSrceModType(lblSrceModType->Caption());
    });
    connect(lblDestModType, &plat::Label::Change, this, [this] {
        if (!m_showing)
            m_choice.setDestModType(lblDestModType->Caption());
    });
    connect(lblDestChnlNo, &plat::Label::Change, this, [this] {
        if (!m_showing)
            m_choice.setDestChnlNo(lblDestChnlNo->Caption());
    });

    frmType = group(this, {kMargin, kBottomTop, kTypeWidth, kBottomHeight});
    frmType->setObjectName(QStringLiteral("frmType"));
    frmType->setFont(plat::Theme::font(13, true));
    plat::setTag(frmType, 510206);
    for (int t : {1, 2}) {
        auto* o = optType.add(t, new QRadioButton(frmType));
        // Both may be clear: the rules keep one at most.
        o->setAutoExclusive(false);
        o->setFont(plat::Theme::font(13, true));
        o->setFocusPolicy(Qt::NoFocus);
        o->setStyleSheet(optionMark());
        o->setGeometry(kInner + (t - 1) * (kTypeWidth - 2 * kInner) / 2, 30, (kTypeWidth - 2 * kInner) / 2,
                       kBottomHeight - 38);
        plat::setTag(o, TextIds::MirrorTypeFirst + t);
        connect(o, &QRadioButton::toggled, this, [this, t](bool on) {
            if (m_showing)
                return;
            m_choice.setOption(t, on);
            showChoice();
        });
        connect(o, &QRadioButton::clicked, this, [this, t] { optType_Click(t); });
    }

    const int buttonTop = kBottomTop + (kBottomHeight - 64) / 2 + 6;
    imgControl.add(ControlCancel, button(this, "cancel", {kWidth - kMargin - 2 * 72 + 8, buttonTop, 64, 64}));
    imgControl.add(ControlOk, button(this, "ok", {kWidth - kMargin - 64, buttonTop, 64, 64}));
    for (const auto& [index, b] : imgControl) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    m_sourceChannelButtons = m_choice.SourceChannelButtons();
    imgPlusMoins(MirrorChoice::SourceChannelDown)->setVisible(m_sourceChannelButtons);
    imgPlusMoins(MirrorChoice::SourceChannelUp)->setVisible(m_sourceChannelButtons);
    frmType->setVisible(m_choice.ChannelGroups());
    frmDestChnl->setVisible(m_choice.ChannelGroups());
}

plat::Label* dlgEditMirror::numberRow(QWidget* parent, int top, int caption, int down, int up)
{
    const int width = kGroupWidth - 2 * kInner;
    auto* c = lblLabels.add(caption, label(parent, 12, true, Qt::AlignLeft | Qt::AlignVCenter));
    c->setGeometry(kInner, top, width, kCaptionHeight);
    plat::setTag(c, TextIds::MirrorNumberCaptionFirst + caption);
    const int rowTop = top + kCaptionHeight + 4;
    imgPlusMoins.add(down, button(parent, "minus", {kInner, rowTop, kArrow, kArrow}));
    imgPlusMoins.add(up, button(parent, "plus", {kInner + width - kArrow, rowTop, kArrow, kArrow}));
    for (int i : {down, up})
        connect(imgPlusMoins(i), &QAbstractButton::clicked, this, [this, i] { imgPlusMoins_Click(i); });
    auto* number = new plat::Label(parent);
    number->setFont(plat::Theme::font(20, true));
    number->setAlignment(Qt::AlignCenter);
    paintField(number, FieldWhite);
    number->setGeometry(kInner + kArrow + 8, rowTop, width - 2 * (kArrow + 8), kArrow);
    return number;
}

void dlgEditMirror::Form_Load()
{
    plat::guard(QStringLiteral("dlgEditMirror.Form_Load"), [&] { Nationality(); });
}

void dlgEditMirror::Nationality()
{
    plat::guard(QStringLiteral("dlgEditMirror.Nationality"), [&] { plat::applyCaptions(this); });
}

void dlgEditMirror::lblSrceModNo_Change()
{
    plat::guard(QStringLiteral("dlgEditMirror.lblSrceModNo_Change"), [&] {
        if (m_showing)
            return;
        m_choice.setSrceModNo(lblSrceModNo->Caption());
        showChoice();
    });
}

void dlgEditMirror::lblSrceChnlNo_Change()
{
    plat::guard(QStringLiteral("dlgEditMirror.lblSrceChnlNo_Change"), [&] {
        if (m_showing)
            return;
        m_choice.setSrceChnlNo(lblSrceChnlNo->Caption());
        showChoice();
    });
}

void dlgEditMirror::lblDestModNo_Change()
{
    plat::guard(QStringLiteral("dlgEditMirror.lblDestModNo_Change"), [&] {
        if (m_showing)
            return;
        m_choice.setDestModNo(lblDestModNo->Caption());
        showChoice();
    });
}

void dlgEditMirror::showChoice()
{
    m_showing = true;
    lblSrceModNo->setCaption(m_choice.SrceModNo());
    lblSrceModType->setCaption(m_choice.SrceModType());
    lblSrceChnlNo->setCaption(m_choice.SrceChnlNo());
    lblDestModNo->setCaption(m_choice.DestModNo());
    lblDestModType->setCaption(m_choice.DestModType());
    lblDestChnlNo->setCaption(m_choice.DestChnlNo());
    if (m_choice.SourceChannelButtons() != m_sourceChannelButtons) {
        m_sourceChannelButtons = m_choice.SourceChannelButtons();
        imgPlusMoins(MirrorChoice::SourceChannelDown)->setVisible(m_sourceChannelButtons);
        imgPlusMoins(MirrorChoice::SourceChannelUp)->setVisible(m_sourceChannelButtons);
    }
    frmType->setVisible(m_choice.ChannelGroups());
    frmDestChnl->setVisible(m_choice.ChannelGroups());
    for (int t : {1, 2})
        optType(t)->setChecked(m_choice.Option(t));
    m_showing = false;
}

void dlgEditMirror::imgPlusMoins_Click(int index)
{
    plat::guard(QStringLiteral("dlgEditMirror.imgPlusMoins_Click"), [&] {
        m_choice.Press(index);
        showChoice();
    });
}

void dlgEditMirror::optType_Click(int index)
{
    plat::guard(QStringLiteral("dlgEditMirror.optType_Click"), [&] {
        // Touching the chosen type keeps it chosen.
        m_choice.setOption(index, true);
        showChoice();
    });
}

void dlgEditMirror::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgEditMirror.imgControl_Click"), [&] {
        if (index == ControlOk) {
            if (!m_choice.Accept()) {
                Global::Message(Config::GetText(TextIds::ValuesMissing), MsgStyle::vbCritical);
                return;
            }
            m_ok = true;
            Hide();
        } else if (index == ControlCancel) {
            m_ok = false;
            Hide();
        }
    });
}

void dlgEditMirror::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
