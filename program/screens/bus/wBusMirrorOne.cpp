#include "program/screens/bus/wBusMirrorOne.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/RtError.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "program/core/Config.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"
#include "program/screens/bus/MirrorChoice.h"
#include "program/screens/bus/MirrorLines.h"
#include "program/screens/bus/MirrorRules.h"
#include "program/screens/bus/dlgEditMirror.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>

namespace {

using namespace plat::ScreenLook;

constexpr int kButton = 64;
constexpr int kButtonHeight = 56;
constexpr int kChannelTop = Band + 12;
constexpr int kListTitleTop = kChannelTop + kButtonHeight + 14;
constexpr int kListTop = kListTitleTop + 30;
constexpr int kBarTop = ScreenHeight - 8 - kButtonHeight;
constexpr int kArrowsTop = kBarTop - 16 - kButtonHeight;
constexpr int kListHeight = kArrowsTop - 8 - kListTop;
constexpr int kListWidth = (ScreenWidth - 2 * 12 - 16) / 2;
constexpr int kToLeft = 12;
constexpr int kFromLeft = kToLeft + kListWidth + 16;
constexpr int kLineHeight = 30;

} // namespace

wBusMirrorOne::wBusMirrorOne() : plat::Form(FormNames::wBusMirrorOne)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());

    // "Module" and the number after it, each over its shadow.
    for (int i : {0, 1}) {
        lblLabels.add(i, new plat::Label(this));
        lblNumModule.add(i, new plat::Label(this));
        plat::setTag(lblLabels(i), 520100);
        connect(lblLabels(i), &plat::Label::Change, this, [this, i] { lblLabels_Change(i); });
    }
    title(lblLabels(1), lblLabels(0), {20, 0, 140, Band});
    title(lblNumModule(1), lblNumModule(0), {160, 0, 100, Band});
    connect(lblNumModule(0), &plat::Label::Change, this, [this] { lblNumModule_Change(); });

    for (int i : {0, 1})
        lblModele.add(i, new QLabel(this));
    title(lblModele(1), lblModele(0), {ScreenWidth - 12 - 52 - 8 - 240, 0, 240, Band});
    for (int i : {0, 1})
        lblModele(i)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    imgModele = new QLabel(this);
    imgModele->setObjectName(QStringLiteral("imgModele"));
    imgModele->setGeometry(ScreenWidth - 12 - 52, 4, 52, 52);
    imgModele->setPixmap(plat::Icons::pixmap(QStringLiteral("module"), imgModele->size()));

    lblParams = label(this, 14, true, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("lblParams"));
    lblParams->setGeometry(kToLeft, kChannelTop, 140, kButtonHeight);
    plat::setTag(lblParams, 300201);
    imgControl.add(ControlPreviousChannel, button(this, "minus", {160, kChannelTop, kButton, kButtonHeight}));
    lblChannel = new plat::Label(this);
    lblChannel->setObjectName(QStringLiteral("lblChannel"));
    lblChannel->setFont(plat::Theme::font(18, true));
    lblChannel->setAlignment(Qt::AlignCenter);
    paintField(lblChannel, FieldWhite);
    lblChannel->setGeometry(160 + kButton + 8, kChannelTop, 120, kButtonHeight);
    connect(lblChannel, &plat::Label::Change, this, [this] { lblChannel_Change(); });
    imgControl.add(ControlNextChannel, button(this, "plus", {160 + kButton + 8 + 128, kChannelTop, kButton,
                                                             kButtonHeight}));
    for (const auto& [index, b] : imgControl) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    // The two lists, each under its title and over its arrows.
    struct Side {
        plat::ListBox** list;
        const char* name;
        int left;
        int label;
        int text;
        int up;
        int down;
    };
    const Side sides[] = {{&lstTo, "lstTo", kToLeft, LabelTo, TextIds::MirrorsOutgoing, NavigToUp, NavigToDown},
                          {&lstFrom, "lstFrom", kFromLeft, LabelFrom, TextIds::MirrorsIncoming, NavigFromUp, NavigFromDown}};
    for (const Side& s : sides) {
        auto* t = lblLabels.add(s.label, new plat::Label(this));
        t->setFont(plat::Theme::font(13, true));
        t->setGeometry(s.left, kListTitleTop, kListWidth, 28);
        plat::setTag(t, s.text);
        auto* list = new plat::ListBox(this);
        list->setObjectName(QLatin1String(s.name));
        list->setFont(plat::Theme::fixedFont(11));
        // Focus would choose a line of its own: only a touch or an arrow chooses one.
        list->setFocusPolicy(Qt::NoFocus);
        list->setStyleSheet(listStyle(kLineHeight));
        list->setGeometry(s.left, kListTop, kListWidth, kListHeight);
        *s.list = list;
        imgNavig.add(s.up, button(this, "up", {s.left, kArrowsTop, kButton, kButtonHeight}));
        imgNavig.add(s.down, button(this, "down", {s.left + kListWidth - kButton, kArrowsTop, kButton, kButtonHeight}));
    }
    connect(lstTo, &plat::ListBox::Click, this, [this] { showToArrows(); });

    imgNavig.add(NavigBack, button(this, "leave", {12, kBarTop, kButton, kButtonHeight}));
    for (const auto& [index, b] : imgNavig) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }

    imgNew = button(this, "new", {292, kBarTop, kButton, kButtonHeight});
    imgNew->setObjectName(QStringLiteral("imgNew"));
    connect(imgNew, &QAbstractButton::clicked, this, [this] { imgNew_Click(); });
    imgModif = button(this, "edit", {364, kBarTop, kButton, kButtonHeight});
    imgModif->setObjectName(QStringLiteral("imgModif"));
    imgDelete = button(this, "delete", {436, kBarTop, kButton, kButtonHeight});
    imgDelete->setObjectName(QStringLiteral("imgDelete"));
    connect(imgDelete, &QAbstractButton::clicked, this, [this] { imgDelete_Click(); });
    // Modify and cancel have no action here.
    imgCancel = button(this, "cancel", {556, kBarTop, kButton, kButtonHeight});
    imgCancel->setObjectName(QStringLiteral("imgCancel"));
    lblCancel = label(this, 13, true, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("lblCancel"));
    lblCancel->setGeometry(556 + kButton + 8, kBarTop, ScreenWidth - 12 - (556 + kButton + 8), kButtonHeight);
    plat::setTag(lblCancel, 300111);
    plat::forwardClicks(lblCancel, imgCancel);
}

void wBusMirrorOne::Form_Load()
{
    plat::guard(QStringLiteral("wBusMirrorOne.Form_Load"), [&] {
        Nationality();
        Global::MiseAEchelle(this);
    });
}

void wBusMirrorOne::setPanel(std::shared_ptr<PanelClass> panel)
{
    m_panel = std::move(panel);
    const bool stepping = m_panel && m_panel->Model() == 1;
    imgControl(ControlPreviousChannel)->setVisible(stepping);
    imgControl(ControlNextChannel)->setVisible(stepping);
}

QString wBusMirrorOne::FormatChannel(const MirrorClass& mirror, bool destination) const
{
    return MirrorLines::FormatChannel(mirror, destination, shownModule(), m_panel.get());
}

int wBusMirrorOne::shownModule() const
{
    return MirrorChoice::Number(lblNumModule(0)->Caption());
}

int wBusMirrorOne::shownChannel() const
{
    return MirrorChoice::Number(lblChannel->Caption());
}

// ---- The change rules --------------------------------------------------------

void wBusMirrorOne::lblNumModule_Change()
{
    plat::guard(QStringLiteral("wBusMirrorOne.lblNumModule_Change"), [&] {
        lblNumModule(1)->setCaption(lblNumModule(0)->Caption());
        // Another module shows as a whole first; the lists follow it either way.
        if (lblChannel->Caption() == gNoChannelText)
            lblChannel_Change();
        else
            lblChannel->setCaption(gNoChannelText);
    });
}

void wBusMirrorOne::lblLabels_Change(int index)
{
    plat::guard(QStringLiteral("wBusMirrorOne.lblLabels_Change"), [&] {
        if (index != 0 && index != 1)
            return;
        plat::Label* l = lblLabels(index);
        const int width = l->fontMetrics().horizontalAdvance(l->Caption()) + 12;
        l->resize(width, l->height());
        plat::Label* n = lblNumModule(index);
        n->move(l->x() + width, n->y());
    });
}

void wBusMirrorOne::lblChannel_Change()
{
    plat::guard(QStringLiteral("wBusMirrorOne.lblChannel_Change"), [&] {
        lstTo->Clear();
        lstFrom->Clear();
        if (!MirrorChoice::IsNumber(lblNumModule(0)->Caption()) || !m_mirrors)
            return;
        lblNumModule(1)->setCaption(lblNumModule(0)->Caption());
        const MirrorLines::Lists lists = MirrorLines::Fill(*m_mirrors, shownModule(), shownChannel(), m_panel.get());
        for (const auto& [list, lines] : {std::pair{lstTo, &lists.to}, std::pair{lstFrom, &lists.from}})
            for (const MirrorLines::Line& line : *lines) {
                list->AddItem(line.text);
                list->item(list->count() - 1)->setData(Qt::UserRole, line.id);
            }
        showToArrows();
    });
}

// ---- The buttons ----------------------------------------------------------------

void wBusMirrorOne::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wBusMirrorOne.imgControl_Click"), [&] {
        if (!m_panel)
            return;
        if (index == ControlPreviousChannel)
            lblChannel->setCaption(MirrorLines::ChannelDown(lblChannel->Caption(), *m_panel));
        else if (index == ControlNextChannel)
            lblChannel->setCaption(MirrorLines::ChannelUp(lblChannel->Caption(), *m_panel));
    });
}

void wBusMirrorOne::imgNew_Click()
{
    plat::guard(QStringLiteral("wBusMirrorOne.imgNew_Click"), [&] {
        if (!m_mirrors)
            return;
        auto* dialog = qobject_cast<dlgEditMirror*>(plat::Forms::Get(FormNames::dlgEditMirror));
        if (!dialog)
            plat::raise(plat::rt::TypeMismatch);
        QPointer<dlgEditMirror> dlg(dialog);
        dlg->setPanel(m_panel);
        dlg->lblSrceModNo->setCaption(lblNumModule(0)->Caption());
        dlg->lblSrceChnlNo->setCaption(lblChannel->Caption());
        // The source is this module and channel.
        for (int i = MirrorChoice::SourceModuleDown; i <= MirrorChoice::SourceChannelUp; ++i)
            dlg->imgPlusMoins(i)->hide();
        dlg->Show(true, this);
        // An alarm brought up meanwhile clears the screens away.
        if (!dlg || dlg->IsUnloaded() || IsUnloaded())
            return;
        if (dlg->Ok()) {
            const MirrorClass mirror = dlg->ChosenMirror();
            const int refusal = MirrorRules::NewRefusal(*m_mirrors, mirror);
            if (refusal != MirrorRules::Accepted) {
                Global::Message(Config::GetText(refusal), MsgStyle::vbCritical);
                if (IsUnloaded())
                    return;
            } else {
                m_mirrors->Add(0, 0, 0, 0, 0)->Copy(mirror);
            }
            lblChannel_Change();
        }
        plat::Forms::Unload(dlg);
    });
}

void wBusMirrorOne::imgDelete_Click()
{
    plat::guard(QStringLiteral("wBusMirrorOne.imgDelete_Click"), [&] {
        if (lstTo->ListCount() == 0) {
            plat::Beep();
            return;
        }
        if (lstTo->ListIndex() < 0) {
            Global::Message(Config::GetText(30006).replace(QStringLiteral("$$$"), Config::GetText(TextIds::MirrorsOutgoing)),
                            MsgStyle::vbExclamation);
            return;
        }
        const qint32 id = lstTo->item(lstTo->ListIndex())->data(Qt::UserRole).toInt();
        if (Global::Message(Config::GetText(30007), MsgStyle::vbOKCancel | MsgStyle::vbExclamation) != MsgResult::vbOK
            || IsUnloaded() || !m_mirrors)
            return;
        for (int i = m_mirrors->Count(); i >= 1; --i)
            if (MirrorLines::IdNumber(m_mirrors->Item(i)->ID()) == id)
                m_mirrors->Remove(i);
        lblChannel_Change();
    });
}

void wBusMirrorOne::move(plat::ListBox* list, int step)
{
    const int at = list->ListIndex();
    const int next = at + step;
    if (step < 0 ? at >= 1 : at < list->ListCount() - 1)
        list->setListIndex(next);
}

void wBusMirrorOne::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wBusMirrorOne.imgNavig_Click"), [&] {
        switch (index) {
        case NavigBack:
            Hide();
            return;
        case NavigToUp:
            move(lstTo, -1);
            break;
        case NavigToDown:
            move(lstTo, 1);
            break;
        case NavigFromUp:
            move(lstFrom, -1);
            break;
        case NavigFromDown:
            move(lstFrom, 1);
            break;
        default:
            break;
        }
        showToArrows();
    });
}

void wBusMirrorOne::showToArrows()
{
    const int at = lstTo->ListIndex();
    imgNavig(NavigToUp)->setVisible(at >= 1);
    imgNavig(NavigToDown)->setVisible(at < lstTo->ListCount() - 1);
}

void wBusMirrorOne::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
