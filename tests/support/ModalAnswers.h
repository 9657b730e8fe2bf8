#pragma once
// Answers the modal windows a test expects, in order, from inside their
// loops: message boxes, the password dialog, a dialog's command button, any
// action on a dialog. A modal window that nobody expects, or one still open
// DeadlineMs after it came up, is unloaded and recorded, so that a fault
// fails the test instead of hanging it.

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/core/dlgMessage.h"
#include "program/core/dlgUserCodes.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>

#include <deque>
#include <functional>

namespace testing_support {

class ModalAnswers {
public:
    using Action = std::function<void(plat::Form*)>;
    static constexpr int DeadlineMs = 10000;

    ModalAnswers()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    // Any action on a modal window of that name.
    ModalAnswers& on(const QString& form, Action act)
    {
        m_expected.push_back({form, std::move(act)});
        return *this;
    }
    // The message box: the button with that result (1 OK, 2 Cancel, 6 Yes,
    // 7 No); its text is kept in messages.
    ModalAnswers& message(int result)
    {
        return on(QStringLiteral("dlgMessage"), [this, result](plat::Form* f) {
            auto* box = qobject_cast<dlgMessage*>(f);
            messages << box->txtMessage->toPlainText();
            for (const auto& [i, b] : box->cmdButton)
                if (!b->isHidden() && plat::tagOf(b).toInt() == result) {
                    b->click();
                    return;
                }
            unexpected << QStringLiteral("dlgMessage without button %1").arg(result);
            plat::Forms::Unload(f);
        });
    }
    // The password dialog, confirmed with a code.
    ModalAnswers& password(const QString& code)
    {
        return on(FormNames::dlgUserCodes, [code](plat::Form* f) {
            auto* dlg = qobject_cast<dlgUserCodes*>(f);
            dlg->txtPwd(1)->setText(code);
            dlg->imgCmd(dlgUserCodes::CmdOk)->click();
        });
    }
    ModalAnswers& cancelPassword()
    {
        return on(FormNames::dlgUserCodes,
                  [](plat::Form* f) { qobject_cast<dlgUserCodes*>(f)->imgCmd(dlgUserCodes::CmdCancel)->click(); });
    }
    // A dialog's button, by its control's name ("cmdButtons(2)").
    ModalAnswers& click(const QString& dialog, const QString& button)
    {
        return on(dialog, [this, button](plat::Form* f) {
            if (auto* b = f->findChild<QAbstractButton*>(button)) {
                b->click();
                return;
            }
            unexpected << f->Name() + QStringLiteral(" without ") + button;
            plat::Forms::Unload(f);
        });
    }

    // Every expected window came and was answered.
    bool allAnswered() const { return m_expected.empty(); }
    QStringList pending() const
    {
        QStringList names;
        for (const auto& e : m_expected)
            names << e.form;
        return names;
    }

    QStringList unexpected;
    // The texts of the message boxes answered, line breaks as "\n".
    QStringList messages;

private:
    struct Expected {
        QString form;
        Action act;
    };

    void poll()
    {
        if (m_busy)
            return;
        plat::Form* modal = nullptr;
        for (plat::Form* f : plat::Forms::All())
            if (f->IsModal() && f->isVisible())
                modal = f;   // the last shown lies on top
        if (modal != m_top) {
            m_top = modal;
            m_topSince.start();
        }
        if (!modal)
            return;
        Action act;
        if (m_topSince.elapsed() > DeadlineMs) {
            unexpected << modal->Name() + QStringLiteral(" left open");
            act = [](plat::Form* f) { plat::Forms::Unload(f); };
        } else if (!m_expected.empty() && m_expected.front().form == modal->Name()) {
            act = std::move(m_expected.front().act);
            m_expected.pop_front();
        } else {
            if (auto* box = qobject_cast<dlgMessage*>(modal))
                unexpected << QStringLiteral("dlgMessage: ") + box->txtMessage->toPlainText();
            else
                unexpected << modal->Name();
            act = [](plat::Form* f) { plat::Forms::Unload(f); };
        }
        // Run outside this timer's handler: a window the answer opens is then
        // answered too (a timer never fires inside its own handler).
        m_busy = true;
        QPointer<plat::Form> target(modal);
        QMetaObject::invokeMethod(
            &m_timer,
            [this, target, act] {
                m_busy = false;
                if (target && !target->IsUnloaded())
                    act(target);
            },
            Qt::QueuedConnection);
    }

    QTimer m_timer;
    // The modal window on top and since when.
    QPointer<plat::Form> m_top;
    QElapsedTimer m_topSince;
    std::deque<Expected> m_expected;
    bool m_busy = false;
};

} // namespace testing_support
