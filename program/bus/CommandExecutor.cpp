#include "program/bus/CommandExecutor.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/CommandClasses.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/Designations.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/FixedRecord.h"
#include "program/core/Globals.h"

namespace {

const QString kProcName = QStringLiteral("wPolling.TraiteCommande");

// The acknowledgement of an event buffer: the module drops the entries when
// it hears it, whether its reply comes back or not, so a repeat would drop
// newer entries unread. It is tried once; the next read of the buffer decides.
bool triedOnceOnly(const CommandClass& cmd)
{
    return cmd.CmdType() == CommandClass::CmdWrite && cmd.Address() == Bus::RegEventAck;
}

} // namespace

CommandExecutor::CommandExecutor(QObject* parent)
    : QObject(parent), m_rules(Dispatch::installed().rules), m_now([] { return plat::DateTime::now(); })
{
}

VexLib22::_LogFileClass& CommandExecutor::log()
{
    return m_log ? *m_log : gTraceLog();
}

QString CommandExecutor::TraceLine(const CommandClass& cmd)
{
    QString line = plat::formatShortDate(cmd.SendTime()) + QLatin1Char(' ') + plat::formatLongTime(cmd.SendTime())
                   + QLatin1Char(' ');
    switch (cmd.CmdType()) {
    case CommandClass::CmdRead:
        line += QStringLiteral("READ   ");
        break;
    case CommandClass::CmdWrite:
        line += QStringLiteral("WRITE  ");
        break;
    default:
        line += QStringLiteral("CMD??? ");
        break;
    }
    line += QStringLiteral("COMMAND ") + Designations::ModuleRegister(cmd.Module(), cmd.Address()) + QLatin1Char(' ');
    for (int i = 0; i < cmd.ValuesCount(); ++i)
        line += Designations::Word(cmd.Value(i)) + QLatin1Char(' ');
    return line;
}

bool CommandExecutor::execute(CommandClass& cmd)
{
    if (cmd.CmdType() != CommandClass::CmdRead && cmd.CmdType() != CommandClass::CmdWrite)
        return true;  // nothing to send: done
    if (!m_port)
        plat::raise(plat::rt::ObjectVariableNotSet);
    const quint8 slave = quint8(cmd.Module());
    if (cmd.CmdType() == CommandClass::CmdRead) {
        QVector<qint16> words = cmd.Values();
        if (!CommFunctions::LitMots(*m_port, slave, cmd.Address(), words))
            return false;
        cmd.ValuesCopy(words);
        if (cmd.Address() == 1) {
            // A read of the channel states: the model takes them as they are, no events.
            PanelClass& panel = ConfigAccess::panel(cmd.Module());
            const int n = qMin(int(panel.ChannelCount()), int(words.size()));
            for (int c = 1; c <= n; ++c)
                ConfigAccess::channel(panel, c).setState(words[c - 1]);
        }
        return true;
    }
    bool ok;
    if (cmd.ValuesCount() == 1)
        ok = CommFunctions::EcritUnMot(*m_port, slave, cmd.Address(), cmd.Value(0));
    else
        ok = CommFunctions::EcritMots(*m_port, slave, cmd.Address(), cmd.Values());
    if (cmd.Module() == 0)
        CommFunctions::clock().sleepMs(BroadcastSleepMs);
    return ok;
}

void CommandExecutor::TraiteCommande(CommandClass& cmd)
{
    bool ok = false;
    bool due = true;
    // An error counts as a failed attempt, so that a command that always
    // fails is dropped by the queue rules instead of being retried for ever.
    // A trace failure after a good frame keeps the frame's outcome.
    plat::guard(kProcName, [&] {
        const plat::DateTime now = m_now();
        if (now < cmd.SendTime()) {
            due = false;
            return;
        }
        if (cmd.SendTime().serial() == 0)
            cmd.setSendTime(now);
        // A register beyond 16 bits fails here, before any frame.
        Designations::ModuleRegister(cmd.Module(), cmd.Address());
        ok = execute(cmd);
        // Built after the frame: a read shows the words it brought back.
        const QString line = plat::Trim(TraceLine(cmd)).left(TraceLineMax);
        log().Comment(line);
        log().FlushFile();
    });
    if (!due)
        return;
    if (ok) {
        cmd.setCmdType(CommandClass::CmdDone);
    } else {
        cmd.setError(true);
        cmd.ErrorInc();
    }
}

bool CommandExecutor::RunQueue(CommandClasses& queue, const std::function<bool()>& afterEach)
{
    // Nothing goes out on a port that is not open (its device gone): the pass
    // ends there and the clean-up still runs.
    auto portUp = [this] { return !m_port || m_port->PortOpen(); };
    // Count is read again at every turn: commands queued during a yield run too.
    for (int i = 1; i <= queue.Count() && portUp(); ++i) {
        const CommandPtr cmd = queue.Item(i);
        const bool error = cmd->Error();
        const qint16 failures = cmd->ErrorCount();
        TraiteCommande(*cmd);
        // The port went away under it: the module is not to blame and the
        // command keeps its count, except an acknowledgement, which may have
        // been heard and is never sent again.
        if (!portUp() && cmd->CmdType() != CommandClass::CmdDone && !triedOnceOnly(*cmd)) {
            cmd->setError(error);
            cmd->setErrorCount(failures);
        }
        if (afterEach && !afterEach())
            return false;
    }
    for (int i = queue.Count(); i >= 1; --i) {
        const CommandPtr cmd = queue.Item(i);
        if (cmd->CmdType() == CommandClass::CmdDone) {
            queue.Remove(i);
        } else if (cmd->ErrorCount() >= MaxFailures || (cmd->Error() && triedOnceOnly(*cmd))) {
            // Without rules the line cannot be written: said, so that it is not lost unnoticed.
            if (m_rules)
                m_rules->TraceWriteError(*cmd, log());
            else
                plat::reportError(QStringLiteral("wPolling.RunComm"), plat::rtError(plat::rt::ObjectVariableNotSet));
            emit WriteError(*cmd);
            queue.Remove(i);
        }
    }
    return true;
}
