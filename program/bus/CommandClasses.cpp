#include "program/bus/CommandClasses.h"

#include "platform/RtError.h"

bool CommandClasses::equal(const CommandClass& a, const CommandClass& b)
{
    if (a.Module() != b.Module() || a.CmdType() != b.CmdType() || a.Address() != b.Address()
        || a.ValuesCount() != b.ValuesCount())
        return false;
    for (int i = 0; i < a.ValuesCount(); ++i)
        if (a.Value(i) != b.Value(i))
            return false;
    return true;
}

void CommandClasses::Add(const CommandPtr& cmd)
{
    if (!cmd)
        plat::raise(plat::rt::ObjectVariableNotSet);
    for (const CommandPtr& queued : m_items)
        if (equal(*queued, *cmd))
            return;
    m_items.push_back(cmd);
}

CommandPtr CommandClasses::Item(int position) const
{
    if (position < 1 || position > Count())
        plat::raise(plat::rt::SubscriptOutOfRange);
    return m_items[size_t(position - 1)];
}

void CommandClasses::Remove(int position)
{
    if (position < 1 || position > Count())
        plat::raise(plat::rt::SubscriptOutOfRange);
    m_items.erase(m_items.begin() + (position - 1));
}
