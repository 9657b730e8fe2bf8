#include "program/standins/StandInScreen.h"

#include "platform/Theme.h"

#include <QLabel>
#include <QPainter>

StandInScreen::StandInScreen(const QString& name) : plat::Form(name)
{
    setMinimumSize(Width, Height);
    resize(Width, Height);
}

QLabel* StandInScreen::newTitle()
{
    auto* title = new QLabel(this);
    title->setFont(plat::Theme::font(20, true));
    title->setStyleSheet(QStringLiteral("color: white;"));
    title->setGeometry(24, 0, Width - 48, Band);
    return title;
}

void StandInScreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, width(), Band), plat::Theme::accent());
}
