#include "program/screens/bus/wTechConsignations.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/Label.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/core/TextIds.h"
#include "program/screens/bus/TechCommand.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTreeWidget>

namespace {

using namespace plat::ScreenLook;
using OutOfService::Icon;

constexpr int kListTop = 100;
constexpr int kListWidth = 256;
constexpr int kListHeight = 372;
constexpr int kPresentLeft = 8;
constexpr int kNewLeft = kPresentLeft + kListWidth + 10;
constexpr int kRightLeft = kNewLeft + kListWidth + 12;
constexpr int kRightWidth = ScreenWidth - 8 - kRightLeft;
constexpr int kButton = 64;
constexpr int kButtonHeight = 52;
constexpr int kBarTop = ScreenHeight - 8 - kButtonHeight;

constexpr int kModuleRole = Qt::UserRole;
constexpr int kChannelRole = Qt::UserRole + 1;
constexpr int kIconRole = Qt::UserRole + 2;

QIcon iconOf(const char* name)
{
    return QIcon(plat::Icons::pixmap(QLatin1String(name), QSize(32, 32)));
}

int number(const QLabel* l) { return int(plat::Val(l->text())); }

QString numberText(int n) { return n > 0 ? QString::number(n) : QString(); }

int placeOf(QTreeWidget* list, QTreeWidgetItem* item)
{
    return item ? list->indexOfTopLevelItem(item) + 1 : 0;
}

} // namespace

wTechConsignations::wTechConsignations() : plat::Form(FormNames::wTechConsignations)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());
    plat::setTag(lblLabels.add(0, bandLabel(this, 20, TitleRect)), 840000);
    for (int i : {1, 2}) {
        auto* l = lblLabels.add(i, label(this, 12, true, Qt::AlignLeft | Qt::AlignBottom));
        l->setGeometry(i == 1 ? kPresentLeft : kNewLeft, Band + 6, kListWidth, kListTop - Band - 10);
        l->setWordWrap(true);
        plat::setTag(l, i == 1 ? 840010 : 840011);
    }
    imlPerturb.insert(OutOfService::IconKey(Icon::PanelOut), iconOf("switch-off"));
    imlPerturb.insert(OutOfService::IconKey(Icon::PanelOk), iconOf("switch-on"));
    imlPerturb.insert(OutOfService::IconKey(Icon::ChannelOut), iconOf("stop"));
    imlPerturb.insert(OutOfService::IconKey(Icon::ChannelOn), iconOf("ok"));
    lvwPresent = makeList({kPresentLeft, kListTop, kListWidth, kListHeight}, "lvwPresent");
    lvwNew = makeList({kNewLeft, kListTop, kListWidth, kListHeight}, "lvwNew");
    connect(lvwPresent, &QTreeWidget::itemClicked, this, [this] { lvwPresent_ItemClick(); });
    connect(lvwNew, &QTreeWidget::itemClicked, this, [this] { lvwNew_ItemClick(); });
    buildSelectors();
    buildNavigation();
}

QTreeWidget* wTechConsignations::makeList(const QRect& geometry, const char* name)
{
    auto* list = new QTreeWidget(this);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(geometry);
    list->setColumnCount(2);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setIndentation(0);
    list->setIconSize(QSize(24, 24));
    list->setFont(plat::Theme::font(11));
    list->setColumnWidth(0, 124);
    list->header()->setStretchLastSection(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setStyleSheet(QStringLiteral("QTreeWidget { border: 1px solid %1; border-radius: 4px; background: %2; }"
                                       "QTreeWidget::item { height: 32px; }"
                                       "QTreeWidget::item:selected { background: %3; color: white; }")
                            .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name(),
                                 plat::Theme::accent().name())
                        + scrollBarStyle());
    return list;
}

void wTechConsignations::buildSelectors()
{
    // Module above channel: a caption, then minus, the number, plus, and the out/back button.
    const int valueWidth = kRightWidth - 2 * (kButton + 6);
    struct Block {
        int top;
        int caption;
        plat::Label** value;
        const char* name;
        int minus, plus, out, back;
    } blocks[] = {
        {kListTop - 4, TextIds::OutOfServiceModule, &lblModule, "lblModule", OutOfService::ModuleDown, OutOfService::ModuleUp,
         OutOfService::ModuleOut, OutOfService::ModuleBack},
        {kListTop + 190, TextIds::OutOfServiceChannel, &lblChannel, "lblChannel", OutOfService::ChannelDown, OutOfService::ChannelUp,
         OutOfService::ChannelOut, OutOfService::ChannelBack},
    };
    int i = 0;
    for (const Block& b : blocks) {
        panel(this, {kRightLeft, b.top, kRightWidth, 2 * kButtonHeight + 48});
        auto* caption = lblParams.add(i++, label(this, 12, true));
        caption->setGeometry(kRightLeft + 10, b.top + 4, kRightWidth - 20, 28);
        plat::setTag(caption, b.caption);
        const int row = b.top + 34;
        imgControl.add(b.minus, button(this, "minus", {kRightLeft + 4, row, kButton, kButtonHeight}));
        auto* value = new plat::Label(this);
        value->setObjectName(QLatin1String(b.name));
        value->setFont(plat::Theme::font(18, true));
        value->setAlignment(Qt::AlignCenter);
        value->setGeometry(kRightLeft + kButton + 10, row + 4, valueWidth - 8, kButtonHeight - 8);
        paintField(value, FieldWhite);
        *b.value = value;
        imgControl.add(b.plus, button(this, "plus", {kRightLeft + kRightWidth - 4 - kButton, row, kButton,
                                                               kButtonHeight}));
        const QRect action{kRightLeft + (kRightWidth - kButton) / 2, row + kButtonHeight + 6, kButton, kButtonHeight};
        imgControl.add(b.out, button(this, "switch-off", action));
        imgControl.add(b.back, button(this, "switch-on", action));
    }
    for (const auto& [index, b] : imgControl) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }
    plat::onClick(lblModule, [this] { lblModule_Click(); });
    connect(lblChannel, &plat::Label::Change, this, [this] { lblChannel_Change(); });
}

void wTechConsignations::buildNavigation()
{
    const int top = kListTop + kListHeight + 8;
    const int arrow = kListWidth / 2 - 4;
    auto add = [&](int index, const char* icon, const QRect& geometry) {
        auto* b = imgNavig.add(index, button(this, QLatin1String(icon), geometry));
        connect(b, &QAbstractButton::clicked, this, [this, index] { imgNavig_Click(index); });
        return b;
    };
    add(NavigPresentPrevious, "up", {kPresentLeft, top, arrow, 48});
    add(NavigPresentNext, "down", {kPresentLeft + arrow + 8, top, arrow, 48});
    // The delete button at the list's right end, the arrows before it.
    const int deleteWidth = 64;
    const int newArrow = (kListWidth - deleteWidth - 16) / 2;
    add(NavigNewPrevious, "up", {kNewLeft, top, newArrow, 48});
    add(NavigNewNext, "down", {kNewLeft + newArrow + 8, top, newArrow, 48});
    imgDelete = button(this, "delete", {kNewLeft + kListWidth - deleteWidth, top, deleteWidth, 48});
    imgDelete->setObjectName(QStringLiteral("imgDelete"));
    connect(imgDelete, &QAbstractButton::clicked, this, [this] { imgDelete_Click(); });
    // 3, 4, 100 and 102 only refresh the arrows; this layout has no place for them.
    for (int i : {3, 4, 100, 102})
        add(i, "next", {0, top, kButton, 48})->hide();
    add(NavigLeave, "leave", {ScreenWidth - 8 - kButton, kBarTop, kButton, kButtonHeight});
}

void wTechConsignations::Form_Load()
{
    plat::guard(QStringLiteral("wTechConsignations.Form_Load"), [&] {
        // The out and back buttons of a pair share one place.
        imgControl(OutOfService::ChannelOut)->move(imgControl(OutOfService::ChannelBack)->pos());
        imgControl(OutOfService::ModuleOut)->move(imgControl(OutOfService::ModuleBack)->pos());
        for (const OutOfService::Item& it : OutOfService::Present(*gConfig))
            AjouteItem(lvwPresent, it.module, it.channel, it.icon);
        Nationality();
        Global::MiseAEchelle(this);
        // Nothing selected: only module + among the eight, the arrows by the lists.
        lblModule_Click();
        imgNavig_Click(NavigRefresh);
    });
}

void wTechConsignations::Nationality()
{
    plat::guard(QStringLiteral("wTechConsignations.Nationality"), [&] { plat::applyCaptions(this); });
}

QString wTechConsignations::FormatKey(int module, int channel)
{
    return OutOfService::FormatKey(module, channel);
}

QTreeWidgetItem* wTechConsignations::GetItem(QTreeWidget* list, const QString& key)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == key)
            return list->topLevelItem(i);
    return nullptr;
}

void wTechConsignations::AjouteItem(QTreeWidget* list, int module, int channel, Icon icon)
{
    const PanelClass& p = *gConfig->Panel(qint16(module));
    auto* item = new QTreeWidgetItem(list);
    item->setText(0, FormatKey(module, channel));
    item->setText(1, channel != 0 ? p.Channel(qint16(channel))->ScreenText() : p.Title());
    item->setIcon(0, imlPerturb.value(OutOfService::IconKey(icon)));
    // The numbers stay with the item: the key is for people.
    item->setData(0, kModuleRole, module);
    item->setData(0, kChannelRole, channel);
    item->setData(0, kIconRole, int(icon));
    imgNavig_Click(NavigRefresh);
}

std::vector<OutOfService::Item> wTechConsignations::PendingItems() const
{
    std::vector<OutOfService::Item> items;
    for (int i = 0; i < lvwNew->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = lvwNew->topLevelItem(i);
        items.push_back({it->data(0, kModuleRole).toInt(), it->data(0, kChannelRole).toInt(),
                         Icon(it->data(0, kIconRole).toInt())});
    }
    return items;
}

OutOfService::Selection wTechConsignations::selection() const
{
    return {number(lblModule), number(lblChannel)};
}

bool wTechConsignations::pending(const QString& key) const
{
    return GetItem(lvwNew, key) != nullptr;
}

void wTechConsignations::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("wTechConsignations.imgControl_Click"), [&] {
        const OutOfService::Selection s = selection();
        const auto isPending = [this](const QString& key) { return pending(key); };
        switch (index) {
        case OutOfService::ChannelDown:
        case OutOfService::ChannelUp:
        case OutOfService::ModuleDown:
        case OutOfService::ModuleUp: {
            const OutOfService::Selection next = OutOfService::Step(*gConfig, s, index);
            lblModule->setCaption(numberText(next.module));
            lblChannel->setCaption(numberText(next.channel));
            break;
        }
        case OutOfService::ChannelOut:
        case OutOfService::ChannelBack:
        case OutOfService::ModuleOut:
        case OutOfService::ModuleBack: {
            const OutOfService::Action a = OutOfService::Act(*gConfig, s, index, isPending);
            if (a.outcome == OutOfService::Outcome::Refused) {
                plat::Beep();
                return;
            }
            if (a.outcome == OutOfService::Outcome::Withdraw)
                delete GetItem(lvwNew, FormatKey(a.item.module, a.item.channel));
            else
                AjouteItem(lvwNew, a.item.module, a.item.channel, a.item.icon);
            break;
        }
        default:
            return;
        }
        lblModule_Click();
        lblChannel_Change();
    });
}

void wTechConsignations::lblModule_Click()
{
    plat::guard(QStringLiteral("wTechConsignations.lblModule_Click"), [&] {
        const auto shown = OutOfService::Buttons(*gConfig, selection(), [this](const QString& k) { return pending(k); });
        for (int i : {OutOfService::ModuleDown, OutOfService::ModuleUp, OutOfService::ModuleOut,
                      OutOfService::ModuleBack})
            imgControl(i)->setVisible(shown[size_t(i)]);
    });
    lblChannel_Change();
}

void wTechConsignations::lblChannel_Change()
{
    plat::guard(QStringLiteral("wTechConsignations.lblChannel_Change"), [&] {
        const auto shown = OutOfService::Buttons(*gConfig, selection(), [this](const QString& k) { return pending(k); });
        for (int i : {OutOfService::ChannelDown, OutOfService::ChannelUp, OutOfService::ChannelOut,
                      OutOfService::ChannelBack})
            imgControl(i)->setVisible(shown[size_t(i)]);
    });
}

void wTechConsignations::lvwPresent_ItemClick() { imgNavig_Click(NavigRefresh); }

void wTechConsignations::lvwNew_ItemClick() { imgNavig_Click(NavigRefresh); }

void wTechConsignations::moveIn(QTreeWidget* list, bool next)
{
    const int count = list->topLevelItemCount();
    const int at = placeOf(list, list->currentItem() && list->currentItem()->isSelected() ? list->currentItem() : nullptr);
    int to = 0;
    if (next)
        to = at == 0 ? (count > 0 ? 1 : 0) : (at < count ? at + 1 : 0);
    else
        to = at >= 2 ? at - 1 : 0;
    if (to == 0)
        return;
    QTreeWidgetItem* item = list->topLevelItem(to - 1);
    list->setCurrentItem(item);
    item->setSelected(true);
    list->scrollToItem(item);
}

void wTechConsignations::showArrows(QTreeWidget* list, int previous, int next)
{
    QTreeWidgetItem* current = list->currentItem();
    const int selected = current && current->isSelected() ? placeOf(list, current) : 0;
    const OutOfService::Arrows a = OutOfService::ArrowsOf(selected, list->topLevelItemCount());
    imgNavig(previous)->setVisible(a.previous);
    imgNavig(next)->setVisible(a.next);
}

void wTechConsignations::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wTechConsignations.imgNavig_Click"), [&] {
        switch (index) {
        case NavigLeave:
            leave();
            return;
        case NavigPresentPrevious:
        case NavigPresentNext:
            moveIn(lvwPresent, index == NavigPresentNext);
            break;
        case NavigNewPrevious:
        case NavigNewNext:
            moveIn(lvwNew, index == NavigNewNext);
            break;
        default:
            break;
        }
        showArrows(lvwPresent, NavigPresentPrevious, NavigPresentNext);
        showArrows(lvwNew, NavigNewPrevious, NavigNewNext);
    });
}

void wTechConsignations::imgDelete_Click()
{
    plat::guard(QStringLiteral("wTechConsignations.imgDelete_Click"), [&] {
        QTreeWidgetItem* current = lvwNew->currentItem();
        if (!current || !current->isSelected()) {
            plat::Beep();
            return;
        }
        const QPointer<wTechConsignations> self(this);
        const int r = Global::Message(Config::GetText(30007), MsgStyle::vbOKCancel | MsgStyle::vbQuestion);
        // Something else may have closed the screen while the box was up.
        if (!self || IsUnloaded() || r != MsgResult::vbOK)
            return;
        delete lvwNew->currentItem();
        imgNavig_Click(NavigRefresh);
        lblModule_Click();
    });
}

void wTechConsignations::leave()
{
    if (lvwNew->topLevelItemCount() > 0) {
        const QPointer<wTechConsignations> self(this);
        const int r = Global::Message(Config::GetText(30010), MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion);
        if (!self || IsUnloaded() || r == MsgResult::vbCancel)
            return;
        // Applied to the configuration in place; the next save keeps Active,
        // OutOfOrder lasts as long as the program runs. A channel put back in
        // alarm is read again, so that its alarm is listed.
        if (r == MsgResult::vbYes && OutOfService::Apply(PendingItems(), *gConfig))
            TechCommand::Engine().StartUpdate();
    }
    plat::Forms::Unload(this);
}

void wTechConsignations::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
