#pragma once
// Requests from outside to end the program: a termination (SIGTERM, the task
// manager's end), an interrupt (SIGINT, Ctrl+C in a terminal) and the end of
// the session. Each reaches the message loop as one call of the handler: a
// signal handler may only write a byte, so the loop reads it.

#include <functional>

namespace plat::StopRequests {

enum class Cause { Interrupt, Terminate, SessionEnd };
using Handler = std::function<void(Cause)>;

// Installs the handler for the rest of the run (a second call replaces it);
// an empty handler gives the signals their default action back.
void watch(Handler handler);

// True while a stop request waits for the message loop to take it: work that
// runs long without the loop (a bus pass) can end early. The request stays
// to be handled as usual once the loop runs.
bool pending();

} // namespace plat::StopRequests
