#include "tools/modsim/Simulator.h"

#include "tools/modsim/RtuFrame.h"
#include "tools/modsim/SimConstants.h"

#include <algorithm>
#include <cmath>

namespace modsim {

namespace {
// A partial frame longer than any request is noise: drop it.
constexpr int MaxRequestBytes = 9 + 255;
} // namespace

Simulator::Simulator(plat::Clock& clock)
    : m_clock(clock)
{
}

bool Simulator::addModule(int address, int model)
{
    if (address < FirstAddress || address > LastAddress || model < FirstModel || model > LastModel)
        return false;
    m_modules[address] = std::make_unique<SimModule>(address, model);
    return true;
}

void Simulator::removeModule(int address)
{
    m_modules.erase(address);
}

SimModule* Simulator::module(int address)
{
    auto it = m_modules.find(address);
    return it == m_modules.end() ? nullptr : it->second.get();
}

const SimModule* Simulator::module(int address) const
{
    auto it = m_modules.find(address);
    return it == m_modules.end() ? nullptr : it->second.get();
}

std::vector<int> Simulator::addresses() const
{
    std::vector<int> out;
    for (const auto& [a, m] : m_modules)
        out.push_back(a);
    return out;
}

void Simulator::setLineSpeed(int baud, int bitsPerChar)
{
    m_baud = std::max(0, baud);
    m_bitsPerChar = bitsPerChar > 0 ? bitsPerChar : 10;
}

qint64 Simulator::charsUs(double chars) const
{
    if (m_baud <= 0)
        return 0;
    return std::llround(chars * m_bitsPerChar * 1e6 / m_baud);
}

qint64 Simulator::gapUs() const
{
    return m_baud > 0 ? std::max<qint64>(charsUs(3.5), MinGapUs) : IdleGapUs;
}

std::uint32_t Simulator::moduleClock() const
{
    return static_cast<std::uint32_t>(m_clock.nowMs() / 1000) & ModuleClockMask;
}

bool Simulator::raiseEvent(int address, int channel, int code, int param, std::optional<std::uint32_t> clock)
{
    SimModule* m = module(address);
    return m && m->raiseEvent(channel, code, param, clock.value_or(moduleClock()));
}

bool Simulator::setChannelState(int address, int channel, std::uint16_t state)
{
    SimModule* m = module(address);
    if (!m || channel < 1 || channel > m->channelCount())
        return false;
    m->setChannelState(channel, state);
    return true;
}

bool Simulator::setStatusWord(int address, std::uint16_t word)
{
    SimModule* m = module(address);
    if (!m || m->model() != 2)
        return false;
    m->setStatusWord(word);
    return true;
}

bool Simulator::setPower(int address, bool on)
{
    SimModule* m = module(address);
    if (!m)
        return false;
    m->setOn(on);
    return true;
}

bool Simulator::setFault(int address, const Fault& fault)
{
    SimModule* m = module(address);
    if (!m)
        return false;
    m->setFault(fault);
    return true;
}

bool Simulator::setFault(int address, const QString& name, std::optional<int> param)
{
    const auto fault = Fault::fromName(name, param);
    return fault && setFault(address, *fault);
}

void Simulator::receive(const QByteArray& bytes, qint64 atUs)
{
    if (!m_rx.isEmpty() && atUs - m_lastRxUs >= gapUs())
        idle(atUs);
    for (char b : bytes) {
        m_rx.append(b);
        for (;;) {
            const int len = requestLength(m_rx);
            if (len < 0) {
                // Unknown function: only the silence after it tells where it ends.
                if (m_rx.size() > MaxRequestBytes) {
                    notify(atUs, m_rx, {}, QStringLiteral("noise dropped"));
                    m_rx.clear();
                }
                break;
            }
            if (len == 0 || m_rx.size() < len)
                break;
            const QByteArray frame = m_rx.left(len);
            m_rx.remove(0, len);
            if (crcValid(frame)) {
                handleFrame(frame, atUs);
            } else {
                // A slave ignores a damaged frame; what follows it is no frame either.
                notify(atUs, frame + m_rx, {}, QStringLiteral("bad CRC, ignored"));
                m_rx.clear();
            }
        }
    }
    m_lastRxUs = atUs;
}

void Simulator::idle(qint64 nowUs)
{
    if (m_rx.isEmpty() || nowUs - m_lastRxUs < gapUs())
        return;
    const QByteArray rest = m_rx;
    m_rx.clear();
    if (requestLength(rest) < 0 && rest.size() >= 4 && crcValid(rest))
        handleFrame(rest, m_lastRxUs);
    else
        notify(m_lastRxUs, rest, {}, QStringLiteral("incomplete frame dropped"));
}

std::optional<qint64> Simulator::idleDeadlineUs() const
{
    if (m_rx.isEmpty())
        return std::nullopt;
    return m_lastRxUs + gapUs();
}

QByteArray Simulator::takeDue(qint64 nowUs)
{
    QByteArray out;
    while (!m_out.empty() && m_out.front().atUs <= nowUs) {
        out.append(m_out.front().byte);
        m_out.pop_front();
    }
    return out;
}

std::optional<qint64> Simulator::nextDueUs() const
{
    if (m_out.empty())
        return std::nullopt;
    return m_out.front().atUs;
}

std::vector<WriteRecord> Simulator::writesTo(int address) const
{
    std::vector<WriteRecord> out;
    for (const WriteRecord& w : m_writes)
        if (w.address == address || w.address == BroadcastAddress)
            out.push_back(w);
    return out;
}

void Simulator::handleFrame(const QByteArray& frame, qint64 endUs)
{
    const int address = static_cast<std::uint8_t>(frame[0]);
    if (address == BroadcastAddress) {
        applyBroadcast(frame, endUs);
        return;
    }
    SimModule* m = module(address);
    if (!m) {
        notify(endUs, frame, {}, QStringLiteral("no module"));
        return;
    }
    if (!m->isOn()) {
        notify(endUs, frame, {}, QStringLiteral("switched off"));
        return;
    }
    const Fault fault = m->fault();
    if (fault.kind == FaultKind::FailNext && fault.param > 0) {
        const int left = fault.param - 1;
        m->setFault(left > 0 ? Fault{FaultKind::FailNext, left} : Fault{});
        notify(endUs, frame, {}, QStringLiteral("fail-next (%1 left)").arg(left));
        return;
    }
    const QByteArray reply = fault.kind == FaultKind::Exception
        ? exceptionReply(address, static_cast<std::uint8_t>(frame[1]), fault.param)
        : answer(*m, frame, endUs);
    if (fault.kind == FaultKind::Silent) {
        notify(endUs, frame, {}, QStringLiteral("silent"));
        return;
    }
    const QByteArray sent = shape(reply, fault);
    schedule(sent, endUs, fault);
    notify(endUs, frame, sent, fault.kind == FaultKind::None ? QString() : Fault::name(fault.kind));
}

QByteArray Simulator::answer(SimModule& m, const QByteArray& frame, qint64 endUs)
{
    const int address = m.address();
    const int function = static_cast<std::uint8_t>(frame[1]);
    switch (function) {
    case fn::ReadHolding: {
        const int first = word(frame, 2);
        const int count = word(frame, 4);
        if (count < 1 || count > MaxReadWords)
            return exceptionReply(address, function, exc::IllegalDataValue);
        std::vector<std::uint16_t> values;
        for (int r = first; r < first + count; ++r) {
            const auto v = m.readRegister(r);
            if (!v)
                return exceptionReply(address, function, exc::IllegalDataAddress);
            values.push_back(*v);
        }
        return readReply(address, values);
    }
    case fn::WriteSingle: {
        const int reg = word(frame, 2);
        const std::uint16_t value = word(frame, 4);
        if (!applyWrites(m, reg, {value}))
            return exceptionReply(address, function, exc::IllegalDataAddress);
        m_writes.push_back({endUs / 1000, address, reg, {value}, function});
        return frame; // the echo of the request
    }
    case fn::WriteMultiple: {
        const int first = word(frame, 2);
        const int count = word(frame, 4);
        const int bytes = static_cast<std::uint8_t>(frame[6]);
        if (count < 1 || count > MaxWriteWords || bytes != 2 * count)
            return exceptionReply(address, function, exc::IllegalDataValue);
        std::vector<std::uint16_t> values;
        for (int i = 0; i < count; ++i)
            values.push_back(word(frame, 7 + 2 * i));
        if (!applyWrites(m, first, values))
            return exceptionReply(address, function, exc::IllegalDataAddress);
        m_writes.push_back({endUs / 1000, address, first, values, function});
        QByteArray reply = frame.left(6);
        appendCrc(reply);
        return reply;
    }
    default:
        return exceptionReply(address, function, exc::IllegalFunction);
    }
}

bool Simulator::applyWrites(SimModule& m, int first, const std::vector<std::uint16_t>& values)
{
    // All or nothing: a request that names one register the module lacks changes nothing.
    for (size_t i = 0; i < values.size(); ++i)
        if (!m.isWritable(first + static_cast<int>(i)))
            return false;
    for (size_t i = 0; i < values.size(); ++i)
        m.writeRegister(first + static_cast<int>(i), values[i]);
    return true;
}

void Simulator::applyBroadcast(const QByteArray& frame, qint64 endUs)
{
    const int function = static_cast<std::uint8_t>(frame[1]);
    int first = 0;
    std::vector<std::uint16_t> values;
    if (function == fn::WriteSingle) {
        first = word(frame, 2);
        values.push_back(word(frame, 4));
    } else if (function == fn::WriteMultiple) {
        first = word(frame, 2);
        const int count = word(frame, 4);
        if (count < 1 || count > MaxWriteWords || static_cast<std::uint8_t>(frame[6]) != 2 * count) {
            notify(endUs, frame, {}, QStringLiteral("broadcast, bad quantity"));
            return;
        }
        for (int i = 0; i < count; ++i)
            values.push_back(word(frame, 7 + 2 * i));
    } else {
        notify(endUs, frame, {}, QStringLiteral("broadcast, not a write: ignored"));
        return;
    }
    for (auto& [a, m] : m_modules) {
        const FaultKind k = m->fault().kind;
        // A module that does not take the request in (refusing it, or not hearing it) does not act.
        if (!m->isOn() || k == FaultKind::Exception || (k == FaultKind::FailNext && m->fault().param > 0))
            continue;
        applyWrites(*m, first, values);
    }
    m_writes.push_back({endUs / 1000, BroadcastAddress, first, values, function});
    notify(endUs, frame, {}, QStringLiteral("broadcast"));
}

QByteArray Simulator::shape(QByteArray reply, const Fault& fault) const
{
    if (reply.size() < 4)
        return reply;
    switch (fault.kind) {
    case FaultKind::BadCrc:
        reply[reply.size() - 1] = static_cast<char>(reply[reply.size() - 1] ^ 0x5A);
        break;
    case FaultKind::WrongAddress:
        reply[0] = static_cast<char>((static_cast<std::uint8_t>(reply[0]) % LastAddress) + 1);
        fixCrc(reply);
        break;
    case FaultKind::WrongFunction:
        reply[1] = static_cast<char>(reply[1] ^ 0x01);
        fixCrc(reply);
        break;
    case FaultKind::ByteTooMany:
        reply.insert(reply.size() - 2, '\0');
        fixCrc(reply);
        break;
    case FaultKind::ByteTooFew:
        reply.remove(reply.size() - 3, 1);
        fixCrc(reply);
        break;
    default:
        break;
    }
    return reply;
}

void Simulator::schedule(const QByteArray& reply, qint64 endUs, const Fault& fault)
{
    qint64 start = endUs + charsUs(3.5);
    if (fault.kind == FaultKind::Late)
        start += qint64(fault.param) * 1000;
    // One line: a reply cannot start before the previous one has gone out.
    if (!m_out.empty())
        start = std::max(start, m_out.back().atUs);
    const int n = static_cast<int>(reply.size());
    const bool pieces = fault.kind == FaultKind::Pieces && n >= 3;
    const int cut1 = std::max(1, n / 3);
    const int cut2 = std::max(cut1 + 1, 2 * n / 3);
    qint64 gaps = 0;
    for (int i = 0; i < n; ++i) {
        if (pieces && (i == cut1 || i == cut2))
            gaps += qint64(fault.param) * 1000;
        m_out.push_back({start + gaps + charsUs(i + 1), reply[i]});
    }
}

void Simulator::notify(qint64 atUs, const QByteArray& request, const QByteArray& reply, const QString& note)
{
    if (m_observer)
        m_observer(Exchange{atUs, request, reply, note});
}

} // namespace modsim
