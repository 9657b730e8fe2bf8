#include "program/bus/TraceRecord.h"

namespace {

struct Layout {
    int pos;
    int width;
};

// One blank between fields.
constexpr Layout kLayout[] = {
    {0, 10},   // Date
    {11, 8},   // Time
    {20, 6},   // EvtNo
    {27, 7},   // PnlCnt
    {35, 8},   // Id
    {44, 7},   // Origin
    {52, 6},   // Kind
    {59, 6},   // State
    {66, 26},  // Common
    {93, 39},  // Specific
};

} // namespace

int TraceRecord::position(Field f)
{
    return kLayout[f].pos;
}

int TraceRecord::width(Field f)
{
    return kLayout[f].width;
}
