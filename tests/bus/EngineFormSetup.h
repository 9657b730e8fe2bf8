#pragma once
// The engine form as tests load it: on the simulator's line (the port the
// test keeps), with no inactivity detector, its messages noted instead of
// shown and the given event rules installed; all put back when it goes.

#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "tests/bus/PollingFixture.h"

#include <QStringList>

namespace pollingtest {

class EngineFormSetup {
public:
    EngineFormSetup(plat::SerialControl& port, Dispatch::EventRules* rules, QStringList& messages)
        : m_savedSeams(PollingSeams::installed()), m_savedRules(Dispatch::installed().rules)
    {
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        PollingSeams::installed().message = [&messages](const QString& text, int) {
            messages << text;
            return 1;
        };
        Dispatch::installed().rules = rules;
        wPolling::setPortFactory([&port] { return std::make_unique<SharedPort>(port); });
    }
    ~EngineFormSetup()
    {
        wPolling::setPortFactory({});
        PollingSeams::installed() = m_savedSeams;
        Dispatch::installed().rules = m_savedRules;
    }
    EngineFormSetup(const EngineFormSetup&) = delete;
    EngineFormSetup& operator=(const EngineFormSetup&) = delete;

private:
    PollingSeams m_savedSeams;
    Dispatch::EventRules* m_savedRules;
};

} // namespace pollingtest
