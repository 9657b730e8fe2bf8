#pragma once
// Interface of StrToKclass: cuts a text into tokens one call at a time.

#include "platform/Component.h"

#include <QString>
#include <optional>

namespace VexLib22 {

struct _StrToKclass : plat::IUnknown {
    // A non-empty Chaine starts a new text, an empty one goes on with the
    // stored text. No Separ: the system's list separator.
    virtual QString Strtok(const QString& Chaine = QString(), const std::optional<QString>& Separ = std::nullopt) = 0;

protected:
    ~_StrToKclass() = default;
};

} // namespace VexLib22
