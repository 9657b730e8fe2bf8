#include "program/screens/bus/TechCommand.h"

#include "platform/Forms.h"
#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "program/bus/wPolling.h"
#include "program/core/FormNames.h"

namespace TechCommand {

wPolling& Engine()
{
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    if (!engine)
        plat::raise(plat::rt::ObjectDoesNotSupport);
    return *engine;
}

CommandPtr Write(wPolling& polling, int module, int reg, qint16 value)
{
    return CommandClass::Write(module, reg, {value}, polling.engine().now());
}

void Send(wPolling& polling, const CommandPtr& cmd)
{
    if (polling.Run()) {
        polling.SendCommand(cmd);
        return;
    }
    cmd->ErrorsClear();
    // Counted here as well: a command not yet due changes nothing when tried.
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        if (cmd->ErrorCount() >= MaxAttempts || cmd->CmdType() == CommandClass::CmdDone)
            return;
        polling.TraiteCommande(*cmd);
        if (!polling.CommBus().PortOpen())
            return;
    }
}

} // namespace TechCommand
