#include "platform/Guard.h"

#include <QtGlobal>

namespace plat {

namespace {
ErrorReporter& reporter()
{
    static ErrorReporter r;
    return r;
}
} // namespace

void setErrorReporter(ErrorReporter r)
{
    reporter() = std::move(r);
}

ErrorReporter errorReporter()
{
    return reporter();
}

void reportError(const QString& qualifiedName, const RtError& error)
{
    if (reporter())
        reporter()(qualifiedName, error);
    else
        qWarning("%s: %s", qPrintable(qualifiedName), error.what());
}

bool guard(const QString& qualifiedName, const std::function<void()>& fn)
{
    return trapErrors(fn, [&](const RtError& e) { reportError(qualifiedName, e); });
}

bool trapErrors(const std::function<void()>& fn, const std::function<void(const RtError&)>& onError)
{
    try {
        fn();
        return true;
    } catch (const RtError& e) {
        onError(e);
    } catch (const std::exception& e) {
        onError(RtError(rt::InternalError, QString::fromLocal8Bit(e.what())));
    }
    return false;
}

} // namespace plat
