#include "program/runtime/RemotePages.h"

#include "program/bus/BusConstants.h"
#include "program/core/ConfigClass.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"

namespace RemotePages {

bool Qualifies(const PanelClass& panel)
{
    return panel.Active() && (panel.Model() == Bus::ModelT7100 || panel.Model() == Bus::ModelT7150);
}

std::vector<qint16> Modules(const ConfigClass& config)
{
    std::vector<qint16> modules{0};
    for (int m = 1; m <= Limits::Modules; ++m)
        if (Qualifies(*config.Panel(qint16(m))))
            modules.push_back(qint16(m));
    return modules;
}

bool AnyModule(const ConfigClass& config)
{
    return Modules(config).size() > 1;
}

int PreviousFirst(int first)
{
    return first > PerPage ? first - PerPage : first;
}

int NextFirst(int first, int n)
{
    return first + PerPage <= n ? first + PerPage : first;
}

bool PreviousShown(int first)
{
    return first > 1;
}

bool NextShown(int first, int n)
{
    return first + PerPage <= n;
}

QPoint ButtonTwips(int k)
{
    return FirstButtonTwips + QPoint(((k - 1) % Columns) * ColumnStepTwips, ((k - 1) / Columns) * RowStepTwips);
}

} // namespace RemotePages
