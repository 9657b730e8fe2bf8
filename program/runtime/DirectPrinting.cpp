#include "program/runtime/DirectPrinting.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/bus/TraceRecord.h"
#include "program/core/Globals.h"

#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <cmath>

namespace {

// Code page 850 byte of ANSI codes 128..255: the published Windows-1252 to
// code page 850 mapping, and the nearest plain character (or "_") for the
// codes it lacks.
const char* const kConvText =
    "095|095|039|159|034|046|197|206|094|037|083|060|079|095|090|095|095|039|039|034|034|007|045|045|126|084|115|"
    "062|111|095|122|089|255|173|189|156|207|190|221|245|249|184|166|174|170|240|169|238|248|241|253|252|239|230|"
    "244|250|247|251|167|175|172|171|243|168|183|181|182|199|142|143|146|128|212|144|210|211|222|214|215|216|209|"
    "165|227|224|226|229|153|158|157|235|233|234|154|237|232|225|133|160|131|198|132|134|145|135|138|130|136|137|"
    "141|161|140|139|208|164|149|162|147|228|148|246|155|151|163|150|129|236|231|152";

const QString kParities = QStringLiteral("NOE");

bool isComPort(const QString& port)
{
    return port.startsWith(QLatin1String("COM"));
}

// An item of the settings text read as a number; a text that is none raises
// type mismatch, as the line cannot be set from it.
double number(const QStringList& items, int index, const QString& settings)
{
    if (index >= items.size())
        throw plat::RtError(plat::rt::SubscriptOutOfRange,
                            QStringLiteral("Subscript out of range: the printer settings \"%1\" have no item %2")
                                .arg(settings)
                                .arg(index + 1));
    static const QRegularExpression numeric(QStringLiteral("^\\s*\\d+(\\.\\d+)?\\s*$"));
    if (!numeric.match(items[index]).hasMatch())
        throw plat::RtError(plat::rt::TypeMismatch,
                            QStringLiteral("Type mismatch: \"%1\" of the printer settings \"%2\" is no number")
                                .arg(items[index], settings));
    return items[index].trimmed().toDouble();
}

} // namespace

plat::PrinterLine DirectPrinting::SerialLine(const QString& settings)
{
    const QStringList items = settings.split(QLatin1Char(','));
    plat::PrinterLine line;
    line.baud = int(number(items, 0, settings));
    const QString parity = items.value(1).trimmed().toUpper();
    line.parity = parity.size() == 1 ? int(kParities.indexOf(parity)) : -1;
    if (line.parity < 0)
        throw plat::RtError(plat::rt::InvalidPropertyValue,
                            QStringLiteral("Invalid property value: parity \"%1\" of the printer settings \"%2\" is "
                                           "none of N, O, E")
                                .arg(items.value(1), settings));
    line.dataBits = int(number(items, 2, settings));
    line.stopBits = int(std::lround(number(items, 3, settings) * 2 - 2));
    return line;
}

DirectPrinting::DirectPrinting(plat::Clock& clock, QObject* parent) : QObject(parent), m_clock(clock)
{
    const QStringList values = QString::fromLatin1(kConvText).split(QLatin1Char('|'));
    for (int i = 0; i < int(m_convTable.size()) && i < values.size(); ++i)
        m_convTable[i] = uchar(values[i].toInt());
}

DirectPrinting::~DirectPrinting()
{
    ClosePrinter();
}

qint32 DirectPrinting::Handle() const
{
    return m_device.isOpen() ? m_device.descriptor() : 0;
}

void DirectPrinting::setPort(const QString& port)
{
    if (port.isEmpty()) {
        m_port.clear();
        ClosePrinter();
        return;
    }
    if (!port.startsWith(QLatin1String("LPT")) && !isComPort(port))
        plat::raise(plat::rt::InvalidPropertyValue);
    if (port != m_port) {
        // Another printer gets its chance at once.
        m_restUntilMs.reset();
        if (m_device.isOpen())
            open(port, QString(), m_closeAfter);
    }
    m_port = port;
}

QString DirectPrinting::OpenPrinter(const QString& port, const QString& settings, bool closeAfter)
{
    // An explicit open tries the port again, resting or not.
    m_restUntilMs.reset();
    return open(port, settings, closeAfter);
}

QString DirectPrinting::open(const QString& port, const QString& settings, bool closeAfter)
{
    if (!port.isEmpty())
        m_port = port;
    if (!settings.isEmpty())
        m_settings = settings;
    ClosePrinter();
    const bool com = isComPort(m_port);
    m_closeAfter = closeAfter || com;
    // A settings text that names no line raises before anything is opened.
    const plat::PrinterLine line = com ? SerialLine(m_settings) : plat::PrinterLine();

    if (const int err = m_device.open(m_port))
        return fail(err, StepOpen);
    if (com) {
        plat::PrinterLine current;
        if (const int err = m_device.getLine(current))
            fail(err, StepGetState);
        if (const int err = m_device.setLine(line))
            fail(err, StepSetState);
    }
    int timeoutMs = 0;
    if (const int err = m_device.getWriteTimeout(timeoutMs))
        fail(err, StepGetTimeouts);
    if (const int err = m_device.setWriteTimeout(WriteTimeoutMs))
        fail(err, StepSetTimeouts);
    return QString();
}

void DirectPrinting::ClosePrinter()
{
    m_device.close();
}

QString DirectPrinting::PrintString(const QString& text)
{
    return write(plat::Cp1252::encode(text), StepPrintString);
}

QString DirectPrinting::PrintData(const QByteArray& bytes)
{
    return write(bytes, StepPrintData);
}

QString DirectPrinting::PrintLine(const QString& text)
{
    if (m_restUntilMs && m_clock.nowMs() < *m_restUntilMs) {
        ++m_notPrinted;
        return m_restText;
    }
    m_restUntilMs.reset();
    QString error;
    if (Handle() == 0)
        error = m_port.isEmpty() ? plat::rtErrorText(plat::rt::PrinterError) : open(m_port, QString(), false);
    m_timedOut = false;
    if (error.isEmpty())
        error = PrintString(text + (m_addLF ? QStringLiteral("\r\n") : QStringLiteral("\r")));
    if (m_closeAfter)
        ClosePrinter();
    if (m_timedOut) {
        m_restUntilMs = m_clock.nowMs() + RestSeconds * 1000;
        m_restText = error;
    } else if (error.isEmpty()) {
        noteNotPrinted();
    }
    return error;
}

QString DirectPrinting::AnsiToOem(const QString& text) const
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const uchar code = uchar(plat::Cp1252::encodeChar(c));
        out += code < 128 ? QChar(code) : plat::Cp1252::decodeChar(m_convTable[code - 128]);
    }
    return out;
}

QString DirectPrinting::ApiErrorText(qint32 code) const
{
    QString text = plat::PrinterPort::errorText(code);
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text;
}

QString DirectPrinting::fail(int err, Step step)
{
    const QString message = ApiErrorText(err);
    emit PrinterError(message, step);
    return message;
}

QString DirectPrinting::write(const QByteArray& bytes, Step step)
{
    if (Handle() < 1)
        return plat::rtErrorText(plat::rt::PrinterError);
    const int err = m_device.write(bytes);
    if (err == 0)
        return QString();
    m_timedOut = err == ETIMEDOUT;
    return fail(err, step);
}

void DirectPrinting::noteNotPrinted()
{
    if (m_notPrinted == 0)
        return;
    TraceRecord r = TraceRecord::stationLine(plat::DateTime::now(), QStringLiteral("PRINT"), QStringLiteral("PRINT"),
                                             QStringLiteral("RESUME"));
    r.set(TraceRecord::Common, QStringLiteral("%1 lines not printed").arg(m_notPrinted));
    r.set(TraceRecord::Specific, m_port);
    m_notPrinted = 0;
    try {
        gTraceLog().Comment(plat::Trim(r.text()));
        gTraceLog().FlushFile();
    } catch (const plat::RtError&) {
        // The trace log reports its own failures; printing goes on.
    }
}
