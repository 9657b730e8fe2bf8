#include "program/screens/system/wParamPrinter.h"

#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/SerialControl.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/EnginePrinter.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/TextIds.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/screens/system/LivePrinter.h"
#include "program/screens/system/PrinterModelFile.h"
#include "program/screens/system/ScreenExits.h"
#include "program/screens/system/SerialSpeeds.h"
#include "program/screens/system/dlgParamPrinter.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

using namespace PrinterSettings;
using namespace plat::ScreenLook;

constexpr int kButton = 64;
constexpr int kButtonHeight = 52;
constexpr int kColumnWidth = 388;
constexpr int kLeft = 8;
constexpr int kRight = kLeft + kColumnWidth + 8;
constexpr int kPanelsTop = 68;
constexpr int kBarTop = ScreenHeight - 8 - kButtonHeight;
// The port frames, one over the other below the port kind.
constexpr int kFramesTop = 140;
constexpr int kFramesHeight = kBarTop - 8 - kFramesTop;
// The serial frame's columns: caption, live value, new value.
constexpr int kCaptionLeft = 12;
constexpr int kCaptionWidth = 130;
constexpr int kCurrentLeft = 146;
constexpr int kCurrentWidth = 100;
constexpr int kFieldLeft = 252;
constexpr int kFieldWidth = kColumnWidth - 12 - kFieldLeft;
constexpr int kFieldsTop = 36;
constexpr int kFieldHeight = 40;
constexpr int kFieldPitch = 46;
// The sequence lines.
constexpr int kSequencesTop = 196;
constexpr int kSequencesHeight = kBarTop - 8 - kSequencesTop;
constexpr int kLineTop = 32;
constexpr int kLinePitch = 37;
constexpr int kLineHeight = 33;
constexpr int kTitleWidth = 172;

constexpr int kLastPortNumber = 255;

QLabel* caption(QWidget* parent, int pointSize, bool bold, const QRect& geometry)
{
    QLabel* l = label(parent, pointSize, bold);
    l->setGeometry(geometry);
    return l;
}

plat::Label* field(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* l = new plat::Label(parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->setFont(plat::Theme::font(12, true));
    l->setAlignment(Qt::AlignCenter);
    l->setGeometry(geometry);
    return l;
}

int pointerOf(const plat::Label* pointer)
{
    return plat::CInt(plat::Val(pointer->Caption()));
}

wPolling* engine()
{
    return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
}

EnginePrinterPtr livePrinter()
{
    wPolling* e = engine();
    return e ? e->dpPrinter() : nullptr;
}

} // namespace

wParamPrinter::wParamPrinter() : plat::Form(FormNames::wParamPrinter)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    plat::setTag(lblLabels.add(0, bandLabel(this, 20, {20, 8, 600, 44})), 430000);
    buildPortKind();
    buildLptFrame();
    buildSerialFrame();
    buildModels();
    buildSequences();
    buildButtons();
}

void wParamPrinter::buildPortKind()
{
    QFrame* kinds = panel(this, {kLeft, kPanelsTop, kColumnWidth, 64});
    for (int i = NoPrinter; i <= Com; ++i) {
        const int left = 12 + i * 128;
        auto* tick = lblPort.add(i, field(kinds, {}, {left, 12, 40, 40}));
        tick->setFont(plat::Theme::font(16, true));
        tick->setCursor(Qt::PointingHandCursor);
        paintField(tick, FieldColour);
        plat::onClick(tick, [this, i] { lblPort_Click(i); });
        auto* name = lblBusConfig.add(i, caption(kinds, 13, true, {left + 46, 12, 78, 40}));
        name->setCursor(Qt::PointingHandCursor);
        plat::onClick(name, [this, i] { lblBusConfig_Click(i); });
    }
    plat::setTag(lblBusConfig(NoPrinter), 430106);
    lblBusConfig(Lpt)->setText(QStringLiteral("LPT"));
    lblBusConfig(Com)->setText(QStringLiteral("COM"));
}

void wParamPrinter::buildLptFrame()
{
    QFrame* frame = PicPort.add(Lpt, panel(this, {kLeft, kFramesTop, kColumnWidth, kFramesHeight}));
    // On the line of the serial port number, so that the number stays put when the kind changes.
    auto* name = lblLabels.add(5, caption(frame, 11, false, {kCaptionLeft, kFieldsTop, kCaptionWidth, kFieldHeight}));
    plat::setTag(name, 820201);
    lblLptPort = field(frame, QStringLiteral("lblLptPort"), {kFieldLeft, kFieldsTop, kFieldWidth, kFieldHeight});
    lblLptPort->setCaption(DesignLptPort);
    paintField(lblLptPort, SelectedColour);
    auto* edit = imgComModif.add(ModifLpt, button(frame, "edit", {kColumnWidth - 12 - 80, kFramesHeight - 12 - kButtonHeight,
                                                                  80, kButtonHeight}));
    connect(edit, &QAbstractButton::clicked, this, [this] { imgComModif_Click(ModifLpt); });
    frame->hide();
}

void wParamPrinter::buildSerialFrame()
{
    QFrame* frame = PicPort.add(Com, panel(this, {kLeft, kFramesTop, kColumnWidth, kFramesHeight}));
    auto* current = lblLabels.add(2, caption(frame, 10, true, {kCurrentLeft, 8, kCurrentWidth, 24}));
    current->setAlignment(Qt::AlignCenter);
    plat::setTag(current, 620101);
    auto* fresh = lblLabels.add(3, caption(frame, 10, true, {kFieldLeft, 8, kFieldWidth, 24}));
    fresh->setAlignment(Qt::AlignCenter);
    plat::setTag(fresh, 620102);

    const char* const names[] = {"lblComPort", "lblComSpeed", "lblComParity", "lblComBits", "lblComStop"};
    const SerialFields values = DesignFields();
    for (int i = 0; i < FieldCount; ++i) {
        const int top = kFieldsTop + i * kFieldPitch;
        auto* name = lblComConfig.add(i, caption(frame, 11, false, {kCaptionLeft, top, kCaptionWidth, kFieldHeight}));
        plat::setTag(name, TextIds::SerialFieldFirst + i);
        auto* live = lblComConfig.add(FieldCount + i, field(frame, {}, {kCurrentLeft, top, kCurrentWidth, kFieldHeight}));
        live->setFont(plat::Theme::font(11));
        live->setStyleSheet(QStringLiteral("color: %1;").arg(plat::Theme::text().name()));
        plat::Label* value = field(frame, QLatin1String(names[i]), {kFieldLeft, top, kFieldWidth, kFieldHeight});
        value->setCaption(values[size_t(i)]);
        paintField(value, FieldColour);
        m_serialFields << value;
    }
    lblComPort = m_serialFields[Port];
    lblComSpeed = m_serialFields[Speed];
    lblComParity = m_serialFields[Parity];
    lblComBits = m_serialFields[Bits];
    lblComStop = m_serialFields[Stop];

    lblComPointer = field(frame, QStringLiteral("lblComPointer"), {0, 0, 8, 8});
    lblComPointer->hide();
    connect(lblComPointer, &plat::Label::Change, this, [this] { lblComPointer_Change(); });

    const int buttonsTop = kFramesHeight - 12 - kButtonHeight;
    const char* const arrows[] = {"up", "down"};
    for (int i : {DirPrevious, DirNext}) {
        auto* b = imgComDir.add(i, button(frame, arrows[i], {12 + i * (kButton + 8), buttonsTop, kButton, kButtonHeight}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgComDir_Click(i); });
    }
    auto* edit =
        imgComModif.add(ModifSerial, button(frame, "edit", {kColumnWidth - 12 - 80, buttonsTop, 80, kButtonHeight}));
    connect(edit, &QAbstractButton::clicked, this, [this] { imgComModif_Click(ModifSerial); });
    frame->hide();
}

void wParamPrinter::buildModels()
{
    QFrame* models = panel(this, {kRight, kPanelsTop, kColumnWidth, 120});
    auto* heading = lblLabels.add(4, caption(models, 10, true, {12, 4, 280, 24}));
    plat::setTag(heading, 430104);
    lstPrinterName = new plat::ListBox(models);
    lstPrinterName->setObjectName(QStringLiteral("lstPrinterName"));
    lstPrinterName->setFont(plat::Theme::font(12));
    lstPrinterName->setGeometry(12, 30, kColumnWidth - 12 - kButton - 20, 80);
    lstPrinterName->setFocusPolicy(Qt::NoFocus);
    lstPrinterName->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstPrinterName->setStyleSheet(
        QStringLiteral("QListWidget { border: 1px solid %1; border-radius: 4px; background: %2; }"
                       "QListWidget::item { min-height: 26px; padding-left: 6px; border: none; }"
                       "QListWidget::item:selected { background: %3; color: white; }")
            .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name(), plat::Theme::accent().name()));
    connect(lstPrinterName, &plat::ListBox::Click, this, [this] { lstPrinterName_Click(); });
    imgChangePrinter = button(models, "nextitem", {kColumnWidth - 12 - kButton, 44, kButton, kButtonHeight});
    imgChangePrinter->setObjectName(QStringLiteral("imgChangePrinter"));
    connect(imgChangePrinter, &QAbstractButton::clicked, this, [this] { imgChangePrinter_Click(); });
}

void wParamPrinter::buildSequences()
{
    QFrame* sequences = panel(this, {kRight, kSequencesTop, kColumnWidth, kSequencesHeight});
    auto* heading = lblLabels.add(1, caption(sequences, 10, true, {12, 4, 300, 24}));
    plat::setTag(heading, 430103);
    for (int i = 0; i < EscapeSequences::Count; ++i) {
        const int top = kLineTop + i * kLinePitch;
        auto* t = lblEscTitle.add(i, caption(sequences, 10, false, {12, top, kTitleWidth, kLineHeight}));
        t->setWordWrap(true);
        plat::setTag(t, TextIds::PrinterSequenceTitleFirst + i);
        auto* code = lblEscCode.add(i, field(sequences, {}, {12 + kTitleWidth + 4, top, kColumnWidth - 28 - kTitleWidth,
                                                            kLineHeight}));
        code->setFont(plat::Theme::font(10, true));
        code->setWordWrap(true);
        paintField(code, FieldColour);
    }
    lblCharPointer = field(sequences, QStringLiteral("lblCharPointer"), {0, 0, 8, 8});
    lblCharPointer->hide();
    connect(lblCharPointer, &plat::Label::Change, this, [this] { lblCharPointer_Change(); });
}

void wParamPrinter::buildButtons()
{
    auto* leave = imgNavig.add(NavigLeave, button(this, "leave", {kLeft, kBarTop, kButton, kButtonHeight}));
    connect(leave, &QAbstractButton::clicked, this, [this] { imgNavig_Click(NavigLeave); });
    imgClose = button(this, "cancel", {ScreenWidth - 8 - kButton, 4, kButton, kButtonHeight});
    imgClose->setObjectName(QStringLiteral("imgClose"));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });

    cmdPrintTest = new QPushButton(this);
    cmdPrintTest->setObjectName(QStringLiteral("cmdPrintTest"));
    cmdPrintTest->setFont(plat::Theme::font(13, true));
    cmdPrintTest->setGeometry(kLeft + kButton + 16, kBarTop, kColumnWidth - kButton - 16, kButtonHeight);
    cmdPrintTest->setAutoDefault(false);
    cmdPrintTest->setFocusPolicy(Qt::NoFocus);
    cmdPrintTest->setStyleSheet(commandStyle());
    plat::setTag(cmdPrintTest, 430101);
    cmdPrintTest->setEnabled(false);
    connect(cmdPrintTest, &QPushButton::clicked, this, [this] { cmdPrintTest_Click(); });

    const char* const arrows[] = {"up", "down"};
    for (int i : {DirPrevious, DirNext}) {
        auto* b = imgCharDir.add(i, button(this, arrows[i], {kRight + i * (kButton + 8), kBarTop, kButton, kButtonHeight}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgCharDir_Click(i); });
    }
    imgCharModif = button(this, "edit", {ScreenWidth - 8 - 80, kBarTop, 80, kButtonHeight});
    imgCharModif->setObjectName(QStringLiteral("imgCharModif"));
    connect(imgCharModif, &QAbstractButton::clicked, this, [this] { imgCharModif_Click(); });
}

// ---- Load --------------------------------------------------------------------

void wParamPrinter::Form_Load()
{
    plat::guard(QStringLiteral("wParamPrinter.Form_Load"), [&] {
        const EnginePrinterPtr live = livePrinter();
        const SerialFields current = live ? Current(live->Port(), live->Settings()) : Current({}, {});
        for (int i = 0; i < FieldCount; ++i)
            lblComConfig(FieldCount + i)->setText(current[size_t(i)]);
        showFields(Load(gConfig->PrtSettings(), current));

        for (int i = 0; i < EscapeSequences::Count; ++i) {
            m_sequences[size_t(i)] = gConfig->PrinterInitString(i);
            m_codes[size_t(i)] = gConfig->PrinterInitCode(i);
        }

        // Selecting a model builds the sequences anew from its file.
        for (const QString& model : PrinterModelFile::Models()) {
            lstPrinterName->AddItem(model);
            if (model.compare(gConfig->PrinterName(), Qt::CaseInsensitive) == 0)
                lstPrinterName->setListIndex(lstPrinterName->ListCount() - 1);
        }
        if (lstPrinterName->ListCount() > 0 && lstPrinterName->ListIndex() < 0)
            lstPrinterName->setListIndex(0);

        UpdatePrinterParams();
        lblCharPointer->setCaption(QStringLiteral("1"));
        lblComPointer->setCaption(QStringLiteral("1"));
        Nationality();
        Global::MiseAEchelle(this);
    });
}

void wParamPrinter::showFields(const Fields& fields)
{
    lblLptPort->setCaption(fields.lpt);
    for (int i = 0; i < FieldCount; ++i)
        m_serialFields[i]->setCaption(fields.serial[size_t(i)]);
    if (fields.kind != NoKind)
        lblPort_Click(fields.kind);
}

Fields wParamPrinter::shownFields() const
{
    Fields f;
    f.kind = NoKind;
    for (int i = NoPrinter; i <= Com; ++i)
        if (lblPort(i)->text() == Ticked)
            f.kind = i;
    f.lpt = lblLptPort->Caption();
    for (int i = 0; i < FieldCount; ++i)
        f.serial[size_t(i)] = m_serialFields[i]->Caption();
    return f;
}

QString wParamPrinter::MakeSetting() const
{
    return Make(shownFields());
}

// ---- Port kind and serial fields ----------------------------------------------

void wParamPrinter::lblPort_Click(int index)
{
    plat::guard(QStringLiteral("wParamPrinter.lblPort_Click"), [&] {
        for (int i = NoPrinter; i <= Com; ++i)
            lblPort(i)->setText(i == index ? Ticked : QString());
        PicPort(Lpt)->setVisible(index == Lpt);
        PicPort(Com)->setVisible(index == Com);
        cmdPrintTest->setEnabled(index == Lpt || index == Com);
    });
}

void wParamPrinter::lblBusConfig_Click(int index)
{
    plat::guard(QStringLiteral("wParamPrinter.lblBusConfig_Click"), [&] { lblPort_Click(index); });
}

void wParamPrinter::lblComPointer_Change()
{
    plat::guard(QStringLiteral("wParamPrinter.lblComPointer_Change"), [&] {
        const int position = pointerOf(lblComPointer);
        if (position < 1 || position > m_serialFields.size())
            return;
        for (int i = 0; i < m_serialFields.size(); ++i)
            paintField(m_serialFields[i], i + 1 == position ? SelectedColour : FieldColour);
    });
}

void wParamPrinter::imgComDir_Click(int index)
{
    plat::guard(QStringLiteral("wParamPrinter.imgComDir_Click"), [&] {
        const int position = pointerOf(lblComPointer);
        if (index == DirPrevious && position > 1)
            lblComPointer->setCaption(QString::number(position - 1));
        else if (index == DirNext && position < m_serialFields.size())
            lblComPointer->setCaption(QString::number(position + 1));
    });
}

void wParamPrinter::imgComModif_Click(int index)
{
    plat::guard(QStringLiteral("wParamPrinter.imgComModif_Click"), [&] {
        const QString ports = QStringLiteral("*|1|%1").arg(kLastPortNumber);
        if (index == ModifLpt) {
            editWithPicker(lblLptPort, ports);
            return;
        }
        if (index != ModifSerial)
            return;
        switch (pointerOf(lblComPointer) - 1) {
        case Port:
            editWithPicker(lblComPort, ports);
            break;
        case Speed:
            editWithPicker(lblComSpeed, SerialSpeeds::Picker);
            break;
        case Parity:
            editWithPicker(lblComParity, QStringLiteral("@|%1|%2|%3")
                                             .arg(Config::GetText(TextIds::ParityFirst + 1),
                                                  Config::GetText(TextIds::ParityFirst + 2),
                                                  Config::GetText(TextIds::ParityFirst + 3)));
            break;
        case Bits:
            editWithPicker(lblComBits, QStringLiteral("*|7|8"));
            break;
        case Stop:
            editWithPicker(lblComStop, QStringLiteral("*|1|2"));
            break;
        default:
            break;
        }
    });
}

void wParamPrinter::editWithPicker(plat::Label* value, const QString& valuesList)
{
    // Over the port frame, its fields' captions left in sight.
    const QPoint at = value->parentWidget()->mapToGlobal(QPoint(kCurrentLeft, 0));
    if (const auto chosen = dlgListInput::Pick(this, value->Caption(), valuesList, at))
        value->setCaption(*chosen);
}

// ---- Models and sequences -----------------------------------------------------

void wParamPrinter::lstPrinterName_Click()
{
    plat::guard(QStringLiteral("wParamPrinter.lstPrinterName_Click"), [&] {
        const PrinterModelFile model(lstPrinterName->Text());
        m_sequences = EscapeSequences::Build(model, m_codes);
        tellProblem(model);
    });
}

void wParamPrinter::tellProblem(const PrinterModelFile& model)
{
    const QString problem = model.Problem();
    if (!problem.isEmpty())
        Global::Message(problem, MsgStyle::vbCritical);
}

void wParamPrinter::imgChangePrinter_Click()
{
    plat::guard(QStringLiteral("wParamPrinter.imgChangePrinter_Click"), [&] {
        const int count = lstPrinterName->ListCount();
        if (count == 0)
            Global::Message(Config::GetText(30019), MsgStyle::vbCritical);
        else if (count == 1)
            Global::Message(Config::GetText(30020), MsgStyle::vbInformation);
        else
            lstPrinterName->setListIndex((lstPrinterName->ListIndex() + 1) % count);
    });
}

void wParamPrinter::UpdatePrinterParams()
{
    plat::guard(QStringLiteral("wParamPrinter.UpdatePrinterParams"), [&] {
        for (int i = 0; i < EscapeSequences::Count; ++i)
            lblEscCode(i)->setText(EscapeSequences::Describe(m_codes[size_t(i)]));
    });
}

void wParamPrinter::lblCharPointer_Change()
{
    plat::guard(QStringLiteral("wParamPrinter.lblCharPointer_Change"), [&] {
        const int pointer = pointerOf(lblCharPointer);
        for (const auto& [i, code] : lblEscCode)
            paintField(code, i == pointer ? SelectedColour : FieldColour);
    });
}

void wParamPrinter::imgCharDir_Click(int index)
{
    plat::guard(QStringLiteral("wParamPrinter.imgCharDir_Click"), [&] {
        const int pointer = pointerOf(lblCharPointer);
        if (index == DirPrevious && pointer > EscapeSequences::FirstEditable)
            lblCharPointer->setCaption(QString::number(pointer - 1));
        else if (index == DirNext && pointer < EscapeSequences::LastEditable)
            lblCharPointer->setCaption(QString::number(std::max(pointer + 1, EscapeSequences::FirstEditable)));
    });
}

void wParamPrinter::imgCharModif_Click()
{
    plat::guard(QStringLiteral("wParamPrinter.imgCharModif_Click"), [&] {
        if (lstPrinterName->ListIndex() < 0) {
            Global::Message(Config::GetText(30019), MsgStyle::vbCritical);
            return;
        }
        const PrinterModelFile model(lstPrinterName->Text());
        if (!model.Exists()) {
            Global::Message(Config::GetText(30021), MsgStyle::vbCritical);
            return;
        }
        const int p = pointerOf(lblCharPointer);
        if (p < EscapeSequences::FirstEditable || p > EscapeSequences::LastEditable)
            return;
        auto* dlg = qobject_cast<dlgParamPrinter*>(plat::Forms::Get(FormNames::dlgParamPrinter));
        if (!dlg)
            plat::raise(plat::rt::TypeMismatch);
        QPointer<plat::Form> guardDlg(dlg);
        dlg->lblLegend->setText(lblEscTitle(p)->text());
        const EscapeSequences::Offer offer = EscapeSequences::OfferFor(model, m_codes[size_t(p)]);
        for (int c = 0; c < PrinterModelFile::ColourCount; ++c)
            dlg->optColor(c)->setEnabled(offer.colours[size_t(c)]);
        dlg->selectColour(offer.colour);
        for (int k = 0; k < PrinterModelFile::StyleCount; ++k) {
            dlg->chkStyle(k)->setEnabled(offer.styles[size_t(k)]);
            dlg->chkStyle(k)->setChecked(offer.checked[size_t(k)]);
        }
        dlg->Show(true, this);
        if (guardDlg && dlg->Ok()) {
            std::array<bool, PrinterModelFile::StyleCount> checked{};
            for (int k = 0; k < PrinterModelFile::StyleCount; ++k)
                checked[size_t(k)] = dlg->chkStyle(k)->isEnabled() && dlg->chkStyle(k)->isChecked();
            const EscapeSequences::Edited edited = EscapeSequences::Answer(model, dlg->SelectedColour(), checked);
            m_codes[size_t(p)] = edited.code;
            m_sequences[size_t(p)] = edited.sequence;
        }
        plat::Forms::Unload(guardDlg);
        if (!IsUnloaded())
            UpdatePrinterParams();
    });
}

// ---- Test print and leave -------------------------------------------------------

bool wParamPrinter::usable(const QString& settings)
{
    if (!IsValid(settings)) {
        Global::Message(Config::GetText(20006), MsgStyle::vbCritical);
        return false;
    }
    wPolling* bus = engine();
    if (bus && OnBusDevice(settings, bus->CommBus().CommPort())) {
        Global::Message(Config::GetText(430132).replace(QLatin1Char('$'), PortPart(settings)), MsgStyle::vbCritical);
        return false;
    }
    return true;
}

void wParamPrinter::cmdPrintTest_Click()
{
    plat::guard(QStringLiteral("wParamPrinter.cmdPrintTest_Click"), [&] {
        const QString settings = MakeSetting();
        if (PortPart(settings).isEmpty() || !usable(settings))
            return;
        const EnginePrinterPtr live = livePrinter();
        if (!live)
            plat::raise(plat::rt::ObjectVariableNotSet);
        QString error;
        switch (LivePrinter::TestPrint(*live, settings, error)) {
        case LivePrinter::Test::Sent:
            Global::Message(Config::GetText(430102), MsgStyle::vbInformation);
            break;
        case LivePrinter::Test::Failed:
            Global::Message(error, MsgStyle::vbCritical);
            break;
        case LivePrinter::Test::NotOpened:
            break;
        }
    });
}

int wParamPrinter::AskForClose()
{
    int answer = MsgResult::vbCancel;
    plat::guard(QStringLiteral("wParamPrinter.AskForClose"), [&] {
        if (shownFields().kind == NoKind) {
            Global::Message(Config::GetText(30014), MsgStyle::vbCritical);
            return;
        }
        const Choice choice{MakeSetting(), lstPrinterName->Text(), m_codes, m_sequences};
        if (!choice.Differs(*gConfig)) {
            answer = MsgResult::vbNo;
            return;
        }
        answer = Global::Message(Config::GetText(30010), MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion);
        if (answer != MsgResult::vbYes && answer != MsgResult::vbNo)
            answer = MsgResult::vbCancel;
    });
    return answer;
}

void wParamPrinter::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wParamPrinter.imgNavig_Click"), [&] {
        if (index != NavigLeave)
            return;
        const int answer = AskForClose();
        // An alarm brought up while the question waited clears this screen away.
        if (answer == MsgResult::vbCancel || IsUnloaded())
            return;
        if (answer == MsgResult::vbYes) {
            const QString settings = MakeSetting();
            // Checked first: the leave stores all of it or nothing.
            if (!usable(settings))
                return;
            Choice{settings, lstPrinterName->Text(), m_codes, m_sequences}.Store(*gConfig);
            if (const EnginePrinterPtr live = livePrinter())
                LivePrinter::Configure(*live, settings);
        }
        ScreenExits::ShowMain(this);
    });
}

void wParamPrinter::imgClose_Click()
{
    plat::guard(QStringLiteral("wParamPrinter.imgClose_Click"), [&] {
        imgNavig_Click(NavigLeave);
        // The menu comes back only when the screen did go.
        if (!IsUnloaded())
            return;
        ScreenExits::ReopenMenu(ScreenExits::ParametersMenu);
    });
}

void wParamPrinter::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
