#include "program/runtime/LampRows.h"

#include "platform/Captions.h"
#include "platform/Form.h"
#include "platform/Shape.h"

#include <QLabel>

namespace LampRows {

int px(double twips)
{
    return qRound(twips / plat::kTwipsPerPixel);
}

QRect place(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

QRect place(const QRect& twips)
{
    return place(twips.x(), twips.y(), twips.width(), twips.height());
}

plat::Shape* shape(QWidget* parent, int kind, const QRect& geometry, std::optional<unsigned int> fill,
                   unsigned int border, int borderWidth)
{
    auto* s = new plat::Shape(plat::Shape::Kind(kind), parent);
    s->setGeometry(geometry);
    s->setFilled(fill.has_value());
    if (fill)
        s->setFillColor(*fill);
    s->setBorderColor(border);
    s->setBorderWidth(borderWidth);
    return s;
}

plat::Shape* copyShape(plat::Shape* e0)
{
    plat::Shape* s = shape(e0->parentWidget(), e0->shape(), e0->geometry(), std::nullopt, e0->BorderColor(),
                           e0->BorderWidth());
    s->setFilled(e0->Filled());
    s->setFillColor(e0->FillColor());
    return s;
}

QLabel* copyLabel(QLabel* e0)
{
    auto* l = new QLabel(e0->parentWidget());
    l->setGeometry(e0->geometry());
    l->setFont(e0->font());
    l->setAlignment(e0->alignment());
    l->setWordWrap(e0->wordWrap());
    l->setStyleSheet(e0->styleSheet());
    if (plat::showsValue(e0))
        plat::markValue(l);
    return l;
}

void showFramed(QWidget* front, plat::Shape* frame, int margin)
{
    frame->setGeometry(front->geometry().adjusted(-margin, -margin, margin, margin));
    frame->show();
    frame->raise();
    front->raise();
}

} // namespace LampRows
