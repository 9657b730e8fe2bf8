#pragma once
// What the polling engine calls of the parts built beside it or above it: the
// inactivity detector, the message box, the stop request and the midnight
// housekeeping. Each is one function; the program's assembly installs every
// one in PollingSeams::installed() before the engine loads. One left empty is
// not called, except those noted, which fall back.

#include "platform/Component.h"
#include "Stillmark/_ActivityDetect.h"

#include <QString>

#include <functional>


struct PollingSeams {
    // A new inactivity detector. Unset: the Stillmark class, by its identifier.
    std::function<plat::ComPtr<Stillmark::_ActivityDetect>()> newDetector;
    // The message box (text, style) of every message the engine shows,
    // whether it waits or not: Global::HowMessageShown says which. Unset:
    // Global::Message.
    std::function<int(const QString& text, int style)> message;

    // A stop of the program was requested and waits for the message loop,
    // which a bus pass does not run. Unset: plat::StopRequests::pending().
    std::function<bool()> stopRequested;

    // The housekeeping of a new day (new trace log, purge and copy of the
    // history and trace files), first of the day change's actions.
    std::function<void()> doMidnightActions;

    static PollingSeams& installed();
};
