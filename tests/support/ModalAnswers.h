#pragma once
// Answers the modal windows a test expects, in order, from inside their
// loops: message boxes, the password dialog, a dialog's command button, the
// value picker, any action on a dialog. A modal window that nobody expects,
// or one still open DeadlineMs after it came up, is unloaded and recorded, so
// that a fault fails the test instead of hanging it.

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "program/core/FormNames.h"
#include "program/core/dlgListInput.h"
#include "program/core/dlgMessage.h"
#include "program/core/dlgUserCodes.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

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

    // The value picker: the entry of that text touched and confirmed, or
    // cancelled for "". What each picker showed as it came is kept in pickers.
    struct Picker {
        QString value;
        QStringList entries;
        QRect geometry;
    };
    ModalAnswers& pick(const QString& value)
    {
        return on(FormNames::dlgListInput, [this, value](plat::Form* f) {
            auto* dlg = qobject_cast<dlgListInput*>(f);
            Picker shown{dlg->txtValue->text(), {}, dlg->frameGeometry()};
            for (int i = 0; i < dlg->lstValue->count(); ++i)
                shown.entries << dlg->lstValue->item(i)->text();
            pickers.push_back(shown);
            const QList<QListWidgetItem*> found = dlg->lstValue->findItems(value, Qt::MatchExactly);
            if (value.isEmpty() || found.isEmpty()) {
                if (!value.isEmpty())
                    unexpected << QStringLiteral("dlgListInput without %1").arg(value);
                dlg->imgControl(3)->click();
                return;
            }
            dlg->lstValue->setCurrentItem(found.first());
            dlg->imgControl(2)->click();
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
    std::vector<Picker> pickers;

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
    // The modal window on top and since when.
    QPointer<plat::Form> m_top;
    QElapsedTimer m_topSince;
    std::vector<QPointer<plat::Form>> m_acting;
    std::deque<Expected> m_expected;
    bool m_busy = false;
};

} // namespace testing_support
