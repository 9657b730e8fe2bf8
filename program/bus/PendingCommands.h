#pragma once
// The command queue kept across a run in INI section "PendingCommands": one
// key per command, numbered from 1, valued
// "type|module|address(4 hex)|send time|value(4 hex)|...".

#include "program/bus/CommandClass.h"

#include <QString>

class CommandClasses;

namespace PendingCommands {

// The value of a command, and a command back from a value (nullptr for a
// value that is no command).
QString Text(const CommandClass& cmd);
CommandPtr FromText(const QString& text);

// Writes the queue in place of what the section held; a command already
// done is left out.
void Save(const CommandClasses& queue);
// Appends the saved commands to the queue, deleting each key as it is read;
// a value that is no command is left out.
void Restore(CommandClasses& queue);

} // namespace PendingCommands
