#pragma once
// One mirror: the state of a source (a module, or one of its channels) is
// copied to a target (a module, or one channel). Channel 0 is the whole module.

#include <QString>
#include <cstdint>

namespace ConfigFile {
class Reader;
class Writer;
}

class MirrorClass {
public:
    int16_t FromChannel() const { return m_fromChannel; }
    void setFromChannel(int16_t v) { assign(m_fromChannel, v); }
    int16_t FromModule() const { return m_fromModule; }
    void setFromModule(int16_t v) { assign(m_fromModule, v); }
    // Source module, source channel, target module, target channel, "00" each:
    // eight digits. The mirror type is not part of it.
    QString ID() const;
    int16_t MirrorType() const { return m_mirrorType; }
    void setMirrorType(int16_t v) { assign(m_mirrorType, v); }
    bool Modified() const { return m_modified; }
    void setModified(bool v) { m_modified = v; }
    int16_t ToChannel() const { return m_toChannel; }
    void setToChannel(int16_t v) { assign(m_toChannel, v); }
    int16_t ToModule() const { return m_toModule; }
    void setToModule(int16_t v) { assign(m_toModule, v); }

    void Copy(const MirrorClass& src);
    // The mirror record; neither touches Modified.
    bool SaveTo(ConfigFile::Writer& file);
    bool ReadFrom(ConfigFile::Reader& file);

private:
    void assign(int16_t& field, int16_t v)
    {
        if (field != v)
            m_modified = true;
        field = v;
    }

    int16_t m_fromModule = 0;
    int16_t m_fromChannel = 0;
    int16_t m_toModule = 0;
    int16_t m_toChannel = 0;
    int16_t m_mirrorType = 0;
    bool m_modified = false;
};
