#pragma once
// What the polling engine calls of the parts built beside it or above it: the
// synchronisation passes, the inactivity detector, the message box and the
// midnight housekeeping. Each is one function; the program's assembly
// installs every one in PollingSeams::installed() before the engine loads.
// One left empty is not called (the two noted fall back).

#include "platform/Component.h"
#include "Stillmark/_ActivityDetect.h"

#include <QString>

#include <functional>


struct PollingSeams {
    // The general synchronisation pass, the midnight pass and the re-read of
    // one module.
    std::function<void()> synchroGeneraleBus;
    std::function<void()> midnightSynchro;
    std::function<void(qint16 module, bool flag)> updatePanel;

    // A new inactivity detector. Unset: the Stillmark class, by its identifier.
    std::function<plat::ComPtr<Stillmark::_ActivityDetect>()> newDetector;
    // The message box (text, style). Unset: Global::Message.
    std::function<int(const QString& text, int style)> message;
    // The same box shown without waiting (it stays on top until its button).
    // Unset: Global::Message, modeless.
    std::function<void(const QString& text, int style)> modelessMessage;

    // The housekeeping of a new day (new trace log, purge and copy of the
    // history and trace files), first of the day change's actions.
    std::function<void()> doMidnightActions;

    static PollingSeams& installed();
};
