#pragma once
// The serial communications control as the bus engine uses it: a port number,
// a settings text ("9600,N,8,1"), open and close, RTS, the counts of bytes
// waiting in and out, and polled, non-blocking output and input of bytes.
// Implemented over a real device or pseudo-terminal, and by the module
// simulator's in-process fake.

#include <QByteArray>
#include <QString>

namespace plat {

class SerialControl {
public:
    virtual ~SerialControl() = default;

    virtual int CommPort() const = 0;
    virtual void setCommPort(int port) = 0;
    virtual QString Settings() const = 0;
    virtual void setSettings(const QString& settings) = 0;
    virtual bool PortOpen() const = 0;
    // Opening a port that cannot be opened raises a run-time error with a clear description.
    virtual void setPortOpen(bool open) = 0;
    // The device went away while the port was open (an adapter pulled, the
    // other end of a pseudo-terminal closed): PortOpen reads false and every
    // operation fails, until the port is closed or opened again. A port
    // closed on purpose is not lost.
    virtual bool DeviceLost() const { return false; }
    virtual bool RTSEnable() const = 0;
    virtual void setRTSEnable(bool enable) = 0;
    // Bytes received and not read yet; setting 0 discards them.
    virtual int InBufferCount() const = 0;
    virtual void setInBufferCount(int count) = 0;
    // Bytes written and not sent yet; setting 0 discards them.
    virtual int OutBufferCount() const = 0;
    virtual void setOutBufferCount(int count) = 0;
    // Queues bytes for sending.
    virtual void Output(const QByteArray& bytes) = 0;
    // Takes every byte received so far (possibly none).
    virtual QByteArray Input() = 0;

    // Blocks (without yielding) until input arrives or timeoutMs passes. A
    // control that cannot wait returns false at once, and the caller then
    // sleeps on its own clock before polling InBufferCount again.
    virtual bool waitForInput(int timeoutMs) { (void)timeoutMs; return false; }
};

} // namespace plat
