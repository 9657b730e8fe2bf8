#pragma once
// What stands in for the forms and seams that are not built yet: the main
// window, the dispatch's history, printer and mirrors, and the engine's
// synchronisation passes, printer and midnight housekeeping.
// The program's assembly takes them from here; the change that builds the
// real one removes its stand-in.

namespace Placeholders {

// Registers wMain.
void registerForms();
// Fills the dispatch's history, printer and mirrors and the engine's seams
// that have no real one.
void installSeams();

} // namespace Placeholders
