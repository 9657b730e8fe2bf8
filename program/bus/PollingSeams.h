#pragma once
// What the polling engine calls of the parts built beside it or above it: the
// synchronisation passes, the inactivity detector, the message box, and the
// handlers of the engine's other timers and of the detector. Each is one function; an empty one is the
// stand-in (it does nothing, or answers as noted). The parts that build the
// real ones install them in PollingSeams::installed() before the engine loads.

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

    // The handlers of the midnight and re-announcement timers and of the
    // detector's UserIsNotHere.
    std::function<void()> midnightTimer;
    std::function<void()> reactivTimer;
    std::function<void()> userIsNotHere;

    static PollingSeams& installed();
};
