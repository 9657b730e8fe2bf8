#include "program/runtime/EventTexts.h"

#include "program/bus/ConfigAccess.h"
#include "program/bus/Designations.h"
#include "program/core/Config.h"
#include "program/core/Global.h"

#include <QStringList>

namespace EventTexts {

namespace {

// The word of code in the ten texts from base; a code past them (a module
// may report any code) is its number, not the word of another family.
QString word(int base, int code, bool raw)
{
    if (code < 0 || code >= WordsPerBase)
        return QString::number(code);
    return Config::GetText(base + code, raw);
}

} // namespace

QString ModelName(int module)
{
    if (module < 1 || module > ConfigClass::kModules)
        return QString();
    return Global::ModuleName(ConfigAccess::panel(module).Model());
}

QString ModuleWithModel(int module)
{
    return Designations::ModuleModel(module, ModelName(module));
}

QString ParamText(int param)
{
    return word(TextIds::ParamWordFirst, param, false);
}

QString StateText(int chnl, int code, int param, bool raw)
{
    if (chnl == 0)
        return word(TextIds::ModuleWideWordFirst, code, raw);
    if (code != TextIds::ChannelStateActiveWord - TextIds::ChannelStateWordFirst)
        return word(TextIds::ChannelStateWordFirst, code, raw);
    const QStringList parts = Config::GetText(TextIds::ChannelStateActiveWord, true).split(QLatin1Char('|'));
    return param >= 0 && param < parts.size() ? parts[param] : QString::number(code);
}

} // namespace EventTexts
