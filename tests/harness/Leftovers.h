#pragma once
// What a test leaves waiting fails that test instead of hanging it or the
// tests after it: a modal window that nobody answers is closed once it has
// waited DeadlineMs, and an end of the message loop asked while no loop ran
// (every later loop would end at once) is taken back at the test's end.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace testing_support {

class Leftovers : public testing::EmptyTestEventListener {
public:
    static constexpr int DeadlineMs = 30000;

    void OnTestStart(const testing::TestInfo&) override;
    void OnTestEnd(const testing::TestInfo&) override;
    void OnTestProgramEnd(const testing::UnitTest&) override;

private:
    void lookAtTheModalWindow();

    std::unique_ptr<QTimer> m_watch;
    QPointer<QWidget> m_modal;
    QElapsedTimer m_modalSince;
};

} // namespace testing_support
