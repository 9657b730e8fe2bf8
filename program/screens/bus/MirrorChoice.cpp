#include "program/screens/bus/MirrorChoice.h"

#include "platform/Values.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/MirrorClass.h"
#include "program/core/PanelClass.h"

#include <algorithm>

namespace {

// Models whose channels can each be a source; model 2 is a source as a whole.
bool channelSource(int model)
{
    return model == 1 || model == 3;
}

bool takesNoChannel(int model)
{
    return model == 4 || model == 5;
}

} // namespace

const QString MirrorChoice::NoDestChannel = QStringLiteral("---");

bool MirrorChoice::IsNumber(const QString& caption)
{
    return plat::IsNumeric(caption);
}

int MirrorChoice::Number(const QString& caption)
{
    if (!IsNumber(caption))
        return 0;
    // Only the arrows' small numbers come here; anything larger is out of every range.
    return int(std::clamp(plat::Val(caption), -1.0e6, 1.0e6));
}

std::shared_ptr<PanelClass> MirrorChoice::configModule(int n)
{
    if (n < 1 || n > Limits::Modules)
        return nullptr;
    return gConfig->Panel(int16_t(n));
}

std::shared_ptr<PanelClass> MirrorChoice::module(int n) const
{
    if (m_panel && m_panel->Numero() == n)
        return m_panel;
    return configModule(n);
}

QString MirrorChoice::modelName(const std::shared_ptr<PanelClass>& panel)
{
    return panel ? Global::ModuleName(panel->Model()) : QString();
}

void MirrorChoice::setSrceModNo(const QString& caption)
{
    if (caption == m_srceModNo)
        return;
    m_srceModNo = caption;
    if (!IsNumber(caption)) {
        m_panel.reset();
        setSrceChnlNo(QString());
        m_srceModType.clear();
        m_sourceChannelButtons = false;
        return;
    }
    const int n = Number(caption);
    if (!m_panel || m_panel->Numero() != n)
        m_panel = configModule(n);
    m_srceModType = modelName(m_panel);
    const int model = m_panel ? m_panel->Model() : 0;
    if (model == 2) {
        setSrceChnlNo(gNoChannelText);
        m_sourceChannelButtons = false;
    } else if (channelSource(model)) {
        m_sourceChannelButtons = true;
    } else {
        setSrceChnlNo(QString());
        m_sourceChannelButtons = false;
    }
}

void MirrorChoice::setSrceChnlNo(const QString& caption)
{
    if (caption == m_srceChnlNo)
        return;
    m_srceChnlNo = caption;
    if (IsNumber(caption) && Number(caption) == 0) {
        setSrceChnlNo(gNoChannelText);
        return;
    }
    m_channelGroups = IsNumber(caption);
    if (m_channelGroups && Number(m_destChnlNo) == 0)
        m_destChnlNo = QStringLiteral("1");
}

void MirrorChoice::setDestModNo(const QString& caption)
{
    if (caption == m_destModNo)
        return;
    m_destModNo = caption;
    m_destChnlNo.clear();
}

void MirrorChoice::setOption(int type, bool on)
{
    if (on)
        m_option = type;
    else if (m_option == type)
        m_option = 0;
}

void MirrorChoice::Press(int button)
{
    const int value = [&] {
        switch (button) {
        case SourceModuleDown:
        case SourceModuleUp:
            return Number(m_srceModNo);
        case SourceChannelDown:
        case SourceChannelUp:
            return Number(m_srceChnlNo);
        case DestModuleDown:
        case DestModuleUp:
            return Number(m_destModNo);
        default:
            return Number(m_destChnlNo);
        }
    }();
    const QString less = QString::number(value - 1);
    const QString more = QString::number(value + 1);
    switch (button) {
    case SourceModuleDown:
        if (value > 1)
            setSrceModNo(less);
        break;
    case SourceModuleUp:
        if (value < Limits::Modules)
            setSrceModNo(more);
        break;
    case SourceChannelDown:
        if (Number(m_srceModNo) < 1) {
            setSrceChnlNo(QString());
            return;
        }
        setSrceChnlNo(value <= 0 ? gNoChannelText : less);
        break;
    case SourceChannelUp:
        if (Number(m_srceModNo) < 1) {
            setSrceChnlNo(QString());
            return;
        }
        if (m_panel && value < m_panel->ChannelCount())
            setSrceChnlNo(more);
        break;
    case DestModuleDown:
    case DestModuleUp:
        if (button == DestModuleDown ? value > 1 : value < Limits::Modules) {
            setDestModNo(button == DestModuleDown ? less : more);
            m_destModType = modelName(module(Number(m_destModNo)));
        }
        break;
    case DestChannelDown:
        if (Number(m_destModNo) < 1)
            return;
        if (value > 1)
            m_destChnlNo = less;
        break;
    case DestChannelUp: {
        if (Number(m_destModNo) < 1)
            return;
        const auto dest = module(Number(m_destModNo));
        if (dest && value < dest->ChannelCount())
            m_destChnlNo = more;
        break;
    }
    default:
        return;
    }
    if (IsNumber(m_destModNo)) {
        const auto dest = module(Number(m_destModNo));
        if (dest && takesNoChannel(dest->Model()))
            m_destChnlNo = NoDestChannel;
    }
}

bool MirrorChoice::Accept()
{
    const bool complete = IsNumber(m_destModNo) && IsNumber(m_srceModNo) && !m_srceChnlNo.isEmpty()
                          && !(m_channelGroups && !IsNumber(m_destChnlNo));
    // A number the arrows cannot give (a caller's preset) is no module either.
    const bool modules = configModule(Number(m_srceModNo)) && configModule(Number(m_destModNo));
    if (!complete || !modules)
        return false;
    m_mirrorType = m_channelGroups ? m_option : 0;
    return true;
}

MirrorChoice::Mirror MirrorChoice::Chosen() const
{
    return {Number(m_srceModNo), Number(m_srceChnlNo), Number(m_destModNo),
            m_channelGroups ? Number(m_destChnlNo) : 0, m_mirrorType};
}

MirrorClass MirrorChoice::ChosenMirror() const
{
    const Mirror m = Chosen();
    MirrorClass out;
    out.setFromModule(int16_t(m.fromModule));
    out.setFromChannel(int16_t(m.fromChannel));
    out.setToModule(int16_t(m.toModule));
    out.setToChannel(int16_t(m.toChannel));
    out.setMirrorType(int16_t(m.mirrorType));
    return out;
}
