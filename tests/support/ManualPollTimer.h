#pragma once
// A polling timer that only keeps its state: the test fires the tick by hand
// when the engine has armed it.

#include "program/bus/PollTimer.h"

namespace testing_support {

class ManualPollTimer : public PollTimer {
public:
    int Interval() const override { return m_interval; }
    void setInterval(int ms) override { m_interval = ms; }
    bool Enabled() const override { return m_enabled; }
    void setEnabled(bool on) override { m_enabled = on; }

private:
    int m_interval = 1;
    bool m_enabled = false;
};

} // namespace testing_support
