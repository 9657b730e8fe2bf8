#include "program/screens/bus/BusIcons.h"

#include "platform/Theme.h"

#include <QPainter>

namespace BusIcons {

namespace {

QByteArray stroke(const QByteArray& colour, int width = 4)
{
    return "fill='none' stroke='" + colour + "' stroke-width='" + QByteArray::number(width) +
        "' stroke-linecap='round' stroke-linejoin='round'";
}

QByteArray wrap(const QByteArray& body)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48' viewBox='0 0 48 48'>" + body + "</svg>";
}

} // namespace

QByteArray svg(Icon which)
{
    const QByteArray ink = plat::Theme::text().name().toLatin1();
    const QByteArray accent = plat::Theme::accent().name().toLatin1();
    const QByteArray s = stroke(ink);
    const QByteArray a = stroke(accent);
    QByteArray body;
    switch (which) {
    case Icon::Home:
        body = "<path d='M8 24 L24 9 L40 24' " + s + "/><path d='M13 20 L13 39 L35 39 L35 20' " + s +
            "/><path d='M21 39 L21 29 L27 29 L27 39' " + s + "/>";
        break;
    case Icon::Overview:
        body = "<rect x='8' y='8' width='13' height='13' rx='2' " + s +
            "/><rect x='27' y='8' width='13' height='13' rx='2' " + s +
            "/><rect x='8' y='27' width='13' height='13' rx='2' " + s +
            "/><rect x='27' y='27' width='13' height='13' rx='2' " + s + "/>";
        break;
    case Icon::Previous:
        body = "<path d='M30 9 L15 24 L30 39' " + stroke(ink, 5) + "/>";
        break;
    case Icon::Next:
        body = "<path d='M18 9 L33 24 L18 39' " + stroke(ink, 5) + "/>";
        break;
    case Icon::Up:
        body = "<path d='M9 31 L24 16 L39 31' " + stroke(ink, 5) + "/>";
        break;
    case Icon::Down:
        body = "<path d='M9 17 L24 32 L39 17' " + stroke(ink, 5) + "/>";
        break;
    case Icon::Edit:
        body = "<path d='M10 38 L12 29 L31 10 L38 17 L19 36 Z' " + a + "/><path d='M27 14 L34 21' " + a + "/>";
        break;
    case Icon::Copy:
        body = "<rect x='9' y='9' width='20' height='24' rx='2' " + s +
            "/><rect x='19' y='16' width='20' height='24' rx='2' " + s + "/>";
        break;
    case Icon::Paste:
        body = "<rect x='11' y='10' width='26' height='30' rx='2' " + s + "/><path d='M18 10 L18 7 L30 7 L30 10' " + s +
            "/><path d='M17 21 L31 21 M17 28 L31 28' " + s + "/>";
        break;
    case Icon::Cut:
        body = "<circle cx='15' cy='35' r='5' " + s + "/><circle cx='33' cy='35' r='5' " + s +
            "/><path d='M18 31 L33 8 M30 31 L15 8' " + s + "/>";
        break;
    case Icon::Clear:
        body = "<rect x='10' y='10' width='28' height='28' rx='3' " + s + "/><path d='M17 17 L31 31 M31 17 L17 31' " +
            s + "/>";
        break;
    case Icon::Undo:
        body = "<path d='M16 13 L9 20 L16 27' " + s + "/><path d='M9 20 L28 20 A10 10 0 0 1 28 40 L18 40' " + s + "/>";
        break;
    case Icon::Reset:
        body = "<path d='M37 24 A13 13 0 1 1 33 14.5' " + s + "/><path d='M34 6 L34 15 L25 15' " + s + "/>";
        break;
    case Icon::NextModel:
        body = "<rect x='7' y='14' width='22' height='20' rx='3' " + s + "/><path d='M33 17 L40 24 L33 31' " + a +
            "/><path d='M13 21 L23 21 M13 27 L20 27' " + s + "/>";
        break;
    case Icon::Active:
        body = "<path d='M16 13 A14 14 0 1 0 32 13' " + s + "/><path d='M24 7 L24 24' " + s + "/>";
        break;
    case Icon::Mirrors:
        body = "<path d='M8 17 L36 17 M29 10 L36 17 L29 24' " + s + "/><path d='M40 31 L12 31 M19 24 L12 31 L19 38' " +
            s + "/>";
        break;
    case Icon::CopyModule:
        body = "<rect x='6' y='12' width='15' height='24' rx='2' " + s +
            "/><rect x='27' y='12' width='15' height='24' rx='2' " + s +
            "/><path d='M16 24 L33 24 M28 19 L33 24 L28 29' " + a + "/>";
        break;
    case Icon::Import:
        body = "<path d='M24 7 L24 29 M16 21 L24 29 L32 21' " + s + "/><path d='M9 30 L9 40 L39 40 L39 30' " + s + "/>";
        break;
    case Icon::Export:
        body = "<path d='M24 29 L24 7 M16 15 L24 7 L32 15' " + s + "/><path d='M9 30 L9 40 L39 40 L39 30' " + s + "/>";
        break;
    }
    return wrap(body);
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

} // namespace BusIcons
