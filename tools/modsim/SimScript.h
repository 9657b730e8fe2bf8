#pragma once
// Timed actions for the command-line simulator, read from a small text format
// (one action a line; see README.md): raise events, set channel states and
// status words, set faults, switch modules off and on.

#include "tools/modsim/Simulator.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace modsim {

struct ScriptAction {
    enum class Kind { Event, State, Status, Fault, Off, On };
    qint64 atMs = 0; // from the start of the run
    Kind kind = Kind::Event;
    int module = 0;
    std::vector<int> numbers; // event: channel, code, param; state: channel, state; status: word
    QString faultName;
    std::optional<int> faultParam;
    int line = 0;
};

class SimScript {
public:
    // Parses a whole script; on an error returns false with "line N: why" in *error.
    bool parse(const QString& text, QString* error);
    // One line of the format ("2.5 event 3 4 1 0"); empty for a blank or comment line.
    static std::optional<ScriptAction> parseLine(const QString& line, QString* error);

    const std::vector<ScriptAction>& actions() const { return m_actions; }

    // Carries out the actions due by elapsedMs that have not run yet, in time
    // order; returns the number run. An action on a module the simulator does
    // not have is reported through *warnings and skipped.
    int runDue(Simulator& sim, qint64 elapsedMs, QStringList* warnings = nullptr);
    bool finished() const { return m_next >= m_actions.size(); }
    std::optional<qint64> nextAtMs() const;

    static bool apply(Simulator& sim, const ScriptAction& action);

private:
    std::vector<ScriptAction> m_actions;
    size_t m_next = 0;
};

} // namespace modsim
