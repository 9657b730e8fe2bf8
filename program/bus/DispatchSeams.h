#pragma once
// What the event dispatch and the command queue hand on to the parts above the
// bus layer: the event rules and trace texts, the horn, the alarm screen, the
// history file, the printer and the mirrors. The engine holds one of each,
// taken from installed() when it is made; the program's assembly fills it.

#include <QString>

class CommandClass;
class EventClass;

namespace VexLib22 {
struct _LogFileClass;
}

namespace Dispatch {

// The four event rules and the two trace texts of the event handling layer.
class EventRules {
public:
    virtual ~EventRules() = default;
    virtual bool IsToDisplay(const EventClass& ev) = 0;
    virtual bool IsToHisto(const EventClass& ev) = 0;
    virtual bool IsToPrint(const EventClass& ev) = 0;
    virtual bool IsToKlaxon(const EventClass& ev) = 0;
    // The 132-character trace record of the event (the caller trims it).
    virtual QString FormateTrace(const EventClass& ev) = 0;
    // Writes the trace line of a command given up after its failures to the
    // log of the engine that gave it up.
    virtual void TraceWriteError(const CommandClass& cmd, VexLib22::_LogFileClass& log) = 0;
};

// The horn: level 1..99 plays that priority's sound when it beats the one
// sounding; -1 stops it.
class Horn {
public:
    virtual ~Horn() = default;
    virtual void Alarme(int level) = 0;
};

// Brings the alarm screen to the front and unloads every other screen but the
// engine's.
class AlarmScreen {
public:
    virtual ~AlarmScreen() = default;
    virtual void BringToFront() = 0;
};

// Appends the event's record to the history file.
class History {
public:
    virtual ~History() = default;
    virtual void HistoEvent(const EventClass& ev) = 0;
};

// Prints the event's line.
class Printer {
public:
    virtual ~Printer() = default;
    virtual void PrintEvent(const EventClass& ev) = 0;
};

// Copies an event's state to the modules that mirror its module or channel.
class Mirrors {
public:
    virtual ~Mirrors() = default;
    // A module-wide event of a model 2 module: its own channel states are
    // written back to its packed registers (a mirror of the module onto itself,
    // channel 0).
    virtual void TraitementR2R2Self(const EventClass& ev) = 0;
    virtual void DoMirrors(const EventClass& ev) = 0;
};

// The seams that a new engine starts with: the horn (Global::Alarme), the
// alarm screen (the form registered under its name) and the mirrors (Miroirs)
// of this layer; the layers above install the rules, the history and the
// printer. A step whose seam is missing fails with run-time error 91.
struct Seams {
    EventRules* rules = nullptr;
    Horn* horn = nullptr;
    AlarmScreen* alarmScreen = nullptr;
    History* history = nullptr;
    Printer* printer = nullptr;
    Mirrors* mirrors = nullptr;
};
Seams& installed();

} // namespace Dispatch
