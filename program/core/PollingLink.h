#pragma once
// What the core asks of the bus engine form wPolling. The core sits below the
// bus layer and reaches the engine only by name through the form registry;
// the engine form implements this interface beside its own members.

#include <QString>
#include <QtGlobal>

class PollingLink {
public:
    virtual ~PollingLink() = default;

    // A new system event of this station (channel 254) with that code, handed
    // to the engine's SendEvent: numbered, stamped and dispatched.
    virtual void SendStationEvent(qint16 aff) = 0;
    // Polling runs (the first start runs a bus synchronisation pass).
    virtual bool Run() const = 0;
    virtual void setRun(bool on) = 0;
    // The serial control's port is open.
    virtual bool PortOpen() const = 0;
    // Polling starts now when the port is open, else by itself as soon as
    // the engine has the port open (a device that comes after the program).
    virtual void RunWhenPortOpens() = 0;
};

namespace Polling {

// Codes of the station's system events (channel 254), for every layer.
namespace StationEvent {
constexpr qint16 OperatorAck = 0;
constexpr qint16 ProgramStart = 1;
constexpr qint16 ProgramStop = 2;
constexpr qint16 UserChange = 3;
constexpr qint16 PollingStart = 4;
constexpr qint16 PollingStop = 5;
// The midnight pass's record of each module's state (history only).
constexpr qint16 DailyState = 6;
} // namespace StationEvent

// The engine form, loaded on first use (hidden). Raises run-time error 429
// when no engine form is registered and 438 when the form is no engine.
PollingLink& Engine();
// The engine when it is loaded, else nullptr.
PollingLink* Loaded();

} // namespace Polling
