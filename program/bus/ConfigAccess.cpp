#include "program/bus/ConfigAccess.h"

#include "platform/RtError.h"
#include "program/core/Globals.h"

namespace ConfigAccess {

ConfigClass& config()
{
    if (!gConfig)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *gConfig;
}

PanelClass& panel(int module)
{
    if (module < 1 || module > ConfigClass::kModules)
        plat::raise(plat::rt::SubscriptOutOfRange);
    const std::shared_ptr<PanelClass> p = config().Panel(int16_t(module));
    if (!p)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *p;
}

ChannelClass& channel(PanelClass& panel, int chnl)
{
    if (chnl < 0 || chnl > PanelClass::kChannels)
        plat::raise(plat::rt::SubscriptOutOfRange);
    const std::shared_ptr<ChannelClass> c = panel.Channel(int16_t(chnl));
    if (!c)
        plat::raise(plat::rt::ObjectVariableNotSet);
    return *c;
}

ChannelClass& channel(int module, int chnl)
{
    return channel(panel(module), chnl);
}

} // namespace ConfigAccess
