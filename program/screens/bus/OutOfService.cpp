#include "program/screens/bus/OutOfService.h"

#include "program/bus/BusConstants.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/PanelClass.h"

namespace OutOfService {

namespace {

bool moduleInRange(int m) { return m >= 1 && m <= Limits::Modules; }

const PanelClass& panel(const ConfigClass& config, int m) { return *config.Panel(qint16(m)); }

} // namespace

QString IconKey(Icon icon)
{
    switch (icon) {
    case Icon::PanelOut: return QStringLiteral("PanelOut");
    case Icon::PanelOk: return QStringLiteral("PanelOk");
    case Icon::ChannelOut: return QStringLiteral("ChannelOut");
    case Icon::ChannelOn: return QStringLiteral("ChannelOn");
    }
    return {};
}

QString FormatKey(int module, int channel)
{
    QString key = gPanelLetter + QString::number(module).rightJustified(2, QLatin1Char('0'));
    if (channel > 0)
        key += gChannelLetter + QString::number(channel).rightJustified(2, QLatin1Char('0'));
    return key;
}

std::vector<Item> Present(const ConfigClass& config)
{
    std::vector<Item> out;
    for (int m = 1; m <= Limits::Modules; ++m) {
        const PanelClass& p = panel(config, m);
        if (p.Model() != 0 && !p.Active())
            out.push_back({m, 0, Icon::PanelOut});
        // Channels out of order are listed whatever the module's model or state.
        for (int c = 1; c <= p.ChannelCount(); ++c)
            if (p.Channel(qint16(c))->OutOfOrder())
                out.push_back({m, c, Icon::ChannelOut});
    }
    return out;
}

Selection Step(const ConfigClass& config, Selection s, int button)
{
    switch (button) {
    case ChannelDown:
        if (s.channel > 1)
            --s.channel;
        break;
    case ChannelUp:
        if (moduleInRange(s.module) && s.channel < panel(config, s.module).ChannelCount())
            ++s.channel;
        break;
    case ModuleDown:
    case ModuleUp:
        if (button == ModuleDown ? s.module > 1 : s.module < Limits::Modules)
            s.module += button == ModuleDown ? -1 : 1;
        if (moduleInRange(s.module) && s.channel > panel(config, s.module).ChannelCount())
            s.channel = panel(config, s.module).ChannelCount();
        break;
    default:
        break;
    }
    return s;
}

Action Act(const ConfigClass& config, Selection s, int button, const IsPending& pending)
{
    const bool forModule = button == ModuleOut || button == ModuleBack;
    if (!moduleInRange(s.module) || (!forModule && s.channel <= 0))
        return {};
    const int channel = forModule ? 0 : s.channel;
    const PanelClass& p = panel(config, s.module);
    if (!forModule && channel > p.ChannelCount())
        return {};
    if (pending(FormatKey(s.module, channel)))
        return {Outcome::Withdraw, {s.module, channel, Icon::PanelOut}};
    bool allowed = false;
    Icon icon = Icon::PanelOut;
    switch (button) {
    case ChannelOut:
        allowed = !p.Channel(qint16(channel))->OutOfOrder();
        icon = Icon::ChannelOut;
        break;
    case ChannelBack:
        allowed = p.Channel(qint16(channel))->OutOfOrder();
        icon = Icon::ChannelOn;
        break;
    case ModuleOut:
        allowed = p.Active();
        icon = Icon::PanelOut;
        break;
    case ModuleBack:
        allowed = !p.Active();
        icon = Icon::PanelOk;
        break;
    default:
        break;
    }
    if (!allowed)
        return {};
    return {Outcome::Add, {s.module, channel, icon}};
}

std::array<bool, 8> Buttons(const ConfigClass& config, Selection s, const IsPending& pending)
{
    std::array<bool, 8> shown{};
    const int m = s.module;
    const int c = s.channel;
    shown[ModuleDown] = m > 1;
    shown[ModuleUp] = m < Limits::Modules;
    if (!moduleInRange(m))
        return shown;
    const PanelClass& p = panel(config, m);
    const bool moduleOk = p.Model() != 0 && !pending(FormatKey(m, 0));
    shown[ModuleOut] = moduleOk && p.Active();
    shown[ModuleBack] = moduleOk && !p.Active();
    shown[ChannelDown] = c > 1;
    shown[ChannelUp] = c < p.ChannelCount();
    const bool channelOk = c >= 1 && c <= p.ChannelCount() && p.Model() != 0 && !pending(FormatKey(m, c));
    if (channelOk) {
        const bool out = p.Channel(qint16(c))->OutOfOrder();
        shown[ChannelOut] = !out;
        shown[ChannelBack] = out;
    }
    return shown;
}

Arrows ArrowsOf(int selected, int count)
{
    if (count <= 0)
        return {};
    return {selected >= 2, selected < count};
}

bool Apply(const std::vector<Item>& pending, ConfigClass& config)
{
    bool reread = false;
    for (const Item& it : pending) {
        if (!moduleInRange(it.module))
            continue;
        PanelClass& p = *config.Panel(qint16(it.module));
        if (it.channel == 0) {
            p.setActive(it.icon == Icon::PanelOk);
            continue;
        }
        ChannelClass& channel = *p.Channel(qint16(it.channel));
        channel.setOutOfOrder(it.icon == Icon::ChannelOut);
        const qint16 state = channel.State();
        if (it.icon == Icon::ChannelOn && state != 0 && state != Bus::StateNormalAgain) {
            channel.setState(0);
            reread = true;
        }
    }
    return reread;
}

} // namespace OutOfService
