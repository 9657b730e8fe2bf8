#include "program/screens/system/SystemLook.h"

#include "platform/Icons.h"
#include "platform/PictureButton.h"
#include "platform/Theme.h"

#include <QLabel>
#include <QPainter>

namespace SystemLook {

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align)
{
    auto* l = new QLabel(parent);
    l->setFont(plat::Theme::font(pointSize, bold));
    l->setAlignment(align);
    return l;
}

void placeTitle(QLabel* title, QLabel* shadow, int width)
{
    for (QLabel* l : {title, shadow}) {
        l->setFont(plat::Theme::font(20, true));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    title->setStyleSheet(QStringLiteral("color: white;"));
    shadow->setStyleSheet(QStringLiteral("color: black;"));
    title->setGeometry(24, 0, width - 48, Band);
    shadow->setGeometry(title->geometry().translated(ShadowOffset, ShadowOffset));
    shadow->stackUnder(title);
}

plat::PictureButton* button(QWidget* parent, const char* icon, const QRect& geometry)
{
    auto* b = new plat::PictureButton(parent);
    b->setSvg(plat::Icons::svg(QLatin1String(icon)));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

void paintField(QWidget* field, unsigned int bgr)
{
    field->setStyleSheet(QStringLiteral("background: %1; color: %2; border: 1px solid %3; border-radius: 4px;")
                             .arg(plat::Theme::fromBgr(bgr).name(), plat::Theme::text().name(),
                                  plat::Theme::buttonBorder().name()));
}

void paintScreen(QWidget* screen)
{
    QPainter p(screen);
    p.fillRect(screen->rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, screen->width(), Band), plat::Theme::accent());
}

void paintDialog(QWidget* dialog, int band)
{
    QPainter p(dialog);
    p.fillRect(dialog->rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, dialog->width(), band), plat::Theme::accent());
    p.setPen(QPen(plat::Theme::buttonBorder(), 1));
    p.drawRect(dialog->rect().adjusted(0, 0, -1, -1));
}

} // namespace SystemLook
