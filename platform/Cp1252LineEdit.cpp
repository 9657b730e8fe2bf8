#include "platform/Cp1252LineEdit.h"

#include "platform/Beep.h"
#include "platform/Cp1252.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace plat {

namespace {

qsizetype unencodable(const QString& text)
{
    return std::count_if(text.begin(), text.end(), [](QChar c) { return !Cp1252::canEncode(c); });
}

} // namespace

void Cp1252LineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the selection where the system has one.
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!isReadOnly() && event->button() == Qt::MiddleButton && clipboard->supportsSelection()
        && Cp1252Input::Refuse(clipboard->text(QClipboard::Selection))) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void Cp1252LineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's paste takes the clipboard as it stands: what it brings that
    // the code page cannot hold is taken back at once. Connected after the
    // menu's own actions, so run after them.
    const auto takeBack = [this, kept = text(), caret = cursorPosition()] {
        if (unencodable(text()) > unencodable(kept)) {
            setText(kept);
            setCursorPosition(caret);
            Beep();
        }
    };
    for (QAction* action : menu->actions())
        connect(action, &QAction::triggered, this, takeBack);
    menu->popup(event->globalPos());
}

} // namespace plat
