#include "program/screens/system/BusPortSettings.h"

#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/TextIds.h"
#include "program/screens/system/SerialSpeeds.h"

#include <QStringList>

#include <cmath>

namespace {

constexpr int kLowestPort = 1;
constexpr int kHighestPort = 255;
// "COM" before the port number.
constexpr int kPortPrefix = 3;
constexpr int kSpeedItem = 0;
constexpr int kStopItem = 3;

} // namespace

BusPortSettings::Texts BusPortSettings::Read(const QString& busSettings)
{
    // A text without ":" is no bus settings text: nothing of it is read, so
    // that it never renumbers the live port.
    Texts t;
    const qsizetype colon = busSettings.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return t;
    if (const std::optional<int> port = PortNumber(busSettings.left(colon).mid(kPortPrefix)))
        t.port = QString::number(*port);
    const QStringList items = busSettings.mid(colon + 1).split(QLatin1Char(','));
    t.speed = items.value(kSpeedItem);
    t.stop = items.value(kStopItem);
    return t;
}

std::optional<int> BusPortSettings::PortNumber(const QString& text)
{
    const std::optional<double> v = plat::parseNumber(text);
    if (!v || !std::isfinite(*v) || std::fabs(*v) > kHighestPort + 1)
        return std::nullopt;
    const int n = plat::CInt(*v);
    if (n < kLowestPort || n > kHighestPort)
        return std::nullopt;
    return n;
}

QString BusPortSettings::ValuesList(int field)
{
    switch (field) {
    case FieldPort:
        return QStringLiteral("*|1|255");
    case FieldSpeed:
        return SerialSpeeds::Picker;
    case FieldStop:
        return QStringLiteral("*|1|2");
    case FieldAutoStart:
        return QStringLiteral("$");
    default:
        return {};
    }
}

int BusPortSettings::ParityText(const QString& letter)
{
    const QString l = letter.toUpper().left(1);
    const qsizetype at = l.isEmpty() ? -1 : QStringLiteral("NEO").indexOf(l);
    return TextIds::ParityFirst + int(at + 1);
}

bool BusPortSettings::ApplyPort(const QString& portText)
{
    // An empty or unreadable field names no port: the live one stays as it is.
    const std::optional<int> number = PortNumber(portText);
    plat::SerialControl& port = m_host.CommBus();
    if (!number || *number == port.CommPort())
        return false;
    const bool wasRunning = m_host.Run() || m_host.RunsWhenPortOpens() || m_held;
    m_host.setRun(false);
    if (!renumber(*number)) {
        m_host.setRun(false);
        m_held = wasRunning;
        m_host.PortCannotOpen();
    } else if (wasRunning) {
        m_held = false;
        m_host.setRun(true);
    }
    return true;
}

bool BusPortSettings::UpdateConfig(const Texts& fields, bool autoStart)
{
    const std::optional<int> number = PortNumber(fields.port);
    if (!number || !plat::IsNumeric(fields.speed) || !plat::IsNumeric(fields.stop))
        return false;
    plat::SerialControl& port = m_host.CommBus();
    if (*number != port.CommPort()) {
        const bool wasRunning = m_host.Run();
        m_host.setRun(false);
        const bool wasOpen = port.PortOpen();
        m_host.LeaveLine();
        port.setPortOpen(false);
        port.setCommPort(*number);
        try {
            port.setPortOpen(wasOpen);
        } catch (const plat::RtError&) {
            m_host.PortCannotOpen();
        }
        m_host.setRun(wasRunning);
    }
    port.setSettings(fields.speed + QStringLiteral(",N,8,") + fields.stop);
    gConfig->setBusSettings(QStringLiteral("COM%1:").arg(*number) + port.Settings());
    gConfig->setAutoStart(autoStart);
    if (gConfig->Modified())
        Config::SaveCurrentConfig();
    return true;
}

bool BusPortSettings::renumber(int number)
{
    plat::SerialControl& port = m_host.CommBus();
    m_host.LeaveLine();
    if (port.PortOpen())
        port.setPortOpen(false);
    port.setCommPort(number);
    try {
        port.setPortOpen(true);
    } catch (const plat::RtError&) {
    }
    return port.PortOpen();
}

void BusPortSettings::Leave()
{
    // The screen is going: the engine may now try the port as it stands.
    if (m_held) {
        m_held = false;
        m_host.RunWhenPortOpens();
    }
}

void BusPortSettings::Abandon(const QString& configuredPort)
{
    bool owed = m_held;
    const std::optional<int> number = PortNumber(configuredPort);
    if (number && *number != m_host.CommBus().CommPort()) {
        owed = owed || m_host.Run() || m_host.RunsWhenPortOpens();
        if (m_host.Run())
            m_host.setRun(false);
        // Nobody may be there to answer: a port that does not open is the
        // engine's to try again.
        renumber(*number);
    }
    m_held = false;
    if (owed)
        m_host.RunWhenPortOpens();
}
