// Modules out of service through the whole program, in real time, against the
// module simulator program on a pseudo-terminal: the first start's
// synchronisation and a midnight pass leave them alone (no request heard by
// their address, no row), while the module in service is synchronised and
// polled.

#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/runtime/wRunAlarms.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/Forms.h"

namespace {

constexpr int kInService = 1;
// Out of service: one on the bus with an alarm standing, one that has left it.
constexpr int kOutOnTheBus = 4;
constexpr int kOutOffTheBus = 5;

class OutOfServicePty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        saveWorkingFile({{kInService, 1}, {kOutOnTheBus, 1, false}, {kOutOffTheBus, 1, false}});
        assemble();
        startSimulator(QString("%1:1,%2:1").arg(kInService).arg(kOutOnTheBus),
                       QString("0 state %1 2 1\n0 state %2 3 1\n").arg(kInService).arg(kOutOnTheBus).toLatin1());
        e2e::waitFor([] { return false; }, 300);
    }

    size_t requestsTo(int module) const
    {
        size_t n = 0;
        for (const e2e::Request& r : e2e::requests(m_sim.log()))
            n += r.address == module;
        return n;
    }
    static wRunAlarms* screen() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
};

} // namespace

TEST_F(OutOfServicePty, TheFirstSynchronisationAndTheMidnightPassSendNothingToAModuleOutOfService)
{
    Global::Main();
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    ASSERT_TRUE(engine && engine->Run());
    ASSERT_TRUE(e2e::waitFor([&] { return requestsTo(kInService) > 25; }, 10000)) << simTail();

    engine->MidnightSynchro();
    const size_t heard = requestsTo(kInService);
    ASSERT_TRUE(e2e::waitFor([&] { return requestsTo(kInService) > heard + 3; }, 10000)) << simTail();
    for (int m : {kOutOnTheBus, kOutOffTheBus}) {
        EXPECT_EQ(requestsTo(m), 0u) << "module " << m << "\n" << simTail();
        EXPECT_FALSE(gConfig->Panel(qint16(m))->Present()) << "module " << m;
    }
    ASSERT_NE(screen(), nullptr);
    ASSERT_EQ(screen()->AlarmRowCount(), 1);
    EXPECT_EQ(screen()->AlarmRowData(0), qint32(quint32(kInService) << 24 | 2u << 16 | 1u));
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}
