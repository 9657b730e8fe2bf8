#include "program/bus/EventClass.h"

#include "platform/Guard.h"
#include "platform/RtError.h"

qint32 EventClass::ID() const
{
    qint32 id = 0;
    plat::guard("EventClass.ID", [&] {
        // Panel sits in the sign byte: above 127 the value would not fit.
        if (m_panel < 0 || m_panel > 127 || m_chnl < 0 || m_chnl > 255)
            plat::raise(plat::rt::Overflow);
        // A parameter word or a state word read from a module may exceed a
        // byte; keep the low byte so that the event still names its module
        // and channel (the lines write the whole word).
        const qint32 param = m_param & 0xFF;
        const qint32 aff = m_aff & 0xFF;
        id = (qint32(m_panel) << 24) | (qint32(m_chnl) << 16) | (param << 8) | aff;
    });
    return id;
}

void EventClass::setID(qint32 id)
{
    const quint32 u = quint32(id);
    m_panel = qint16((u >> 24) & 0xFF);
    m_chnl = qint16((u >> 16) & 0xFF);
    m_param = qint16((u >> 8) & 0xFF);
    m_aff = qint16(u & 0xFF);
}
