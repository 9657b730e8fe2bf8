#include "tools/modsim/SimSerialControl.h"

#include "platform/RtError.h"

#include <algorithm>

namespace modsim {

SimSerialControl::SimSerialControl(Simulator& simulator, plat::Clock& clock)
    : m_sim(simulator), m_clock(clock)
{
}

void SimSerialControl::setCommPort(int port)
{
    if (m_open)
        throw plat::RtError(PortAlreadyOpenError, QStringLiteral("Port already open"), QStringLiteral("SimSerialControl"));
    if (port < 1 || port > 255)
        throw plat::RtError(plat::rt::InvalidPropertyValue, QStringLiteral("Invalid port number %1").arg(port),
                            QStringLiteral("SimSerialControl"));
    m_port = port;
}

void SimSerialControl::setPortOpen(bool open)
{
    // Opened or closed again, the device is there once more.
    m_vanished = false;
    if (open && m_open)
        throw plat::RtError(PortAlreadyOpenError, QStringLiteral("Port already open"), QStringLiteral("SimSerialControl"));
    if (open == m_open)
        return;
    if (open) {
        if (m_openFails)
            throw plat::RtError(PortOpenFailedError, QStringLiteral("Invalid port number"), QStringLiteral("SimSerialControl"));
        ++m_openCount;
        // What came in while the port was closed is lost.
        pump();
        m_rx.clear();
    } else {
        pump();
        m_tx.clear();
        m_rx.clear();
    }
    m_open = open;
}

bool SimSerialControl::setFault(const QString& name, std::optional<int> param)
{
    const QString wanted = name.trimmed().toLower();
    if (wanted == QLatin1String("vanish")) {
        m_vanishAfter = std::max(0, param.value_or(0));
        return true;
    }
    if (wanted == QLatin1String("none")) {
        m_vanishAfter = -1;
        m_vanished = false;
        return true;
    }
    return false;
}

void SimSerialControl::requireDevice() const
{
    if (m_vanished)
        throw plat::RtError(VanishedError, QStringLiteral("Serial port COM%1 is no longer available").arg(m_port),
                            QStringLiteral("SimSerialControl"));
}

void SimSerialControl::setRTSEnable(bool enable)
{
    requireDevice();
    m_rts = enable;
}

void SimSerialControl::requireOpen() const
{
    requireDevice();
    if (!m_open)
        throw plat::RtError(PortNotOpenError, QStringLiteral("Operation valid only when the port is open"),
                            QStringLiteral("SimSerialControl"));
}

void SimSerialControl::pump() const
{
    const qint64 now = nowUs();
    // Bytes reach the simulator in line order, each at the time it has been sent.
    while (!m_tx.empty() && m_tx.front().atUs <= now) {
        const qint64 at = m_tx.front().atUs;
        QByteArray chunk;
        while (!m_tx.empty() && m_tx.front().atUs == at) {
            chunk.append(m_tx.front().byte);
            m_tx.pop_front();
        }
        m_sim.idle(at);
        m_sim.receive(chunk, at);
    }
    m_sim.idle(now);
    const QByteArray in = m_sim.takeDue(now);
    if (m_open)
        m_rx.append(in);
}

int SimSerialControl::InBufferCount() const
{
    requireOpen();
    pump();
    return static_cast<int>(m_rx.size());
}

void SimSerialControl::setInBufferCount(int count)
{
    requireOpen();
    if (count != 0)
        throw plat::RtError(plat::rt::InvalidPropertyValue, QStringLiteral("InBufferCount can only be set to 0"),
                            QStringLiteral("SimSerialControl"));
    // Discards what has come in so far; bytes still on the line come later.
    pump();
    m_rx.clear();
}

int SimSerialControl::OutBufferCount() const
{
    requireOpen();
    pump();
    return static_cast<int>(m_tx.size());
}

void SimSerialControl::setOutBufferCount(int count)
{
    requireOpen();
    if (count != 0)
        throw plat::RtError(plat::rt::InvalidPropertyValue, QStringLiteral("OutBufferCount can only be set to 0"),
                            QStringLiteral("SimSerialControl"));
    pump();
    m_tx.clear();
    m_lineFreeUs = std::min(m_lineFreeUs, nowUs());
}

void SimSerialControl::Output(const QByteArray& bytes)
{
    if (m_vanishAfter == 0)
        m_vanished = true;
    if (m_vanishAfter >= 0)
        --m_vanishAfter;
    requireOpen();
    pump();
    m_sent.push_back(bytes);
    const qint64 now = nowUs();
    const qint64 start = std::max(now, m_lineFreeUs);
    for (int i = 0; i < bytes.size(); ++i)
        m_tx.push_back({start + m_sim.charsUs(i + 1), bytes[i]});
    m_lineFreeUs = start + m_sim.charsUs(static_cast<double>(bytes.size()));
    // Like the real port, Output returns once the frame has left: a discard
    // before the next frame never cuts one short.
    if (m_drain && m_lineFreeUs > now)
        m_clock.sleepMs((m_lineFreeUs - now + 999) / 1000);
    pump();
}

bool SimSerialControl::waitForInput(int timeoutMs)
{
    requireOpen();
    pump();
    const qsizetype had = m_rx.size();
    const qint64 deadline = nowUs() + qint64(std::max(0, timeoutMs)) * 1000;
    while (m_rx.size() <= had && nowUs() < deadline) {
        // Sleep to the next moment the line changes, not past the deadline.
        qint64 next = deadline;
        if (!m_tx.empty())
            next = std::min(next, m_tx.front().atUs);
        if (auto t = m_sim.nextDueUs())
            next = std::min(next, *t);
        if (auto t = m_sim.idleDeadlineUs())
            next = std::min(next, *t);
        const qint64 now = nowUs();
        m_clock.sleepMs(std::max<qint64>(1, (next - now + 999) / 1000));
        pump();
    }
    return true;
}

QByteArray SimSerialControl::Input()
{
    requireOpen();
    pump();
    QByteArray out;
    out.swap(m_rx);
    return out;
}

} // namespace modsim
