#include "platform/ReportOnce.h"

#include "platform/Guard.h"

namespace plat {

bool ReportOnce::guard(const std::function<void()>& fn)
{
    const bool ok = trapErrors(fn, [this](const RtError& e) { failed(e); });
    if (ok)
        succeeded();
    return ok;
}

void ReportOnce::failed(const RtError& error)
{
    const QString cause = QString::number(error.number()) + QLatin1Char(' ') + error.description();
    if (m_cause == cause)
        return;
    m_cause = cause;
    reportError(m_name, error);
}

} // namespace plat
