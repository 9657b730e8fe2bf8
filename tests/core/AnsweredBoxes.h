#pragma once
// Answers every message box that opens while it lives with its first button,
// keeping the text each showed, so that code that shows a modal box can be
// tested without hanging.

#include "platform/Forms.h"
#include "program/core/dlgMessage.h"

#include <QPushButton>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>

class AnsweredBoxes {
public:
    AnsweredBoxes()
    {
        m_watch.setInterval(5);
        QObject::connect(&m_watch, &QTimer::timeout, [this] {
            for (plat::Form* f : plat::Forms::All()) {
                auto* box = qobject_cast<dlgMessage*>(f);
                if (!box || box->IsUnloaded() || !box->isVisible() || box->property("answered").toBool())
                    continue;
                box->setProperty("answered", true);
                texts << box->txtMessage->toPlainText();
                box->cmdButton(0)->click();
            }
        });
        m_watch.start();
    }

    // The texts shown, line breaks as "\n".
    QStringList texts;

private:
    QTimer m_watch;
};
