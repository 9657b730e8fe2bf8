#include "tools/modsim/SimModule.h"

#include "tools/modsim/SimConstants.h"

#include <algorithm>

namespace modsim {

SimModule::SimModule(int address, int model)
    : m_address(address), m_model(model)
{
    m_states.assign(static_cast<size_t>(channelCount()), 0);
    m_params.assign(static_cast<size_t>(channelCount()), 0);
}

int SimModule::channelCount() const
{
    return m_model == 2 ? 24 : 12;
}

std::uint16_t SimModule::channelState(int channel) const
{
    if (channel < 1 || channel > channelCount())
        return 0;
    return m_states[static_cast<size_t>(channel - 1)];
}

void SimModule::setChannelState(int channel, std::uint16_t state)
{
    if (channel >= 1 && channel <= channelCount())
        m_states[static_cast<size_t>(channel - 1)] = state;
}

std::uint16_t SimModule::channelParam(int channel) const
{
    if (channel < 1 || channel > channelCount())
        return 0;
    return m_params[static_cast<size_t>(channel - 1)];
}

void SimModule::setChannelParam(int channel, std::uint16_t param)
{
    if (channel >= 1 && channel <= channelCount())
        m_params[static_cast<size_t>(channel - 1)] = param;
}

bool SimModule::raiseEvent(int channel, int code, int param, std::uint32_t clock)
{
    if (!isBufferModel() || channel < 0 || channel > 15 || code < 0 || code > 15 || param < 0 || param > 15)
        return false;
    clock &= ModuleClockMask;
    BufferEntry e;
    e.first = static_cast<std::uint16_t>((channel << 12) | (param << 8) | (code << 4) | (clock >> 16));
    e.second = static_cast<std::uint16_t>(clock & 0xFFFF);
    m_events.push_back(e);
    if (channel >= 1 && channel <= channelCount() && code <= 5) {
        setChannelState(channel, static_cast<std::uint16_t>(code == 5 ? 0 : code));
        setChannelParam(channel, static_cast<std::uint16_t>(param));
    }
    return true;
}

bool SimModule::isWritable(int reg) const
{
    if (reg == reg::Horn || reg == reg::LedTest || reg == reg::ModuleCommand || reg == reg::CounterReset)
        return true;
    if (m_model == 2) {
        return reg == reg::StatusClear
            || (reg >= reg::ChannelState && reg < reg::ChannelState + channelCount())
            || (reg >= reg::PackedStates && reg < reg::PackedStates + reg::PackedStatesWords);
    }
    if (reg > reg::ChannelCommand && reg <= reg::ChannelCommand + channelCount())
        return true;
    return isBufferModel() && reg == reg::EventAck;
}

std::optional<std::uint16_t> SimModule::readRegister(int reg) const
{
    if (reg >= reg::ChannelState && reg < reg::ChannelState + channelCount())
        return channelState(reg - reg::ChannelState + 1);
    if (reg == reg::ModuleType)
        return static_cast<std::uint16_t>(m_model == 2 ? 2 : 1);
    if (reg == reg::ModuleSubType) {
        // Model 3 and model 4 have no sub-type register; model 5 shows 2.
        if (m_model == 1)
            return 1;
        if (m_model == 5)
            return 2;
        return std::nullopt;
    }
    if (m_model == 2 && reg == reg::Status)
        return m_status;
    if (m_model != 2 && reg >= reg::ChannelParam && reg < reg::ChannelParam + channelCount())
        return channelParam(reg - reg::ChannelParam + 1);
    if (isBufferModel()) {
        if (reg == reg::EventCount)
            return static_cast<std::uint16_t>(std::min(pendingEvents(), EventCountMax));
        if (reg >= reg::EventBuffer && reg < reg::EventBuffer + 2 * EventWindow) {
            const int i = (reg - reg::EventBuffer) / 2;
            if (i >= pendingEvents())
                return 0;
            const BufferEntry& e = m_events[static_cast<size_t>(i)];
            return ((reg - reg::EventBuffer) % 2 == 0) ? e.first : e.second;
        }
    }
    if (isWritable(reg))
        return writtenValue(reg);
    return std::nullopt;
}

bool SimModule::writeRegister(int reg, std::uint16_t value)
{
    if (!isWritable(reg))
        return false;
    m_written[reg] = value;
    if (m_model == 2 && reg >= reg::ChannelState && reg < reg::ChannelState + channelCount())
        setChannelState(reg - reg::ChannelState + 1, value);
    if (isBufferModel() && reg == reg::EventAck) {
        // The acknowledgement names how many of the oldest entries the panel has taken.
        const int drop = std::min<int>(value, pendingEvents());
        m_events.erase(m_events.begin(), m_events.begin() + drop);
    }
    return true;
}

std::uint16_t SimModule::writtenValue(int reg) const
{
    auto it = m_written.find(reg);
    return it == m_written.end() ? 0 : it->second;
}

int SimModule::packedState(int channel) const
{
    if (channel < 1 || channel > 24)
        return 0;
    const int k = (channel - 1) / 5;
    const int shift = 3 * ((channel - 1) % 5);
    return (writtenValue(reg::PackedStates + k) >> shift) & 7;
}

} // namespace modsim
