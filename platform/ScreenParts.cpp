#include "platform/ScreenParts.h"

#include <QPainter>
#include <QVariant>
#include <QWidget>

Q_DECLARE_METATYPE(plat::ScreenParts::Parts)

namespace plat::ScreenParts {

namespace {

constexpr const char* kParts = "ScreenParts";
constexpr const char* kHorizontal = "ScaleRatioH";
constexpr const char* kVertical = "ScaleRatioV";

double ratio(const QWidget* screen, const char* name)
{
    const QVariant v = screen->property(name);
    return v.isValid() ? v.toDouble() : 1.0;
}

} // namespace

void state(QWidget* screen, const Parts& parts)
{
    screen->setProperty(kParts, QVariant::fromValue(parts));
    screen->update();
}

Parts stated(const QWidget* screen)
{
    return screen->property(kParts).value<Parts>();
}

void setRatios(QWidget* screen, double horizontal, double vertical)
{
    screen->setProperty(kHorizontal, horizontal);
    screen->setProperty(kVertical, vertical);
}

double horizontalRatio(const QWidget* screen)
{
    return ratio(screen, kHorizontal);
}

double verticalRatio(const QWidget* screen)
{
    return ratio(screen, kVertical);
}

QRect scaled(const QRect& design, double horizontal, double vertical)
{
    return QRect(qRound(design.x() * horizontal), qRound(design.y() * vertical), qRound(design.width() * horizontal),
                 qRound(design.height() * vertical));
}

namespace {

std::vector<QRect> bandRects(const Parts& parts, const QSize& area, double vertical)
{
    std::vector<QRect> rects;
    for (const Band& band : parts.bands) {
        // Across the whole width, in the design's rows made larger.
        const bool toBottom = band.height == Band::ToBottom;
        const QRect rows = scaled(QRect(0, band.top, 1, toBottom ? 0 : band.height), 1.0, vertical);
        rects.emplace_back(0, rows.top(), area.width(), toBottom ? area.height() - rows.top() : rows.height());
    }
    return rects;
}

} // namespace

std::vector<QRect> bandRects(const QWidget* screen)
{
    return bandRects(stated(screen), screen->size(), verticalRatio(screen));
}

void paint(QPainter& p, const Parts& parts, const QSize& area, double vertical)
{
    const QRect all(QPoint(0, 0), area);
    if (parts.background.isValid())
        p.fillRect(all, parts.background);
    const std::vector<QRect> rects = bandRects(parts, area, vertical);
    for (std::size_t i = 0; i < rects.size(); ++i)
        p.fillRect(rects[i], parts.bands[i].colour);
    if (parts.frame <= 0)
        return;
    // The pen runs along the inside of the edge.
    p.setPen(QPen(parts.frameColour, parts.frame));
    p.setBrush(Qt::NoBrush);
    if (parts.frame == 1) {
        p.drawRect(all.adjusted(0, 0, -1, -1));
    } else {
        const double half = parts.frame / 2.0;
        p.drawRect(QRectF(all).adjusted(half, half, -half, -half));
    }
}

void paint(QWidget* screen)
{
    QPainter p(screen);
    paint(p, stated(screen), screen->size(), verticalRatio(screen));
}

} // namespace plat::ScreenParts
