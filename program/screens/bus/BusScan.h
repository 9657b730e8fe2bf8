#pragma once
// The bus scan without its window: 64 working copies of the modules, the
// type each address reported at the last scan, the scan itself as a step
// machine (one address a step, so the screen yields between two addresses),
// the stop and leave requests, the three module commands and what Yes
// writes back. The configuration changes only through Accept, and then only
// in what the configuration stores: the engine's presence, reported models
// and channel states stay as the engine has them.

#include "program/core/Limits.h"

#include <array>
#include <functional>
#include <memory>

class ConfigClass;
class PanelClass;

class BusScan {
public:
    // The result of an address not asked since the scan began.
    static constexpr int NotScanned = -1;
    // The model an address reports: 0 for no answer or an unknown type.
    using Query = std::function<int(int address)>;

    BusScan();

    // Fresh copies of the configuration's modules, none modified, nothing
    // scanned, no scan running and no request pending.
    void Load(const ConfigClass& config);
    PanelClass& Copy(int module) const;
    int Result(int module) const;

    // ---- The scan ----
    // Every result back to NotScanned, the stop request cleared, address 1 next.
    void Start();
    bool Running() const { return m_running; }
    // The address the next step asks; 0 when the scan is over (past 64, or
    // stopped after the address asked last).
    int Next() const;
    // Asks the address that Next gave, even when a stop came since, and
    // keeps its result; the address asked (0 when the scan was over or the
    // technician leaves).
    int Step(const Query& query);
    // Ends the scan and clears the stop request.
    void End();

    // The stop request ends a running scan before its next address.
    void RequestStop() { m_stop = true; }
    bool StopRequested() const { return m_stop; }
    // Leaving stops the scan too; the leave question's Cancel withdraws both.
    void RequestLeave();
    void CancelLeave();
    bool LeaveRequested() const { return m_leave; }

    // ---- Module commands; false when refused (the screen beeps) ----
    // Needs a model.
    bool Activate(int module);
    // Refused only for a module without model that is already inactive.
    bool Deactivate(int module);
    // The type found by the last scan becomes the module's model (0 removes
    // it); refused when the address was not scanned.
    bool TakeOver(int module);

    // Whether a copy holds a change (the leave question is asked).
    bool Modified() const;
    // Yes: writes every copy's configured fields into the configuration.
    void Accept(ConfigClass& config) const;

private:
    std::array<std::shared_ptr<PanelClass>, Limits::Modules + 1> m_copies;
    std::array<int, Limits::Modules + 1> m_results{};
    int m_next = 0;
    bool m_running = false;
    bool m_stop = false;
    bool m_leave = false;
};
