#include "program/core/PanelClass.h"

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/ConfigFile.h"

namespace {
constexpr int kModelWithTwentyFourChannels = 2;

uint8_t toByte(int32_t v)
{
    if (v < 0 || v > 255)
        plat::raise(plat::rt::Overflow);
    return uint8_t(v);
}
} // namespace

PanelClass::PanelClass()
{
    for (auto& c : m_channels)
        c = std::make_shared<ChannelClass>();
}

void PanelClass::setActive(bool v)
{
    if (v != m_active)
        m_modified = true;
    m_active = v;
}

void PanelClass::setActualModel(int32_t v)
{
    plat::guard("PanelClass.ActualModel", [&] { m_actualModel = toByte(v); });
}

std::shared_ptr<ChannelClass> PanelClass::Channel(int16_t index) const
{
    std::shared_ptr<ChannelClass> result;
    plat::guard("PanelClass.Channel", [&] {
        if (index < 0 || index > kChannels)
            plat::raise(plat::rt::SubscriptOutOfRange);
        result = m_channels[index];
    });
    return result;
}

void PanelClass::setChannel(int16_t index, std::shared_ptr<ChannelClass> channel)
{
    plat::guard("PanelClass.Channel", [&] {
        if (index < 0 || index > kChannels)
            plat::raise(plat::rt::SubscriptOutOfRange);
        // A module without a channel object would fail every later use.
        if (!channel)
            plat::raise(plat::rt::ObjectVariableNotSet);
        m_channels[index] = std::move(channel);
    });
}

uint8_t PanelClass::ChannelCount() const
{
    return m_model == kModelWithTwentyFourChannels ? Limits::LastChannel : Limits::LastChannelOfOthers;
}

int16_t PanelClass::ErrCptr(int16_t index) const
{
    int16_t result = 0;
    plat::guard("PanelClass.ErrCptr", [&] {
        if (index < 0 || index > 2)
            plat::raise(plat::rt::SubscriptOutOfRange);
        result = m_errCptr[index];
    });
    return result;
}

void PanelClass::setErrCptr(int16_t index, double value)
{
    plat::guard("PanelClass.ErrCptr", [&] {
        if (index < 0 || index > 2)
            plat::raise(plat::rt::SubscriptOutOfRange);
        m_errCptr[index] = plat::CInt(value);
    });
}

void PanelClass::setModel(int32_t v)
{
    plat::guard("PanelClass.Model", [&] {
        const uint8_t b = toByte(v);
        if (b != m_model)
            markAll();
        m_model = b;
    });
}

bool PanelClass::Modified() const
{
    if (m_modified)
        return true;
    for (int c = 1; c <= kChannels; ++c)
        if (m_channels[c]->Modified())
            return true;
    return false;
}

void PanelClass::setModified(bool v)
{
    m_modified = v;
    for (int c = 1; c <= kChannels; ++c)
        m_channels[c]->setModified(v);
}

void PanelClass::setNumero(int32_t v)
{
    plat::guard("PanelClass.Numero", [&] {
        const uint8_t b = toByte(v);
        if (b != m_numero)
            markAll();
        m_numero = b;
    });
}

void PanelClass::setTitle(const QString& v)
{
    if (v != m_title)
        markAll();
    m_title = v;
}

void PanelClass::setTitleColor(int32_t v)
{
    if (v != m_titleColor)
        markAll();
    m_titleColor = v;
}

void PanelClass::Copy(const PanelClass& src)
{
    plat::guard("PanelClass.Copy", [&] {
        if (&src == this)
            return;
        setNumero(src.Numero());
        setModel(src.Model());
        setActualModel(src.ActualModel());
        setTitle(src.Title());
        setTitleColor(src.TitleColor());
        setActive(src.Active());
        for (int c = 1; c <= kChannels; ++c)
            m_channels[c]->Copy(*src.m_channels[c]);
        setPresent(src.Present());
    });
}

bool PanelClass::SaveTo(ConfigFile::Writer& file)
{
    return plat::guard("PanelClass.SaveTo", [&] {
        file.u8(m_numero);
        file.u8(m_model);
        file.string(m_title);
        file.i32(m_titleColor);
        file.boolean(m_active);
        for (int c = 1; c <= kChannels; ++c)
            m_channels[c]->SaveTo(file);
        m_modified = false;
    });
}

bool PanelClass::ReadFrom(ConfigFile::Reader& file)
{
    return plat::guard("PanelClass.ReadFrom", [&] {
        m_numero = file.u8();
        m_model = file.u8();
        m_title = file.string();
        m_titleColor = file.i32();
        m_active = file.boolean();
        for (int c = 1; c <= kChannels; ++c)
            m_channels[c]->ReadFrom(file);
        m_modified = false;
    });
}
