#include "program/screens/bus/TechnicianPanel.h"

#include "platform/Values.h"
#include "program/bus/BusConstants.h"
#include "program/core/Limits.h"

#include <algorithm>

namespace TechnicianPanel {

int Step(int n, int index)
{
    switch (index) {
    case StepDownTen:
        return n > 0 ? std::max(n - 10, 0) : n;
    case StepDown:
        return n > 0 ? n - 1 : n;
    case StepUp:
        return n < Limits::Modules ? n + 1 : n;
    case StepUpTen:
        return n < Limits::Modules ? std::min(n + 10, int(Limits::Modules)) : n;
    default:
        return n;
    }
}

int FromIni(const QString& value)
{
    const double v = plat::Val(value);
    if (!(v > 0))
        return 0;
    return v >= Limits::Modules ? int(Limits::Modules) : int(v);
}

Buttons Allowed(int n, int model)
{
    const int m = n >= 1 ? model : 0;
    const bool buffer = m == Bus::ModelK7150 || m == Bus::ModelK7100;
    Buttons b;
    b.panelReset = buffer;
    b.panelState = m >= 1;
    b.razCptr = n == 0 || buffer;
    b.testLeds = n == 0 || m >= 1;
    return b;
}

Maintenance PanelReset()
{
    return {Bus::RegModuleCommand, Bus::ModuleCommandAcknowledge};
}

Maintenance CounterReset()
{
    return {Bus::RegCounterReset, 0};
}

Maintenance LampTest()
{
    return {Bus::RegLedTest, 1};
}

} // namespace TechnicianPanel
