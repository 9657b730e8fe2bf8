#pragma once
// A form's timer as the engine's polling timer.

#include "platform/FormTimer.h"
#include "program/bus/PollTimer.h"

class FormPollTimer : public PollTimer {
public:
    explicit FormPollTimer(plat::FormTimer& timer) : m_timer(timer) {}
    int Interval() const override { return m_timer.Interval(); }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    bool Enabled() const override { return m_timer.Enabled(); }
    void setEnabled(bool on) override { m_timer.setEnabled(on); }

private:
    plat::FormTimer& m_timer;
};
