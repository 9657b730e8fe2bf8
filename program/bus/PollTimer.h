#pragma once
// The polling timer as the engine arms it; the engine form plugs its tmrPoll in.

class PollTimer {
public:
    virtual ~PollTimer() = default;
    virtual int Interval() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
};
