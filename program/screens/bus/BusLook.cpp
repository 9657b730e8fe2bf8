#include "program/screens/bus/BusLook.h"

#include "platform/PictureButton.h"
#include "platform/Theme.h"

#include <QLabel>
#include <QPainter>

namespace BusLook {

QString titleStyle(int32_t bgr)
{
    return QStringLiteral("color: %1; background: %2; border-radius: 6px;")
        .arg(plat::Theme::fromBgr(uint32_t(bgr)).name(), TitleBackground.name());
}

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align)
{
    auto* l = new QLabel(parent);
    l->setFont(plat::Theme::font(pointSize, bold));
    l->setAlignment(align);
    return l;
}

plat::PictureButton* button(QWidget* parent, BusIcons::Icon icon, const QRect& geometry)
{
    auto* b = new plat::PictureButton(parent);
    b->setSvg(BusIcons::svg(icon));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

void paintScreen(QWidget* screen)
{
    QPainter p(screen);
    p.fillRect(screen->rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, screen->width(), Band), plat::Theme::accent());
}

} // namespace BusLook
