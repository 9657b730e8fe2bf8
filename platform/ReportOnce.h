#pragma once
// The error trap of a step that runs again and again (once per event) and may
// go on failing for one reason for a long time, such as a history folder that
// has gone: its failure is reported once, and again only when the reason
// changes or once the step has worked in between. An operator sees one box,
// not one per event.

#include "platform/RtError.h"

#include <QString>

#include <functional>
#include <optional>

namespace plat {

class ReportOnce {
public:
    explicit ReportOnce(QString qualifiedName) : m_name(std::move(qualifiedName)) {}

    // Runs fn: its success clears the reported cause; its run-time error is
    // reported unless it is the cause reported last. False when fn failed.
    bool guard(const std::function<void()>& fn);
    // Reports the error unless it is the cause reported last.
    void failed(const RtError& error);
    // The step worked: its next failure is reported whatever it is.
    void succeeded() { m_cause.reset(); }

    const QString& name() const { return m_name; }

private:
    QString m_name;
    std::optional<QString> m_cause;
};

} // namespace plat
