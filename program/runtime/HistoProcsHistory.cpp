// The history of events: the screen form of an entry, its file record and
// back, and the writer of the history files.

#include "program/runtime/HistoProcs.h"

#include "platform/Guard.h"
#include "platform/ReportOnce.h"
#include "platform/RtError.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/Designations.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/EventClass.h"
#include "program/core/Config.h"
#include "program/core/Globals.h"
#include "program/runtime/EventTexts.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/HistoFileRecord.h"
#include "program/runtime/HistoScreenRecord.h"

namespace HistoProcs {

namespace {

using namespace EventTexts;
using S = HistoScreenRecord;
using F = HistoFileRecord;

// The fields an entry has in both forms, in the order they are copied.
constexpr struct {
    S::Field screen;
    F::Field file;
} kSharedFields[] = {
    {S::Date, F::Date},       {S::Time, F::Time},       {S::PnlCnt, F::PnlCnt},
    {S::Origin, F::Origin},   {S::Parameter, F::Parameter}, {S::Display, F::Display},
    {S::Common, F::Common},   {S::Specific, F::Specific},
};

std::function<plat::DateTime()>& histoClock()
{
    static std::function<plat::DateTime()> now;
    return now;
}

plat::ReportOnce& histoReports()
{
    static plat::ReportOnce reports(QStringLiteral("HistoProcs.HistoEvent"));
    return reports;
}

QString starsIfEmpty(const QString& text, S::Field f)
{
    return text.isEmpty() ? QString(S::width(f), QLatin1Char('*')) : text;
}

QString level()
{
    return QStringLiteral("LEVEL ") + QString::number(gUserLevel);
}

void presence(S& r, const EventClass& evt)
{
    const bool appeared = evt.Aff() != 0;
    r.set(S::Display, appeared ? Config::GetText(51031, true) : Config::GetText(51032, true));
    r.set(S::Origin, ModuleWithModel(evt.Panel()));
    r.set(S::Parameter, appeared ? Config::GetText(51037, true) : Config::GetText(51038, true));
    r.set(S::Common, starsIfEmpty(appeared ? Config::GetText(51033, true) : Config::GetText(51034, true), S::Common));
    r.set(S::Specific,
          starsIfEmpty(appeared ? Config::GetText(51035, true) : Config::GetText(51036, true), S::Specific));
}

// The module's state at midnight: no answer, not polled, or the state code of
// each channel as one digit after the other.
void dailyState(S& r, const EventClass& evt)
{
    const PanelClass& panel = ConfigAccess::panel(evt.Panel());
    r.set(S::Origin, ModuleWithModel(evt.Panel()));
    r.set(S::Parameter, Config::GetText(51048));
    r.set(S::Display, Config::GetText(51047));
    r.setStars(S::PnlCnt);
    if (panel.ActualModel() == 0) {
        r.set(S::Common, Config::GetText(51049));
        r.setStars(S::Specific);
    } else if (!panel.Active()) {
        r.set(S::Common, Config::GetText(51051));
        r.setStars(S::Specific);
    } else {
        r.set(S::Common, Config::GetText(51050));
        QString states;
        for (int c = 1; c <= panel.ChannelCount(); ++c)
            states += QString::number(ConfigAccess::channel(evt.Panel(), c).State());
        r.set(S::Specific, states);
    }
}

void station(S& r, const EventClass& evt)
{
    r.set(S::Origin, QStringLiteral("SYSTEM"));
    switch (evt.Aff()) {
    case OperatorAck:
        r.set(S::Parameter, level());
        r.set(S::Display, Config::GetText(51039));
        r.set(S::Common, gUserName);
        break;
    case ProgramStart:
    case ProgramStop:
        r.set(S::Parameter, evt.Aff() == ProgramStart ? QStringLiteral("START") : QStringLiteral("STOP"));
        r.set(S::Display, QStringLiteral("APPLIC"));
        r.setStars(S::PnlCnt);
        r.setStars(S::Common);
        r.setStars(S::Specific);
        break;
    case UserChange:
        r.set(S::Parameter, level());
        r.set(S::Display, QStringLiteral("LOGIN"));
        r.set(S::Common, gUserName);
        break;
    case PollingStart:
    case PollingStop:
        r.set(S::Parameter, evt.Aff() == PollingStart ? QStringLiteral("START") : QStringLiteral("STOP"));
        r.set(S::Display, QStringLiteral("COMM"));
        break;
    case DailyState:
        dailyState(r, evt);
        break;
    default:
        break;
    }
}

void channel(S& r, const EventClass& evt)
{
    const int chnl = evt.Chnl();
    // Channel 0 reads the module's channel-0 object.
    const ChannelClass& ch = ConfigAccess::channel(evt.Panel(), chnl);
    r.set(S::Display, StateText(chnl, evt.Aff(), evt.Param(), chnl > 0));
    r.set(S::PnlCnt, evt.Clock() >= 0 ? FixedRecord::digits(evt.Clock(), S::width(S::PnlCnt))
                                      : QStringLiteral("SYNCHRO"));
    r.set(S::Origin, Designations::Channel(evt.Panel(), chnl));
    r.set(S::Parameter, ParamText(evt.Param()));
    r.set(S::Common, ConfigAccess::config().Biblio(ch.BibNum()));
    r.set(S::Specific, ch.ScreenText());
}

QString formateHistoScreen(const EventClass& evt)
{
    S r;
    r.placeRaw(S::LineBreakPos, QStringLiteral("\r\n"));
    r.set(S::Num, FixedRecord::digits(evt.Num(), S::width(S::Num)));
    r.set(S::Date, plat::formatShortDate(evt.GDH()));
    r.set(S::Time, plat::formatLongTime(evt.GDH()));
    const int chnl = evt.Chnl();
    if (chnl == EventClass::ChnlPresence)
        presence(r, evt);
    else if (chnl == EventClass::ChnlStation)
        station(r, evt);
    else if (chnl >= 0 && chnl <= LastChannel)
        channel(r, evt);
    return r.text();
}

QString screenToFile(const QString& screenLine)
{
    S screen;
    screen.placeRaw(0, screenLine);
    F file;
    for (const auto& f : kSharedFields)
        file.set(f.file, screen.get(f.screen));
    // The counter never passes 999,999: the screen's leading digit is always 0.
    // A line read back from a file holds the six digits and a blank.
    file.set(F::Num, screen.get(S::Num).trimmed().right(F::width(F::Num)));
    return file.text();
}

QString fileToScreen(const QString& fileLine)
{
    F file;
    file.placeRaw(0, fileLine);
    S screen;
    for (const auto& f : kSharedFields)
        screen.set(f.screen, file.get(f.file));
    screen.set(S::Num, file.get(F::Num));
    return screen.text();
}

QString converted(const QString& name, const std::function<QString()>& convert)
{
    QString out;
    plat::guard(name, [&] { out = convert(); });
    return out;
}

class HistoryWriter : public Dispatch::History {
public:
    void HistoEvent(const EventClass& ev) override { HistoProcs::HistoEvent(ev); }
};

} // namespace

QString FormateHistoScreen(const EventClass& evt)
{
    return converted(QStringLiteral("HistoProcs.FormateHistoScreen"), [&] { return formateHistoScreen(evt); });
}

QString HistoScreenLineToHistoFileLine(const QString& screenLine)
{
    return converted(QStringLiteral("HistoProcs.HistoScreenLineToHistoFileLine"),
                     [&] { return screenToFile(screenLine); });
}

QString HistoFileLineToHistoScreenLine(const QString& fileLine)
{
    return converted(QStringLiteral("HistoProcs.HistoFileLineToHistoScreenLine"), [&] { return fileToScreen(fileLine); });
}

void HistoEvent(const EventClass& evt)
{
    histoReports().guard([&] {
        const QString record = screenToFile(formateHistoScreen(evt));
        const plat::DateTime now = histoClock() ? histoClock()() : plat::DateTime::now();
        HistoFile::Append(HistoFile::FileName(now.date(), HistoFile::Daily()), record);
    });
}

void setHistoClock(std::function<plat::DateTime()> now)
{
    histoClock() = std::move(now);
}

Dispatch::History& History()
{
    static HistoryWriter writer;
    return writer;
}

} // namespace HistoProcs
