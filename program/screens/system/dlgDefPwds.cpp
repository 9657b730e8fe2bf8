#include "program/screens/system/dlgDefPwds.h"

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/Login.h"
#include "program/core/TextIds.h"
#include "program/core/dlgMessage.h"
#include "program/core/dlgUserCodes.h"
#include "program/screens/system/ScreenExits.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

namespace {

constexpr int kBand = 52;
constexpr int kMargin = 16;
constexpr int kGridTop = kBand + 16;
constexpr int kGridWidth = dlgDefPwds::NameWidth + dlgDefPwds::CodeWidth + dlgDefPwds::LevelWidth + 22;
constexpr int kGridHeight = 296;
constexpr int kButtonsLeft = kMargin + kGridWidth + 12;
constexpr int kButton = 56;
constexpr int kRowHeight = 36;

// The current row's background (0x00BBGGRR), the others white.
constexpr unsigned int kCurrentRow = 0xEAD8C9;
constexpr unsigned int kOtherRow = 0xFFFFFF;

constexpr int kColumns = TextIds::UserColumnLast - TextIds::UserColumnFirst + 1;

} // namespace

dlgDefPwds::dlgDefPwds() : plat::Form(FormNames::dlgDefPwds)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    plat::ScreenParts::state(this, plat::ScreenLook::dialogParts(kBand));

    plat::setTag(lblLabels.add(3, plat::ScreenLook::bandLabel(this, 16, {24, 0, kWidth - 48, kBand})), 640010);

    grdUsers = new plat::FlexGrid(0, kColumns, this);
    grdUsers->setObjectName(QStringLiteral("grdUsers"));
    grdUsers->setGeometry(kMargin, kGridTop, kGridWidth, kGridHeight);
    grdUsers->setFont(plat::Theme::font(12));
    grdUsers->horizontalHeader()->show();
    grdUsers->horizontalHeader()->setFont(plat::Theme::font(11, true));
    grdUsers->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdUsers->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grdUsers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdUsers->verticalScrollBar()->setStyleSheet(plat::ScreenLook::scrollBarStyle());
    // Rows are chosen by touch and by the row buttons; the current row shows in its colour.
    grdUsers->setFocusPolicy(Qt::NoFocus);
    connect(grdUsers, &plat::FlexGrid::RowColChange, this, [this] { grdUsers_RowColChange(); });

    struct Control {
        int index;
        const char* icon;
        int left;
        int top;
    };
    const int second = kButtonsLeft + kButton + 8;
    for (const Control& c : {Control{UserAdd, "plus", kButtonsLeft, kGridTop}, Control{UserModify, "edit", second, kGridTop},
                             Control{UserDelete, "delete", kButtonsLeft, kGridTop + kButton + 8},
                             Control{RowUp, "up", kButtonsLeft, kGridTop + kGridHeight - 2 * kButton - 8},
                             Control{RowDown, "down", kButtonsLeft, kGridTop + kGridHeight - kButton}}) {
        auto* b = imgControl.add(c.index, plat::ScreenLook::button(this, QString::fromLatin1(c.icon),
                                                               {c.left, c.top, kButton, kButton}));
        const int i = c.index;
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    const int buttonWidth = 150;
    for (int i : {CmdCancel, CmdOk}) {
        auto* b = cmdBoutons.add(i, new QPushButton(this));
        b->setFont(plat::Theme::font(13, true));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(kWidth - kMargin - (i == CmdOk ? 1 : 2) * buttonWidth - (i == CmdOk ? 0 : 12),
                       kHeight - kMargin - 52, buttonWidth, 52);
        plat::setTag(b, i == CmdOk ? TextIds::Ok : TextIds::Cancel);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdBoutons_Click(i); });
    }
}

void dlgDefPwds::Form_Load()
{
    plat::guard(QStringLiteral("dlgDefPwds.Form_Load"), [&] {
        Nationality();
        QStringList headers;
        for (int c = 0; c < kColumns; ++c)
            headers << Config::GetText(TextIds::UserColumnFirst + c);
        grdUsers->setHorizontalHeaderLabels(headers);
        grdUsers->setColumnWidth(0, NameWidth);
        grdUsers->setColumnWidth(1, CodeWidth);
        grdUsers->setColumnWidth(2, LevelWidth);
        grdUsers->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grdUsers->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grdUsers->horizontalHeaderItem(2)->setTextAlignment(Qt::AlignCenter);

        if (!gConfig)
            plat::raise(plat::rt::ObjectVariableNotSet);
        m_users = UserList::FromConfig(*gConfig, gUserLevel, Config::GetConfig(Login::ServiceCodeKey));
        grdUsers->setRows(m_users.Count());
        for (int row = 0; row < m_users.Count(); ++row) {
            showRow(row);
            grdUsers->setRowHidden(row, m_users.Hidden(row));
        }
        // The first user the logged-in user may see is the current one.
        for (int row = 0; row < m_users.Count(); ++row)
            if (!m_users.Hidden(row)) {
                grdUsers->setRow(row);
                break;
            }
        grdUsers_RowColChange();
    });
}

void dlgDefPwds::Form_Unload()
{
    // A password dialog kept after a refused entry holds what was typed:
    // the next login must find it empty.
    plat::Forms::Unload(plat::Forms::Find(FormNames::dlgUserCodes));
}

void dlgDefPwds::showRow(int row)
{
    const UserList::Row& r = m_users.Rows()[size_t(row)];
    grdUsers->setTextMatrix(row, 0, r.name);
    grdUsers->setTextMatrix(row, 1, r.code);
    grdUsers->setTextMatrix(row, 2, QString::number(r.level));
    for (int c = 0; c < kColumns; ++c)
        grdUsers->item(row, c)->setTextAlignment(c == 2 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
}

void dlgDefPwds::markCurrentRow()
{
    for (int row = 0; row < grdUsers->Rows(); ++row)
        for (int c = 0; c < kColumns; ++c)
            grdUsers->setCellBackColor(row, c, row == grdUsers->Row() ? kCurrentRow : kOtherRow);
}

void dlgDefPwds::grdUsers_RowColChange()
{
    // A hidden user can be neither modified nor deleted.
    const bool editable = !m_users.Hidden(grdUsers->Row());
    imgControl(UserModify)->setEnabled(editable);
    imgControl(UserDelete)->setEnabled(editable);
    markCurrentRow();
}

std::optional<dlgDefPwds::Entry> dlgDefPwds::askEntry(const std::optional<Entry>& start)
{
    QPointer<plat::Form> form = plat::Forms::Get(FormNames::dlgUserCodes);
    auto* dlg = qobject_cast<dlgUserCodes*>(form.data());
    if (!dlg)
        plat::raise(plat::rt::ObjectDoesNotSupport);
    if (start) {
        dlg->txtPwd(0)->setText(start->name);
        dlg->txtPwd(1)->setText(start->code);
        dlg->lblPwdLevel->setText(QString::number(start->level));
    }
    dlg->Show(true, this);
    // Torn down while it was open (an alarm, the inactivity logout): no entry.
    if (!form || dlg->IsUnloaded() || IsUnloaded())
        return std::nullopt;
    if (!dlg->Ok()) {
        plat::Forms::Unload(dlg);
        return std::nullopt;
    }
    return Entry{dlg->txtPwd(0)->text(), dlg->txtPwd(1)->text(), plat::CInt(plat::Val(dlg->lblPwdLevel->text()))};
}

bool dlgDefPwds::refused(UserList::Check check)
{
    if (check == UserList::Accepted) {
        plat::Forms::Unload(plat::Forms::Find(FormNames::dlgUserCodes));
        return false;
    }
    const int style = check == UserList::Incomplete ? MsgStyle::vbExclamation : MsgStyle::vbCritical;
    Global::Message(Config::GetText(check), style);
    return true;
}

void dlgDefPwds::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgDefPwds.imgControl_Click"), [&] {
        const int row = grdUsers->Row();
        switch (index) {
        case UserAdd: {
            const std::optional<Entry> e = askEntry(std::nullopt);
            if (!e || refused(m_users.Test(e->name, e->code, -1)) || IsUnloaded())
                return;
            m_users.Add(e->name, e->code, e->level);
            const int added = m_users.Count() - 1;
            grdUsers->setRows(m_users.Count());
            showRow(added);
            // Into a grid without a current row (its last user deleted): the
            // new row becomes current, so that it can be modified or deleted.
            if (grdUsers->Row() < 0)
                grdUsers->setRow(added);
            grdUsers_RowColChange();
            break;
        }
        case UserModify: {
            if (m_users.Count() == 0 || m_users.Hidden(row)) {
                plat::Beep();
                return;
            }
            const UserList::Row& r = m_users.Rows()[size_t(row)];
            const std::optional<Entry> e = askEntry(Entry{r.name, r.code, r.level});
            if (!e || refused(m_users.Test(e->name, e->code, row)) || IsUnloaded())
                return;
            m_users.Modify(row, e->name, e->code, e->level);
            showRow(row);
            break;
        }
        case UserDelete: {
            if (m_users.Hidden(row))
                return;
            if (Global::Message(Config::GetText(30007), MsgStyle::vbOKCancel) != MsgResult::vbOK || IsUnloaded())
                return;
            m_users.Remove(row);
            grdUsers->RemoveItem(row);
            grdUsers_RowColChange();
            break;
        }
        case RowUp:
            sendKey(Qt::Key_Up);
            break;
        case RowDown:
            sendKey(Qt::Key_Down);
            break;
        default:
            break;
        }
    });
}

void dlgDefPwds::sendKey(int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(grdUsers, &press);
}

void dlgDefPwds::cmdBoutons_Click(int index)
{
    plat::guard(QStringLiteral("dlgDefPwds.cmdBoutons_Click"), [&] {
        if (index == CmdOk) {
            // A configuration without any user would let everybody in.
            if (m_users.Count() == 0) {
                Global::Message(Config::GetText(TextIds::NoUserLeft), MsgStyle::vbExclamation);
                return;
            }
            m_users.WriteTo(*gConfig);
        }
        closeEditor();
    });
}

void dlgDefPwds::closeEditor()
{
    plat::Forms::Unload(this);
    ScreenExits::ReopenMenu(ScreenExits::SystemMenu);
}

void dlgDefPwds::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
