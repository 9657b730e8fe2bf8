#include "program/core/dlgListInput.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Icons.h"
#include "platform/RtError.h"
#include "platform/Screen.h"
#include "platform/ScreenParts.h"
#include "platform/Theme.h"
#include "program/core/ListInputParent.h"
#include "program/core/FormNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

namespace {

// Sets a list box's selected entry; -1 leaves none selected.
void setListIndex(QListWidget* list, int index)
{
    if (index < 0) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else if (index < list->count()) {
        list->setCurrentRow(index);
    }
}

// The editor's list that follows the parameter being edited, or none.
QListWidget* editorList(ListInputParent* editor)
{
    switch (ListInputModel::editorListOf(editor->txtNoParam()->text())) {
    case ListInputModel::EditorList::Consigne:
        return editor->lstConsigne();
    case ListInputModel::EditorList::Biblio:
        return editor->lstBiblio();
    case ListInputModel::EditorList::None:
        break;
    }
    return nullptr;
}

} // namespace

dlgListInput::dlgListInput() : plat::Form(FormNames::dlgListInput)
{
    setWindowFlag(Qt::FramelessWindowHint);
    setDialog(true);
    setFixedSize(kWidth, kHeight);
    // A frameless popup: a border sets it off from the screen below.
    plat::ScreenParts::state(this, {plat::Theme::window(), {}, 2, plat::Theme::accent()});

    txtValue = new QLineEdit(this);
    txtValue->setObjectName(QStringLiteral("txtValue"));
    txtValue->setReadOnly(true);
    txtValue->setFocusPolicy(Qt::NoFocus);
    txtValue->setAlignment(Qt::AlignCenter);
    txtValue->setFont(plat::Theme::font(16, true));
    txtValue->setGeometry(12, 12, kWidth - 24, 50);

    lstValue = new QListWidget(this);
    lstValue->setObjectName(QStringLiteral("lstValue"));
    lstValue->setFont(plat::Theme::font(15));
    lstValue->setGeometry(12, 72, 200, kHeight - 84);
    lstValue->setSelectionMode(QAbstractItemView::SingleSelection);
    // Touched, never focused: a list that takes the focus makes its first
    // entry current, which would write it into the value unasked.
    lstValue->setFocusPolicy(Qt::NoFocus);
    lstValue->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstValue->setStyleSheet(QStringLiteral(
        "QListWidget { border: 1px solid %1; border-radius: 6px; background: %2; }"
        "QListWidget::item { min-height: 44px; padding-left: 14px; border-bottom: 1px solid %3; }"
        "QListWidget::item:selected { background: %4; color: white; }")
        .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name(),
             plat::Theme::window().name(), plat::Theme::accent().name()));

    const char* const icons[] = {"up", "down", "ok",
                                        "cancel"};
    for (int i = 0; i < 4; ++i) {
        auto* b = imgControl.add(i, new plat::PictureButton(this));
        b->setSvg(plat::Icons::svg(icons[i]));
        b->setFocusPolicy(Qt::NoFocus);
        // Arrows on top, confirm and cancel below with a gap.
        const int top = 72 + i * 86 + (i >= 2 ? 14 : 0);
        b->setGeometry(224, top, kWidth - 236, 76);
        b->installEventFilter(this);
        connect(b, &QAbstractButton::clicked, this, [this, i] { imgControl_Click(i); });
    }

    // Designed enabled with interval 0: silent until an arrow is held.
    tmrRepeat = new plat::FormTimer(QStringLiteral("tmrRepeat"), this);
    tmrRepeat->setInterval(0);
    tmrRepeat->setEnabled(true);
    connect(tmrRepeat, &plat::FormTimer::Timer, this, &dlgListInput::tmrRepeat_Timer);

    connect(lstValue, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            lstValue_Click();
    });
    connect(txtValue, &QLineEdit::textChanged, this, [this] { txtValue_Change(); });
}

std::optional<QString> dlgListInput::Pick(plat::Form* caller, const QString& current, const QString& valuesList,
                                          std::optional<QPoint> at)
{
    auto* picker = qobject_cast<dlgListInput*>(plat::Forms::Get(FormNames::dlgListInput));
    if (!picker)
        plat::raise(plat::rt::TypeMismatch);
    QPointer<plat::Form> guardPicker(picker);
    picker->setParentForm(caller);
    if (at)
        picker->placeDialogAt(*at);
    picker->txtValue->setText(current);
    picker->setValuesList(valuesList);
    plat::Screen::DoEvents();
    // An alarm brought up meanwhile may have cleared the picker away.
    std::optional<QString> chosen;
    if (guardPicker && !picker->IsUnloaded()) {
        picker->Show(true, caller);
        if (guardPicker && !picker->IsUnloaded() && picker->Ok())
            chosen = picker->txtValue->text();
    }
    plat::Forms::Unload(guardPicker);
    return chosen;
}

void dlgListInput::setValuesList(const QString& valuesList)
{
    plat::guard(QStringLiteral("dlgListInput.ValuesList"), [&] {
        m_filling = true;
        lstValue->clear();
        m_filling = false;
        m_model.setValuesList(valuesList, txtValue->text());
        m_filling = true;
        lstValue->addItems(m_model.entries());
        lstValue->setCurrentRow(-1);
        m_filling = false;
        showSelection();
    });
    m_filling = false;
}

void dlgListInput::setParentForm(QWidget* callingForm)
{
    m_parent = callingForm;
}

void dlgListInput::showSelection()
{
    setListIndex(lstValue, m_model.selected());
}

void dlgListInput::lstValue_Click()
{
    plat::guard(QStringLiteral("dlgListInput.lstValue_Click"), [&] {
        m_model.select(lstValue->currentRow());
        if (m_model.selected() >= 0)
            txtValue->setText(m_model.selectedText());
    });
}

void dlgListInput::txtValue_Change()
{
    plat::guard(QStringLiteral("dlgListInput.txtValue_Change"), [&] {
        auto* editor = dynamic_cast<ListInputParent*>(m_parent.data());
        if (!editor)
            return;
        QListWidget* list = editorList(editor);
        if (!list)
            return;
        if (const auto index = ListInputModel::editorListIndex(txtValue->text(), list->count()))
            setListIndex(list, *index);
    });
}

void dlgListInput::restoreEditorList()
{
    auto* editor = dynamic_cast<ListInputParent*>(m_parent.data());
    if (!editor)
        return;
    const auto which = ListInputModel::editorListOf(editor->txtNoParam()->text());
    QListWidget* list = editorList(editor);
    if (!list)
        return;
    const int row = which == ListInputModel::EditorList::Consigne ? 9 : 8;
    if (const auto index =
            ListInputModel::editorRestoreIndex(txtValue->text(), editor->lblParamVal(row)->text(), list->count()))
        setListIndex(list, *index);
}

void dlgListInput::imgControl_Click(int index)
{
    plat::guard(QStringLiteral("dlgListInput.imgControl_Click"), [&] {
        switch (index) {
        case 0:
            if (m_model.up())
                showSelection();
            break;
        case 1:
            if (m_model.down())
                showSelection();
            break;
        case 2:
            m_ok = true;
            Hide();
            break;
        case 3:
            m_ok = false;
            restoreEditorList();
            Hide();
            break;
        default:
            break;
        }
    });
}

void dlgListInput::imgControl_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers shift)
{
    plat::guard(QStringLiteral("dlgListInput.imgControl_MouseDown"), [&] {
        if ((index == 0 || index == 1) && button == Qt::LeftButton && !(shift & Qt::ShiftModifier)) {
            m_held = int16_t(index);
            tmrRepeat->setInterval(kRepeatFirstMs);
            tmrRepeat->setEnabled(true);
        }
    });
}

void dlgListInput::imgControl_MouseUp(int)
{
    plat::guard(QStringLiteral("dlgListInput.imgControl_MouseUp"), [&] {
        tmrRepeat->setEnabled(false);
        tmrRepeat->setInterval(0);
        m_held = -1;
    });
}

void dlgListInput::tmrRepeat_Timer()
{
    plat::guard(QStringLiteral("dlgListInput.tmrRepeat_Timer"), [&] {
        if (m_held < 0)
            return;
        imgControl_Click(m_held);
        tmrRepeat->setInterval(kRepeatNextMs);
    });
}

bool dlgListInput::eventFilter(QObject* watched, QEvent* event)
{
    // The press and release of a button come before its click, so a release
    // stops the repeat before the click moves once more.
    const int index = imgControl.indexOf(watched);
    if (index >= 0) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            imgControl_MouseDown(index, me->button(), me->modifiers());
            break;
        }
        case QEvent::MouseButtonRelease:
            imgControl_MouseUp(index);
            break;
        default:
            break;
        }
    }
    return plat::Form::eventFilter(watched, event);
}

void dlgListInput::showEvent(QShowEvent* event)
{
    plat::Form::showEvent(event);
    if (QListWidgetItem* item = lstValue->currentItem())
        lstValue->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void dlgListInput::paintEvent(QPaintEvent*)
{
    plat::ScreenParts::paint(this);
}
