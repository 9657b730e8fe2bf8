// Which key presses on a window of the program count as activity.

#include "inactivity/QtKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using Stillmark::QtKeyFilter;

namespace {

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool counts;
};

class KeyPresses : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyPresses, CountUnlessASystemKey)
{
    const KeyCase& c = GetParam();
    QLineEdit window;
    window.show();
    QtKeyFilter filter;
    int presses = 0;
    filter.setKeyDownHandler([&] { ++presses; });
    // One event each, as the window system delivers the key with the
    // modifiers already held (QTest would also press the modifiers).
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(presses, c.counts ? 1 : 0);
    QKeyEvent release(QEvent::KeyRelease, c.key, c.modifiers);
    QCoreApplication::sendEvent(&window, &release);
    EXPECT_EQ(presses, c.counts ? 1 : 0) << "a release never counts";
}

INSTANTIATE_TEST_SUITE_P(Table, KeyPresses, testing::Values(
    KeyCase{"letter", Qt::Key_A, Qt::NoModifier, true},
    KeyCase{"enter", Qt::Key_Return, Qt::NoModifier, true},
    KeyCase{"shift_letter", Qt::Key_B, Qt::ShiftModifier, true},
    KeyCase{"ctrl_letter", Qt::Key_C, Qt::ControlModifier, true},
    KeyCase{"f9", Qt::Key_F9, Qt::NoModifier, true},
    KeyCase{"f12", Qt::Key_F12, Qt::NoModifier, true},
    KeyCase{"f10", Qt::Key_F10, Qt::NoModifier, false},
    KeyCase{"alt", Qt::Key_Alt, Qt::AltModifier, false},
    KeyCase{"alt_letter", Qt::Key_X, Qt::AltModifier, false},
    KeyCase{"ctrl_alt_letter", Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier, false},
    KeyCase{"alt_f4", Qt::Key_F4, Qt::AltModifier, false}),
    [](const testing::TestParamInfo<KeyCase>& i) { return std::string(i.param.name); });

TEST(QtKeyFilter, AutoRepeatCountsAndKeysStillReachTheWindow)
{
    QLineEdit window;
    window.show();
    QtKeyFilter filter;
    int presses = 0;
    filter.setKeyDownHandler([&] { ++presses; });
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QCoreApplication::sendEvent(&window, &repeat);
    QTest::keyClicks(&window, QStringLiteral("bc"));
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(window.text(), QStringLiteral("abc"));
}

TEST(QtKeyFilter, StopsSeeingKeysWhenDestroyed)
{
    QLineEdit window;
    window.show();
    int presses = 0;
    {
        QtKeyFilter filter;
        filter.setKeyDownHandler([&] { ++presses; });
        QTest::keyClick(&window, Qt::Key_A);
    }
    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_EQ(presses, 1);
}

} // namespace
