#include "program/screens/bus/wBusPanneau.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/ScreenLook.h"
#include "platform/SystemKeyboard.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/ConfigCopy.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"
#include "program/core/dlgKeyboard.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/BusLook.h"
#include "program/screens/bus/BusScreens.h"
#include "program/screens/bus/ChannelClipboard.h"
#include "program/screens/bus/ParamRows.h"
#include "program/screens/bus/RowSelection.h"
#include "program/screens/bus/wBusMirrorOne.h"
#include "program/screens/bus/wBusModules.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {

using namespace plat::ScreenLook;

constexpr int kWidth = ScreenWidth;
constexpr int kHeight = ScreenHeight;

// The parameter table on the left.
constexpr int kFrameLeft = 8;
constexpr int kFrameTop = 68;
constexpr int kFrameWidth = 520;
constexpr int kRowPitch = 28;
constexpr int kRowHeight = 26;
constexpr int kRowsTop = 6;
constexpr int kNameLeft = 8;
constexpr int kNameWidth = 176;
constexpr int kValueLeft = kNameLeft + kNameWidth + 4;
constexpr int kValueWidth = kFrameWidth - kValueLeft - 10;
constexpr int kFrameHeight = kRowsTop * 2 + ParamRows::Count * kRowPitch;

// The module block and the text lists on the right.
constexpr int kRightLeft = 536;
constexpr int kRightWidth = kWidth - 8 - kRightLeft;
constexpr int kButton = 64;
constexpr int kButtonHeight = 52;

// The channel buttons under the table, and the navigation bar.
constexpr int kControlsTop = kFrameTop + kFrameHeight + 8;
constexpr int kBarTop = kHeight - 8 - kButtonHeight;

constexpr int kModelsWithMirrors = 3; // models 1..3
constexpr int kLastModel = 5;

// A pair of labels, a shadow (0) under its face (1), carrying one caption.
template <class L>
void addPair(plat::ControlArray<L>& pair, QWidget* parent, int pointSize)
{
    for (int i : {0, 1}) {
        auto* l = pair.add(i, new L(parent));
        l->setFont(plat::Theme::font(pointSize, true));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

template <class L>
void setPairCaption(plat::ControlArray<L>& pair, const QString& caption)
{
    // The face first, then its shadow.
    for (int i : {1, 0})
        plat::setCaption(pair(i), caption);
}

// A list of texts as the editor lists them: "n - text", line breaks as
// blanks, and a text never assigned (NUL characters) as blanks.
QString listEntry(int n, QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QChar(0), QLatin1Char(' '));
    return QString::number(n) + QStringLiteral(" - ") + text;
}

} // namespace

wBusPanneau::wBusPanneau() : plat::Form(FormNames::wBusPanneau)
{
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    buildHeader();
    buildModuleBlock();
    buildRows();
    buildButtons();
    // Key presses reach the form before its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

void wBusPanneau::buildHeader()
{
    addPair(lblLabels, this, 20);
    title(lblLabels(1), lblLabels(0), {20, 8, 120, 44});
    plat::setTag(lblLabels(0), 300100);
    plat::setTag(lblLabels(1), 300100);
    addPair(lblNumModule, this, 20);
    title(lblNumModule(1), lblNumModule(0), {150, 8, 80, 44});
    for (int i : {0, 1})
        connect(lblNumModule(i), &plat::Label::Change, this, [this] { lblNumModule_Change(); });

    for (int i : {1, 2}) {
        auto* b = imgNavPanel.add(i, button(this, i == NavPanelPrevious ? "previous" : "next",
                                            {kWidth - 8 - (3 - i) * (kButton + 8), 4, kButton, Band - 8}));
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavPanel_Click(i); });
    }
    // 3 and 4 ask to save without moving; this layout has no place for them.
    for (int i : {3, 4}) {
        auto* b = imgNavPanel.add(i, button(this, "next", {0, 4, kButton, Band - 8}));
        b->hide();
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavPanel_Click(i); });
    }
}

void wBusPanneau::buildModuleBlock()
{
    const QColor ink = plat::Theme::text();
    const QColor light(255, 255, 255, 200);
    const int boxWidth = kRightWidth - kButton - 8;

    panel(this, {kRightLeft, kFrameTop, boxWidth, kButtonHeight});
    panel(this, {kRightLeft, kFrameTop + 60, boxWidth, kButtonHeight});

    addPair(lblModele, this, 16);
    shadowed(lblModele(1), lblModele(0), {kRightLeft + 12, kFrameTop, boxWidth - 16, kButtonHeight}, ink, light, 1);
    imgModele = button(this, "nextmodel", {kRightLeft + boxWidth + 8, kFrameTop, kButton, kButtonHeight});
    imgModele->setObjectName(QStringLiteral("imgModele"));
    connect(imgModele, &QAbstractButton::clicked, this, [this] { imgModele_Click(); });
    for (int i : {0, 1})
        plat::forwardClicks(lblModele(i), imgModele);

    lstModele = new plat::ListBox(this);
    lstModele->setObjectName(QStringLiteral("lstModele"));
    lstModele->setGeometry(kRightLeft, kFrameTop, boxWidth, 170);
    lstModele->hide();
    connect(lstModele, &plat::ListBox::Click, this, [this] { lstModele_Click(); });

    addPair(lblActive, this, 14);
    shadowed(lblActive(1), lblActive(0), {kRightLeft + 12, kFrameTop + 60, boxWidth - 16, kButtonHeight}, ink, light,
             1);
    imgActive = button(this, "active", {kRightLeft + boxWidth + 8, kFrameTop + 60, kButton, kButtonHeight});
    imgActive->setObjectName(QStringLiteral("imgActive"));
    connect(imgActive, &QAbstractButton::clicked, this, [this] { imgActive_Click(); });
    for (int i : {0, 1})
        plat::forwardClicks(lblActive(i), imgActive);

    lblTitleColor = label(this, 16, true, Qt::AlignCenter, QStringLiteral("lblTitleColor"));
    lblTitleColor->setText(QStringLiteral(" ABC "));
    lblTitleColor->setGeometry(kRightLeft, kFrameTop + 120, kRightWidth, 44);
    lblTitleColor->setCursor(Qt::PointingHandCursor);
    setTitleColour(0xFFFF);
    plat::onClick(lblTitleColor, [this] { lblTitleColor_Click(); });

    // Cancel and reset, each a button over its caption.
    const int pairWidth = kRightWidth / 2;
    const int pairTop = kFrameTop + 172;
    imgCancel = button(this, "undo", {kRightLeft + (pairWidth - kButton) / 2, pairTop, kButton, 46});
    imgCancel->setObjectName(QStringLiteral("imgCancel"));
    lblCancel = label(this, 10, false, Qt::AlignCenter, QStringLiteral("lblCancel"));
    lblCancel->setGeometry(kRightLeft, pairTop + 48, pairWidth, 20);
    plat::setTag(lblCancel, 300111);
    imgClear = button(this, "reset", {kRightLeft + pairWidth + (pairWidth - kButton) / 2, pairTop, kButton, 46});
    imgClear->setObjectName(QStringLiteral("imgClear"));
    lblClear = label(this, 10, false, Qt::AlignCenter, QStringLiteral("lblClear"));
    lblClear->setGeometry(kRightLeft + pairWidth, pairTop + 48, pairWidth, 20);
    plat::setTag(lblClear, 300110);
    connect(imgCancel, &QAbstractButton::clicked, this, [this] { imgCancel_Click(); });
    connect(imgClear, &QAbstractButton::clicked, this, [this] { imgClear_Click(); });
    plat::forwardClicks(lblCancel, imgCancel);
    plat::forwardClicks(lblClear, imgClear);

    // The library and instruction texts of the channel's numbers.
    const int listsTop = pairTop + 76;
    auto* library = lblLabels.add(3, label(this, 10, true, Qt::AlignLeft | Qt::AlignBottom));
    library->setGeometry(kRightLeft, listsTop, kRightWidth, 20);
    plat::setTag(library, 300402);
    m_lstBiblio = new plat::ListBox(this);
    m_lstBiblio->setObjectName(QStringLiteral("lstBiblio"));
    m_lstBiblio->setGeometry(kRightLeft, listsTop + 22, kRightWidth, 86);
    auto* instructions = lblLabels.add(2, label(this, 10, true, Qt::AlignLeft | Qt::AlignBottom));
    instructions->setGeometry(kRightLeft, listsTop + 114, kRightWidth, 20);
    plat::setTag(instructions, 300401);
    m_lstConsigne = new plat::ListBox(this);
    m_lstConsigne->setObjectName(QStringLiteral("lstConsigne"));
    m_lstConsigne->setGeometry(kRightLeft, listsTop + 136, kRightWidth, kControlsTop + kButtonHeight - listsTop - 136);
    for (plat::ListBox* list : {m_lstBiblio, m_lstConsigne}) {
        list->setFont(plat::Theme::font(10));
        list->setFocusPolicy(Qt::NoFocus);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setTextElideMode(Qt::ElideNone);
        // They show what the channel's numbers stand for: a touch scrolls, it selects nothing.
        list->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
        list->setStyleSheet(
            QStringLiteral("QListWidget { border: 1px solid %1; border-radius: 4px; background: %2; }"
                           "QListWidget::item:selected { background: %3; color: white; }")
                .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name(), plat::Theme::accent().name()));
    }
}

void wBusPanneau::buildRows()
{
    auto* frame = frmFond.add(0, panel(this, {kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight}));

    for (int row = 0; row < ParamRows::Count; ++row) {
        const int top = kRowsTop + row * kRowPitch;
        auto* name = lblParams.add(row, label(frame, 10, false, Qt::AlignLeft | Qt::AlignVCenter));
        name->setGeometry(kNameLeft, top, kNameWidth, kRowHeight);
        plat::setTag(name, ParamRows::NameText(row));
        auto* value = m_lblParamVal.add(row, new plat::Label(frame));
        value->setFont(plat::Theme::font(10, true));
        value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        value->setGeometry(kValueLeft, top, kValueWidth, kRowHeight);
        plat::setTag(value, QString());
        connect(value, &plat::Label::Change, this, [this, row] { lblParamVal_Change(row); });
    }

    // Where the value picker opens: over the values, the row names and the text lists left in sight.
    shpInput = new QFrame(frame);
    shpInput->setObjectName(QStringLiteral("shpInput"));
    shpInput->setGeometry(kValueLeft - 4, 0, 8, 8);
    shpInput->hide();

    m_txtNoParam = new QLineEdit(this);
    m_txtNoParam->setObjectName(QStringLiteral("txtNoParam"));
    m_txtNoParam->hide();
    connect(m_txtNoParam, &QLineEdit::textChanged, this, [this] { txtNoParam_Change(); });
}

void wBusPanneau::buildButtons()
{
    struct Control {
        int index;
        const char* icon;
        int left;
    };
    const Control controls[] = {
        {ControlPreviousChannel, "previous", kFrameLeft},
        {ControlNextChannel, "next", kFrameLeft + 68},
        {ControlCopy, "copy", kFrameLeft + 152},
        {ControlPaste, "paste", kFrameLeft + 220},
        {ControlCut, "cut", kFrameLeft + 288},
        {ControlClear, "clear", kFrameLeft + 356},
    };
    for (const Control& c : controls) {
        auto* b = imgControl.add(c.index, button(this, c.icon, {c.left, kControlsTop, kButton, kButtonHeight}));
        const int i = c.index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    imgModif = button(this, "edit", {kFrameLeft + kFrameWidth - 80, kControlsTop, 80, kButtonHeight});
    imgModif->setObjectName(QStringLiteral("imgModif"));
    connect(imgModif, &QAbstractButton::clicked, this, [this] { imgModif_Click(); });

    struct Navig {
        int index;
        const char* icon;
        int left;
    };
    const Navig navig[] = {
        {NavigMain, "leave", 8},
        {NavigOverview, "overview", 80},
        {NavigPreviousRow, "up", kFrameLeft + kFrameWidth - 2 * kButton - 8},
        {NavigNextRow, "down", kFrameLeft + kFrameWidth - kButton},
        {NavigMirrors, "mirrors", kRightLeft},
        {3, "up", 0},
        {4, "down", 0},
    };
    for (const Navig& n : navig) {
        auto* b = imgNavig.add(n.index, button(this, n.icon, {n.left, kBarTop, kButton, kButtonHeight}));
        const int i = n.index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }
    // 3 and 4 only update the row buttons: nothing to touch on this layout.
    imgNavig(3)->hide();
    imgNavig(4)->hide();

    lblVisuTcde = label(this, 11, true, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("lblVisuTcde"));
    lblVisuTcde->setWordWrap(true);
    lblVisuTcde->setGeometry(kRightLeft + kButton + 8, kBarTop, kRightWidth - kButton - 8, kButtonHeight);
}

// ---- Load and the module ----------------------------------------------------

void wBusPanneau::Form_Load()
{
    plat::guard(QStringLiteral("wBusPanneau.Form_Load"), [&] {
        for (int model = 0; model <= kLastModel; ++model)
            lstModele->AddItem(Global::ModuleName(model));
        for (int i = 1; i <= Limits::LibraryTexts; ++i)
            m_lstBiblio->AddItem(listEntry(i, gConfig->Biblio(i)));
        for (int i = 1; i <= Limits::InstructionTexts; ++i)
            m_lstConsigne->AddItem(listEntry(i, gConfig->Consigne(i)));
        m_edit.LoadMirrors(*gConfig->Mirrors());
        Global::MiseAEchelle(this);
        Nationality();
        m_txtNoParam->setText(QStringLiteral("0"));
    });
}

void wBusPanneau::Form_Activate()
{
    update();
}

void wBusPanneau::Nationality()
{
    plat::guard(QStringLiteral("wBusPanneau.Nationality"), [&] {
        plat::applyCaptions(this);
        // The number follows the word "Module".
        // The word takes its width, and keeps its height (scaled with the screen).
        for (int i : {1, 0}) {
            const int height = lblLabels(i)->height();
            lblLabels(i)->adjustSize();
            lblLabels(i)->resize(lblLabels(i)->width(), height);
            lblNumModule(i)->move(lblLabels(i)->x() + lblLabels(i)->width() + 8, lblNumModule(i)->y());
        }
    });
}

void wBusPanneau::setNumModule(int n)
{
    plat::guard(QStringLiteral("wBusPanneau.NumModule"), [&] {
        const auto panel = gConfig->Panel(int16_t(n));
        if (!panel)
            plat::raise(plat::rt::ObjectVariableNotSet);
        m_edit.LoadPanel(*panel);
        m_numModule = n;
        update();
        showModule();
    });
}

void wBusPanneau::showModule()
{
    PanelClass& panel = *m_edit.EditPanel();
    if (m_numModule >= 1) {
        setTitleColour(panel.TitleColor());
        showActive();
        for (int row = 0; row < ParamRows::Count; ++row)
            plat::setTag(ParamVal(row), ParamRows::Tag(row, panel.ChannelCount()));
        ParamVal(ParamRows::Title)->setCaption(panel.Title());
        // The channel shown stays when the module changes.
        if (ParamVal(ParamRows::ChannelNo)->Caption().isEmpty())
            ParamVal(ParamRows::ChannelNo)->setCaption(QStringLiteral("1"));
    } else {
        for (const auto& [row, value] : m_lblParamVal)
            value->setCaption(QString());
        setTitleColour(0xFFFF);
    }
    // A stored model that has no name selects nothing (and is never overwritten by it).
    const int model = panel.Model();
    lstModele->setListIndex(model >= 0 && model < lstModele->ListCount() ? model : -1);
    setPairCaption(lblNumModule, QString::number(m_numModule));
}

void wBusPanneau::showActive()
{
    const bool active = m_edit.EditPanel()->Active();
    setPairCaption(lblActive, Config::GetText(TextIds::ModuleActiveFirst + (active ? 1 : 0)));
}

void wBusPanneau::setTitleColour(int32_t bgr)
{
    lblTitleColor->setStyleSheet(BusLook::titleStyle(bgr));
    lblTitleColor->setProperty("TitleColor", bgr);
}

void wBusPanneau::lstModele_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.lstModele_Click"), [&] {
        PanelClass& panel = *m_edit.EditPanel();
        const int model = lstModele->ListIndex();
        setPairCaption(lblModele, lstModele->Text());
        if (model >= 0)
            panel.setModel(model);
        plat::setTag(ParamVal(ParamRows::ChannelNo), ParamRows::Tag(ParamRows::ChannelNo, panel.ChannelCount()));

        const bool mirrorsModel = model >= 1 && model <= kModelsWithMirrors;
        const bool remoteModel = model > kModelsWithMirrors && model <= kLastModel;
        if (mirrorsModel)
            lblVisuTcde->setText(Config::GetText(300130));
        else if (remoteModel)
            lblVisuTcde->setText(Config::GetText(300131));
        else
            lblVisuTcde->setText(QString());
        imgNavig(NavigMirrors)->setVisible(mirrorsModel);
        lblVisuTcde->setVisible(mirrorsModel || remoteModel);

        if (!ParamVal(ParamRows::ChannelNo)->Caption().isEmpty()) {
            showRowButtons();
        } else {
            m_txtNoParam->setText(QStringLiteral("0"));
            ParamVal(ParamRows::ChannelNo)->setCaption(QStringLiteral("1"));
            txtNoParam_Change();
            imgNavig(NavigPreviousRow)->hide();
            imgNavig(NavigNextRow)->hide();
        }
    });
}

void wBusPanneau::imgModele_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.imgModele_Click"), [&] {
        if (m_edit.HasMirrorsOf(m_numModule)) {
            const int answer = Global::Message(Config::GetText(30011), MsgStyle::vbOKCancel | MsgStyle::vbExclamation);
            if (answer != MsgResult::vbOK)
                return;
            // Removed from the working list only: saving the module saves the
            // removal, dropping its edits brings the mirrors back.
            m_edit.RemoveMirrorsOf(m_numModule);
        }
        lstModele->setListIndex((lstModele->ListIndex() + 1) % lstModele->ListCount());
    });
}

void wBusPanneau::imgActive_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.imgActive_Click"), [&] {
        PanelClass& panel = *m_edit.EditPanel();
        panel.setActive(!panel.Active());
        showActive();
    });
}

void wBusPanneau::lblTitleColor_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.lblTitleColor_Click"), [&] {
        PanelClass& panel = *m_edit.EditPanel();
        Dlg.setColor(panel.TitleColor());
        Dlg.ShowColor(this);
        panel.setTitleColor(Dlg.Color());
        setTitleColour(panel.TitleColor());
    });
}

void wBusPanneau::imgCancel_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.imgCancel_Click"), [&] {
        // The model change is cancelled with the rest: its mirrors come back.
        m_edit.DropRemoval();
        setNumModule(m_numModule);
        lblParamVal_Change(ParamRows::ChannelNo);
    });
}

void wBusPanneau::imgClear_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.imgClear_Click"), [&] {
        m_edit.ResetPanel();
        // Everything the defaults change is shown, so a save keeps only what was seen.
        showModule();
        lblNumModule_Change();
        ReadChannel();
        m_edit.EditPanel()->setModified(true);
    });
}

void wBusPanneau::lblNumModule_Change()
{
    plat::guard(QStringLiteral("wBusPanneau.lblNumModule_Change"), [&] {
        const int n = plat::CInt(plat::Val(lblNumModule(1)->Caption()));
        imgNavPanel(NavPanelPrevious)->setVisible(n > 1);
        imgNavPanel(NavPanelNext)->setVisible(n > 0 && n < Limits::Modules);
    });
}

int wBusPanneau::askToSave(bool leaving)
{
    if (!m_edit.Pending())
        return 0;
    const int answer = Global::Message(Config::GetText(30010), MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion);
    if (answer == MsgResult::vbYes) {
        m_edit.Accept(*gConfig, m_numModule, leaving);
        Config::SaveCurrentConfig();
    }
    return answer == MsgResult::vbYes || answer == MsgResult::vbNo ? answer : MsgResult::vbCancel;
}

void wBusPanneau::imgNavPanel_Click(int index)
{
    plat::guard(QStringLiteral("wBusPanneau.imgNavPanel_Click"), [&] {
        const int answer = askToSave(false);
        // An alarm brought up while the question waited clears this screen away.
        if (answer == MsgResult::vbCancel || IsUnloaded())
            return;
        int next = m_numModule;
        if (index == NavPanelPrevious && m_numModule > 1)
            next = m_numModule - 1;
        else if (index == NavPanelNext && m_numModule < Limits::Modules)
            next = m_numModule + 1;
        if (next != m_numModule) {
            // The module's edits go with it: so does its model change's mirror removal.
            if (answer == MsgResult::vbNo)
                m_edit.DropRemoval();
            setNumModule(next);
        }
        ReadChannel();
    });
}

void wBusPanneau::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wBusPanneau.imgNavig_Click"), [&] {
        switch (index) {
        case NavigMain:
        case NavigOverview: {
            if (askToSave(true) == MsgResult::vbCancel || IsUnloaded())
                return;
            plat::Forms::Get(index == NavigOverview ? FormNames::wBusModules : FormNames::wMain)->Show();
            plat::Forms::Unload(this);
            return;
        }
        case NavigPreviousRow:
            m_txtNoParam->setText(QString::number(RowSelection::Previous(currentRow())));
            break;
        case NavigNextRow:
            m_txtNoParam->setText(QString::number(RowSelection::Next(currentRow(), currentChannel())));
            break;
        case NavigMirrors:
            showMirrors();
            if (IsUnloaded())
                return;
            break;
        default:
            break;
        }
        showRowButtons();
    });
}

// The mirrors of the module and channel shown, on the working mirror list.
void wBusPanneau::showMirrors()
{
    auto* screen = qobject_cast<wBusMirrorOne*>(plat::Forms::Get(FormNames::wBusMirrorOne));
    if (!screen)
        plat::raise(plat::rt::TypeMismatch);
    QPointer<wBusMirrorOne> mirrors(screen);
    mirrors->setMirrors(m_edit.EditMirrors());
    mirrors->setPanel(m_edit.EditPanel());
    for (int i : {0, 1})
        mirrors->lblModele(i)->setText(lblModele(i)->text());
    mirrors->lblNumModule(0)->setCaption(QString::number(m_numModule));
    mirrors->lblChannel->setCaption(m_edit.EditPanel()->Model() == 2 ? gNoChannelText
                                                                      : ParamVal(ParamRows::ChannelNo)->Caption());
    mirrors->Show(true, this);
    if (mirrors)
        plat::Forms::Unload(mirrors);
}

// ---- The parameter rows -----------------------------------------------------

int wBusPanneau::currentRow() const
{
    return plat::CInt(plat::Val(m_txtNoParam->text()));
}

int wBusPanneau::currentChannel() const
{
    return ParamRows::Number(ParamVal(ParamRows::ChannelNo)->Caption());
}

ChannelClass& wBusPanneau::channel(int c) const
{
    const auto ch = m_edit.EditPanel()->Channel(int16_t(c));
    if (!ch)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *ch;
}

void wBusPanneau::showRowButtons()
{
    const int row = currentRow();
    imgNavig(NavigPreviousRow)->setVisible(RowSelection::PreviousShown(row));
    imgNavig(NavigNextRow)->setVisible(RowSelection::NextShown(row, currentChannel()));
}

void wBusPanneau::ReadChannel()
{
    plat::guard(QStringLiteral("wBusPanneau.ReadChannel"), [&] {
        const int c = currentChannel();
        if (c <= 0)
            return;
        const ChannelClass& ch = channel(c);
        for (int row = ParamRows::FirstChannelRow; row < ParamRows::Count; ++row)
            ParamVal(row)->setCaption(ParamRows::Shown(row, ch));
    });
}

void wBusPanneau::lblParamVal_Change(int index)
{
    plat::guard(QStringLiteral("wBusPanneau.lblParamVal_Change"), [&] {
        const QString caption = ParamVal(index)->Caption();
        const int c = currentChannel();
        switch (index) {
        case ParamRows::Title:
            m_edit.EditPanel()->setTitle(caption);
            break;
        case ParamRows::ChannelNo:
            ReadChannel();
            break;
        case ParamRows::BibNum:
            if (c > 0)
                channel(c).setBibNum(int16_t(ParamRows::Number(caption)));
            // A number beyond the list selects nothing.
            m_lstBiblio->setListIndex(ParamRows::ListIndexOf(channel(c).BibNum(), m_lstBiblio->ListCount()));
            break;
        case ParamRows::HelpNum:
            if (c > 0)
                channel(c).setHelpNum(int16_t(ParamRows::Number(caption)));
            m_lstConsigne->setListIndex(ParamRows::ListIndexOf(channel(c).HelpNum(), m_lstConsigne->ListCount()));
            break;
        default:
            if (c >= 1)
                ParamRows::WriteBack(index, caption, channel(c));
            break;
        }
    });
}

void wBusPanneau::txtNoParam_Change()
{
    plat::guard(QStringLiteral("wBusPanneau.txtNoParam_Change"), [&] {
        if (!plat::IsNumeric(m_txtNoParam->text()))
            return;
        const double selected = plat::Val(m_txtNoParam->text());
        for (const auto& [row, value] : m_lblParamVal) {
            const unsigned int bgr = row == selected ? SelectedRowColour : RowColour;
            value->setStyleSheet(QStringLiteral("background: %1; color: %2; border: 1px solid %3; padding-left: 6px;")
                                     .arg(plat::Theme::fromBgr(bgr).name(), plat::Theme::text().name(),
                                          plat::Theme::buttonBorder().name()));
            value->setProperty("BackColor", bgr);
        }
    });
}

void wBusPanneau::imgModif_Click()
{
    plat::guard(QStringLiteral("wBusPanneau.imgModif_Click"), [&] {
        const int row = currentRow();
        // The channel is changed with the channel buttons.
        if (row == ParamRows::ChannelNo || !m_lblParamVal.exists(row))
            return;
        if (plat::tagOf(ParamVal(row)).isEmpty())
            editRowOnKeyboard(row);
        else
            editRowWithPicker(row);
    });
}

void wBusPanneau::editRowOnKeyboard(int row)
{
    auto* keyboard = qobject_cast<dlgKeyboard*>(plat::Forms::Get(FormNames::dlgKeyboard));
    if (!keyboard)
        plat::raise(plat::rt::TypeMismatch);
    QPointer<plat::Form> guardKeyboard(keyboard);
    keyboard->txtValue(1)->hide();
    keyboard->imgCRLF->hide();
    keyboard->lblTitle->setText(lblParams(row)->text());
    keyboard->txtValue(0)->setMaxLength(ParamRows::KeyboardMaxLength);
    keyboard->txtValue(0)->setText(ParamVal(row)->Caption());
    keyboard->Show(true, this);
    if (guardKeyboard && keyboard->Ok())
        ParamVal(row)->setCaption(keyboard->txtValue(0)->Text());
    plat::Forms::Unload(guardKeyboard);
}

void wBusPanneau::editRowWithPicker(int row)
{
    if (const auto value = dlgListInput::Pick(this, ParamVal(row)->Caption(), plat::tagOf(ParamVal(row)),
                                              shpInput->mapToGlobal(QPoint(0, 0))))
        ParamVal(row)->setCaption(*value);
}

void wBusPanneau::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wBusPanneau.imgControl_Click"), [&] {
        const int c = currentChannel();
        plat::Label* channelRow = ParamVal(ParamRows::ChannelNo);
        switch (index) {
        case ControlPreviousChannel:
            if (c > 1)
                channelRow->setCaption(QString::number(c - 1));
            break;
        case ControlNextChannel:
            if (c < m_edit.EditPanel()->ChannelCount())
                channelRow->setCaption(QString::number(c + 1));
            break;
        case ControlCopy:
            gChannelClipboard = std::make_shared<ChannelClass>();
            gChannelClipboard->Copy(channel(c));
            break;
        case ControlPaste:
            if (!gChannelClipboard) {
                plat::Beep();
                break;
            }
            ConfigCopy::Channel(channel(c), *gChannelClipboard);
            lblParamVal_Change(ParamRows::ChannelNo);
            break;
        case ControlCut:
            imgControl_Click(ControlCopy);
            imgControl_Click(ControlClear);
            break;
        case ControlClear:
            ConfigCopy::Channel(channel(c), ChannelClass());
            lblParamVal_Change(ParamRows::ChannelNo);
            break;
        default:
            break;
        }
    });
}

// ---- Keys and painting --------------------------------------------------------

void wBusPanneau::Form_KeyDown(int keyCode)
{
    plat::guard(QStringLiteral("wBusPanneau.Form_KeyDown"), [&] {
        if (keyCode == KeyF12)
            plat::SystemKeyboard::start();
    });
}

bool wBusPanneau::eventFilter(QObject* watched, QEvent* event)
{
    // Wherever the focus is, the form sees the key first.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12) {
        Form_KeyDown(KeyF12);
        return true;
    }
    if (watched == lstModele && event->type() == QEvent::FocusOut)
        lstModele->hide();
    return plat::Form::eventFilter(watched, event);
}

void wBusPanneau::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
