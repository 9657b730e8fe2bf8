#include "CTimer.h"

namespace Stillmark {

CTimer::CTimer()
{
    connect(&m_timer, &QTimer::timeout, this, &CTimer::RaiseTimerEvent);
}

CTimer::~CTimer()
{
    m_timer.stop();
}

void CTimer::setEnabled(bool value)
{
    if (value) {
        if (!m_enabled && m_interval > 0)
            m_timer.start(m_interval);
    } else if (m_enabled) {
        m_timer.stop();
    }
    m_enabled = value;
}

void CTimer::RaiseTimerEvent()
{
    if (m_enabled)
        emit Timer();
    else
        m_timer.stop();
}

} // namespace Stillmark
