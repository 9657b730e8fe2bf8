#pragma once
// The module editor's working copies, without its window: the module shown
// (EditPanel) and the whole mirror list (EditMirrors), the mirrors that a
// model change removes, and what the save question does with them. The
// configuration changes only when the technician answers Yes, and then only
// in what the configuration stores: the engine's run-time values of the
// module and its channels stay as the engine has them.

#include <memory>
#include <optional>

class ConfigClass;
class MirrorClass;
class MirrorClasses;
class PanelClass;

class ModuleEdit {
public:
    ModuleEdit();

    std::shared_ptr<PanelClass> EditPanel() const { return m_panel; }
    std::shared_ptr<MirrorClasses> EditMirrors() const { return m_mirrors; }

    // A fresh copy of the configuration's mirror list, not modified.
    void LoadMirrors(const MirrorClasses& config);
    // A fresh copy of a module of the configuration, not modified.
    void LoadPanel(const PanelClass& config);
    // A new module with the defaults in place of the one shown, keeping its
    // number, and marked modified.
    void ResetPanel();

    // Whether a mirror leaves or reaches the module, whatever its channels.
    static bool IsMirrorOf(const MirrorClass& mirror, int module);
    // Whether the working list holds a mirror of the module: a model change
    // asks before it removes them.
    bool HasMirrorsOf(int module) const;
    // Removes the module's mirrors from the working list. They stay removed
    // when the module's edits are saved and come back when they are dropped.
    void RemoveMirrorsOf(int module);

    // Whether leaving or changing module asks to save.
    bool Pending() const;

    // Yes: copies what was edited into the configuration (its configuration
    // fields only) and leaves the working copies unmodified. Leaving also
    // marks the whole configuration modified; changing module does not.
    void Accept(ConfigClass& config, int module, bool leaving);
    // No, or the module's edits cancelled: the mirrors that a model change
    // removed come back; the other mirror edits stay.
    void DropRemoval();

private:
    std::shared_ptr<PanelClass> m_panel;
    std::shared_ptr<MirrorClasses> m_mirrors;
    // The working list as it was before the first removal of the module shown.
    std::shared_ptr<MirrorClasses> m_beforeRemoval;
    int m_removedModule = 0;
};
