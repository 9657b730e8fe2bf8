#include "program/bus/PollingSeams.h"

PollingSeams& PollingSeams::installed()
{
    static PollingSeams seams;
    return seams;
}
