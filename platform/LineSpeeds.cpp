#include "platform/LineSpeeds.h"

namespace plat::LineSpeeds {

namespace {

struct Speed {
    int baud;
    speed_t setting;
};

constexpr Speed kSpeeds[] = {
    {110, B110},     {300, B300},     {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},   {9600, B9600},   {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400},
};

} // namespace

speed_t Setting(int baud, int highest)
{
    if (baud > highest)
        return B0;
    for (const Speed& s : kSpeeds)
        if (s.baud == baud)
            return s.setting;
    return B0;
}

int Baud(speed_t setting)
{
    for (const Speed& s : kSpeeds)
        if (s.setting == setting)
            return s.baud;
    return 0;
}

} // namespace plat::LineSpeeds
