#pragma once
// Answers the program's modal message boxes for a test: each box that comes
// up takes the next answer given (its result: 1 OK, 2 Cancel, 6 Yes, 7 No)
// and its text is kept; a box that no answer waits for fails the test and is
// closed, so that no test hangs on it.

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "program/core/dlgMessage.h"

#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>

class MessageAnswers {
public:
    MessageAnswers()
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_context, [this] { answerBox(); });
        m_timer.start(5);
    }
    ~MessageAnswers() { EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " answers were never asked for"; }

    void answer(int result) { m_answers.push_back(result); }
    // The texts of the boxes shown, in order.
    QStringList asked;

private:
    void answerBox()
    {
        for (plat::Form* f : plat::Forms::All()) {
            auto* box = qobject_cast<dlgMessage*>(f);
            if (!box || !box->isVisible() || !box->IsModal())
                continue;
            asked << box->txtMessage->toPlainText();
            if (m_answers.empty()) {
                ADD_FAILURE() << "unexpected message: " << box->txtMessage->toPlainText().toStdString();
                box->Hide();
                return;
            }
            const int result = m_answers.front();
            m_answers.pop_front();
            for (const auto& [i, button] : box->cmdButton)
                if (!button->isHidden() && plat::tagOf(button).toInt() == result) {
                    button->click();
                    return;
                }
            ADD_FAILURE() << "the box has no button " << result;
            box->Hide();
            return;
        }
    }

    std::deque<int> m_answers;
    QObject m_context;
    QTimer m_timer;
};
