#pragma once
// The speeds a serial line can be set to and the terminal setting of each,
// for the bus's serial control and for a printer on a serial port alike;
// each takes the speeds up to its own highest.

#include <termios.h>

namespace plat::LineSpeeds {

// The highest speed of the serial control's line and of a printer's.
constexpr int SerialControlHighest = 115200;
constexpr int PrinterHighest = 230400;

// The terminal setting of a speed of the table up to highest; B0 for any other.
speed_t Setting(int baud, int highest);
// The speed of a terminal setting; 0 for one the table does not have.
int Baud(speed_t setting);

} // namespace plat::LineSpeeds
