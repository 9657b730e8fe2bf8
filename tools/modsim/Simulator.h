#pragma once
// The simulated bus: the modules at their addresses, the RTU framing of what
// the panel sends, the replies with the time each byte is on the line, the
// faults, and the log of every write. The transport (the in-process serial
// control or the pseudo-terminal server) feeds it bytes and takes the reply
// bytes when their time has come; times are microseconds on the transport's
// clock.

#include "tools/modsim/Fault.h"
#include "tools/modsim/SimModule.h"

#include "platform/Clock.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace modsim {

struct WriteRecord {
    qint64 timeMs = 0;
    int address = 0; // 0 for a broadcast
    int reg = 0;
    std::vector<std::uint16_t> values;
    int function = 0;
};

struct TimedByte {
    qint64 atUs = 0;
    char byte = 0;
};

// What happened to one request, for logging.
struct Exchange {
    qint64 atUs = 0;
    QByteArray request;
    QByteArray reply;  // as sent, faults applied; empty when nothing was sent
    QString note;      // why there was no reply, or which fault shaped it
};

class Simulator {
public:
    // The clock stamps the write log and the module clock of raised events.
    explicit Simulator(plat::Clock& clock = plat::systemClock());

    plat::Clock& clock() const { return m_clock; }

    // Adds (or replaces) a module; false for an address outside 1..64 or a model outside 1..5.
    bool addModule(int address, int model);
    void removeModule(int address);
    SimModule* module(int address);
    const SimModule* module(int address) const;
    std::vector<int> addresses() const;

    // Line-time emulation: bytes take (bitsPerChar / baud) each on the line and
    // a reply starts 3.5 characters after the request's end. 0 turns it off.
    void setLineSpeed(int baud, int bitsPerChar = 10);
    int lineSpeed() const { return m_baud; }
    int bitsPerChar() const { return m_bitsPerChar; }
    // Time of n characters on the emulated line (0 when not emulated).
    qint64 charsUs(double chars) const;

    // Harness API; each returns false for an unknown module or a value the model cannot take.
    bool raiseEvent(int address, int channel, int code, int param, std::optional<std::uint32_t> clock = std::nullopt);
    bool setChannelState(int address, int channel, std::uint16_t state);
    bool setStatusWord(int address, std::uint16_t word);
    bool setPower(int address, bool on);
    bool setFault(int address, const Fault& fault);
    bool setFault(int address, const QString& name, std::optional<int> param = std::nullopt);

    // The module clock stamp of an event raised now: seconds on the clock, 20 bits.
    std::uint32_t moduleClock() const;

    // Bytes from the master, all on the slave's side of the line by atUs.
    void receive(const QByteArray& bytes, qint64 atUs);
    // Lets the end-of-frame silence pass: a partial frame is dropped (or, for
    // an unknown function with a correct CRC, answered with an exception).
    void idle(qint64 nowUs);
    // When idle() next has something to do (a partial frame is waiting), if at all.
    std::optional<qint64> idleDeadlineUs() const;

    // Reply bytes on their way to the master: takes those due by nowUs.
    QByteArray takeDue(qint64 nowUs);
    std::optional<qint64> nextDueUs() const;
    int pendingReplyBytes() const { return static_cast<int>(m_out.size()); }

    const std::vector<WriteRecord>& writeLog() const { return m_writes; }
    // The writes addressed to a module, broadcasts included.
    std::vector<WriteRecord> writesTo(int address) const;
    void clearWriteLog() { m_writes.clear(); }

    // Called for every complete request (for the command-line program's log).
    void setObserver(std::function<void(const Exchange&)> observer) { m_observer = std::move(observer); }

private:
    void handleFrame(const QByteArray& frame, qint64 endUs);
    void dropPartial(qint64 nowUs);
    QByteArray answer(SimModule& m, const QByteArray& frame, qint64 endUs);
    void applyBroadcast(const QByteArray& frame, qint64 endUs);
    bool applyWrites(SimModule& m, int first, const std::vector<std::uint16_t>& values);
    void schedule(const QByteArray& reply, qint64 startUs, const Fault& fault);
    QByteArray shape(QByteArray reply, const Fault& fault) const;
    qint64 gapUs() const;
    void notify(qint64 atUs, const QByteArray& request, const QByteArray& reply, const QString& note);

    plat::Clock& m_clock;
    std::map<int, std::unique_ptr<SimModule>> m_modules;
    int m_baud = 0;
    int m_bitsPerChar = 10;
    QByteArray m_rx;
    qint64 m_lastRxUs = 0;
    std::deque<TimedByte> m_out;
    std::vector<WriteRecord> m_writes;
    std::function<void(const Exchange&)> m_observer;
};

} // namespace modsim
