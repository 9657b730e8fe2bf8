#pragma once
// What happens to one dispatched event: the four event rules (alarm screen,
// history file, printer, horn) and the trace log lines of events and of
// commands given up.

#include <QString>

class CommandClass;
class EventClass;

namespace Dispatch {
class EventRules;
}

namespace HistoProcs {

// The rules read the event, the channel's flag (ScrAlm, Histo, PrtAlm,
// Klaxon), the module's model and the option masks of the configuration;
// they change nothing. A failure is reported once under the rule's name and
// answers false.
bool IsToDisplay(const EventClass& evt);
bool IsToHisto(const EventClass& evt);
bool IsToPrint(const EventClass& evt);
bool IsToKlaxon(const EventClass& evt);

// The 132-character trace record of the event; "" after a reported failure.
QString FormateTrace(const EventClass& evt);
// Writes the line of a command given up to gTraceLog; nothing after a
// reported failure.
void TraceWriteError(const CommandClass& cmd);

// The event word of the State field: the words of the channel and module-wide
// codes, or the code as a number when it has no word.
QString StateWord(int chnl, int code, int param);

// These procedures as the engine's dispatch sees them.
Dispatch::EventRules& Rules();

} // namespace HistoProcs
