#pragma once
// The detector's sampling timer: enabling starts it only when it was not
// enabled and the interval is above 0 (the flag reads true regardless), and a
// new interval is only stored, so a running timer keeps its period until it
// is disabled and enabled again.

#include <QObject>
#include <QTimer>
#include <cstdint>

namespace Stillmark {

class CTimer : public QObject {
    Q_OBJECT
public:
    CTimer();
    ~CTimer() override;

    void setEnabled(bool value);
    bool Enabled() const { return m_enabled; }
    void setInterval(int32_t value) { m_interval = value; }
    int32_t Interval() const { return m_interval; }

    // True while a timer is really running (false for an interval of 0).
    bool isRunning() const { return m_timer.isActive(); }

signals:
    void Timer();

private:
    void RaiseTimerEvent();

    bool m_enabled = false;
    int32_t m_interval = 0;
    QTimer m_timer;
};

} // namespace Stillmark
