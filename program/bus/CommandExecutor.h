#pragma once
// Execution of the queued bus commands: one command at once (TraiteCommande),
// for the polling tick and for the technician screens while polling is
// stopped, and the tick's pass over the whole queue with its clean-up.

#include "platform/DateTime.h"
#include "program/bus/CommandClass.h"

#include <QObject>

#include <functional>

class CommandClasses;

namespace Dispatch {
class EventRules;
}
namespace plat {
class SerialControl;
}
namespace VexLib22 {
struct _LogFileClass;
}

class CommandExecutor : public QObject {
    Q_OBJECT

public:
    // A broadcast expects no reply: the modules get this long to act on it
    // before the next frame.
    static constexpr int BroadcastSleepMs = 25;
    // A command is given up after this many failed executions.
    static constexpr int MaxFailures = 3;
    static constexpr int TraceLineMax = 80;

    explicit CommandExecutor(QObject* parent = nullptr);

    // The engine's serial control; nothing is sent while there is none.
    void setPort(plat::SerialControl* port) { m_port = port; }
    // Writes the line of a command given up (TraceWriteError); the installed
    // event rules when the executor was created, unless set.
    void setRules(Dispatch::EventRules* rules) { m_rules = rules; }
    // The clock of SendTime; the system's date and time unless set.
    void setNow(std::function<plat::DateTime()> now) { m_now = std::move(now); }
    // The trace log; gTraceLog() unless set.
    void setTraceLog(VexLib22::_LogFileClass* log) { m_log = log; }

    // Executes cmd once when it is due: CmdType 0 after a success, Error set and
    // ErrorCount one higher after a failure, untouched when not yet due. An error
    // raised on the way is reported and counts as a failure.
    void TraiteCommande(CommandClass& cmd);

    // The commands step of the tick: every queued command once, in queue order
    // (commands queued meanwhile included), afterEach() after each; then, from
    // the last to the first, the done ones removed and those failed MaxFailures
    // times dropped with their trace line and WriteError (an event buffer's
    // acknowledgement after its first failure: it is never sent twice). A
    // port that is not open ends the commands (the one that met the port going
    // away keeps its count) and the clean-up runs. Ends at once, without the
    // clean-up, when afterEach() answers false (the engine is closing).
    bool RunQueue(CommandClasses& queue, const std::function<bool()>& afterEach = {});

    // The trace line of an execution, before it is trimmed and cut.
    static QString TraceLine(const CommandClass& cmd);

signals:
    void WriteError(const CommandClass& cmd);

private:
    bool execute(CommandClass& cmd);
    VexLib22::_LogFileClass& log();

    plat::SerialControl* m_port = nullptr;
    Dispatch::EventRules* m_rules = nullptr;
    std::function<plat::DateTime()> m_now;
    VexLib22::_LogFileClass* m_log = nullptr;
};
