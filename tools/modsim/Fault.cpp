#include "tools/modsim/Fault.h"

#include "tools/modsim/SimConstants.h"

#include <array>
#include <utility>

namespace modsim {

namespace {
constexpr std::array<std::pair<FaultKind, const char*>, 11> kNames{{
    {FaultKind::None, "none"},
    {FaultKind::Silent, "silent"},
    {FaultKind::Exception, "exception"},
    {FaultKind::BadCrc, "bad-crc"},
    {FaultKind::WrongAddress, "wrong-address"},
    {FaultKind::WrongFunction, "wrong-function"},
    {FaultKind::ByteTooMany, "byte-too-many"},
    {FaultKind::ByteTooFew, "byte-too-few"},
    {FaultKind::Late, "late"},
    {FaultKind::Pieces, "pieces"},
    {FaultKind::FailNext, "fail-next"},
}};
} // namespace

QString Fault::name(FaultKind kind)
{
    for (const auto& [k, n] : kNames)
        if (k == kind)
            return QString::fromLatin1(n);
    return {};
}

int Fault::defaultParam(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Exception: return exc::SlaveDeviceFailure;
    case FaultKind::Late: return 1500;
    case FaultKind::Pieces: return 5;
    case FaultKind::FailNext: return 1;
    default: return 0;
    }
}

std::optional<Fault> Fault::fromName(const QString& name, std::optional<int> param)
{
    const QString wanted = name.trimmed().toLower();
    for (const auto& [k, n] : kNames)
        if (wanted == QLatin1String(n))
            return Fault{k, param.value_or(defaultParam(k))};
    return std::nullopt;
}

} // namespace modsim
