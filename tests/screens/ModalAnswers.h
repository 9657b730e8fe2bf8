#pragma once
// Answers the modal windows a test expects, in order, from inside their
// loops: message boxes, the password dialog, the sub-menus. A modal window
// that nobody expects, or one still open at the deadline, is unloaded and
// recorded, so that a fault fails the test instead of hanging it.

#include "platform/Forms.h"
#include "program/core/dlgMessage.h"
#include "program/core/dlgUserCodes.h"
#include "program/screens/system/MenuDialog.h"
#include "program/core/FormNames.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

class ModalAnswers {
public:
    using Action = std::function<void(plat::Form*)>;
    static constexpr int DeadlineMs = 10000;

    ModalAnswers()
    {
        m_clock.start();
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
    // The message box: the button with that result.
    ModalAnswers& message(int result)
    {
        return on(QStringLiteral("dlgMessage"), [this, result](plat::Form* f) {
            auto* box = qobject_cast<dlgMessage*>(f);
            messages << box->txtMessage->toPlainText();
            for (const auto& [i, b] : box->cmdButton)
                if (b->isVisible() && b->property("Tag").toInt() == result) {
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
    // A sub-menu: the command button pressed.
    ModalAnswers& menu(const QString& dialog, int cmd)
    {
        return on(dialog, [cmd](plat::Form* f) { qobject_cast<MenuDialog*>(f)->cmdButtons(cmd)->click(); });
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
            if (f->IsModal() && f->isVisible() && !acting(f))
                modal = f;   // the last shown lies on top
        if (!modal)
            return;
        Action act;
        if (m_clock.elapsed() > DeadlineMs) {
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
                if (!target || target->IsUnloaded())
                    return;
                // While its answer runs (and opens windows of its own), the
                // window waits for that answer: it is no unexpected one.
                m_acting.push_back(target);
                act(target);
                m_acting.pop_back();
            },
            Qt::QueuedConnection);
    }

    bool acting(const plat::Form* f) const
    {
        for (const auto& a : m_acting)
            if (a == f)
                return true;
        return false;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<QPointer<plat::Form>> m_acting;
    std::deque<Expected> m_expected;
    bool m_busy = false;
};
