#include "platform/ScreenLook.h"

#include "platform/Captions.h"
#include "platform/Icons.h"
#include "platform/PictureButton.h"
#include "platform/Theme.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace plat::ScreenLook {

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setFont(Theme::font(pointSize, bold));
    l->setAlignment(align);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QLabel* bandLabel(QWidget* parent, int pointSize, const QRect& geometry)
{
    QLabel* l = label(parent, pointSize, true);
    l->setStyleSheet(QStringLiteral("color: white;"));
    l->setGeometry(geometry);
    return l;
}

void shadowed(QLabel* face, QLabel* shadow, const QRect& geometry, const QColor& ink, const QColor& shade, int offset)
{
    for (QLabel* l : {face, shadow})
        l->setStyleSheet(QStringLiteral("color: %1; background: transparent;")
                             .arg((l == face ? ink : shade).name(QColor::HexArgb)));
    face->setGeometry(geometry);
    shadow->setGeometry(geometry.translated(offset, offset));
    shadow->stackUnder(face);
    markShadow(shadow, face);
}

void title(QLabel* face, QLabel* shadow, const QRect& geometry)
{
    for (QLabel* l : {face, shadow}) {
        l->setFont(Theme::font(20, true));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    shadowed(face, shadow, geometry, Qt::white, Qt::black);
}

plat::PictureButton* button(QWidget* parent, const QString& icon, const QRect& geometry)
{
    auto* b = new plat::PictureButton(parent);
    b->setSvg(Icons::svg(icon));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

QString commandStyle()
{
    return QStringLiteral("QPushButton { background: %1; color: %2; border: 2px solid %3; border-radius: 10px;"
                          " padding: 4px 16px; }"
                          "QPushButton:pressed { background: %4; }"
                          "QPushButton:disabled { background: %5; color: %6; border-color: %5; }"
                          "QPushButton:focus { outline: none; }")
        .arg(Theme::buttonFace().name(), Theme::text().name(), Theme::buttonBorder().name(),
             Theme::buttonPressed().name(), Theme::buttonDisabled().name(), Theme::textDisabled().name());
}

// White with a dark rim, a dark dot when chosen.
QString optionMark()
{
    const QString ink = Theme::text().name();
    return QStringLiteral("QRadioButton::indicator { width: 22px; height: 22px; border-radius: 13px; border: 2px solid %1;"
                          " background: white; }"
                          "QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5,"
                          " fx:0.5, fy:0.5, stop:0 %1, stop:0.5 %1, stop:0.56 white, stop:1 white); }"
                          "QRadioButton::indicator:disabled { border-color: %2; }")
        .arg(ink, Theme::textDisabled().name());
}

void paintField(QWidget* field, unsigned int bgr)
{
    field->setStyleSheet(QStringLiteral("background: %1; color: %2; border: 1px solid %3; border-radius: 4px;")
                             .arg(Theme::fromBgr(bgr).name(), Theme::text().name(), Theme::buttonBorder().name()));
    field->setProperty("BackColor", bgr);
    markValue(field);
}

QGroupBox* group(QWidget* parent, const QRect& geometry)
{
    auto* g = new QGroupBox(parent);
    g->setFont(Theme::font(11, true));
    g->setGeometry(geometry);
    g->setStyleSheet(QStringLiteral("QGroupBox { background: %1; border: 1px solid %2; border-radius: 6px;"
                                    " margin-top: 12px; }"
                                    "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }")
                         .arg(Theme::panel().name(), Theme::buttonBorder().name()));
    return g;
}

QFrame* panel(QWidget* parent, const QRect& geometry)
{
    auto* f = new QFrame(parent);
    f->setGeometry(geometry);
    // Selected by its property, so that the frame does not pass to the controls on it.
    f->setProperty("panel", true);
    f->setStyleSheet(QStringLiteral("QFrame[panel=\"true\"] { background: %1; border: 1px solid %2; border-radius: 6px; }")
                         .arg(Theme::panel().name(), Theme::buttonBorder().name()));
    return f;
}

QString scrollBarStyle()
{
    return QStringLiteral("QScrollBar:vertical { width: 22px; background: %1; margin: 0; }"
                          "QScrollBar::handle:vertical { background: %2; min-height: 40px; border-radius: 6px;"
                          " margin: 3px; }"
                          "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                          "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
        .arg(Theme::window().name(), Theme::buttonBorder().name());
}

QString listStyle(int rowHeight)
{
    return QStringLiteral("QListWidget { border: 1px solid %1; border-radius: 4px; background: %2; }"
                          "QListWidget::item { height: %3px; }"
                          "QListWidget::item:selected { background: %4; color: white; }")
               .arg(Theme::buttonBorder().name(), Theme::panel().name())
               .arg(rowHeight)
               .arg(Theme::accent().name()) +
           scrollBarStyle();
}

QString textBoxStyle()
{
    return QStringLiteral("QPlainTextEdit { border: 1px solid %1; border-radius: 4px; background: %2; }")
               .arg(Theme::buttonBorder().name(), Theme::panel().name()) +
           scrollBarStyle();
}

ScreenParts::Parts screenParts(int band)
{
    return {Theme::window(), {{0, band, Theme::accent()}}};
}

ScreenParts::Parts dialogParts(int band)
{
    ScreenParts::Parts parts{Theme::window(), {}, 1, Theme::buttonBorder()};
    if (band > 0)
        parts.bands.push_back({0, band, Theme::accent()});
    return parts;
}

} // namespace plat::ScreenLook
