#include "program/screens/bus/MirrorLines.h"

#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/Limits.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/MirrorChoice.h"

namespace {

// Only a model 1 module steps through its channels here.
constexpr int kSteppingModel = 1;

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString titleOf(int module, int shownModule, const PanelClass* panel)
{
    if (module == shownModule && panel)
        return panel->Title();
    if (module < 1 || module > Limits::Modules)
        return QString();
    return gConfig->Panel(int16_t(module))->Title();
}

} // namespace

QString MirrorLines::FormatChannel(const MirrorClass& mirror, bool destination, int shownModule,
                                   const PanelClass* panel)
{
    const int module = destination ? mirror.ToModule() : mirror.FromModule();
    const int channel = destination ? mirror.ToChannel() : mirror.FromChannel();
    QString line = gMirrorTypeLetters.mid(mirror.MirrorType(), 1);
    line += QLatin1Char('-') + gPanelLetter + twoDigits(module) + QLatin1Char('-');
    line += channel == 0 ? gNoChannelText : gChannelLetter + twoDigits(channel);
    line += QStringLiteral("  ") + titleOf(module, shownModule, panel);
    return line;
}

MirrorLines::Lists MirrorLines::Fill(const MirrorClasses& list, int module, int channel, const PanelClass* panel)
{
    Lists lists;
    for (const auto& m : list) {
        if (m->FromModule() == module && m->FromChannel() == channel)
            lists.to.push_back({FormatChannel(*m, true, module, panel), IdNumber(m->ID())});
        else if (m->ToModule() == module && m->ToChannel() == channel)
            lists.from.push_back({FormatChannel(*m, false, module, panel), IdNumber(m->ID())});
    }
    return lists;
}

qint32 MirrorLines::IdNumber(const QString& id)
{
    return id.toInt();
}

QString MirrorLines::ChannelDown(const QString& channel, const PanelClass& panel)
{
    const int c = MirrorChoice::Number(channel);
    if (c > 1 && panel.Model() == kSteppingModel)
        return QString::number(c - 1);
    return gNoChannelText;
}

QString MirrorLines::ChannelUp(const QString& channel, const PanelClass& panel)
{
    const int c = MirrorChoice::Number(channel);
    if (c < panel.ChannelCount() && panel.Model() == kSteppingModel)
        return QString::number(c + 1);
    return gNoChannelText;
}
