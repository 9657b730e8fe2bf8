#pragma once
// The one palette and font family of the whole program, set once for the
// application; screens do not choose their own.

#include <QColor>
#include <QFont>

class QApplication;

namespace plat::Theme {

// The palette, the font and the style: the touch panel's, whose captions
// draw no keyboard accelerator.
void apply(QApplication& app);
QFont font(int pointSize = 11, bool bold = false);
// The fixed-pitch face of the same family, for text aligned in columns.
QFont fixedFont(int pointSize = 11, bool bold = false);

QColor window();
QColor panel();
QColor text();
QColor textDisabled();
QColor accent();
QColor buttonFace();
QColor buttonPressed();
QColor buttonDisabled();
QColor buttonBorder();

// A colour given as 0x00BBGGRR, the order the configuration stores, and back.
inline QColor fromBgr(unsigned int bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
inline unsigned int toBgr(const QColor& c)
{
    return unsigned(c.red()) | unsigned(c.green()) << 8 | unsigned(c.blue()) << 16;
}

} // namespace plat::Theme
