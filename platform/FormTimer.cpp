#include "platform/FormTimer.h"

namespace plat {

FormTimer::FormTimer(const QString& name, QObject* parent) : QObject(parent)
{
    setObjectName(name);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FormTimer::Timer);
}

void FormTimer::setInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    restart();
}

void FormTimer::setEnabled(bool on)
{
    m_enabled = on;
    restart();
}

void FormTimer::restart()
{
    m_timer.stop();
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
}

} // namespace plat
