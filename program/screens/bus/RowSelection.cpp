#include "program/screens/bus/RowSelection.h"

#include "program/screens/bus/ParamRows.h"

namespace RowSelection {

namespace {
constexpr int kLast = ParamRows::Count - 1;

int nextOnce(int row, int channel)
{
    return channel == 0 ? ParamRows::Title : (row + 1) % ParamRows::Count;
}

int previousOnce(int row)
{
    return row > 0 ? row - 1 : ParamRows::Title;
}
} // namespace

int Next(int row, int channel)
{
    int r = nextOnce(row, channel);
    if (r == ParamRows::ChannelNo)
        r = nextOnce(r, channel);
    return r;
}

int Previous(int row)
{
    int r = previousOnce(row);
    if (r == ParamRows::ChannelNo)
        r = previousOnce(r);
    return r;
}

bool PreviousShown(int row)
{
    return row > 0;
}

bool NextShown(int row, int channel)
{
    return row < kLast && (channel > 0 || row == ParamRows::Title);
}

} // namespace RowSelection
