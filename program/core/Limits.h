#pragma once
// How many modules the bus has, how many channels a module has, the range of
// alarm priorities and the configuration's texts, for every layer from the
// configuration file up.

namespace Limits {

// Bus addresses of the modules: 1..Modules.
constexpr int Modules = 64;
// Channels of a module: 1..LastChannel on a model 2 module, 1..LastChannelOfOthers on the others.
constexpr int LastChannel = 24;
constexpr int LastChannelOfOthers = 12;

// Alarm priorities of a channel, and the horn levels they sound at: 1..LastPriority.
constexpr int FirstPriority = 1;
constexpr int LastPriority = 99;

// The library texts (a channel's short label) and the instruction texts
// (what to do on its alarm): 1..count, each of a fixed number of characters.
constexpr int LibraryTexts = 64;
constexpr int LibraryTextWidth = 24;
constexpr int InstructionTexts = 48;
constexpr int InstructionTextWidth = 1024;

} // namespace Limits
