#include "program/runtime/HistoProcs.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommandClass.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/Designations.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/EventClass.h"
#include "program/bus/TraceRecord.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/runtime/EventTexts.h"

#include <array>

namespace HistoProcs {

namespace {

using namespace EventTexts;

constexpr int kTraceErrorMax = 80;

// Option bits of the four masks.
constexpr int kOptPresence = 0;
constexpr int kOptFaultOrAcknowledged = 1;
constexpr int kOptUnacknowledged = 2;
constexpr int kOptModuleWide = 3;
constexpr int kOptOperatorAck = 4;

enum class Rule { Display, Histo, Print, Klaxon };

const char* ruleName(Rule r)
{
    switch (r) {
    case Rule::Display: return "HistoProcs.IsToDisplay";
    case Rule::Histo: return "HistoProcs.IsToHisto";
    case Rule::Print: return "HistoProcs.IsToPrint";
    case Rule::Klaxon: return "HistoProcs.IsToKlaxon";
    }
    return "";
}

bool option(Rule r, int bit)
{
    const ConfigClass& config = ConfigAccess::config();
    switch (r) {
    case Rule::Display: return config.OptionScreen(bit);
    case Rule::Histo: return config.OptionHisto(bit);
    case Rule::Print: return config.OptionPrinter(bit);
    case Rule::Klaxon: return config.OptionKlaxon(bit);
    }
    return false;
}

bool flag(Rule r, const ChannelClass& channel)
{
    switch (r) {
    case Rule::Display: return channel.ScrAlm();
    case Rule::Histo: return channel.Histo();
    case Rule::Print: return channel.PrtAlm();
    case Rule::Klaxon: return channel.Klaxon();
    }
    return false;
}

bool decide(Rule r, const EventClass& evt)
{
    const int chnl = evt.Chnl();
    const int code = evt.Aff();
    if (r == Rule::Klaxon && evt.Panel() > 0) {
        const int model = ConfigAccess::panel(evt.Panel()).Model();
        if (model == Bus::ModelT7100 || model == Bus::ModelT7150)
            return false;  // these modules never sound the horn
    }
    if (chnl == EventClass::ChnlPresence)
        return option(r, kOptPresence) && (r != Rule::Klaxon || code == 0);
    if (chnl == EventClass::ChnlModuleWide)
        return option(r, kOptModuleWide) && code > 1;
    if (chnl == EventClass::ChnlStation) {
        if (r == Rule::Display || r == Rule::Klaxon)
            return false;
        return code != OperatorAck || option(r, kOptOperatorAck);
    }
    if (chnl > LastChannel)
        return false;
    const ChannelClass& channel = ConfigAccess::channel(evt.Panel(), chnl);
    if (!flag(r, channel))
        return false;
    return (option(r, kOptFaultOrAcknowledged) && code == 2) || (option(r, kOptUnacknowledged) && evt.Param() == 0)
           || (option(r, kOptFaultOrAcknowledged) && evt.Param() == 1);
}

bool rule(Rule r, const EventClass& evt)
{
    bool answer = false;
    plat::guard(QString::fromLatin1(ruleName(r)), [&] { answer = decide(r, evt); });
    return answer;
}

void stationRecord(TraceRecord& rec, const EventClass& evt)
{
    const QString system = QStringLiteral("SYSTEM");
    switch (evt.Aff()) {
    case OperatorAck:
        rec.set(TraceRecord::Origin, ModuleWithModel(evt.Panel()));
        rec.set(TraceRecord::Kind, QStringLiteral("USER"));
        rec.set(TraceRecord::State, QStringLiteral("ACK PC"));
        rec.set(TraceRecord::Common, gUserName);
        rec.setStars(TraceRecord::Specific);
        break;
    case ProgramStart:
    case ProgramStop:
        rec.setStars(TraceRecord::Id);
        rec.set(TraceRecord::Origin, system);
        rec.set(TraceRecord::Kind, QStringLiteral("APPLI"));
        rec.set(TraceRecord::State, evt.Aff() == ProgramStart ? QStringLiteral("START") : QStringLiteral("STOP"));
        rec.setStars(TraceRecord::Common);
        rec.setStars(TraceRecord::Specific);
        break;
    case UserChange:
        rec.set(TraceRecord::Origin, system);
        rec.set(TraceRecord::Kind, QStringLiteral("USER"));
        rec.set(TraceRecord::State, QStringLiteral("CHANGE"));
        rec.set(TraceRecord::Common, gUserName);
        rec.set(TraceRecord::Specific, QStringLiteral("LEVEL ") + QString::number(gUserLevel));
        break;
    case PollingStart:
    case PollingStop:
        rec.set(TraceRecord::Origin, system);
        rec.set(TraceRecord::Kind, QStringLiteral("COMM"));
        rec.set(TraceRecord::State, evt.Aff() == PollingStart ? QStringLiteral("START") : QStringLiteral("STOP"));
        rec.setStars(TraceRecord::Common);
        rec.setStars(TraceRecord::Specific);
        break;
    default:
        break;  // date, time, number and id only
    }
}

void channelRecord(TraceRecord& rec, const EventClass& evt)
{
    // Channel 0 reads the module's channel-0 object.
    const ChannelClass& channel = ConfigAccess::channel(evt.Panel(), evt.Chnl());
    rec.set(TraceRecord::State, StateWord(evt.Chnl(), evt.Aff(), evt.Param()));
    rec.set(TraceRecord::PnlCnt,
            evt.Clock() >= 0 ? FixedRecord::digits(evt.Clock(), 7) : QStringLiteral("SYNCHRO"));
    rec.set(TraceRecord::Origin, Designations::Channel(evt.Panel(), evt.Chnl()));
    rec.set(TraceRecord::Kind, ParamText(evt.Param()));
    rec.set(TraceRecord::Common, ConfigAccess::config().Biblio(channel.BibNum()));
    rec.set(TraceRecord::Specific, channel.ScreenText());
}

QString formateTrace(const EventClass& evt)
{
    TraceRecord rec;
    rec.set(TraceRecord::Date, plat::formatShortDate(evt.GDH()));
    rec.set(TraceRecord::Time, plat::formatLongTime(evt.GDH()));
    rec.set(TraceRecord::EvtNo, FixedRecord::digits(evt.Num(), 6));
    rec.set(TraceRecord::Id, Components::HexFunctions().Hex8(evt.ID()));
    const int chnl = evt.Chnl();
    if (chnl == EventClass::ChnlPresence) {
        rec.set(TraceRecord::State, evt.Aff() != 0 ? QStringLiteral("APPEAR") : QStringLiteral("DISAPP"));
        rec.set(TraceRecord::Origin, ModuleWithModel(evt.Panel()));
        rec.set(TraceRecord::Kind, QStringLiteral("Alarm"));
        rec.setStars(TraceRecord::Common);
        rec.setStars(TraceRecord::Specific);
    } else if (chnl == EventClass::ChnlStation) {
        stationRecord(rec, evt);
    } else if (chnl <= LastChannel) {
        channelRecord(rec, evt);
    }
    return rec.text();
}

QString commandWord(int type)
{
    switch (type) {
    case CommandClass::CmdDone: return QStringLiteral("CMD???");
    case CommandClass::CmdRead: return QStringLiteral("READ");
    case CommandClass::CmdWrite: return QStringLiteral("WRITE ");
    default: return {};
    }
}

class Adapter : public Dispatch::EventRules {
public:
    bool IsToDisplay(const EventClass& ev) override { return HistoProcs::IsToDisplay(ev); }
    bool IsToHisto(const EventClass& ev) override { return HistoProcs::IsToHisto(ev); }
    bool IsToPrint(const EventClass& ev) override { return HistoProcs::IsToPrint(ev); }
    bool IsToKlaxon(const EventClass& ev) override { return HistoProcs::IsToKlaxon(ev); }
    QString FormateTrace(const EventClass& ev) override { return HistoProcs::FormateTrace(ev); }
    void TraceWriteError(const CommandClass& cmd, VexLib22::_LogFileClass& log) override
    {
        HistoProcs::TraceWriteError(cmd, log);
    }
};

} // namespace

bool IsToDisplay(const EventClass& evt)
{
    return rule(Rule::Display, evt);
}

bool IsToHisto(const EventClass& evt)
{
    return rule(Rule::Histo, evt);
}

bool IsToPrint(const EventClass& evt)
{
    return rule(Rule::Print, evt);
}

bool IsToKlaxon(const EventClass& evt)
{
    return rule(Rule::Klaxon, evt);
}

QString StateWord(int chnl, int code, int param)
{
    static const std::array<const char*, 5> channelWords = {"NORMAL", "ACTIVE|ACKLGD", "CABLE", "1stFLT", "2ndFLT"};
    static const std::array<const char*, 4> moduleWords = {"ACK???", "ACK KL", "ACK CL", "CLEAR"};
    // A code with no word (a buffer entry carries up to 15, a state word
    // anything) is written as its number: the line is never lost.
    const QString number = QString::number(code);
    if (chnl == EventClass::ChnlModuleWide)
        return code >= 0 && code < int(moduleWords.size()) ? QString::fromLatin1(moduleWords[code]) : number;
    if (code < 0 || code >= int(channelWords.size()))
        return number;
    const QStringList parts = QString::fromLatin1(channelWords[code]).split(QLatin1Char('|'));
    if (param < 0 || param >= parts.size())
        return parts.size() == 1 ? parts[0] : number;
    return parts[param];
}

QString FormateTrace(const EventClass& evt)
{
    QString line;
    plat::guard(QStringLiteral("HistoProcs.FormateTrace"), [&] { line = formateTrace(evt); });
    return line;
}

void TraceWriteError(const CommandClass& cmd)
{
    TraceWriteError(cmd, gTraceLog());
}

void TraceWriteError(const CommandClass& cmd, VexLib22::_LogFileClass& log)
{
    plat::guard(QStringLiteral("HistoProcs.TraceWriteError"), [&] {
        QString line = plat::formatShortDate(cmd.SendTime()) + QLatin1Char(' ') + plat::formatLongTime(cmd.SendTime())
                       + QLatin1Char(' ') + commandWord(cmd.CmdType()) + QStringLiteral(" ERROR   ")
                       + Designations::ModuleRegister(cmd.Module(), cmd.Address()) + QLatin1Char(' ');
        for (int i = 0; i < cmd.ValuesCount(); ++i)
            line += Designations::Word(cmd.Value(i));
        log.Comment(plat::Trim(line).left(kTraceErrorMax));
        log.FlushFile();
    });
}

Dispatch::EventRules& Rules()
{
    static Adapter adapter;
    return adapter;
}

} // namespace HistoProcs
