#include "program/screens/bus/ModuleCopy.h"

#include "platform/RtError.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/ConfigCopy.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"

#include <algorithm>
#include <cstdint>

ModuleCopy::Numbers ModuleCopy::Step(Numbers numbers, int arrow)
{
    if (arrow < SourceDown || arrow > TargetUp)
        return numbers;
    int& n = arrow == SourceDown || arrow == SourceUp ? numbers.source : numbers.target;
    const int step = arrow == SourceUp || arrow == TargetUp ? 1 : -1;
    n = std::clamp(n + step, 1, int(Limits::Modules));
    return numbers;
}

void ModuleCopy::Copy(int source, int target)
{
    const auto from = gConfig->Panel(int16_t(source));
    const auto to = gConfig->Panel(int16_t(target));
    if (!from || !to)
        plat::raise(plat::rt::SubscriptOutOfRange);
    ConfigCopy::Panel(*to, *from);
    // The copied module keeps its own bus address.
    to->setNumero(target);
    Config::SaveCurrentConfig();
}
