#pragma once
// What stands in for the seams that are not built yet: the dispatch's mirrors
// and the engine's synchronisation passes. The program's assembly takes them
// from here; the change that builds the real one removes its stand-in.

namespace Placeholders {

// Fills the dispatch's mirrors and the engine's seams that have no real one.
void installSeams();

} // namespace Placeholders
