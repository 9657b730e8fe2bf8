#pragma once
// What an operator enters into a text that a Windows-1252 file keeps: a
// character the code page cannot hold would be saved as "?", so a text box
// refuses it, with the panel's beep, where it is typed, entered by an input
// method, pasted or dropped; what the box shows is what the file keeps.
// Text set by the program is taken as it is.

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QString>

class QMimeData;

namespace plat {

namespace Cp1252Input {
// True, after the beep, when the text holds a character the code page cannot hold.
bool Refuse(const QString& text);
// The same for the text of a paste or a drop (none refuses nothing).
bool Refuse(const QMimeData* data);
} // namespace Cp1252Input

// The refusals that a one-line and a multi-line box share, over the box's own class.
template <class Box>
class Cp1252Entry : public Box {
public:
    using Box::Box;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString typed =
            event->matches(QKeySequence::Paste) ? QGuiApplication::clipboard()->text() : event->text();
        if (!this->isReadOnly() && Cp1252Input::Refuse(typed)) {
            event->accept();
            return;
        }
        Box::keyPressEvent(event);
    }

    void inputMethodEvent(QInputMethodEvent* event) override
    {
        if (!this->isReadOnly() && Cp1252Input::Refuse(event->commitString())) {
            // Nothing committed, and nothing left being composed.
            QInputMethodEvent none;
            Box::inputMethodEvent(&none);
            event->accept();
            return;
        }
        Box::inputMethodEvent(event);
    }

    void dropEvent(QDropEvent* event) override
    {
        // Refused before the drop moves anything.
        if (!this->isReadOnly() && Cp1252Input::Refuse(event->mimeData())) {
            event->ignore();
            QDragLeaveEvent leave;
            Box::dragLeaveEvent(&leave);
            return;
        }
        Box::dropEvent(event);
    }
};

} // namespace plat
