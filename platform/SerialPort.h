#pragma once
// The serial control over a POSIX terminal device (a real serial port or a
// pseudo-terminal). Port number n opens the device that the program's INI file
// names in section "Ports", key "COM<n>", or /dev/ttyS<n-1> when the key is
// missing. Reception is polled and never blocks; output is written whole and
// drained before Output returns, so nothing is ever discarded while being sent.
//
// A device that goes away while open (read or write error, hang-up) closes the
// port; from then on every operation fails at once with run-time error 68
// (device unavailable) naming the device, until the port is closed or opened
// again.

#include "platform/SerialControl.h"

#include <QByteArray>
#include <QString>

namespace plat {

// The line settings of a settings text such as "9600,N,8,1".
struct LineSettings {
    int speed = 9600;
    QChar parity = 'N';   // N, E, O, M (mark) or S (space)
    int dataBits = 8;
    double stopBits = 1;  // 1, 1.5 or 2

    // Bits on the line for one character: start, data, parity, stop.
    double bitsPerCharacter() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }

    // False when the text is not a valid settings text.
    static bool parse(const QString& text, LineSettings& out);
};

class SerialPort : public SerialControl {
public:
    SerialPort();
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    int CommPort() const override { return m_port; }
    void setCommPort(int port) override;
    QString Settings() const override { return m_settings; }
    void setSettings(const QString& settings) override;
    bool PortOpen() const override { return m_fd >= 0; }
    void setPortOpen(bool open) override;
    bool DeviceLost() const override { return !m_lostReason.isEmpty(); }
    bool RTSEnable() const override { return m_rts; }
    void setRTSEnable(bool enable) override;
    int InBufferCount() const override;
    void setInBufferCount(int count) override;
    int OutBufferCount() const override;
    void setOutBufferCount(int count) override;
    void Output(const QByteArray& bytes) override;
    QByteArray Input() override;
    bool waitForInput(int timeoutMs) override;

    // The device that port number n stands for.
    static QString devicePath(int port);
    // The device of the open (or last opened) port.
    QString device() const { return m_device; }

private:
    void open();
    void close();
    void applySettings();
    void applyRts();
    void checkUsable(const char* what) const;
    void pump() const;
    [[noreturn]] void lost(int err) const;
    QString portName() const;

    int m_port = 1;
    QString m_settings = "9600,N,8,1";
    bool m_rts = false;
    mutable int m_fd = -1;
    QString m_device;
    mutable QByteArray m_in;          // received, not yet taken
    mutable QString m_lostReason;     // set when the device went away while open
};

} // namespace plat
