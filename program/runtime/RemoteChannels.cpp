#include "program/runtime/RemoteChannels.h"

#include "program/bus/BusConstants.h"
#include "program/bus/CommandExecutor.h"
#include "program/bus/ModbusFrames.h"
#include "program/bus/PollingEngine.h"
#include "program/core/ChannelClass.h"
#include "program/core/Components.h"
#include "program/core/ConfigClass.h"

#include "platform/Values.h"

#include <cmath>

namespace RemoteChannels {

namespace {

// A never-written text is NULs: blank, as spaces are.
QString blanked(QString text)
{
    return text.replace(QChar(0), QLatin1Char(' '));
}

} // namespace

QString Caption(const ConfigClass& config, const ChannelClass& channel)
{
    QString caption = plat::RTrim(blanked(config.Biblio(channel.BibNum()))).toString();
    if (!caption.isEmpty())
        caption += QStringLiteral(" - ");
    return caption + blanked(channel.ScreenText());
}

int CentringLineFeeds(const QString& caption, double labelWidth, double labelHeight, const TextMetrics& metrics)
{
    VexLib22::_Divers& divers = Components::Divers();
    const int lines = divers.Ceiling(metrics.width(caption) / labelWidth);
    const int room = int(std::floor(labelHeight / metrics.lineHeight()));
    const int spare = int(divers.Maxi(plat::Value(room - lines), plat::Value(0)).toDouble());
    return spare / 2;
}

CommandPtr Command(int module, int channel, bool on)
{
    return CommandClass::Write(module, channel + CommandRegisterBase, {qint16(on ? SwitchOn : SwitchOff)});
}

qint64 WaitDeadlineMs(const QString& busSettings)
{
    const qint64 tick = PollingEngine::PollIntervalMs + 2 * Bus::FramePauseMs
        + ModbusFrames::writeReplyTimeoutMs(busSettings)
        + ModbusFrames::readReplyTimeoutMs(2 * Bus::MaxEventsPerRead, busSettings);
    return CommandExecutor::MaxFailures * tick;
}

bool KeepWaiting(const CommandClass& cmd, bool polling, qint64 waitedMs, qint64 deadlineMs)
{
    return cmd.Error() && cmd.ErrorCount() < CommandExecutor::MaxFailures && cmd.CmdType() != CommandClass::CmdDone
        && polling && waitedMs < deadlineMs;
}

} // namespace RemoteChannels
