#pragma once
// Text ids that the code computes (a base plus an offset), in named
// constants; a pair NameFirst / NameLast stands for the whole range.

namespace TextIds {

// ---- Module editor ------------------------------------------------------------
// "Inactive" and "Active": first + Abs(Active).
constexpr int ModuleActiveFirst = 300120;
constexpr int ModuleActiveLast = 300121;
// The names of the parameter rows, row r taking ParamRowName[r] (ParamRows.cpp).
constexpr int ParamRowNameFirst = 300200;
constexpr int ParamRowNameLast = 300213;
// Print types 0..3: first + type.
constexpr int PrintTypeFirst = 300310;
constexpr int PrintTypeLast = 300313;

} // namespace TextIds
