#pragma once
// The short warning sound of a refused touch. The program beeps through the
// system; tests install a counter.

#include <functional>

namespace plat {

using Beeper = std::function<void()>;
// An empty beeper restores the system's.
void setBeeper(Beeper beeper);
void Beep();

} // namespace plat
