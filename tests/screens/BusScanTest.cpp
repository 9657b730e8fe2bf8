// The bus scan's rules without its window: the type each model reports, the
// scan as steps with its stop and leave requests, the module commands on the
// working copies, and what Yes writes back into the configuration.

#include "program/bus/CommFunctions.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/BusScan.h"
#include "tests/support/ProgramGlobals.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class BusScanRules : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gConfig->setModified(false);
    }

    PanelClass& configured(int module, int model, bool active)
    {
        PanelClass& p = *gConfig->Panel(qint16(module));
        p.setModel(model);
        p.setActive(active);
        p.setModified(false);
        return p;
    }

    // Runs the whole scan with that query; the addresses asked, in order.
    std::vector<int> runScan(const BusScan::Query& query)
    {
        std::vector<int> asked;
        scan.Start();
        while (scan.Next() != 0)
            asked.push_back(scan.Step(query));
        scan.End();
        return asked;
    }

    BusScan scan;
};

TEST_F(BusScanRules, EachModelReportsItsTypeAndAModel4ReadsAsModel3)
{
    testing_support::VirtualClock clock{0};
    modsim::Simulator sim{clock};
    modsim::SimSerialControl port{sim, clock};
    CommFunctions::setClock(&clock);
    port.setSettings(QStringLiteral("9600,N,8,1"));
    port.setPortOpen(true);
    for (int model = 1; model <= 5; ++model)
        sim.addModule(model, model);
    sim.addModule(64, 2);

    scan.Load(*gConfig);
    const std::vector<int> asked = runScan([&](int a) { return CommFunctions::GetModuleType(port, quint8(a)); });

    ASSERT_EQ(asked.size(), 64u);
    EXPECT_EQ(asked.front(), 1);
    EXPECT_EQ(asked.back(), 64);
    const int expected[] = {1, 2, 3, 3, 5};
    for (int a = 1; a <= 5; ++a)
        EXPECT_EQ(scan.Result(a), expected[a - 1]) << "address " << a;
    for (int a = 6; a <= 63; ++a)
        EXPECT_EQ(scan.Result(a), 0) << "a silent address reads as no model: " << a;
    EXPECT_EQ(scan.Result(64), 2);
    EXPECT_FALSE(scan.Running());
}

TEST_F(BusScanRules, StopDuringAnAddressEndsTheScanAfterItAndTheNextScanStartsAfresh)
{
    scan.Load(*gConfig);
    const std::vector<int> asked = runScan([&](int a) {
        if (a == 10)
            scan.RequestStop();
        return 1;
    });
    ASSERT_EQ(asked.size(), 10u);
    EXPECT_EQ(scan.Result(10), 1) << "the address being asked keeps its answer";
    for (int a = 11; a <= 64; ++a)
        EXPECT_EQ(scan.Result(a), BusScan::NotScanned) << a;
    EXPECT_FALSE(scan.StopRequested()) << "the end of a scan clears the stop request";

    scan.Start();
    EXPECT_EQ(scan.Result(1), BusScan::NotScanned) << "a new scan forgets the last one";
    EXPECT_EQ(scan.Next(), 1);
    scan.RequestStop();
    EXPECT_EQ(scan.Step([](int) { return 2; }), 1) << "the address shown as asked is asked after a stop";
    EXPECT_EQ(scan.Next(), 0);
}

TEST_F(BusScanRules, LeavingStopsTheScanAndCancelOrASecondVisitClearsTheRequests)
{
    scan.Load(*gConfig);
    scan.Start();
    scan.Step([](int) { return 0; });
    scan.RequestLeave();
    EXPECT_EQ(scan.Next(), 0) << "no address after the leave request";
    EXPECT_EQ(scan.Step([](int) { return 0; }), 0);

    scan.CancelLeave();
    EXPECT_FALSE(scan.LeaveRequested());
    EXPECT_FALSE(scan.StopRequested());
    scan.End();
    EXPECT_EQ(runScan([](int) { return 0; }).size(), 64u) << "after Cancel a scan runs whole";

    scan.RequestLeave();
    scan.Load(*gConfig);
    EXPECT_FALSE(scan.LeaveRequested()) << "a second visit starts without the old requests";
    EXPECT_EQ(runScan([](int) { return 0; }).size(), 64u);
}

TEST_F(BusScanRules, ModuleCommandsOnTheWorkingCopies)
{
    struct Case {
        const char* what;
        int model;
        bool active;
        int found;   // the scan's result, NotScanned for none
        char command; // 'A' activate, 'D' deactivate, 'T' take over
        bool accepted;
        int modelAfter;
        bool activeAfter;
        bool modified;
    };
    const Case cases[] = {
        {"activate a module with a model", 1, false, BusScan::NotScanned, 'A', true, 1, true, true},
        {"activate an active module", 2, true, BusScan::NotScanned, 'A', true, 2, true, false},
        {"activate a module without model", 0, true, BusScan::NotScanned, 'A', false, 0, true, false},
        {"deactivate a module with a model", 3, true, BusScan::NotScanned, 'D', true, 3, false, true},
        {"deactivate an active module without model", 0, true, BusScan::NotScanned, 'D', true, 0, false, true},
        {"deactivate an inactive module without model", 0, false, BusScan::NotScanned, 'D', false, 0, false, false},
        {"deactivate an inactive module with a model", 5, false, BusScan::NotScanned, 'D', true, 5, false, false},
        {"take over a type found", 1, true, 5, 'T', true, 5, true, true},
        {"take over no answer", 2, true, 0, 'T', true, 0, true, true},
        {"take over the same type", 3, true, 3, 'T', true, 3, true, false},
        {"take over without a scan", 1, true, BusScan::NotScanned, 'T', false, 1, true, false},
    };
    for (const Case& c : cases) {
        configured(7, c.model, c.active);
        scan.Load(*gConfig);
        if (c.found != BusScan::NotScanned) {
            scan.Start();
            while (scan.Next() != 0)
                scan.Step([&](int a) { return a == 7 ? c.found : 0; });
            scan.End();
        }
        bool accepted = false;
        switch (c.command) {
        case 'A': accepted = scan.Activate(7); break;
        case 'D': accepted = scan.Deactivate(7); break;
        default: accepted = scan.TakeOver(7); break;
        }
        EXPECT_EQ(accepted, c.accepted) << c.what;
        EXPECT_EQ(scan.Copy(7).Model(), c.modelAfter) << c.what;
        EXPECT_EQ(scan.Copy(7).Active(), c.activeAfter) << c.what;
        EXPECT_EQ(scan.Modified(), c.modified) << c.what;
        EXPECT_EQ(gConfig->Panel(7)->Model(), c.model) << c.what << ": the configuration waits for Yes";
        EXPECT_EQ(gConfig->Panel(7)->Active(), c.active) << c.what;
    }
}

TEST_F(BusScanRules, AcceptWritesTheConfiguredFieldsAndKeepsWhatTheEngineLearnt)
{
    PanelClass& p = configured(4, 1, true);
    p.setTitle(QStringLiteral("Pumps"));
    p.setActualModel(1);
    p.setPresent(true);
    p.Channel(2)->setState(3);
    p.Channel(2)->setMirrorType(1);
    p.Channel(2)->setOutOfOrder(true);
    configured(9, 0, false);
    gConfig->setModified(false);

    scan.Load(*gConfig);
    scan.Start();
    while (scan.Next() != 0)
        scan.Step([](int a) { return a == 9 ? 2 : (a == 4 ? 3 : 0); });
    scan.End();
    ASSERT_TRUE(scan.TakeOver(4));
    ASSERT_TRUE(scan.TakeOver(9));
    ASSERT_TRUE(scan.Activate(9));

    // The engine goes on meanwhile: module 4 went missing, its channel changed state.
    p.setPresent(false);
    p.setActualModel(0);
    p.Channel(2)->setState(1);
    p.Channel(2)->setMirrorType(2);

    scan.Accept(*gConfig);
    EXPECT_EQ(p.Model(), 3);
    EXPECT_TRUE(p.Active());
    EXPECT_EQ(p.Title(), QStringLiteral("Pumps"));
    EXPECT_FALSE(p.Present()) << "the scan never brings a module's presence back";
    EXPECT_EQ(p.ActualModel(), 0);
    EXPECT_EQ(p.Channel(2)->State(), 1);
    EXPECT_EQ(p.Channel(2)->MirrorType(), 2);
    EXPECT_TRUE(p.Channel(2)->OutOfOrder());
    EXPECT_EQ(gConfig->Panel(9)->Model(), 2);
    EXPECT_TRUE(gConfig->Panel(9)->Active());
    EXPECT_TRUE(gConfig->Modified());
    EXPECT_FALSE(gConfig->Panel(1)->Modified()) << "an unchanged module stays unmarked";
}

} // namespace
