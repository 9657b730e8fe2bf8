#include "program/screens/system/SettingsLook.h"

#include "platform/Captions.h"
#include "platform/Icons.h"
#include "platform/PictureButton.h"
#include "platform/Theme.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>

namespace SettingsLook {

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setFont(plat::Theme::font(pointSize, bold));
    l->setAlignment(align);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

plat::PictureButton* button(QWidget* parent, const QString& icon, const QRect& geometry)
{
    auto* b = new plat::PictureButton(parent);
    b->setSvg(plat::Icons::svg(icon));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

QGroupBox* group(QWidget* parent, const QRect& geometry)
{
    auto* g = new QGroupBox(parent);
    g->setFont(plat::Theme::font(11, true));
    g->setGeometry(geometry);
    g->setStyleSheet(QStringLiteral("QGroupBox { background: %1; border: 1px solid %2; border-radius: 6px;"
                                    " margin-top: 12px; }"
                                    "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }")
                         .arg(plat::Theme::panel().name(), plat::Theme::buttonBorder().name()));
    return g;
}

void title(plat::ControlArray<QLabel>& labels, int shadow, int face, QWidget* parent, int tag)
{
    const QRect r(20, 8, ScreenWidth - 120, Band - 16);
    for (int i : {shadow, face}) {
        auto* l = labels.add(i, label(parent, 20, true, Qt::AlignLeft | Qt::AlignVCenter));
        l->setGeometry(i == shadow ? r.translated(2, 2) : r);
        l->setStyleSheet(QStringLiteral("color: %1; background: transparent;")
                             .arg(i == shadow ? QStringLiteral("rgba(0,0,0,110)") : QStringLiteral("white")));
        plat::setTag(l, tag);
    }
    labels(face)->raise();
}

QString scrollBarStyle()
{
    return QStringLiteral("QScrollBar:vertical { width: 22px; background: %1; margin: 0; }"
                          "QScrollBar::handle:vertical { background: %2; min-height: 40px; border-radius: 6px;"
                          " margin: 3px; }"
                          "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                          "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
        .arg(plat::Theme::window().name(), plat::Theme::buttonBorder().name());
}

QString listStyle(int rowHeight)
{
    return QStringLiteral("QListWidget { border: 1px solid %1; border-radius: 4px; background: %2; }"
                          "QListWidget::item { height: %3px; }"
                          "QListWidget::item:selected { background: %4; color: white; }")
               .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name())
               .arg(rowHeight)
               .arg(plat::Theme::accent().name()) +
           scrollBarStyle();
}

QString textBoxStyle()
{
    return QStringLiteral("QPlainTextEdit { border: 1px solid %1; border-radius: 4px; background: %2; }")
               .arg(plat::Theme::buttonBorder().name(), plat::Theme::panel().name()) +
           scrollBarStyle();
}

void paintScreen(QWidget* screen)
{
    QPainter p(screen);
    p.fillRect(screen->rect(), plat::Theme::window());
    p.fillRect(QRect(0, 0, screen->width(), Band), plat::Theme::accent());
}

} // namespace SettingsLook
