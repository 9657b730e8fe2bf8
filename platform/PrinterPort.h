#pragma once
// The device of a raw line printer: a parallel port, a serial port, or
// whatever the program's INI file names for it (a FIFO, a plain file, a
// pseudo-terminal). Port name "LPT<n>" or "COM<n>" opens the device that INI
// section "Ports" gives under that name, else /dev/lp<n-1> or /dev/ttyS<n-1>.
//
// The device is opened for writing only, never created and never waited on:
// a printer that is absent makes the open fail at once. Every write is
// bounded by the write time-out. Results are the system's error numbers
// (errno), 0 for success, so that the caller words them as it wants.

#include <QByteArray>
#include <QString>

namespace plat {

// The line of a serial printer, in the encoding of the system's serial state
// record: parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop bits 0 for one,
// 1 for one and a half, 2 for two.
struct PrinterLine {
    int baud = 9600;
    int parity = 0;
    int dataBits = 8;
    int stopBits = 0;
};

class PrinterPort {
public:
    PrinterPort() = default;
    ~PrinterPort();
    PrinterPort(const PrinterPort&) = delete;
    PrinterPort& operator=(const PrinterPort&) = delete;

    // The device that a port name stands for; "" for a name that maps to none.
    static QString devicePath(const QString& portName);

    // Opens the named port's device (a port already open is closed first).
    int open(const QString& portName);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // The open device's descriptor (never 0), or -1.
    int descriptor() const { return m_fd; }

    // The line state of a serial device; ENOTTY for a device without a line.
    int getLine(PrinterLine& line) const;
    // Sets the line in raw mode: binary, no parity check on input, no flow
    // control, the modem lines left as they are. 1.5 stop bits become 2.
    int setLine(const PrinterLine& line);

    // The bound on each write, in milliseconds (0: the write gives up as soon
    // as the device takes nothing more).
    int getWriteTimeout(int& ms) const;
    int setWriteTimeout(int ms);

    // Writes every byte (and, on a serial device, waits until they are on the
    // line) within the write time-out: ETIMEDOUT when the time-out cut it.
    // taken, when given, is how many of the bytes the device took.
    int write(const QByteArray& bytes, qsizetype* taken = nullptr);

    // The system's text for an error number, with no line end.
    static QString errorText(int err);

private:
    int waitDrained(qint64 deadlineMs);

    int m_fd = -1;
    int m_writeTimeoutMs = 2000;
    // What the open device is.
    bool m_serial = false;
    bool m_pipe = false;
};

} // namespace plat
