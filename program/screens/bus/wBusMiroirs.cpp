#include "program/screens/bus/wBusMiroirs.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Clicks.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/MirrorClass.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/MirrorRules.h"
#include "program/screens/bus/MirrorTable.h"
#include "program/screens/bus/dlgEditMirror.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTreeWidget>

namespace {

using namespace plat::ScreenLook;

constexpr int kListLeft = 12;
constexpr int kGroupTitleTop = Band + 8;
constexpr int kTitleTop = kGroupTitleTop + 28;
constexpr int kTitleHeight = 28;
constexpr int kListTop = kTitleTop + kTitleHeight + 2;
constexpr int kRowHeight = 34;
constexpr int kButton = 64;
constexpr int kButtonHeight = 56;
constexpr int kBarTop = ScreenHeight - 8 - kButtonHeight;
// Whole rows only, within the room above the bar.
constexpr int kListHeight = (kBarTop - 12 - kListTop - 2) / kRowHeight * kRowHeight + 2;
// Column 0 holds nothing; the others fit a model name, a number or a type.
constexpr int kColumnWidths[MirrorTable::Columns] = {14, 100, 70, 96, 100, 70, 84, 140};
constexpr int kScrollBar = 22;
constexpr int kListWidth = [] {
    int w = 2 + kScrollBar;
    for (int c : kColumnWidths)
        w += c;
    return w;
}();
constexpr int kArrowsLeft = kListLeft + kListWidth + 12;

int columnLeft(int column)
{
    int left = kListLeft + 1;
    for (int c = 0; c < column; ++c)
        left += kColumnWidths[c];
    return left;
}

QString listStyle()
{
    return QStringLiteral("QTreeWidget { border: 1px solid %1; border-radius: 4px; background: %2; }"
                          "QTreeWidget::item { height: %3px; }"
                          "QTreeWidget::item:selected { background: %4; color: white; }")
               .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name())
               .arg(kRowHeight)
               .arg(plat::Theme::accent().name()) +
           scrollBarStyle();
}

dlgEditMirror* editDialog()
{
    auto* dialog = qobject_cast<dlgEditMirror*>(plat::Forms::Get(FormNames::dlgEditMirror));
    if (!dialog)
        plat::raise(plat::rt::TypeMismatch);
    return dialog;
}

} // namespace

wBusMiroirs::wBusMiroirs() : plat::Form(FormNames::wBusMiroirs)
{
    setFixedSize(ScreenWidth, ScreenHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::screenParts());

    lblLabels = bandLabel(this, 20, TitleRect);
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    plat::setTag(lblLabels, 500100);

    // Source over columns 1 to 3, destination over 4 to 6.
    for (int side : {0, 1}) {
        auto* t = lblTitleOn.add(side, label(this, 13, true, Qt::AlignCenter));
        const int first = 1 + 3 * side;
        t->setGeometry(columnLeft(first), kGroupTitleTop, columnLeft(first + 3) - columnLeft(first), 26);
        t->setStyleSheet(QStringLiteral("border-bottom: 2px solid %1;").arg(plat::Theme::accent().name()));
        plat::setTag(t, TextIds::MirrorSideTitleFirst + side);
    }
    auto* first = lblTitle.add(0, label(this, 11, true, Qt::AlignCenter));
    first->setGeometry(columnLeft(0), kTitleTop, kColumnWidths[0], kTitleHeight);
    plat::setTag(first, TextIds::MirrorColumnTitleFirst);

    lvwMirrors = new QTreeWidget(this);
    lvwMirrors->setObjectName(QStringLiteral("lvwMirrors"));
    lvwMirrors->setGeometry(kListLeft, kListTop, kListWidth, kListHeight);
    lvwMirrors->setColumnCount(MirrorTable::Columns);
    lvwMirrors->header()->hide();
    lvwMirrors->setRootIsDecorated(false);
    lvwMirrors->setUniformRowHeights(true);
    lvwMirrors->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwMirrors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwMirrors->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lvwMirrors->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lvwMirrors->setFocusPolicy(Qt::NoFocus);
    lvwMirrors->setFont(plat::Theme::font(12, false));
    lvwMirrors->setStyleSheet(listStyle());
    // Column 0 is narrower than a header section would be by default.
    lvwMirrors->header()->setMinimumSectionSize(1);
    lvwMirrors->header()->setStretchLastSection(false);
    for (int c = 0; c < MirrorTable::Columns; ++c)
        lvwMirrors->setColumnWidth(c, kColumnWidths[c]);
    // A touch on a row, or beside the rows, which leaves none selected.
    connect(lvwMirrors, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            lvwMirrors_Click();
    });

    imgNavig.add(NavigUp, button(this, "up", {kArrowsLeft, kListTop, kButton, kButton}));
    imgNavig.add(NavigDown, button(this, "down", {kArrowsLeft, kListTop + kListHeight - kButton, kButton, kButton}));
    imgNavig.add(NavigMain, button(this, "leave", {12, kBarTop, kButton, kButtonHeight}));
    imgNavig.add(NavigOverview, button(this, "overview", {84, kBarTop, kButton, kButtonHeight}));
    for (const auto& [index, b] : imgNavig) {
        const int i = index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgNavig_Click(i); });
    }

    struct Tool {
        plat::PictureButton** button;
        const char* name;
        const char* icon;
        int left;
        void (wBusMiroirs::*handler)();
    };
    const Tool tools[] = {
        {&imgNew, "imgNew", "new", 292, &wBusMiroirs::imgNew_Click},
        {&imgModif, "imgModif", "edit", 364, &wBusMiroirs::imgModif_Click},
        {&imgDelete, "imgDelete", "delete", 436, &wBusMiroirs::imgDelete_Click},
        {&imgCancel, "imgCancel", "cancel", 556, &wBusMiroirs::imgCancel_Click},
    };
    for (const Tool& t : tools) {
        *t.button = button(this, t.icon, {t.left, kBarTop, kButton, kButtonHeight});
        (*t.button)->setObjectName(QLatin1String(t.name));
        connect(*t.button, &QAbstractButton::clicked, this, t.handler);
    }
    lblCancel = label(this, 13, true, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("lblCancel"));
    lblCancel->setGeometry(556 + kButton + 8, kBarTop, ScreenWidth - 12 - (556 + kButton + 8), kButtonHeight);
    plat::setTag(lblCancel, 300111);
    plat::forwardClicks(lblCancel, imgCancel);
}

void wBusMiroirs::makeTitles()
{
    for (int c = 1; c < MirrorTable::Columns; ++c) {
        if (lblTitle.exists(c))
            continue;
        QLabel* t = lblTitle.load(c, [](QLabel* first) {
            auto* copy = label(first->parentWidget(), first->font().pointSize(), true, first->alignment());
            copy->setStyleSheet(first->styleSheet());
            return copy;
        });
        t->setGeometry(columnLeft(c), kTitleTop, kColumnWidths[c], kTitleHeight);
        plat::setTag(t, TextIds::MirrorColumnTitleFirst + c);
        t->show();
    }
}

void wBusMiroirs::Form_Load()
{
    plat::guard(QStringLiteral("wBusMiroirs.Form_Load"), [&] {
        makeTitles();
        Nationality();
        reload();
        FillTable();
        Global::MiseAEchelle(this);
    });
}

void wBusMiroirs::reload()
{
    m_mirrors.Copy(*gConfig->Mirrors());
    m_mirrors.setModified(false);
}

// ---- The list ---------------------------------------------------------------

int wBusMiroirs::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = lvwMirrors->selectedItems();
    return selected.isEmpty() ? -1 : lvwMirrors->indexOfTopLevelItem(selected.first());
}

void wBusMiroirs::selectRow(int row)
{
    QTreeWidgetItem* item = lvwMirrors->topLevelItem(row);
    lvwMirrors->setCurrentItem(item);
    item->setSelected(true);
}

void wBusMiroirs::FillTable()
{
    plat::guard(QStringLiteral("wBusMiroirs.FillTable"), [&] {
        lvwMirrors->setUpdatesEnabled(false);
        m_filling = true;
        const auto filled = qScopeGuard([this] { m_filling = false; });
        lvwMirrors->clear();
        const std::vector<MirrorTable::Row> rows = MirrorTable::Rows(m_mirrors);
        QList<QTreeWidgetItem*> items;
        items.reserve(int(rows.size()));
        int selected = -1;
        for (const MirrorTable::Row& row : rows) {
            auto* item = new QTreeWidgetItem;
            for (int c = 0; c < MirrorTable::Columns; ++c)
                item->setText(c, row.text[size_t(c)]);
            for (int c = 1; c < MirrorTable::Columns; ++c)
                item->setTextAlignment(c, Qt::AlignCenter);
            item->setData(0, Qt::UserRole, row.id);
            if (selected < 0 && !m_selectedId.isEmpty() && row.id == m_selectedId)
                selected = int(items.size());
            items << item;
        }
        lvwMirrors->addTopLevelItems(items);
        if (selected >= 0)
            selectRow(selected);
        lvwMirrors->setUpdatesEnabled(true);
        lvwMirrors_Click();
    });
}

void wBusMiroirs::lvwMirrors_Click()
{
    plat::guard(QStringLiteral("wBusMiroirs.lvwMirrors_Click"), [&] {
        const int row = selectedRow();
        if (row < 0) {
            m_selectedId.clear();
            imgNavig(NavigUp)->hide();
            imgNavig(NavigDown)->hide();
            return;
        }
        QTreeWidgetItem* item = lvwMirrors->topLevelItem(row);
        m_selectedId = item->data(0, Qt::UserRole).toString();
        imgNavig(NavigDown)->setVisible(row < lvwMirrors->topLevelItemCount() - 1);
        imgNavig(NavigUp)->setVisible(row >= 1);
        lvwMirrors->scrollToItem(item);
    });
}

// ---- New, modify, delete, cancel ---------------------------------------------

void wBusMiroirs::editLoop(dlgEditMirror* dialog, const std::function<int(const MirrorClass&)>& check,
                           const std::function<void(const MirrorClass&)>& accept)
{
    QPointer<dlgEditMirror> dlg(dialog);
    for (;;) {
        dlg->Show(true, this);
        // An alarm brought up meanwhile clears the screens away.
        if (!dlg || dlg->IsUnloaded() || IsUnloaded())
            return;
        if (!dlg->Ok())
            break;
        const MirrorClass mirror = dlg->ChosenMirror();
        const int refusal = check(mirror);
        if (refusal == MirrorRules::Accepted) {
            accept(mirror);
            FillTable();
            break;
        }
        Global::Message(Config::GetText(refusal), MsgStyle::vbCritical);
        if (!dlg || dlg->IsUnloaded() || IsUnloaded())
            return;
    }
    plat::Forms::Unload(dlg);
}

void wBusMiroirs::imgNew_Click()
{
    plat::guard(QStringLiteral("wBusMiroirs.imgNew_Click"), [&] {
        editLoop(
            editDialog(), [this](const MirrorClass& m) { return MirrorRules::NewRefusal(m_mirrors, m); },
            [this](const MirrorClass& m) { m_mirrors.Add(0, 0, 0, 0, 0)->Copy(m); });
        if (!IsUnloaded())
            lvwMirrors_Click();
    });
}

void wBusMiroirs::imgModif_Click()
{
    plat::guard(QStringLiteral("wBusMiroirs.imgModif_Click"), [&] {
        if (m_selectedId.isEmpty()) {
            plat::Beep();
            return;
        }
        const std::shared_ptr<MirrorClass> edited = m_mirrors.GetByID(m_selectedId);
        if (!edited)
            return;
        dlgEditMirror* dlg = editDialog();
        dlg->lblSrceModNo->setCaption(QString::number(edited->FromModule()));
        dlg->lblSrceChnlNo->setCaption(QString::number(edited->FromChannel()));
        dlg->lblDestModNo->setCaption(QString::number(edited->ToModule()));
        dlg->lblDestChnlNo->setCaption(QString::number(edited->ToChannel()));
        const int to = edited->ToModule();
        if (to >= 1 && to <= Limits::Modules)
            dlg->lblDestModType->setCaption(Global::ModuleName(gConfig->Panel(int16_t(to))->Model()));
        if (dlg->optType.exists(edited->MirrorType()))
            dlg->optType(edited->MirrorType())->setChecked(true);
        const QString editedId = m_selectedId;
        editLoop(
            dlg, [this, editedId](const MirrorClass& m) { return MirrorRules::ModifyRefusal(m_mirrors, editedId, m); },
            [edited](const MirrorClass& m) { edited->Copy(m); });
    });
}

void wBusMiroirs::imgDelete_Click()
{
    plat::guard(QStringLiteral("wBusMiroirs.imgDelete_Click"), [&] {
        if (lvwMirrors->topLevelItemCount() == 0) {
            plat::Beep();
            return;
        }
        if (m_selectedId.isEmpty()) {
            Global::Message(Config::GetText(30004), MsgStyle::vbExclamation);
            return;
        }
        const QString id = m_selectedId;
        if (Global::Message(Config::GetText(30007), MsgStyle::vbOKCancel | MsgStyle::vbExclamation) != MsgResult::vbOK
            || IsUnloaded())
            return;
        MirrorRules::RemoveID(m_mirrors, id);
        FillTable();
    });
}

void wBusMiroirs::imgCancel_Click()
{
    plat::guard(QStringLiteral("wBusMiroirs.imgCancel_Click"), [&] {
        reload();
        FillTable();
    });
}

// ---- Moving and leaving -------------------------------------------------------

void wBusMiroirs::imgNavig_Click(int index)
{
    plat::guard(QStringLiteral("wBusMiroirs.imgNavig_Click"), [&] {
        switch (index) {
        case NavigUp:
        case NavigDown: {
            const int row = selectedRow();
            const int next = index == NavigUp ? row - 1 : row + 1;
            if (row < 0 || next < 0 || next >= lvwMirrors->topLevelItemCount())
                return;
            selectRow(next);
            lvwMirrors_Click();
            return;
        }
        case NavigMain:
        case NavigOverview: {
            if (m_mirrors.Modified()) {
                const int answer =
                    Global::Message(Config::GetText(30010), MsgStyle::vbYesNoCancel | MsgStyle::vbQuestion);
                if (answer == MsgResult::vbCancel || IsUnloaded())
                    return;
                if (answer == MsgResult::vbYes) {
                    gConfig->Mirrors()->Copy(m_mirrors);
                    if (gConfig->Modified())
                        Config::SaveCurrentConfig();
                }
            }
            plat::Forms::Get(index == NavigOverview ? FormNames::wBusModules : FormNames::wMain)->Show();
            plat::Forms::Unload(this);
            return;
        }
        default:
            return;
        }
    });
}

void wBusMiroirs::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
