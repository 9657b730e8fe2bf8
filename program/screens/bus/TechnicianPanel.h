#pragma once
// What the technician screen decides without its window: the module
// selector's steps and its value read back from the INI file, which buttons
// a module allows, and the maintenance commands.

#include <QString>

namespace TechnicianPanel {

// The selector steps, imgControl(0..3): -10, -1, +1, +10.
constexpr int StepDownTen = 0;
constexpr int StepDown = 1;
constexpr int StepUp = 2;
constexpr int StepUpTen = 3;

// The selector after a step from n; it stays within 0 (every module) .. 64.
int Step(int n, int index);

// The module "General"/"TechPanel" names: its numeric value, bounded to
// 0..64 (a value from elsewhere must not name a module that is not there).
int FromIni(const QString& value);

// The buttons a selection allows (the others are always enabled).
struct Buttons {
    bool panelReset = false;
    bool panelState = false;
    bool razCptr = false;
    bool testLeds = false;
};
Buttons Allowed(int n, int model);

// The three maintenance commands: the register written and its value.
struct Maintenance {
    int reg;
    short value;
};
Maintenance PanelReset();
Maintenance CounterReset();
Maintenance LampTest();

} // namespace TechnicianPanel
