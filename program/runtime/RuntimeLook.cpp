#include "program/runtime/RuntimeLook.h"

#include "platform/Captions.h"
#include "platform/DateTime.h"
#include "platform/PictureButton.h"
#include "platform/ScreenLook.h"
#include "platform/Theme.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

namespace RuntimeLook {

QLabel* title(QWidget* screen, int tag, int width)
{
    auto* l = new QLabel(screen);
    l->setObjectName(QStringLiteral("lblLabels"));
    l->setFont(plat::Theme::font(20, true));
    l->setStyleSheet(QStringLiteral("color: white;"));
    l->setGeometry(16, 0, width, Band);
    plat::setTag(l, tag);
    return l;
}

void addClock(QWidget* screen, plat::ControlArray<QLabel>& lblDateTime)
{
    for (int i = 0; i < 2; ++i) {
        auto* l = lblDateTime.add(i, new QLabel(screen));
        l->setFont(plat::Theme::font(i == 0 ? 12 : 16, i == 1));
        l->setStyleSheet(QStringLiteral("color: white;"));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(520, i == 0 ? 4 : 28, 264, i == 0 ? 24 : 32);
    }
}

void showNow(plat::ControlArray<QLabel>& lblDateTime)
{
    const plat::DateTime now = plat::DateTime::now();
    lblDateTime(0)->setText(plat::formatShortDate(now));
    lblDateTime(1)->setText(plat::formatLongTime(now));
}

plat::PictureButton* button(QWidget* parent, const char* name, const char* icon, const QRect& geometry)
{
    auto* b = plat::ScreenLook::button(parent, QLatin1String(icon), geometry);
    if (name)
        b->setObjectName(QLatin1String(name));
    return b;
}

void pressKey(QWidget* target, int key)
{
    target->setFocus(Qt::OtherFocusReason);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

plat::ScreenParts::Parts screenParts()
{
    return plat::ScreenLook::screenParts(Band);
}

} // namespace RuntimeLook
