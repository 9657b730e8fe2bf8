// Where an error of the engine is raised decides how it is told: inside a
// polling tick, a pass, the dispatch of an event, an engine timer or the
// load of an automatic start nobody is being asked anything, and its box
// must not hold the bus; an operator's own action is attended: its box waits
// for the answer.

#include "program/bus/BusConstants.h"
#include "program/bus/EngineTimers.h"
#include "program/core/EnginePrinter.h"
#include "program/core/ErrorHandling.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/bus/PollingFixture.h"

#include "platform/RtError.h"

using namespace pollingtest;

namespace {

using testing_support::FailingMirrors;

class FailingHistory : public Dispatch::History {
public:
    void HistoEvent(const EventClass&) override { plat::raise(plat::rt::DiskFull); }
};

class UnattendedErrors : public PollingFixture {
protected:
    void SetUp() override
    {
        PollingFixture::SetUp();
        plat::setErrorReporter([this](const QString& name, const plat::RtError&) {
            told << QString("%1 %2").arg(name, ErrorHandling::Unattended::active() ? "unattended" : "attended");
        });
    }
    QStringList told;
};

} // namespace

TEST_F(UnattendedErrors, AreToldWithoutHoldingWhatRunsWhereNobodyIsAsked)
{
    FailingHistory history;
    FailingMirrors mirrors;
    struct Case {
        const char* what;
        std::function<void()> provoke;
        QString expected;
    };
    const Case cases[] = {
        {"the dispatch of an operator's event",
         [&] {
             rules.histo = true;
             engine->dispatcher().setHistory(&history);
             engine->Load();
             EventClass ev;
             ev.setChnl(EventClass::ChnlStation);
             ev.setAff(3);
             engine->SendEvent(ev);
         },
         "wPolling.TraiteEvent unattended"},
        {"a polling tick",
         [&] {
             loadAndRun();
             engine->SendCommand(writeCommand(1, Bus::RegModuleCommand, 2));
             onYield = [] { plat::raise(plat::rt::InvalidProcedureCall); };
             tick();
         },
         "wPolling.RunComm unattended"},
        {"a synchronisation pass",
         [&] {
             engine->Load();
             sim.setChannelState(1, 3, 1);
             engine->dispatcher().setMirrors(&mirrors);
             told.clear();
             engine->SynchroGeneraleBus();
             // The mirrors' failures are told too, under their own names: none attended.
             for (const QString& t : told)
                 EXPECT_TRUE(t.endsWith(" unattended")) << t.toStdString();
             told = told.filter("SynchroGeneraleBus");
         },
         "wPolling.SynchroGeneraleBus unattended"},
        {"the midnight timer",
         [&] {
             engine->Load();
             engine->seams().doMidnightActions = [] { plat::raise(plat::rt::PathNotFound); };
             EngineTimers timers(*engine);
             timers.tmrMidnight_Timer();
             clock.advance(24 * 3600 * 1000);
             timers.tmrMidnight_Timer();
         },
         "wPolling.tmrMidnight_Timer unattended"},
        {"the load of an automatic start",
         [&] {
             gConfig->setAutoStart(true);
             EnginePrinter::setFactory([]() -> EnginePrinterPtr { plat::raise(plat::rt::OutOfMemory); });
             engine->Load();
         },
         "wPolling.Form_Load unattended"},
        {"the load of an attended start",
         [&] {
             gConfig->setAutoStart(false);
             EnginePrinter::setFactory([]() -> EnginePrinterPtr { plat::raise(plat::rt::OutOfMemory); });
             engine->Load();
         },
         "wPolling.Form_Load attended"},
        {"an operator's button",
         [&] { plat::guard("wPolling.imgReinit_Click", [] { plat::raise(plat::rt::InvalidProcedureCall); }); },
         "wPolling.imgReinit_Click attended"},
    };
    configure(1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeEngine();
        onYield = nullptr;
        told.clear();
        c.provoke();
        EXPECT_EQ(told, QStringList{c.expected});
        EXPECT_FALSE(ErrorHandling::Unattended::active()) << "the mark goes with the work";
    }
    EnginePrinter::setFactory({});
}
