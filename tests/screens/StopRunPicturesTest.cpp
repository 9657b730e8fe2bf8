// The stop/run pictures of the alarm screen and of the technician screen
// follow polling while the screen stays loaded, whoever changes it: the
// first start once its pass ends, a failed tick, a lost port and the
// watchdog that brings polling back, the bus monitor's own buttons.

#include "tests/screens/TechnicianFixture.h"

#include "program/bus/BusConstants.h"
#include "program/bus/CommandClass.h"

#include "platform/RtError.h"

using techtest::TechnicianFixture;

namespace {

enum class Screen { Alarms, Technician };

// What changes polling while the screen is loaded.
enum class Change { FirstStartPassEnds, TickFails, PortLost, WatchdogRestarts, BusMonitorStops, BusMonitorRuns };

struct Case {
    const char* name;
    Change change;
    bool runningAfter;
};

const Case cases[] = {
    {"FirstStartPassEnds", Change::FirstStartPassEnds, true},
    {"TickFails", Change::TickFails, false},
    {"PortLost", Change::PortLost, false},
    {"WatchdogRestartsAfterALostPort", Change::WatchdogRestarts, true},
    {"BusMonitorStops", Change::BusMonitorStops, false},
    {"BusMonitorRuns", Change::BusMonitorRuns, true},
};

class StopRunPictures : public TechnicianFixture, public testing::WithParamInterface<std::tuple<int, Screen>> {
protected:
    const Case& testCase() const { return cases[std::get<0>(GetParam())]; }
    Screen column() const { return std::get<1>(GetParam()); }

    // The column's screen, shown as the main menu shows it.
    void show()
    {
        if (column() == Screen::Alarms)
            showScreen();
        else
            showTechnician();
    }
    plat::Form* loadedScreen() const
    {
        return column() == Screen::Alarms ? static_cast<plat::Form*>(screen()) : technician();
    }
    plat::ControlArray<plat::PictureButton>& pictures() const
    {
        return column() == Screen::Alarms ? screen()->imgStopRun : technician()->imgStopRun;
    }
    modsim::SimSerialControl& port() { return static_cast<modsim::SimSerialControl&>(engine()->CommBus()); }

    // Polling started and its first pass done, the screen shown on it.
    void runningAndShown()
    {
        startPolling();
        show();
    }
    // The ticks that meet a vanished device; it stays away until told.
    void loseThePort()
    {
        ASSERT_TRUE(port().setFault(QStringLiteral("vanish"), 0));
        port().setOpenFails(true);
        ticks(3);
    }

    // Module 1 (model 4) is on the bus.
    void bringAbout(Change change)
    {
        switch (change) {
        case Change::FirstStartPassEnds:
            if (column() == Screen::Alarms) {
                // The pass's event brings the alarm screen up while polling
                // does not run yet.
                sim.setChannelState(1, 3, 1);
            } else {
                // No alarm: the technician screen stays.
                show();
            }
            engine()->setRun(true);
            if (column() == Screen::Alarms) {
                EXPECT_TRUE(screen() && screen()->isVisible()) << "brought up by the pass's event";
            }
            break;
        case Change::TickFails:
            runningAndShown();
            // A command makes the tick yield; the yield fails.
            engine()->SendCommand(CommandClass::Write(1, Bus::RegLedTest, {1}));
            engine()->engine().setYield([] { plat::raise(plat::rt::InvalidProcedureCall); });
            ticks(1);
            engine()->engine().setYield({});
            reports.clear();
            break;
        case Change::PortLost:
            runningAndShown();
            loseThePort();
            break;
        case Change::WatchdogRestarts:
            // Shown while polling waits for the port.
            startPolling();
            loseThePort();
            show();
            port().setOpenFails(false);
            clock.advance(wPolling::ReactivIntervalMs);
            engine()->tmrReactiv_Timer();
            break;
        case Change::BusMonitorStops:
            runningAndShown();
            engine()->Show();
            engine()->imgStopRun(0)->click();
            break;
        case Change::BusMonitorRuns:
            startPolling();
            engine()->setRun(false);
            show();
            engine()->Show();
            engine()->imgStopRun(1)->click();
            break;
        }
        settle();
    }
};

} // namespace

TEST_P(StopRunPictures, ShowWhatPollingDoesAfterItChanges)
{
    configure(1, 4);
    bringAbout(testCase().change);

    ASSERT_EQ(engine()->Run(), testCase().runningAfter) << "the change did not happen";
    plat::Form* shown = loadedScreen();
    ASSERT_NE(shown, nullptr) << "the screen was unloaded";
    const bool running = engine()->Run();
    EXPECT_EQ(pictures()(0)->isVisibleTo(shown), running) << "stop picture";
    EXPECT_EQ(pictures()(1)->isVisibleTo(shown), !running) << "run picture";
    EXPECT_FALSE(pictures()(2)->isVisibleTo(shown)) << "the pass's picture";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Polling, StopRunPictures,
    testing::Combine(testing::Range(0, int(std::size(cases))), testing::Values(Screen::Alarms, Screen::Technician)),
    [](const testing::TestParamInfo<std::tuple<int, Screen>>& info) {
        return std::string(cases[std::get<0>(info.param)].name)
               + (std::get<1>(info.param) == Screen::Alarms ? "_AlarmScreen" : "_TechnicianScreen");
    });
