// The printed line of an event: the control prefix of the configured printer
// strings, then the printed record, on the engine's raw line printer.

#include "program/runtime/HistoProcs.h"

#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/ReportOnce.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/Designations.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/EventClass.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/EnginePrinter.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/PollingLink.h"
#include "program/runtime/EventTexts.h"
#include "program/runtime/PrintRecord.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace HistoProcs {

namespace {

using namespace EventTexts;
using P = PrintRecord;

constexpr int kPrinterStrings = 8;
constexpr int kNoString = -1;
// The printer string after string 0, by the code of a channel event with a
// parameter (codes above 5 count as 5).
constexpr int kStringByCode[] = {4, 3, 1, 1, 2, 2};
constexpr int kHighestCode = 5;

plat::ReportOnce& printReports()
{
    static plat::ReportOnce reports(QStringLiteral("HistoProcs.PrintEvent"));
    return reports;
}

// Printer strings with items that are no byte are told apart from the other
// failures: the line is still printed.
plat::ReportOnce& stringReports()
{
    static plat::ReportOnce reports(QStringLiteral("HistoProcs.PrintEvent"));
    return reports;
}

bool isHexByte(const QString& item, uint& value)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    bool ok = false;
    value = hex.match(item).hasMatch() ? item.toUInt(&ok, 16) : 0;
    return ok && value <= 0xFF;
}

// The characters of printer string index: one per blank-separated item, the
// item read as a hexadecimal byte; an empty item is byte 0. Items that are no
// byte are left out and named in bad.
QString printerBytes(int index, QStringList& bad)
{
    const QString text = ConfigAccess::config().PrinterInitString(index);
    QString out;
    if (text.isEmpty())
        return out;
    for (const QString& item : text.split(QLatin1Char(' '))) {
        uint value = 0;
        if (item.isEmpty())
            out += QChar(0);
        else if (isHexByte(item, value))
            out += plat::Cp1252::decodeChar(uchar(value));
        else
            bad << QStringLiteral("%1 \"%2\"").arg(index).arg(item);
    }
    return out;
}

// Which printer string follows string 0 for this event; none for channels
// 25..253, which are not printed.
int printerString(const EventClass& ev)
{
    const int chnl = ev.Chnl();
    if (chnl == EventClass::ChnlPresence)
        return ev.Aff() == 0 ? 1 : 4;
    if (chnl == EventClass::ChnlStation)
        return 7;
    if (chnl < 0 || chnl > LastChannel)
        return kNoString;
    if (ev.Param() == 0)
        return ev.Aff() == 1 ? 5 : 6;
    return kStringByCode[std::clamp<int>(ev.Aff(), 0, kHighestCode)];
}

void station(P& r, const EventClass& ev)
{
    r.set(P::Origin, QStringLiteral("SYSTEM"));
    switch (ev.Aff()) {
    case OperatorAck:
        r.set(P::Parameter, Config::GetText(51041));
        r.set(P::Display, Config::GetText(51039));
        r.set(P::Common, gUserName);
        r.setStars(P::Specific);
        break;
    case ProgramStart:
    case ProgramStop:
    case PollingStart:
    case PollingStop: {
        const bool start = ev.Aff() == ProgramStart || ev.Aff() == PollingStart;
        const bool program = ev.Aff() == ProgramStart || ev.Aff() == ProgramStop;
        r.set(P::Parameter, start ? QStringLiteral("START") : QStringLiteral("STOP"));
        r.set(P::Display, program ? QStringLiteral("APPLIC") : QStringLiteral("COMM"));
        r.setStars(P::Common);
        r.setStars(P::Specific);
        break;
    }
    case UserChange:
        r.set(P::Parameter, QStringLiteral("LEVEL ") + QString::number(gUserLevel));
        r.set(P::Display, QStringLiteral("LOGIN"));
        r.set(P::Common, gUserName);
        break;
    default:
        break;
    }
}

QString printRecord(const EventClass& ev)
{
    P r;
    r.set(P::Date, plat::formatShortDate(ev.GDH()));
    r.set(P::Time, plat::formatLongTime(ev.GDH()));
    r.set(P::Num, QString::number(ev.Num()).rightJustified(P::width(P::Num)));
    const int chnl = ev.Chnl();
    if (chnl == EventClass::ChnlPresence) {
        const bool appeared = ev.Aff() != 0;
        r.set(P::Origin, ModuleWithModel(ev.Panel()));
        r.set(P::Parameter, appeared ? Config::GetText(51001) : Config::GetText(51000));
        r.set(P::Display, appeared ? Config::GetText(51031) : Config::GetText(51032));
    } else if (chnl == EventClass::ChnlStation) {
        station(r, ev);
    } else {
        const ChannelClass& channel = ConfigAccess::channel(ev.Panel(), chnl);
        r.set(P::Origin, Designations::Channel(ev.Panel(), chnl));
        r.set(P::Parameter, ParamText(ev.Param()));
        r.set(P::Display, StateText(chnl, ev.Aff(), ev.Param(), false));
        r.set(P::Common, ConfigAccess::config().Biblio(channel.BibNum()));
        r.set(P::Specific, channel.PrintText());
    }
    return r.text();
}

void printEvent(const EventClass& evt, EnginePrinter& printer)
{
    // The line shows the code capped as the printer strings count it; the
    // event itself goes on through the dispatch with its own code.
    EventClass ev = evt;
    if (ev.Chnl() >= 0 && ev.Chnl() <= LastChannel && ev.Param() != 0 && ev.Aff() > kHighestCode)
        ev.setAff(kHighestCode);
    const int k = printerString(ev);
    if (k == kNoString)
        return;

    QStringList bad;
    QString prefix;
    for (int i = 0; i < kPrinterStrings; ++i) {
        const QString bytes = printerBytes(i, bad);
        if (i == 0 || i == k)
            prefix += bytes;
    }
    if (bad.isEmpty())
        stringReports().succeeded();
    else
        stringReports().failed(plat::RtError(
            plat::rt::TypeMismatch,
            QStringLiteral("Printer string items that are no hexadecimal byte, left out: ") + bad.join(QStringLiteral(", "))));

    QString line = plat::RTrim(prefix + printRecord(ev)).toString();
    const int maxLen = ConfigAccess::config().PrintMaxLen();
    if (maxLen > 0)
        line.truncate(maxLen);
    // A printer that cannot print is no failure of the line: the printer
    // answers why, and its own event says so.
    printer.PrintLine(printer.AnsiToOem(line));
}

// The engine's printer; none while the engine's load has not made it yet (a
// stop while the load waits in its port message): its events go unprinted.
EnginePrinterPtr enginePrinter()
{
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    if (!engine)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return engine->dpPrinter();
}

// Prints on the given printer, or on wPolling.dpPrinter when none is given.
class EventPrinter : public Dispatch::Printer {
public:
    explicit EventPrinter(EnginePrinter* printer = nullptr) : m_printer(printer) {}
    void PrintEvent(const EventClass& ev) override
    {
        if (m_printer)
            HistoProcs::PrintEvent(ev, *m_printer);
        else
            HistoProcs::PrintEvent(ev);
    }

private:
    EnginePrinter* m_printer;
};

} // namespace

void PrintEvent(const EventClass& evt)
{
    printReports().guard([&] {
        if (const EnginePrinterPtr printer = enginePrinter())
            printEvent(evt, *printer);
    });
}

void PrintEvent(const EventClass& evt, EnginePrinter& printer)
{
    printReports().guard([&] { printEvent(evt, printer); });
}

Dispatch::Printer& Printer()
{
    static EventPrinter printer;
    return printer;
}

std::unique_ptr<Dispatch::Printer> PrinterOn(EnginePrinter& printer)
{
    return std::make_unique<EventPrinter>(&printer);
}

} // namespace HistoProcs
