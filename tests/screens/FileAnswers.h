#pragma once
// The answers a test gives to the file dialogs, in turn: a path, or "" for a
// cancelled dialog. A dialog that no answer waits for fails the test and is
// cancelled, so that no test hangs on it.

#include <QString>
#include <gtest/gtest.h>

#include <deque>

inline QString takeFileAnswer(std::deque<QString>& answers)
{
    if (answers.empty()) {
        ADD_FAILURE() << "a file dialog nobody answers";
        return QString();
    }
    const QString answer = answers.front();
    answers.pop_front();
    return answer;
}
