// The command-line simulator's script: parsing and timed actions.

#include "tools/modsim/SimScript.h"

#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

using modsim::ScriptAction;
using modsim::SimScript;

TEST(SimScript, RunsTheActionsInTimeOrder)
{
    testing_support::VirtualClock clock;
    modsim::Simulator sim(clock);
    sim.addModule(1, 1);
    sim.addModule(2, 2);
    sim.addModule(4, 4);
    SimScript script;
    QString error;
    ASSERT_TRUE(script.parse(QStringLiteral(
        "# demo\n"
        "2.5  event 1 3 1      # channel 3 active\n"
        "0    status 2 0x8000\n"
        "\n"
        "1    state 4 12 3\n"
        "3    fault 1 late 250\n"
        "4    off 4\n"
        "4    event 9 1 1 1\n"
        "5    on 4\n"
        "6    fault 1 none\n"), &error)) << error.toStdString();
    ASSERT_EQ(script.actions().size(), 8u);
    EXPECT_EQ(script.actions()[0].kind, ScriptAction::Kind::Status);
    EXPECT_EQ(script.actions()[2].atMs, 2500);

    QStringList warnings;
    EXPECT_EQ(script.runDue(sim, 0, &warnings), 1);
    EXPECT_EQ(sim.module(2)->statusWord(), 0x8000);
    EXPECT_EQ(script.nextAtMs(), 1000);
    EXPECT_EQ(script.runDue(sim, 2499, &warnings), 1);
    EXPECT_EQ(sim.module(4)->channelState(12), 3);
    EXPECT_EQ(sim.module(1)->pendingEvents(), 0);
    EXPECT_EQ(script.runDue(sim, 3000, &warnings), 2);
    EXPECT_EQ(sim.module(1)->pendingEvents(), 1);
    EXPECT_EQ(sim.module(1)->events().front().first >> 12, 3);
    EXPECT_EQ(sim.module(1)->fault().kind, modsim::FaultKind::Late);
    EXPECT_EQ(sim.module(1)->fault().param, 250);
    EXPECT_EQ(script.runDue(sim, 4000, &warnings), 2);
    EXPECT_FALSE(sim.module(4)->isOn());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("line 8:")));
    script.runDue(sim, 10000, &warnings);
    EXPECT_TRUE(sim.module(4)->isOn());
    EXPECT_EQ(sim.module(1)->fault().kind, modsim::FaultKind::None);
    EXPECT_TRUE(script.finished());
}

TEST(SimScript, ReportsTheLineOfABadAction)
{
    const struct {
        const char* line;
        const char* why;
    } cases[] = {
        {"soon event 1 1 1", "time"},
        {"1 jump 1", "unknown action"},
        {"1 event 1 2 3", ""}, // channel and code; the param defaults to 0
        {"1 event 1 2", "takes"},
        {"1 event 1 2 3 4 5", "takes"},
        {"1 state 1 x 2", "bad number"},
        {"1 fault 1 sometimes", "unknown fault"},
        {"1 off", "module"},
        {"-1 on 1", "time"},
    };
    for (const auto& c : cases) {
        SimScript script;
        QString error;
        const bool ok = script.parse(QStringLiteral("0 on 1\n") + QString::fromLatin1(c.line), &error);
        if (*c.why == '\0') {
            EXPECT_TRUE(ok) << c.line;
            continue;
        }
        EXPECT_FALSE(ok) << c.line;
        EXPECT_TRUE(error.startsWith(QStringLiteral("line 2: "))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.why))) << error.toStdString();
        EXPECT_TRUE(script.actions().empty());
    }
}
