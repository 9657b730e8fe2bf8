#include "program/bus/PendingCommands.h"

#include "platform/DateTime.h"
#include "platform/Values.h"
#include "program/bus/CommandClasses.h"
#include "program/core/IniKeys.h"
#include "program/core/Limits.h"
#include "program/core/VEXfonctions.h"

#include <QStringList>

namespace PendingCommands {

QString Text(const CommandClass& cmd)
{
    QStringList fields;
    fields << QString::number(cmd.CmdType()) << QString::number(cmd.Module())
           << plat::hexFixed(uint32_t(cmd.Address()), 4) << cmd.SendTime().toText();
    for (qint16 v : cmd.Values())
        fields << plat::hexFixed(quint16(v), 4);
    return fields.join(QLatin1Char('|'));
}

CommandPtr FromText(const QString& text)
{
    const QStringList f = text.split(QLatin1Char('|'));
    if (f.size() < 5)
        return nullptr;
    bool ok = true;
    auto number = [&](const QString& s) {
        bool good = false;
        const int v = s.trimmed().toInt(&good);
        ok = ok && good;
        return v;
    };
    auto hex = [&](const QString& s, uint32_t limit) {
        bool good = false;
        const uint32_t v = s.trimmed().toUInt(&good, 16);
        ok = ok && good && v <= limit;
        return v;
    };
    auto cmd = std::make_shared<CommandClass>();
    const int type = number(f[0]);
    const int module = number(f[1]);
    const uint32_t address = hex(f[2], 0xFFFF);
    const std::optional<plat::DateTime> sendTime = plat::parseDate(f[3]);
    ok = ok && sendTime.has_value() && type >= CommandClass::CmdRead && type <= CommandClass::CmdWrite
         && module >= 0 && module <= Limits::Modules;
    for (int i = 4; ok && i < f.size(); ++i)
        cmd->setValue(i - 4, qint16(quint16(hex(f[i], 0xFFFF))));
    if (!ok)
        return nullptr;
    cmd->setCmdType(type);
    cmd->setModule(qint16(module));
    cmd->setAddress(qint32(address));
    cmd->setSendTime(*sendTime);
    return cmd;
}

void Save(const CommandClasses& queue)
{
    // Keys left by an earlier run that stopped half way would come back as
    // stale commands; a command already done is not sent again.
    VEXfonctions::DelIniSection(IniKeys::PendingCommands);
    int key = 0;
    for (const CommandPtr& cmd : queue) {
        if (cmd->CmdType() == CommandClass::CmdDone)
            continue;
        VEXfonctions::SetIni(IniKeys::PendingCommands, QString::number(++key), Text(*cmd));
    }
}

void Restore(CommandClasses& queue)
{
    QStringList keys;
    const int n = VEXfonctions::GetIniKeys(keys, IniKeys::PendingCommands);
    for (int i = 0; i < n; ++i) {
        const QString value = VEXfonctions::GetIni(IniKeys::PendingCommands, keys[i], QString());
        // A value that is no command is left out; the rest of the queue still loads.
        if (!value.isEmpty()) {
            if (CommandPtr cmd = FromText(value))
                queue.Add(cmd);
        }
        VEXfonctions::DelIniKey(IniKeys::PendingCommands, keys[i]);
    }
}

} // namespace PendingCommands
