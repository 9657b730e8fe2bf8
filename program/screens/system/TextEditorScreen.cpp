#include "program/screens/system/TextEditorScreen.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Help.h"
#include "platform/RtError.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgKeyboard.h"
#include "program/screens/system/ScreenExits.h"
#include "program/screens/system/SettingsDialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

using namespace plat::ScreenLook;

constexpr int Button = 56;
constexpr int Margin = 8;
// The navigation bar at the foot of the screen.
constexpr int kBarTop = ScreenHeight - Margin - Button;
constexpr int kListTop = Band + 52;
constexpr int kListWidth = 604;
constexpr int kListBottom = kBarTop - Margin;
constexpr int kRowHeight = 21;
constexpr int kListFrame = 4;
constexpr int kFirstColumn = Margin + kListWidth + 20;
constexpr int kSecondColumn = kFirstColumn + Button + 20;
constexpr int kPitch = Button + 8;

} // namespace

TextEditorScreen::TextEditorScreen(const QString& name, const TextEditorModel::Kind& kind,
                                   TextEditorModel::Memory& memory, const Design& design)
    : plat::Form(name), m_model(kind, memory), m_design(design)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    auto* shadow = lblLabels.add(0, new QLabel(this));
    auto* face = lblLabels.add(1, new QLabel(this));
    title(face, shadow);
    plat::setTag(face, design.titleText);
    plat::setTag(shadow, design.titleText);

    // The number's caption over its shadow, then the number.
    const QRect caption(Margin + 4, Band + 8, 260, 36);
    for (int i : {1, 0})
        lblBibCons.add(i, label(this, 16, true));
    shadowed(lblBibCons(0), lblBibCons(1), caption, plat::Theme::text(), QColor(0, 0, 0, 60), 1);
    plat::setTag(lblBibCons(0), design.numberText);
    lblNumero = new plat::Label(this);
    lblNumero->setObjectName(QStringLiteral("lblNumero"));
    lblNumero->setFont(plat::Theme::font(18, true));
    lblNumero->setAlignment(Qt::AlignCenter);
    lblNumero->setStyleSheet(QStringLiteral("color: white; background: %1; border-radius: 6px;")
                                 .arg(plat::Theme::accent().name()));
    lblNumero->setGeometry(Margin + 272, Band + 6, 64, 40);
    connect(lblNumero, &plat::Label::Change, this, [this] { lblNumero_Change(); });

    // A page of the list is one step of the page buttons; the instruction
    // lines are longer and take a smaller font.
    lstTexts = new plat::ListBox(this);
    lstTexts->setObjectName(design.listName);
    lstTexts->setFont(plat::Theme::font(design.instructions ? 10 : 11));
    lstTexts->setUniformItemSizes(true);
    lstTexts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstTexts->setStyleSheet(listStyle(kRowHeight));
    const int listHeight = kind.pageStep * kRowHeight + kListFrame;
    lstTexts->setGeometry(Margin, kListTop, kListWidth, listHeight);
    connect(lstTexts, &plat::ListBox::Click, this, [this] { lstTexts_Click(); });

    if (design.instructions) {
        const int previewTop = kListTop + listHeight + 12;
        txtConsigne = new QPlainTextEdit(this);
        txtConsigne->setObjectName(QStringLiteral("txtConsigne"));
        txtConsigne->setReadOnly(true);
        txtConsigne->setFont(plat::Theme::font(11));
        txtConsigne->setFocusPolicy(Qt::NoFocus);
        txtConsigne->setStyleSheet(textBoxStyle());
        txtConsigne->setGeometry(Margin, previewTop, kListWidth, kListBottom - previewTop);
    }

    struct Control {
        int index;
        const char* icon;
        int left;
        int row;
    };
    const Control controls[] = {
        {PageBack, "pageup", kFirstColumn, 0},  {Previous, "up", kFirstColumn, 1},
        {Next, "down", kFirstColumn, 2},        {PageForward, "pagedown", kFirstColumn, 3},
        {Copy, "copy", kSecondColumn, 0},       {Paste, "paste", kSecondColumn, 1},
        {Cut, "cut", kSecondColumn, 2},         {Clear, "clear", kSecondColumn, 3},
        {Keyboard, "keyboard", kFirstColumn, 4}, {Import, "import", kSecondColumn, 4},
    };
    for (const Control& c : controls) {
        if (c.index == Import && !design.instructions)
            continue;
        auto* b = imgControl.add(c.index, button(this, QString::fromLatin1(c.icon),
                                                 {c.left, kListTop + c.row * kPitch, Button, Button}));
        const int i = c.index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    const int cancelTop = kListTop + 5 * kPitch + 16;
    imgCancel = button(this, QStringLiteral("undo"), {(kFirstColumn + kSecondColumn) / 2, cancelTop, Button, Button});
    imgCancel->setObjectName(QStringLiteral("imgCancel"));
    lblCancel = label(this, 10, false, Qt::AlignCenter, QStringLiteral("lblCancel"));
    lblCancel->setGeometry(kFirstColumn - 12, cancelTop + Button + 2, 2 * Button + 44, 20);
    plat::setTag(lblCancel, 300111);
    connect(imgCancel, &QAbstractButton::clicked, this, [this] { imgCancel_Click(); });
    plat::forwardClicks(lblCancel, imgCancel);

    for (const auto& [index, icon, left] : {std::tuple{NavigLeave, "leave", Margin},
                                            std::tuple{NavigHelp, "help", Margin + Button + 8}}) {
        auto* b = imgNavig.add(index, button(this, QString::fromLatin1(icon), {left, kBarTop, Button, Button}));
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }
    imgClose = button(this, QStringLiteral("close"), {ScreenWidth - Margin - 52, 4, 52, 52});
    imgClose->setObjectName(QStringLiteral("imgClose"));
    connect(imgClose, &QAbstractButton::clicked, this, [this] { imgClose_Click(); });
}

QString TextEditorScreen::qualified(const char* procedure) const
{
    return Name() + QLatin1Char('.') + QLatin1String(procedure);
}

// ---- Load, the list and the number ---------------------------------------------------

void TextEditorScreen::Form_Load()
{
    plat::guard(qualified("Form_Load"), [&] {
        InitListes();
        Nationality();
        Global::MiseAEchelle(this);
        lblBibCons(0)->setText(Config::GetText(m_design.numberText));
        lblBibCons(1)->setText(lblBibCons(0)->text());
        lblNumero->setCaption(QString::number(m_model.Opening()));
    });
}

void TextEditorScreen::InitListes()
{
    plat::guard(qualified("InitListes"), [&] {
        if (!gConfig)
            plat::raise(plat::rt::ObjectVariableNotSet);
        m_model.Load(*gConfig);
        lstTexts->Clear();
        const int count = m_model.kind().count;
        for (int n = 1; n <= count; ++n)
            lstTexts->AddItem(m_design.instructions ? m_model.Line(n) : m_model.StoredLine(n));
        if (current() >= 1)
            lstTexts->setListIndex(std::min(lstTexts->ListCount() - 1, current() - 1));
        // What was restored shows at once.
        showPreview();
    });
}

void TextEditorScreen::lblNumero_Change()
{
    plat::guard(qualified("lblNumero_Change"), [&] {
        m_model.setCurrent(plat::CInt(plat::Val(lblNumero->Caption())));
        lstTexts->setListIndex(std::min(lstTexts->ListCount() - 1, current() - 1));
        showPreview();
    });
}

void TextEditorScreen::lstTexts_Click()
{
    plat::guard(qualified(m_design.instructions ? "lstConsigne_Click" : "lstBiblio_Click"), [&] {
        if (lstTexts->ListIndex() >= 0)
            showNumber(lstTexts->ListIndex() + 1);
    });
}

void TextEditorScreen::showNumber(int n)
{
    lblNumero->setCaption(QString::number(n));
}

void TextEditorScreen::showPreview()
{
    if (txtConsigne && current() >= 1)
        txtConsigne->setPlainText(m_model.Preview(current()));
}

void TextEditorScreen::showEdited(int n, bool keyboard)
{
    // The library lists a typed text as it is; every other edit takes the list's format.
    const QString line = keyboard && !m_design.instructions ? m_model.StoredLine(n) : m_model.Line(n);
    if (QListWidgetItem* item = lstTexts->item(n - 1))
        item->setText(line);
    showPreview();
}

// ---- Buttons ---------------------------------------------------------------------------

void TextEditorScreen::imgControl_Click(int index)
{
    plat::guard(qualified("imgControl_Click"), [&] {
        const int n = current();
        switch (index) {
        case Previous:
            showNumber(m_model.Previous(n));
            break;
        case Next:
            showNumber(m_model.Next(n));
            break;
        case PageBack:
            showNumber(m_model.PageBack(n));
            break;
        case PageForward:
            showNumber(m_model.PageForward(n));
            break;
        case Copy:
            m_model.Copy(n);
            break;
        case Paste:
            if (!m_model.Paste(n)) {
                plat::Beep();
                return;
            }
            showEdited(n, false);
            break;
        case Cut:
            imgControl_Click(Copy);
            imgControl_Click(Clear);
            break;
        case Clear:
            m_model.Clear(n);
            showEdited(n, false);
            break;
        case Keyboard:
            editOnKeyboard(n);
            break;
        case Import:
            if (m_design.instructions)
                importFile(n);
            break;
        default:
            break;
        }
    });
}

void TextEditorScreen::editOnKeyboard(int n)
{
    QPointer<plat::Form> form = plat::Forms::Get(FormNames::dlgKeyboard);
    auto* keyboard = qobject_cast<dlgKeyboard*>(form.data());
    if (!keyboard)
        plat::raise(plat::rt::TypeMismatch);
    keyboard->lblTitle->setText(lblBibCons(0)->text() + QLatin1Char(' ') + QString::number(n));
    const int used = m_design.instructions ? 1 : 0;
    keyboard->txtValue(1 - used)->hide();
    keyboard->txtValue(used)->show();
    keyboard->imgCRLF->setVisible(m_design.instructions);
    KeyboardTextBox* box = keyboard->txtValue(used);
    box->setMaxLength(m_model.kind().length);
    box->setText(m_model.KeyboardText(n));
    keyboard->Show(true, this);
    if (form && !keyboard->IsUnloaded() && keyboard->Ok() && !IsUnloaded()) {
        m_model.SetTyped(n, box->Text());
        showEdited(n, true);
    }
    plat::Forms::Unload(form);
}

void TextEditorScreen::importFile(int n)
{
    const QString file = SettingsDialogs::ChooseFile(this, Config::GetText(50004, true),
                                                     VEXfonctions::GetIni(IniKeys::Files, IniKeys::Import,
                                                                          IniKeys::ImportDefault));
    if (file.isEmpty() || IsUnloaded())
        return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw plat::RtError(plat::rt::PathFileAccessError,
                            QStringLiteral("Path/File access error: ") + QDir::toNativeSeparators(file));
    const QByteArray bytes = in.read(m_model.kind().length);
    if (bytes.isEmpty() && in.error() != QFileDevice::NoError)
        plat::raise(plat::rt::DeviceIOError);
    m_model.Import(n, bytes);
    showEdited(n, false);
    in.close();
    VEXfonctions::SetIni(IniKeys::Files, IniKeys::Import, Components::FilesPaths().GetDirectoryFromPath(file));
}

void TextEditorScreen::imgCancel_Click()
{
    plat::guard(qualified("imgCancel_Click"), [&] { InitListes(); });
}

// ---- Leaving ----------------------------------------------------------------------------

bool TextEditorScreen::leave()
{
    return ScreenExits::Leave(this, m_model.Changed(*gConfig), [this] {
        m_model.WriteTo(*gConfig);
        if (gConfig->Modified())
            Config::SaveCurrentConfig();
        return true;
    });
}

void TextEditorScreen::imgNavig_Click(int index)
{
    plat::guard(qualified("imgNavig_Click"), [&] {
        if (index == NavigLeave)
            leave();
        else if (index == NavigHelp)
            plat::Help::open();
    });
}

void TextEditorScreen::imgClose_Click()
{
    plat::guard(qualified("imgClose_Click"), [&] {
        if (leave())
            ScreenExits::ReopenMenu(ScreenExits::ParametersMenu);
    });
}

void TextEditorScreen::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
