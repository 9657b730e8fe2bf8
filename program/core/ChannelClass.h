#pragma once
// One channel (input) of a module: what its events do and the texts shown and
// printed for them, plus three run-time values that are never stored.
// The class stores whatever it is given; the editors offer the valid ranges.

#include <QString>
#include <cstdint>

namespace ConfigFile {
class Reader;
class Writer;
}

class ChannelClass {
public:
    // The alarm priority a channel has until someone sets it.
    static constexpr int16_t NewChannelPriority = 99;

    ChannelClass() = default;

    int16_t AlmPrio() const { return m_almPrio; }
    void setAlmPrio(int16_t v);
    int16_t BibNum() const { return m_bibNum; }
    void setBibNum(int16_t v);
    int16_t HelpNum() const { return m_helpNum; }
    void setHelpNum(int16_t v);
    bool Histo() const { return m_histo; }
    void setHisto(bool v);
    bool Klaxon() const { return m_klaxon; }
    void setKlaxon(bool v);
    // Run time: given by the mirror engine, never marks.
    int16_t MirrorType() const { return m_mirrorType; }
    void setMirrorType(int16_t v) { m_mirrorType = v; }
    bool Modified() const { return m_modified; }
    void setModified(bool v) { m_modified = v; }
    // Run time: taken out of service by a technician, never marks.
    bool OutOfOrder() const { return m_outOfOrder; }
    void setOutOfOrder(bool v) { m_outOfOrder = v; }
    QString PrintText() const { return m_printText; }
    void setPrintText(const QString& v);
    bool PrtAlm() const { return m_prtAlm; }
    void setPrtAlm(bool v);
    bool React() const { return m_react; }
    void setReact(bool v);
    int32_t ReactTpo() const { return m_reactTpo; }
    void setReactTpo(int32_t v);
    QString ScreenText() const { return m_screenText; }
    void setScreenText(const QString& v);
    bool ScrAlm() const { return m_scrAlm; }
    void setScrAlm(bool v);
    // Run time: the live state (0 normal, 1 active, 2 cable fault, 3 first fault,
    // 4 second fault), never marks.
    int16_t State() const { return m_state; }
    void setState(int16_t v) { m_state = v; }
    int16_t TypeImp() const { return m_typeImp; }
    void setTypeImp(int16_t v);

    // Every value but OutOfOrder and the flag, through the setters (so a copy
    // that changes a configuration value leaves this channel modified).
    void Copy(const ChannelClass& src);
    // The channel record; both clear Modified.
    bool SaveTo(ConfigFile::Writer& file);
    bool ReadFrom(ConfigFile::Reader& file);

private:
    template <class T>
    void assign(T& field, const T& v)
    {
        if (field != v)
            m_modified = true;
        field = v;
    }

    QString m_screenText;
    QString m_printText;
    int16_t m_helpNum = 0;
    int16_t m_bibNum = 0;
    bool m_scrAlm = false;
    bool m_prtAlm = false;
    bool m_histo = true;
    bool m_klaxon = false;
    int16_t m_almPrio = NewChannelPriority;
    bool m_react = false;
    int32_t m_reactTpo = 0;
    int16_t m_typeImp = 0;
    bool m_modified = false;
    int16_t m_mirrorType = 0;
    int16_t m_state = 0;
    bool m_outOfOrder = false;
};
