#include "program/screens/bus/BusScan.h"

#include "platform/RtError.h"
#include "program/core/ConfigClass.h"
#include "program/core/ConfigCopy.h"
#include "program/core/PanelClass.h"

namespace {

void checkModule(int module)
{
    if (module < 1 || module > Limits::Modules)
        plat::raise(plat::rt::SubscriptOutOfRange);
}

} // namespace

BusScan::BusScan()
{
    for (auto& c : m_copies)
        c = std::make_shared<PanelClass>();
    m_results.fill(NotScanned);
}

void BusScan::Load(const ConfigClass& config)
{
    for (int i = 1; i <= Limits::Modules; ++i) {
        auto copy = std::make_shared<PanelClass>();
        copy->Copy(*config.Panel(qint16(i)));
        copy->setModified(false);
        m_copies[size_t(i)] = copy;
    }
    m_results.fill(NotScanned);
    m_next = 0;
    m_running = false;
    m_stop = false;
    m_leave = false;
}

PanelClass& BusScan::Copy(int module) const
{
    checkModule(module);
    return *m_copies[size_t(module)];
}

int BusScan::Result(int module) const
{
    checkModule(module);
    return m_results[size_t(module)];
}

void BusScan::Start()
{
    m_results.fill(NotScanned);
    m_stop = false;
    m_next = 1;
    m_running = true;
}

int BusScan::Next() const
{
    if (!m_running || m_stop || m_leave || m_next > Limits::Modules)
        return 0;
    return m_next;
}

int BusScan::Step(const Query& query)
{
    // The address shown as being asked is asked, even when a stop came in
    // the meantime; leaving asks nothing more.
    if (!m_running || m_leave || m_next > Limits::Modules)
        return 0;
    const int address = m_next;
    ++m_next;
    m_results[size_t(address)] = query(address);
    return address;
}

void BusScan::End()
{
    m_running = false;
    m_stop = false;
    m_next = 0;
}

void BusScan::RequestLeave()
{
    m_stop = true;
    m_leave = true;
}

void BusScan::CancelLeave()
{
    m_stop = false;
    m_leave = false;
}

bool BusScan::Activate(int module)
{
    PanelClass& p = Copy(module);
    if (p.Model() < 1)
        return false;
    p.setActive(true);
    return true;
}

bool BusScan::Deactivate(int module)
{
    PanelClass& p = Copy(module);
    if (p.Model() < 1 && !p.Active())
        return false;
    p.setActive(false);
    return true;
}

bool BusScan::TakeOver(int module)
{
    const int found = Result(module);
    if (found < 0)
        return false;
    Copy(module).setModel(found);
    return true;
}

bool BusScan::Modified() const
{
    for (int i = 1; i <= Limits::Modules; ++i)
        if (m_copies[size_t(i)]->Modified())
            return true;
    return false;
}

void BusScan::Accept(ConfigClass& config) const
{
    for (int i = 1; i <= Limits::Modules; ++i)
        ConfigCopy::Panel(*config.Panel(qint16(i)), *m_copies[size_t(i)]);
}
