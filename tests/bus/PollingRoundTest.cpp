// The choice of the next module due, on a configuration of its own.

#include "program/bus/PollingRound.h"
#include "program/core/ConfigClass.h"
#include "program/core/PanelClass.h"

#include <gtest/gtest.h>

TEST(NextModuleDue, ComesAfterTheOneReadLastOnceRound)
{
    const plat::DateTime now = plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0));
    ConfigClass config([](int) { return QString(); });
    auto poll = [&](int module, bool active, int restSeconds) {
        PanelClass& p = *config.Panel(qint16(module));
        p.setModel(4);
        p.setActive(active);
        p.setNextPoll(now.addSeconds(restSeconds));
    };
    poll(3, true, -1);
    poll(9, false, -1);   // not polled
    poll(20, true, 60);   // resting
    poll(64, true, -1);
    struct Case {
        int position;
        int module;
        bool due, roundComplete;
    } cases[] = {
        {0, 3, true, false},     // 0 stands for 64: module 1 comes next
        {3, 64, true, true},
        {64, 3, true, false},
        {63, 64, true, true},
    };
    for (const Case& c : cases) {
        const PollingRound::Choice choice = PollingRound::next(qint16(c.position), now, config);
        EXPECT_EQ(choice.module, c.module) << c.position;
        EXPECT_EQ(choice.due, c.due) << c.position;
        EXPECT_EQ(choice.roundComplete, c.roundComplete) << c.position;
    }
    // Nothing due: once round, back where the search started.
    poll(3, true, 60);
    poll(64, true, 60);
    const PollingRound::Choice none = PollingRound::next(5, now, config);
    EXPECT_FALSE(none.due);
    EXPECT_EQ(none.module, 5);
    EXPECT_TRUE(none.roundComplete);
}
