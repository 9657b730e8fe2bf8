#include "platform/Theme.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>

namespace plat::Theme {

namespace {

// A touch panel shows no keyboard accelerators: a caption's "&" marks its key
// (the key still works) but draws no underline.
class TouchStyle : public QProxyStyle {
public:
    TouchStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_UnderlineShortcut)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QColor window() { return QColor(0xEC, 0xEF, 0xF3); }
QColor panel() { return QColor(0xFF, 0xFF, 0xFF); }
QColor text() { return QColor(0x1E, 0x27, 0x33); }
QColor textDisabled() { return QColor(0x9A, 0xA3, 0xAE); }
QColor accent() { return QColor(0x1F, 0x6F, 0xC5); }
QColor buttonFace() { return QColor(0xF8, 0xF9, 0xFB); }
QColor buttonPressed() { return QColor(0xC9, 0xD8, 0xEA); }
QColor buttonDisabled() { return QColor(0xE3, 0xE6, 0xEA); }
QColor buttonBorder() { return QColor(0x8E, 0x9B, 0xAA); }

QFont font(int pointSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"), pointSize);
    f.setBold(bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont fixedFont(int pointSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans Mono"), pointSize);
    f.setBold(bold);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    return f;
}

void apply(QApplication& app)
{
    app.setStyle(new TouchStyle);
    app.setFont(font());
    QPalette p;
    p.setColor(QPalette::Window, window());
    p.setColor(QPalette::WindowText, text());
    p.setColor(QPalette::Base, panel());
    p.setColor(QPalette::AlternateBase, window());
    p.setColor(QPalette::Text, text());
    p.setColor(QPalette::Button, buttonFace());
    p.setColor(QPalette::ButtonText, text());
    p.setColor(QPalette::Highlight, accent());
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, textDisabled());
    p.setColor(QPalette::Disabled, QPalette::ButtonText, textDisabled());
    p.setColor(QPalette::Disabled, QPalette::WindowText, textDisabled());
    app.setPalette(p);
}

} // namespace plat::Theme
