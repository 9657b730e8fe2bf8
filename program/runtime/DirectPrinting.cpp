#include "program/runtime/DirectPrinting.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "platform/RtError.h"
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
// The printer's word in the trace log's number and kind fields.
const QString kTraceWord = QStringLiteral("PRINT");
// What ends a line that a failed write cut short, so that the next line does
// not run into it.
const QByteArray kCutLineEnd = QByteArrayLiteral("\r\n");

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
        // Another printer gets its chance at once, and has no cut line.
        m_restUntilMs.reset();
        m_lineCut = false;
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
    if (const int err = m_device.setWriteTimeout(m_writeTimeoutMs))
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
    // No printer set up: no line is missed.
    if (Handle() == 0 && m_port.isEmpty())
        return plat::rtErrorText(plat::rt::PrinterError);
    if (m_restUntilMs && m_clock.nowMs() < *m_restUntilMs) {
        lineMissed(m_restText);
        return m_restText;
    }
    m_restUntilMs.reset();
    QString error;
    if (Handle() == 0) {
        try {
            error = open(m_port, QString(), false);
        } catch (const plat::RtError& e) {
            // Settings that name no line: the caller hears of it, the line is missed.
            lineMissed(e.description());
            throw;
        }
    }
    m_timedOut = false;
    if (error.isEmpty())
        error = writeLine(text);
    if (m_closeAfter)
        ClosePrinter();
    if (error.isEmpty()) {
        linePrinted();
        return error;
    }
    if (m_timedOut) {
        m_restUntilMs = m_clock.nowMs() + RestSeconds * 1000;
        m_restText = error;
    }
    lineMissed(error);
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

QString DirectPrinting::write(const QByteArray& bytes, Step step, qsizetype* taken)
{
    if (Handle() < 1)
        return plat::rtErrorText(plat::rt::PrinterError);
    const int err = m_device.write(bytes, taken);
    if (err == 0)
        return QString();
    m_timedOut = err == ETIMEDOUT;
    // The device may be gone (unplugged, switched off): the next line opens
    // the port afresh rather than writing on for good into what is left.
    ClosePrinter();
    return fail(err, step);
}

QString DirectPrinting::writeLine(const QString& text)
{
    const QByteArray cutEnd = m_lineCut ? kCutLineEnd : QByteArray();
    const QString end = m_addLF ? QStringLiteral("\r\n") : QStringLiteral("\r");
    qsizetype taken = 0;
    const QString error = write(cutEnd + plat::Cp1252::encode(text + end), StepPrintString, &taken);
    // Still cut when the end did not get through whole, or cut anew when
    // part of this line did.
    m_lineCut = !error.isEmpty() && taken != cutEnd.size();
    return error;
}

void DirectPrinting::lineMissed(const QString& reason)
{
    if (m_missed++ == 0)
        trace(StoppedTraceLine(plat::DateTime::now(), m_port, reason));
}

void DirectPrinting::linePrinted()
{
    if (m_missed == 0)
        return;
    trace(ResumedTraceLine(plat::DateTime::now(), m_port, m_missed));
    m_missed = 0;
}

QString DirectPrinting::StoppedTraceLine(const plat::DateTime& at, const QString& port, const QString& reason)
{
    TraceRecord r = TraceRecord::stationLine(at, kTraceWord, kTraceWord, QStringLiteral("STOP"));
    r.set(TraceRecord::Common, port);
    r.set(TraceRecord::Specific, reason);
    return r.text();
}

QString DirectPrinting::ResumedTraceLine(const plat::DateTime& at, const QString& port, int missed)
{
    TraceRecord r = TraceRecord::stationLine(at, kTraceWord, kTraceWord, QStringLiteral("RESUME"));
    r.set(TraceRecord::Common, port);
    r.set(TraceRecord::Specific, QStringLiteral("lines not printed: %1").arg(missed));
    return r.text();
}

void DirectPrinting::trace(const QString& line)
{
    try {
        gTraceLog().Comment(line);
        gTraceLog().FlushFile();
    } catch (const plat::RtError&) {
        // The trace log reports its own failures; printing goes on.
    }
}
