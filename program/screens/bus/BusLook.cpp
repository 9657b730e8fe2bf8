#include "program/screens/bus/BusLook.h"

#include "platform/Theme.h"

#include <QPainter>

namespace BusLook {

QString titleStyle(int32_t bgr, bool crossed)
{
    QColor back = TitleBackground;
    if (crossed)
        back.setAlpha(CrossedTitleAlpha);
    return QStringLiteral("color: %1; background: %2; border-radius: 6px;")
        .arg(plat::Theme::fromBgr(uint32_t(bgr)).name(), back.name(QColor::HexArgb));
}

QPixmap cross(const QSize& size)
{
    // Strong red over the tile, corner to corner; the captions stay readable above it.
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xD4, 0x2A, 0x2A, 220), 5, Qt::SolidLine, Qt::RoundCap));
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(8, 8, -8, -8);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    return pm;
}

} // namespace BusLook
