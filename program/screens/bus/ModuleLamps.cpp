#include "program/screens/bus/ModuleLamps.h"

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Limits.h"

#include <algorithm>
#include <cmath>

namespace ModuleLamps {

namespace {

constexpr int kLabelLeft[] = {930, 4860};
constexpr int kLampLeft[] = {390, 4320};
constexpr int kNumberLeft[] = {120, 8130};
constexpr int kTop = 330;
constexpr int kLabelWidth = 3195;
constexpr int kLampWidth = 435;

QString blanked(QString text)
{
    return text.replace(QChar(0), QLatin1Char(' '));
}

} // namespace

void Blink::step()
{
    phase = (phase + 1) % 4;
    pulse = phase == 0;
    if (phase == 0) {
        fast = !fast;
        slow = !slow;
    } else if (phase == 2) {
        fast = !fast;
    }
}

unsigned int LampColor(const QString& tag, const Blink& blink)
{
    if (tag == QLatin1String("0"))
        return Grey;
    if (tag == QLatin1String("1"))
        return Red;
    if (tag == QLatin1String("2"))
        return blink.pulse ? Red : Grey;
    if (tag == QLatin1String("3"))
        return blink.fast ? Red : Grey;
    if (tag == QLatin1String("4"))
        return blink.slow ? Red : Grey;
    return Yellow;
}

unsigned int HornColor(qint16 word)
{
    return word == 0 ? Grey : Red;
}

int LampCount(int channelCount)
{
    return channelCount == Limits::LastChannel ? Limits::LastChannel : Limits::LastChannelOfOthers;
}

Row RowOf(int i, int n, int numberHeight)
{
    const bool wide = n == Limits::LastChannel;
    const int pitch = wide ? 495 : 990;
    const int labelHeight = wide ? 420 : 855;
    const int lampHeight = wide ? 240 : 435;
    const int half = n / 2;
    const int row = (i - 1) % half;
    const int column = i > half ? 1 : 0;
    Row r;
    r.label = QRect(kLabelLeft[column], kTop + row * pitch, kLabelWidth, labelHeight);
    r.lamp = QRect(kLampLeft[column], r.label.top() + (labelHeight - lampHeight) / 2, kLampWidth, lampHeight);
    r.number = QPoint(kNumberLeft[column], r.label.top() + (labelHeight - numberHeight) / 2);
    return r;
}

QString Caption(const ConfigClass& config, const ChannelClass& channel)
{
    QString caption = blanked(config.Biblio(channel.BibNum()));
    if (!caption.isEmpty())
        caption += QStringLiteral(" - ");
    return caption + blanked(channel.ScreenText());
}

int CentringReturns(const QString& caption, double labelWidth, double labelHeight,
                    const std::function<double(const QString&)>& width, double lineHeight)
{
    const int needed = int(std::ceil(width(caption) / labelWidth));
    const int available = int(std::ceil(labelHeight / lineHeight));
    return std::max(available - needed, 0) / 2;
}

} // namespace ModuleLamps
