#include "platform/Shape.h"

#include "platform/Theme.h"

#include <QPainter>

namespace plat {

Shape::Shape(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setShape(Kind kind)
{
    m_kind = kind;
    update();
}

void Shape::setFillColor(unsigned int bgr)
{
    m_fill = bgr;
    update();
}

void Shape::setFilled(bool on)
{
    m_filled = on;
    update();
}

void Shape::setBorderColor(unsigned int bgr)
{
    m_border = bgr;
    update();
}

void Shape::setBorderWidth(int pixels)
{
    m_borderWidth = qMax(0, pixels);
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, m_kind == Circle);
    const QColor border = Theme::fromBgr(m_border);
    if (m_kind == Line) {
        p.setPen(QPen(border, qMax(1, m_borderWidth), Qt::SolidLine, Qt::FlatCap));
        if (width() >= height())
            p.drawLine(QPointF(0, height() / 2.0), QPointF(width(), height() / 2.0));
        else
            p.drawLine(QPointF(width() / 2.0, 0), QPointF(width() / 2.0, height()));
        return;
    }
    QRectF r(rect());
    if (m_kind == Square || m_kind == Circle) {
        const qreal side = qMin(r.width(), r.height());
        r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }
    // The border lies inside the shape's place.
    const qreal inset = m_borderWidth / 2.0;
    r.adjust(inset, inset, -inset, -inset);
    p.setPen(m_borderWidth > 0 ? QPen(border, m_borderWidth) : QPen(Qt::NoPen));
    p.setBrush(m_filled ? QBrush(Theme::fromBgr(m_fill)) : QBrush(Qt::NoBrush));
    if (m_kind == Circle)
        p.drawEllipse(r);
    else
        p.drawRect(r);
}

} // namespace plat
