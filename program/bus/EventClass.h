#pragma once
// One event of the system: reported by a module, observed by the engine, or
// done at this station. ID packs Panel, Chnl, Param and Aff into one value,
// eight bits each from the top: Panel × 2^24 + Chnl × 2^16 + Param × 2^8 + Aff.
//
// Channels: 1..24 a channel of the module (Aff its state 0..4, Param 1 when
// acknowledged at the module); 0 module-wide (Aff 0 ACK???, 1 horn
// acknowledged, 2 ACK CL, 3 CLEAR); 254 this station (Aff 0 operator
// acknowledgement, 1 program start, 2 stop, 3 user level change, 4 polling
// started, 5 polling stopped, 6 daily state record); 255 presence (Param 1,
// Aff 1 appeared, 0 disappeared). Aff 255 on any channel: re-announcement.

#include "platform/DateTime.h"

#include <memory>

class EventClass {
public:
    // Station channel and its codes, presence channel, re-announcement code.
    static constexpr qint16 ChnlModuleWide = 0;
    static constexpr qint16 ChnlStation = 254;
    static constexpr qint16 ChnlPresence = 255;
    static constexpr qint16 AffReannounce = 255;

    qint16 Aff() const { return m_aff; }
    void setAff(qint16 aff) { m_aff = aff; }
    qint16 Chnl() const { return m_chnl; }
    void setChnl(qint16 chnl) { m_chnl = chnl; }
    // The module's clock stamp, a serial day, -1 for a synchronisation, or 0.
    qint32 Clock() const { return m_clock; }
    void setClock(qint32 clock) { m_clock = clock; }
    plat::DateTime GDH() const { return m_gdh; }
    void setGDH(const plat::DateTime& gdh) { m_gdh = gdh; }
    // The packed fields; 0 (after a report) when Panel or Chnl does not fit
    // its bits. A Param or an Aff beyond a byte keeps its low eight bits.
    qint32 ID() const;
    void setID(qint32 id);
    qint32 Num() const { return m_num; }
    void setNum(qint32 num) { m_num = num; }
    qint16 Panel() const { return m_panel; }
    void setPanel(qint16 panel) { m_panel = panel; }
    qint16 Param() const { return m_param; }
    void setParam(qint16 param) { m_param = param; }

private:
    qint32 m_num = 0;
    plat::DateTime m_gdh;
    qint16 m_panel = 0;
    qint16 m_chnl = 0;
    qint16 m_param = 0;
    qint16 m_aff = 0;
    qint32 m_clock = 0;
};

using EventPtr = std::shared_ptr<EventClass>;
