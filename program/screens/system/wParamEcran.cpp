#include "program/screens/system/wParamEcran.h"

#include "Stillmark/_ActivityDetect.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"
#include "program/screens/system/ScreenExits.h"

#include <QLabel>

namespace {

using namespace plat::ScreenLook;

// The bar of leave and close buttons along the bottom.
constexpr int kButton = 64;
constexpr int kBarTop = ScreenHeight - kButton - 10;

constexpr int kRowLabelLeft = 24;
constexpr int kRowLabelWidth = 248;
constexpr int kMarkerWidth = 28;
constexpr int kFirstColumn = 308;
constexpr int kColumnWidth = 116;
constexpr int kTickWidth = 72;
constexpr int kHeaderTop = 68;
constexpr int kFirstRow = 106;
constexpr int kRowPitch = 42;
constexpr int kRowHeight = 36;
constexpr int kAdviceTop = kFirstRow + EventOptions::Rows * kRowPitch;
constexpr int kInactivityTop = kAdviceTop + 30;
constexpr int kInactivityCaptionWidth = 400;
constexpr int kInactivityLeft = kRowLabelLeft + kInactivityCaptionWidth + 12;
constexpr int kNotesTop = kInactivityTop + 54;
constexpr int kNoteHeight = 22;

constexpr int kStyleQuestion = MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;

QRect tickRect(int column, int row)
{
    return QRect(kFirstColumn + column * kColumnWidth + (kColumnWidth - kTickWidth) / 2,
                 kFirstRow + row * kRowPitch, kTickWidth, kRowHeight);
}

QLabel* marker(QWidget* parent, const char* text, const QRect& geometry)
{
    QLabel* l = label(parent, 9, true, Qt::AlignLeft | Qt::AlignVCenter);
    l->setText(QLatin1String(text));
    l->setGeometry(geometry);
    return l;
}

} // namespace

wParamEcran::wParamEcran() : plat::Form(FormNames::wParamEcran)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    buildControls();
}

void wParamEcran::buildControls()
{
    auto* face = new QLabel(this);
    auto* shadow = new QLabel(this);
    title(face, shadow);
    plat::setTag(face, 420000);
    plat::setTag(shadow, 420000);

    for (int c = 0; c < EventOptions::Columns; ++c) {
        auto* header = label(this, 12, true, Qt::AlignCenter);
        header->setGeometry(kFirstColumn + c * kColumnWidth, kHeaderTop, kColumnWidth, 32);
        plat::setTag(header, TextIds::EventOptionColumnFirst + c);
    }
    for (int r = 0; r < EventOptions::Rows; ++r) {
        auto* name = label(this, 12, false);
        name->setGeometry(kRowLabelLeft, kFirstRow + r * kRowPitch, kRowLabelWidth, kRowHeight);
        plat::setTag(name, TextIds::EventOptionRowFirst + r);
    }
    void (wParamEcran::*handlers[EventOptions::Columns])(int) = {
        &wParamEcran::lblAffich_Click, &wParamEcran::lblHisto_Click, &wParamEcran::lblPrint_Click,
        &wParamEcran::lblKlaxon_Click};
    for (int c = 0; c < EventOptions::Columns; ++c)
        for (int r = 0; r < EventOptions::Rows; ++r) {
            auto* tick = column(c).add(r, label(this, 16, true, Qt::AlignCenter));
            tick->setGeometry(tickRect(c, r));
            tick->setCursor(Qt::PointingHandCursor);
            paintField(tick, FieldWhite);
            const auto handler = handlers[c];
            plat::onClick(tick, [this, handler, r] { (this->*handler)(r); });
        }

    // Where the notes below apply.
    const int markerLeft = kRowLabelLeft + kRowLabelWidth;
    auto rowMarker = [&](const char* text, int row) {
        marker(this, text, {markerLeft, kFirstRow + row * kRowPitch, kMarkerWidth, kRowHeight});
    };
    rowMarker("(2)", 1);
    rowMarker("(2)", 2);
    rowMarker("(3)", 3);
    rowMarker("(4)", 4);
    const QRect hornPresence = tickRect(EventOptions::Horn, 0);
    marker(this, "(1)", {hornPresence.right() + 4, hornPresence.top(), kMarkerWidth, kRowHeight});

    auto* advice = label(this, 10, false);
    advice->setGeometry(kRowLabelLeft, kAdviceTop, ScreenWidth - 2 * kRowLabelLeft, 24);
    plat::setTag(advice, 420115);

    auto* inactivity = label(this, 12, true);
    inactivity->setGeometry(kRowLabelLeft, kInactivityTop, kInactivityCaptionWidth, 44);
    plat::setTag(inactivity, 420010);
    lblInacTime = label(this, 16, true, Qt::AlignCenter);
    lblInacTime->setObjectName(QStringLiteral("lblInacTime"));
    lblInacTime->setGeometry(kInactivityLeft, kInactivityTop, 80, 44);
    paintField(lblInacTime, FieldWhite);
    auto* unit = label(this, 12, false);
    unit->setText(QStringLiteral("mn"));
    unit->setGeometry(kInactivityLeft + 88, kInactivityTop, 40, 44);
    imgControl.add(ControlInactivity, button(this, "edit", {kInactivityLeft + 136, kInactivityTop - 6, 72, 56}));
    connect(imgControl(ControlInactivity), &QAbstractButton::clicked, this,
            [this] { imgControl_Click(ControlInactivity); });

    auto* notes = label(this, 11, true);
    notes->setGeometry(kRowLabelLeft, kNotesTop, 400, kNoteHeight);
    plat::setTag(notes, 420120);
    for (int i = 0; i < 4; ++i) {
        auto* note = label(this, 9, false);
        note->setGeometry(kRowLabelLeft, kNotesTop + (i + 1) * kNoteHeight, ScreenWidth - 2 * kRowLabelLeft,
                          kNoteHeight);
        plat::setTag(note, TextIds::EventOptionNoteFirst + i);
    }

    imgNavig.add(NavigLeave, button(this, "leave", {24, kBarTop, kButton, kButton}));
    connect(imgNavig(NavigLeave), &QAbstractButton::clicked, this, [this] { imgNavig_Click(NavigLeave); });
    imgClose = button(this, "cancel", {ScreenWidth - 24 - kButton, kBarTop, kButton, kButton});
    imgClose->setObjectName(QStringLiteral("imgClose"));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });
}

plat::ControlArray<QLabel>& wParamEcran::column(int c)
{
    switch (c) {
    case EventOptions::Screen:
        return lblAffich;
    case EventOptions::History:
        return lblHisto;
    case EventOptions::Printer:
        return lblPrint;
    default:
        return lblKlaxon;
    }
}

EventOptions::Ticks wParamEcran::ticks()
{
    EventOptions::Ticks t;
    for (int c = 0; c < EventOptions::Columns; ++c)
        for (int r = 0; r < EventOptions::Rows; ++r)
            t[c][r] = column(c)(r)->text();
    return t;
}

void wParamEcran::Form_Load()
{
    plat::guard(QStringLiteral("wParamEcran.Form_Load"), [&] {
        plat::Screen::shareCustomPointer(this, imgNavig(NavigLeave));
        const EventOptions::Ticks shown = EventOptions::Read(*gConfig);
        for (int c = 0; c < EventOptions::Columns; ++c)
            for (int r = 0; r < EventOptions::Rows; ++r)
                column(c)(r)->setText(shown[c][r]);
        lblInacTime->setText(QString::number(gConfig->InactivityTime()));
        Nationality();
        Global::MiseAEchelle(this);
    });
}

void wParamEcran::Nationality()
{
    plat::guard(QStringLiteral("wParamEcran.Nationality"), [&] { plat::applyCaptions(this); });
}

void wParamEcran::toggle(plat::ControlArray<QLabel>& ticks, int index)
{
    QLabel* tick = ticks(index);
    tick->setText(EventOptions::Toggled(tick->text()));
}

void wParamEcran::lblAffich_Click(int index)
{
    plat::guard(QStringLiteral("wParamEcran.lblAffich_Click"), [&] { toggle(lblAffich, index); });
}

void wParamEcran::lblHisto_Click(int index)
{
    plat::guard(QStringLiteral("wParamEcran.lblHisto_Click"), [&] { toggle(lblHisto, index); });
}

void wParamEcran::lblPrint_Click(int index)
{
    plat::guard(QStringLiteral("wParamEcran.lblPrint_Click"), [&] { toggle(lblPrint, index); });
}

void wParamEcran::lblKlaxon_Click(int index)
{
    plat::guard(QStringLiteral("wParamEcran.lblKlaxon_Click"), [&] { toggle(lblKlaxon, index); });
}

void wParamEcran::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wParamEcran.imgControl_Click"), [&] {
        if (index != ControlInactivity)
            return;
        // Centred on this full screen, it is centred on the screen.
        if (const auto minutes = dlgListInput::Pick(this, lblInacTime->text(), QStringLiteral("*|0|60")))
            lblInacTime->setText(*minutes);
    });
}

int wParamEcran::AskForClose()
{
    int answer = kNo;
    plat::guard(QStringLiteral("wParamEcran.AskForClose"), [&] {
        if (EventOptions::Changed(ticks(), lblInacTime->text(), *gConfig))
            answer = Global::Message(Config::GetText(30010), kStyleQuestion);
    });
    return answer;
}

bool wParamEcran::imgNavig_Click(int index)
{
    bool left = false;
    plat::guard(QStringLiteral("wParamEcran.imgNavig_Click"), [&] {
        if (index != NavigLeave)
            return;
        const int answer = AskForClose();
        if (answer == kCancel)
            return;
        if (answer == kYes) {
            EventOptions::Accept(ticks(), lblInacTime->text(), *gConfig);
            // Set again on every Yes, which also starts its count afresh. An
            // engine without a detector (none could be created) has nothing to set.
            auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
            if (!engine)
                plat::raise(plat::rt::TypeMismatch);
            if (const plat::ComPtr<Stillmark::_ActivityDetect> detector = engine->UserSleep())
                PollingEngine::SetInactivityTime(*detector, gConfig->InactivityTime());
        }
        if (answer != kYes && answer != kNo)
            return;
        ScreenExits::ShowMain(this);
        left = true;
    });
    return left;
}

void wParamEcran::imgClose_Click()
{
    plat::guard(QStringLiteral("wParamEcran.imgClose_Click"), [&] {
        if (imgNavig_Click(NavigLeave))
            ScreenExits::ReopenMenu(ScreenExits::ParametersMenu);
    });
}

void wParamEcran::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
