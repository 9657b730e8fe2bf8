#pragma once
// How many modules the bus has and how many channels a module has, for every
// layer from the configuration file up.

namespace Limits {

// Bus addresses of the modules: 1..Modules.
constexpr int Modules = 64;
// Channels of a module: 1..LastChannel on a model 2 module, 1..LastChannelOfOthers on the others.
constexpr int LastChannel = 24;
constexpr int LastChannelOfOthers = 12;

} // namespace Limits
