#pragma once
// What happens to one dispatched event: the four event rules (alarm screen,
// history file, printer, horn), the trace log lines of events and of commands
// given up, the history file and its two forms of an entry, and the printed
// line.

#include "platform/DateTime.h"

#include <QString>

#include <functional>
#include <memory>

class CommandClass;
class EnginePrinter;
class EventClass;

namespace VexLib22 {
struct _LogFileClass;
}

namespace Dispatch {
class EventRules;
class History;
class Printer;
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
// Writes the line of a command given up to the log (gTraceLog unless given);
// nothing after a reported failure.
void TraceWriteError(const CommandClass& cmd);
void TraceWriteError(const CommandClass& cmd, VexLib22::_LogFileClass& log);

// The event word of the State field: the words of the channel and module-wide
// codes, or the code as a number when it has no word.
QString StateWord(int chnl, int code, int param);

// The 162-character screen form of the event's history entry; "" after a
// reported failure.
QString FormateHistoScreen(const EventClass& evt);
// The 138-character file record of a screen record, and back; "" after a
// reported failure.
QString HistoScreenLineToHistoFileLine(const QString& screenLine);
QString HistoFileLineToHistoScreenLine(const QString& fileLine);
// Appends the event's record to the history file of the current month (or
// day, when "Files"/"PeriodUnit" is above 0), after the title in a new file.
// A failure is reported once per cause and the entry is lost; the file is
// left as it was.
void HistoEvent(const EventClass& evt);
// The clock that names the history file; the system's when empty.
void setHistoClock(std::function<plat::DateTime()> now);

// Prints the event's line on wPolling.dpPrinter, or on the given printer: the
// control prefix of the printer strings, then the printed record, cut to
// PrintMaxLen, in the printer's code page. Nothing for channels 25..253. A
// failure is reported once per cause and the line is not printed; a printer
// string item that is no byte is left out (and reported once), the line is
// printed.
void PrintEvent(const EventClass& evt);
void PrintEvent(const EventClass& evt, EnginePrinter& printer);

// These procedures as the engine's dispatch sees them: the rules and trace
// texts, the history writer, the event printer (wPolling.dpPrinter).
Dispatch::EventRules& Rules();
Dispatch::History& History();
Dispatch::Printer& Printer();
// The event printer of a dispatch that prints on another printer.
std::unique_ptr<Dispatch::Printer> PrinterOn(EnginePrinter& printer);

} // namespace HistoProcs
