#include "tools/modsim/ModuleList.h"

#include "tools/modsim/SimConstants.h"

#include <QStringList>

#include <set>

namespace modsim {

std::optional<std::vector<ModuleSpec>> parseModuleList(const QString& text, QString* error)
{
    const auto refuse = [&](const QString& why) -> std::optional<std::vector<ModuleSpec>> {
        *error = why;
        return std::nullopt;
    };
    std::vector<ModuleSpec> modules;
    std::set<int> seen;
    for (const QString& raw : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString item = raw.trimmed();
        if (item.isEmpty())
            continue;
        const QStringList p = item.split(QLatin1Char(':'));
        bool okAddress = false;
        bool okModel = false;
        const int address = p.value(0).toInt(&okAddress);
        const int model = p.value(1).toInt(&okModel);
        if (p.size() != 2 || !okAddress || !okModel)
            return refuse(QStringLiteral("\"%1\" is not address:model").arg(item));
        if (address < FirstAddress || address > LastAddress)
            return refuse(QStringLiteral("\"%1\": address %2 is outside %3..%4")
                              .arg(item).arg(address).arg(FirstAddress).arg(LastAddress));
        if (model < FirstModel || model > LastModel)
            return refuse(QStringLiteral("\"%1\": model %2 is outside %3..%4")
                              .arg(item).arg(model).arg(FirstModel).arg(LastModel));
        if (!seen.insert(address).second)
            return refuse(QStringLiteral("\"%1\": address %2 is given twice").arg(item).arg(address));
        modules.push_back({address, model});
    }
    if (modules.empty())
        return refuse(QStringLiteral("no module given"));
    return modules;
}

} // namespace modsim
