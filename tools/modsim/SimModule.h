#pragma once
// One simulated module: its model, its registers and, for models 1 and 3, its
// buffer of pending events. Register access here knows nothing of frames.

#include "tools/modsim/Fault.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace modsim {

struct BufferEntry {
    std::uint16_t first = 0;  // channel << 12 | param << 8 | code << 4 | clock bits 19..16
    std::uint16_t second = 0; // clock bits 15..0
};

class SimModule {
public:
    SimModule(int address, int model);

    int address() const { return m_address; }
    int model() const { return m_model; }
    // 24 for model 2, 12 for the others.
    int channelCount() const;
    bool isBufferModel() const { return m_model == 1 || m_model == 3; }

    // A module switched off hears nothing and answers nothing; it keeps its state.
    bool isOn() const { return m_on; }
    void setOn(bool on) { m_on = on; }

    const Fault& fault() const { return m_fault; }
    void setFault(const Fault& fault) { m_fault = fault; }

    // Channels count from 1; out of range is ignored (reads give 0).
    std::uint16_t channelState(int channel) const;
    void setChannelState(int channel, std::uint16_t state);
    std::uint16_t channelParam(int channel) const;
    void setChannelParam(int channel, std::uint16_t param);

    std::uint16_t statusWord() const { return m_status; }
    void setStatusWord(std::uint16_t word) { m_status = word; }

    // Models 1 and 3: queues an entry; a channel event (channel 1..12, code
    // 0..4, or 5 standing for 0) also sets that channel's state and parameter
    // so that the state and parameter registers agree with the buffer.
    // Returns false (and queues nothing) for a model without a buffer or a
    // field out of range (channel 0..15, code and param 0..15).
    bool raiseEvent(int channel, int code, int param, std::uint32_t clock);
    void pushEntry(const BufferEntry& entry) { m_events.push_back(entry); }
    const std::deque<BufferEntry>& events() const { return m_events; }
    int pendingEvents() const { return static_cast<int>(m_events.size()); }

    // Register access as the bus sees it: nothing for a register the model
    // does not have, false for a register it does not let the panel write.
    std::optional<std::uint16_t> readRegister(int reg) const;
    bool isWritable(int reg) const;
    bool writeRegister(int reg, std::uint16_t value);

    // The last value the panel wrote to a register (0 when never written).
    std::uint16_t writtenValue(int reg) const;
    // Channel state c (1..24) from the packed words written to a model 2 module.
    int packedState(int channel) const;

private:
    int m_address;
    int m_model;
    bool m_on = true;
    Fault m_fault;
    std::vector<std::uint16_t> m_states;
    std::vector<std::uint16_t> m_params;
    std::uint16_t m_status = 0;
    std::deque<BufferEntry> m_events;
    std::map<int, std::uint16_t> m_written;
};

} // namespace modsim
