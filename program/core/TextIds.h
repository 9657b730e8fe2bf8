#pragma once
// Text ids that the code computes, kept as named constants; fixed ids stand
// as literals where the text is looked up.

namespace TextIds {

// The parity of the bus settings: 100020 + its letter's place in "NEO"
// (100020 unknown, 100021 none, 100022 even, 100023 odd).
constexpr int ParityFirst = 100020;
constexpr int ParityLast = 100023;

} // namespace TextIds
