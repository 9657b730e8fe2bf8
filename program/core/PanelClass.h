#pragma once
// One signalling module as the configuration knows it (number = bus address,
// model, title, polled or not, channels 1..24) and the live state that the
// bus engine keeps for it while polling, which is never stored.

#include "platform/DateTime.h"
#include "program/core/ChannelClass.h"
#include "program/core/Limits.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class PanelClass {
public:
    static constexpr int kChannels = Limits::LastChannel;   // channel 0 exists and is never stored

    PanelClass();

    bool Active() const { return m_active; }
    // Marks only the module's own flag.
    void setActive(bool v);
    // The model the module reports on the bus; never marks.
    int32_t ActualModel() const { return m_actualModel; }
    void setActualModel(int32_t v);
    // Channel 0..24; no object (after the error report) outside.
    std::shared_ptr<ChannelClass> Channel(int16_t index) const;
    void setChannel(int16_t index, std::shared_ptr<ChannelClass> channel);
    // 24 for model 2, 12 for every other model.
    uint8_t ChannelCount() const;
    // Error counters 0 total, 1 consecutive, 2 times declared missing; never mark.
    int16_t ErrCptr(int16_t index) const;
    // Any value that converts to a 16-bit number (overflow is reported).
    void setErrCptr(int16_t index, double value);
    int32_t Model() const { return m_model; }
    void setModel(int32_t v);
    bool Modified() const;
    void setModified(bool v);
    plat::DateTime NextPoll() const { return m_nextPoll; }
    void setNextPoll(const plat::DateTime& v) { m_nextPoll = v; }
    uint8_t Numero() const { return m_numero; }
    bool Present() const { return m_present; }
    void setPresent(bool v) { m_present = v; }
    void setNumero(int32_t v);
    QString Title() const { return m_title; }
    void setTitle(const QString& v);
    int32_t TitleColor() const { return m_titleColor; }
    void setTitleColor(int32_t v);

    // Number, model, reported model, title, colour, active, channels 1..24 and
    // presence, through the setters; not channel 0, the counters, NextPoll.
    void Copy(const PanelClass& src);
    // The module record; both clear the module's and its channels' flags.
    bool SaveTo(ConfigFile::Writer& file);
    bool ReadFrom(ConfigFile::Reader& file);

private:
    // Marks the module and channels 1..24.
    void markAll() { setModified(true); }

    uint8_t m_numero = 0;
    uint8_t m_model = 0;
    QString m_title;
    int32_t m_titleColor = 0xFFFF;   // yellow
    bool m_active = false;
    std::array<std::shared_ptr<ChannelClass>, kChannels + 1> m_channels;
    uint8_t m_actualModel = 0;
    bool m_present = false;
    std::array<int16_t, 3> m_errCptr{};
    plat::DateTime m_nextPoll;
    bool m_modified = false;
};
