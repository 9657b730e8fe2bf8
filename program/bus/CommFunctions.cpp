#include "program/bus/CommFunctions.h"

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "program/bus/BusConstants.h"
#include "program/bus/ModbusFrames.h"

#include <QSet>

#include <algorithm>
#include <functional>

namespace CommFunctions {

namespace {

plat::Clock* g_clock = nullptr;

// The ports with an exchange under way. No exchange yields while it waits, so
// a second one can begin only from code that the first one's wait ran (a
// port's handler, a clock's sleep): refused, or two frames would mix on the line.
class InFlight {
public:
    explicit InFlight(const plat::SerialControl& port) : m_port(&port)
    {
        if (ports().contains(m_port))
            throw plat::RtError(plat::rt::DeviceUnavailable,
                                QStringLiteral("Serial port COM%1 is busy: another exchange is under way on it")
                                    .arg(port.CommPort()));
        ports().insert(m_port);
    }
    ~InFlight() { ports().remove(m_port); }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;

private:
    static QSet<const plat::SerialControl*>& ports()
    {
        static QSet<const plat::SerialControl*> set;
        return set;
    }
    const plat::SerialControl* m_port;
};

// Pause, clear both buffers, send the frame (it has left the line when Output
// returns) and, when a reply is expected, wait until that many bytes are in or
// the deadline, counted from the end of the request, has passed. Bytes that
// cannot begin the reply to this frame (a reply late for an earlier request)
// are dropped as they come and do not count. Returns what came in from the
// first byte that may begin the reply.
QByteArray exchange(plat::SerialControl& port, const QByteArray& frame, int expected, qint64 timeoutMs)
{
    const InFlight busy(port);
    plat::Clock& clk = clock();
    clk.sleepMs(Bus::FramePauseMs);
    port.setRTSEnable(true);
    port.setOutBufferCount(0);
    port.setInBufferCount(0);
    port.Output(frame);
    QByteArray in;
    if (expected <= 0)
        return in;
    const quint8 slave = quint8(frame[0]);
    const quint8 function = quint8(frame[1]);
    bool stale = false;
    auto gather = [&] {
        in += port.Input();
        ModbusFrames::dropStale(in, slave, function, expected, stale);
    };
    const qint64 deadline = clk.nowMs() + timeoutMs;
    gather();
    while (in.size() < expected) {
        const qint64 now = clk.nowMs();
        if (now >= deadline)
            break;
        if (!port.waitForInput(int(std::min<qint64>(deadline - now, 1000))))
            clk.sleepMs(1);
        gather();
    }
    // Once more: what came in since is part of the reply as received.
    gather();
    return in;
}

// Runs one routine's body. A run-time error is reported under the routine's
// name, unless the port's device has gone: that is no fault of the routine,
// and the port's owner tells the loss once instead of a box at every frame.
void trapped(const char* name, const plat::SerialControl& port, const std::function<void()>& fn)
{
    plat::trapErrors(fn, [&](const plat::RtError& e) {
        if (!port.DeviceLost())
            plat::reportError(QString("CommFunctions.") + name, e);
    });
}

bool write(const char* name, plat::SerialControl& port, quint8 slave, quint8 function, const QByteArray& frame)
{
    bool ok = false;
    trapped(name, port, [&] {
        if (slave == Bus::BroadcastAddress) {
            exchange(port, frame, 0, 0);
            ok = true;
            return;
        }
        const QByteArray reply = exchange(port, frame, ModbusFrames::WriteReplyLength,
                                          ModbusFrames::writeReplyTimeoutMs(port.Settings()));
        ok = ModbusFrames::checkWriteReply(reply, slave, function) == ModbusFrames::Reply::Ok;
    });
    return ok;
}

} // namespace

void setClock(plat::Clock* c) { g_clock = c; }

plat::Clock& clock() { return g_clock ? *g_clock : plat::systemClock(); }

quint16 CRC16(const QByteArray& bytes, int count)
{
    quint16 crc = 0;
    plat::guard("CommFunctions.CRC16", [&] {
        if (count < 0 || count > bytes.size() - 2)
            plat::raise(plat::rt::SubscriptOutOfRange);
        crc = ModbusFrames::crc16(bytes, count);
    });
    return crc;
}

bool LitMots(plat::SerialControl& port, quint8 slave, qint32 firstRegister, QVector<qint16>& words)
{
    bool ok = false;
    trapped("LitMots", port, [&] {
        const int n = int(words.size());
        if (n < 1)
            plat::raise(plat::rt::SubscriptOutOfRange);
        const int expected = ModbusFrames::readReplyLength(n);
        const QByteArray reply = exchange(port, ModbusFrames::readRequest(slave, firstRegister, n), expected,
                                          ModbusFrames::readReplyTimeoutMs(n, port.Settings()));
        if (ModbusFrames::checkReadReply(reply, slave, n) != ModbusFrames::Reply::Ok)
            return;
        words = ModbusFrames::replyWords(reply, n);
        ok = true;
    });
    return ok;
}

bool EcritMots(plat::SerialControl& port, quint8 slave, qint32 firstRegister, const QVector<qint16>& values)
{
    if (values.isEmpty() || values.size() > Bus::MaxWriteWords) {
        plat::reportError("CommFunctions.EcritMots",
                          plat::rtError(values.isEmpty() ? plat::rt::SubscriptOutOfRange : plat::rt::Overflow));
        return false;
    }
    return write("EcritMots", port, slave, Bus::FnWriteMultipleRegisters,
                 ModbusFrames::writeMultipleRequest(slave, firstRegister, values));
}

bool EcritUnMot(plat::SerialControl& port, quint8 slave, qint32 reg, qint16 value)
{
    return write("EcritUnMot", port, slave, Bus::FnWriteSingleRegister,
                 ModbusFrames::writeSingleRequest(slave, reg, value));
}

qint16 GetModuleType(plat::SerialControl& port, quint8 slave, const std::function<bool()>& mayGoOn)
{
    QVector<qint16> word(1);
    if (!LitMots(port, slave, Bus::RegModuleType, word))
        return Bus::ModelNone;
    if (word[0] == Bus::ModuleTypeStatusWord)
        return Bus::ModelK6200TX;
    if (word[0] != Bus::ModuleTypeBuffer || (mayGoOn && !mayGoOn()))
        return Bus::ModelNone;
    // A K7100 keeps no sub-type register and stays silent on it.
    if (!LitMots(port, slave, Bus::RegModuleSubType, word))
        return Bus::ModelK7100;
    return word[0] == Bus::ModuleSubTypeT7150 ? Bus::ModelT7150 : Bus::ModelK7150;
}

} // namespace CommFunctions
