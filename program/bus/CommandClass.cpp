#include "program/bus/CommandClass.h"

#include "platform/Guard.h"
#include "platform/RtError.h"

#include <limits>

std::shared_ptr<CommandClass> CommandClass::Write(int module, qint32 address, const QVector<qint16>& values,
                                                  const plat::DateTime& sendTime)
{
    auto cmd = std::make_shared<CommandClass>();
    cmd->m_cmdType = CmdWrite;
    cmd->m_module = qint16(module);
    cmd->m_address = address;
    cmd->m_values = values;
    cmd->m_sendTime = sendTime;
    return cmd;
}

void CommandClass::setCmdType(qint32 type)
{
    plat::guard("CommandClass.CmdType", [&] {
        if (type < std::numeric_limits<qint16>::min() || type > std::numeric_limits<qint16>::max())
            plat::raise(plat::rt::Overflow);
        m_cmdType = qint16(type);
    });
}

void CommandClass::ErrorInc()
{
    plat::guard("CommandClass.ErrorInc", [&] {
        if (m_errorCount == std::numeric_limits<qint16>::max())
            plat::raise(plat::rt::Overflow);
        ++m_errorCount;
    });
}

qint16 CommandClass::Value(int i) const
{
    if (i < 0 || i >= m_values.size())
        return 0;
    return m_values[i];
}

void CommandClass::setValue(int i, qint16 value)
{
    if (i < 0)
        return;   // no such element; the lookup error is ignored
    if (i >= m_values.size())
        m_values.resize(i + 1, 0);
    m_values[i] = value;
}
