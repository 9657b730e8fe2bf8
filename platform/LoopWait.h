#pragma once
// When the program's event loop last had nothing left to handle and began to
// wait, on the monotonic clock (ms). Whatever the loop handles later reached
// the program after that moment: had it been there, the loop would have
// handled it instead of waiting.

#include <QtGlobal>

namespace plat::LoopWait {

// Starts watching the loop of the application's thread (later calls do
// nothing). Needs the application object.
void watch();
// The moment of the last such wait; long ago until the loop first waits.
qint64 lastBegan();

} // namespace plat::LoopWait
