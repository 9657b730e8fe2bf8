#include "program/screens/bus/MirrorTable.h"

#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"

#include <algorithm>

namespace {

// A mirror read from a file may name a module outside the bus: no model.
QString modelOf(int module)
{
    if (module < 1 || module > Limits::Modules)
        return QString();
    return Global::ModuleName(gConfig->Panel(int16_t(module))->Model());
}

} // namespace

MirrorTable::Row MirrorTable::MakeRow(const MirrorClass& m)
{
    Row row;
    row.id = m.ID();
    const QString wholeModule = Config::GetText(TextIds::MirrorTypeFirst);
    row.text[1] = modelOf(m.FromModule());
    row.text[2] = QString::number(m.FromModule());
    row.text[3] = m.FromChannel() >= 1 ? QString::number(m.FromChannel()) : wholeModule;
    row.text[4] = modelOf(m.ToModule());
    row.text[5] = QString::number(m.ToModule());
    row.text[6] = m.ToChannel() >= 1 ? QString::number(m.ToChannel()) : QString();
    row.text[7] = Config::GetText(TextIds::MirrorTypeFirst + m.MirrorType());
    return row;
}

bool MirrorTable::Before(const Row& a, const Row& b)
{
    for (int c = 1; c < Columns; ++c) {
        const int order = QString::compare(a.text[c], b.text[c], Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
    }
    return false;
}

std::vector<MirrorTable::Row> MirrorTable::Rows(const MirrorClasses& list)
{
    std::vector<Row> rows;
    rows.reserve(size_t(list.Count()));
    for (const auto& m : list)
        rows.push_back(MakeRow(*m));
    std::stable_sort(rows.begin(), rows.end(), Before);
    return rows;
}
