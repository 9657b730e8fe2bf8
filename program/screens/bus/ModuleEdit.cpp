#include "program/screens/bus/ModuleEdit.h"

#include "program/core/ConfigClass.h"
#include "program/core/ConfigCopy.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"

namespace {

// Same mirrors in the same order.
bool sameList(const MirrorClasses& a, const MirrorClasses& b)
{
    if (a.Count() != b.Count())
        return false;
    for (int i = 1; i <= a.Count(); ++i)
        if (a.Item(i)->ID() != b.Item(i)->ID() || a.Item(i)->MirrorType() != b.Item(i)->MirrorType())
            return false;
    return true;
}

void removeMirrorsOf(MirrorClasses& list, int module)
{
    for (int i = list.Count(); i >= 1; --i)
        if (ModuleEdit::IsMirrorOf(*list.Item(i), module))
            list.Remove(i);
}

} // namespace

ModuleEdit::ModuleEdit() : m_panel(std::make_shared<PanelClass>()), m_mirrors(std::make_shared<MirrorClasses>()) { }

void ModuleEdit::LoadMirrors(const MirrorClasses& config)
{
    m_mirrors = std::make_shared<MirrorClasses>();
    m_mirrors->Copy(config);
    m_mirrors->setModified(false);
    m_beforeRemoval.reset();
}

void ModuleEdit::LoadPanel(const PanelClass& config)
{
    m_panel = std::make_shared<PanelClass>();
    m_panel->Copy(config);
    m_panel->setModified(false);
    m_beforeRemoval.reset();
}

void ModuleEdit::ResetPanel()
{
    const int numero = m_panel->Numero();
    m_panel = std::make_shared<PanelClass>();
    m_panel->setNumero(numero);
    m_panel->setModified(true);
}

bool ModuleEdit::IsMirrorOf(const MirrorClass& mirror, int module)
{
    return mirror.FromModule() == module || mirror.ToModule() == module;
}

bool ModuleEdit::HasMirrorsOf(int module) const
{
    for (const auto& m : *m_mirrors)
        if (IsMirrorOf(*m, module))
            return true;
    return false;
}

void ModuleEdit::RemoveMirrorsOf(int module)
{
    if (!m_beforeRemoval) {
        m_beforeRemoval = std::make_shared<MirrorClasses>();
        m_beforeRemoval->Copy(*m_mirrors);
        m_removedModule = module;
    }
    removeMirrorsOf(*m_mirrors, module);
}

bool ModuleEdit::Pending() const
{
    return m_panel->Modified() || m_mirrors->Modified();
}

void ModuleEdit::Accept(ConfigClass& config, int module, bool leaving)
{
    if (m_panel->Modified()) {
        ConfigCopy::Panel(*config.Panel(int16_t(module)), *m_panel);
        if (leaving)
            config.setModified(true);
    }
    if (m_mirrors->Modified()) {
        config.Mirrors()->Copy(*m_mirrors);
        if (leaving)
            config.setModified(true);
    }
    m_panel->setModified(false);
    m_mirrors->setModified(false);
    m_beforeRemoval.reset();
}

void ModuleEdit::DropRemoval()
{
    if (!m_beforeRemoval)
        return;
    MirrorClasses untouched;
    untouched.Copy(*m_beforeRemoval);
    removeMirrorsOf(untouched, m_removedModule);
    if (sameList(untouched, *m_mirrors)) {
        // Nothing else changed since: the list is back as it was, flag included.
        m_mirrors->Copy(*m_beforeRemoval);
    } else {
        // Other edits came after the removal: they stay, and the removed mirrors come back.
        for (const auto& m : *m_beforeRemoval)
            if (IsMirrorOf(*m, m_removedModule) && !m_mirrors->IsAlreadyPresent(*m))
                m_mirrors->Add(m->FromModule(), m->FromChannel(), m->ToModule(), m->ToChannel(), m->MirrorType());
    }
    m_beforeRemoval.reset();
}
