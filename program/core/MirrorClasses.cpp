#include "program/core/MirrorClasses.h"

#include "platform/Guard.h"
#include "platform/RtError.h"
#include "program/core/ConfigFile.h"

#include <limits>

std::shared_ptr<MirrorClass> MirrorClasses::Add(int16_t fromModule, int16_t fromChannel, int16_t toModule,
                                                int16_t toChannel, int16_t mirrorType)
{
    auto m = std::make_shared<MirrorClass>();
    m->setMirrorType(mirrorType);
    m->setToChannel(toChannel);
    m->setToModule(toModule);
    m->setFromChannel(fromChannel);
    m->setFromModule(fromModule);
    m_items.push_back(m);
    m_modified = true;
    return m;
}

std::shared_ptr<MirrorClass> MirrorClasses::Item(int index) const
{
    std::shared_ptr<MirrorClass> result;
    plat::guard("MirrorClasses.Item", [&] {
        if (index < 1 || index > Count())
            plat::raise(plat::rt::SubscriptOutOfRange);
        result = m_items[index - 1];
    });
    return result;
}

void MirrorClasses::Copy(const MirrorClasses& src)
{
    // Copying the list onto itself would empty it first.
    if (&src == this)
        return;
    RemoveAll();
    for (const auto& m : src.m_items)
        Add(0, 0, 0, 0, 0)->Copy(*m);
    setModified(src.Modified());
}

std::shared_ptr<MirrorClass> MirrorClasses::GetByID(const QString& id) const
{
    for (const auto& m : m_items)
        if (m->ID() == id)
            return m;
    return nullptr;
}

bool MirrorClasses::IsAlreadyPresent(const MirrorClass& mirror) const
{
    return GetByID(mirror.ID()) != nullptr;
}

void MirrorClasses::Remove(int index)
{
    plat::guard("MirrorClasses.Remove", [&] {
        if (index < 1 || index > Count())
            plat::raise(plat::rt::SubscriptOutOfRange);
        m_items.erase(m_items.begin() + (index - 1));
        m_modified = true;
    });
}

void MirrorClasses::RemoveAll()
{
    if (!m_items.empty())
        m_modified = true;
    m_items.clear();
}

bool MirrorClasses::Modified() const
{
    if (m_modified)
        return true;
    for (const auto& m : m_items)
        if (m->Modified())
            return true;
    return false;
}

void MirrorClasses::setModified(bool v)
{
    for (const auto& m : m_items)
        m->setModified(v);
    m_modified = v;
}

bool MirrorClasses::SaveTo(ConfigFile::Writer& file)
{
    return plat::guard("MirrorClasses.SaveTo", [&] {
        if (m_items.size() > size_t(std::numeric_limits<int16_t>::max()))
            plat::raise(plat::rt::Overflow);
        file.i16(int16_t(m_items.size()));
        for (const auto& m : m_items)
            if (!m->SaveTo(file))
                plat::raise(plat::rt::DeviceIOError);
    });
}

bool MirrorClasses::ReadFrom(ConfigFile::Reader& file)
{
    return plat::guard("MirrorClasses.ReadFrom", [&] {
        const int16_t n = file.i16();
        // Each record is 10 bytes: a count the file cannot hold is damage.
        if (n < 0 || qint64(n) * ConfigFile::kMirrorBytes > file.remaining())
            plat::raise(plat::rt::InputPastEndOfFile);
        for (int i = 0; i < n; ++i)
            if (!Add(0, 0, 0, 0, 0)->ReadFrom(file))
                plat::raise(plat::rt::InputPastEndOfFile);
    });
}
