#include "program/screens/bus/MirrorRules.h"

#include "program/bus/Miroirs.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"

namespace {

bool closesLoop(const MirrorClasses& list, const MirrorClass& m)
{
    return Miroirs::IsMirrorLoop(list, m.FromModule(), m.FromChannel(), m.ToModule(), m.ToChannel());
}

} // namespace

int MirrorRules::NewRefusal(const MirrorClasses& list, const MirrorClass& mirror)
{
    if (list.IsAlreadyPresent(mirror))
        return Duplicate;
    if (closesLoop(list, mirror))
        return Loop;
    return Accepted;
}

int MirrorRules::ModifyRefusal(const MirrorClasses& list, const QString& editedId, const MirrorClass& mirror)
{
    if (mirror.ID() != editedId && list.IsAlreadyPresent(mirror))
        return Duplicate;
    const auto edited = list.GetByID(editedId);
    MirrorClasses others;
    for (const auto& m : list)
        if (m != edited)
            others.Add(m->FromModule(), m->FromChannel(), m->ToModule(), m->ToChannel(), m->MirrorType());
    if (closesLoop(others, mirror))
        return Loop;
    return Accepted;
}

int MirrorRules::RemoveID(MirrorClasses& list, const QString& id)
{
    int removed = 0;
    for (int i = list.Count(); i >= 1; --i)
        if (list.Item(i)->ID() == id) {
            list.Remove(i);
            ++removed;
        }
    return removed;
}
