#include "program/bus/Designations.h"

#include "program/bus/FixedRecord.h"
#include "platform/RtError.h"
#include "program/core/Components.h"
#include "program/core/Globals.h"

namespace Designations {

QString Module(int module)
{
    return gPanelLetter + FixedRecord::digits(module, 2);
}

QString Channel(int module, int chnl)
{
    if (chnl == 0)
        return Module(module) + QStringLiteral("-ACK");
    return Module(module) + QLatin1Char('-') + gChannelLetter + FixedRecord::digits(chnl, 2);
}

QString ModuleModel(int module, const QString& modelName)
{
    return (Module(module) + QLatin1Char('-') + modelName).left(7);
}

QString ModuleRegister(int module, qint32 address)
{
    if (address < -32768 || address > 65535)
        plat::raise(plat::rt::Overflow);
    return Module(module) + QLatin1Char(':') + Word(qint16(quint16(address)));
}

QString Word(qint16 value)
{
    return Components::HexFunctions().Hex4(value);
}

} // namespace Designations
