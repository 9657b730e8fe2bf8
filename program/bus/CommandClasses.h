#pragma once
// The queue of bus commands that the polling engine drains at every tick, in
// the order they were added, addressed by 1-based positions. A command equal to
// one already queued is not added again.

#include "program/bus/CommandClass.h"

#include <vector>

class CommandClasses {
public:
    using Items = std::vector<CommandPtr>;

    // Appends cmd unless the queue holds an equal one (same Module, CmdType,
    // Address and values; SendTime, Error and ErrorCount do not count).
    void Add(const CommandPtr& cmd);
    // The command at position 1..Count; run-time error 9 otherwise.
    CommandPtr Item(int position) const;
    int Count() const { return int(m_items.size()); }
    // Removes the command at position 1..Count (later ones move up); error 9 otherwise.
    void Remove(int position);

    // Iteration in queue order.
    Items::const_iterator begin() const { return m_items.begin(); }
    Items::const_iterator end() const { return m_items.end(); }

    static bool equal(const CommandClass& a, const CommandClass& b);

private:
    Items m_items;
};
