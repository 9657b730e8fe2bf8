#pragma once
// The ordered list of the configuration's mirrors (positions 1..Count, no
// keys; the same ID may occur twice unless the caller checks first).

#include "program/core/MirrorClass.h"

#include <memory>
#include <vector>

class MirrorClasses {
public:
    using List = std::vector<std::shared_ptr<MirrorClass>>;

    // Assigns type, target channel, target module, source channel, source
    // module in this order (a mirror of non-zero values reads modified),
    // appends it and marks the list.
    std::shared_ptr<MirrorClass> Add(int16_t fromModule, int16_t fromChannel, int16_t toModule, int16_t toChannel,
                                     int16_t mirrorType);
    // Position 1..Count; no object (after the error report) outside.
    std::shared_ptr<MirrorClass> Item(int index) const;
    // Replaces the list by copies of src's mirrors and takes src's Modified.
    void Copy(const MirrorClasses& src);
    int32_t Count() const { return int32_t(m_items.size()); }
    // The first mirror with that ID, or none.
    std::shared_ptr<MirrorClass> GetByID(const QString& id) const;
    bool IsAlreadyPresent(const MirrorClass& mirror) const;
    void Remove(int index);
    // Marks at each removal: an empty list stays unmarked.
    void RemoveAll();
    List::const_iterator begin() const { return m_items.begin(); }
    List::const_iterator end() const { return m_items.end(); }
    bool Modified() const;
    void setModified(bool v);
    // The count, then each mirror; flags unchanged.
    bool SaveTo(ConfigFile::Writer& file);
    // Appends the stored mirrors to those already held.
    bool ReadFrom(ConfigFile::Reader& file);

private:
    List m_items;
    bool m_modified = false;
};
