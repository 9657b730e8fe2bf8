#pragma once
// The common look of the bus configuration screens: the 800 x 600 screen
// with its title band, captions and touch buttons in the program's font, and
// the dark background on which a module title shows in its own colour, and
// the cross over an unusable module's tile.

#include <QColor>
#include <QPixmap>
#include <QRect>

class QLabel;
class QWidget;

namespace plat {
class PictureButton;
}

namespace BusLook {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;
constexpr int Band = 60;
constexpr int ButtonWidth = 64;

// Behind a module title: every title colour shows on it (0x00BBGGRR 0x404040).
inline const QColor TitleBackground{0x40, 0x40, 0x40};
// The style of a module title in its colour (0x00BBGGRR).
QString titleStyle(int32_t bgr);

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align);
// A touch button with the picture of that name of the program's icon set.
plat::PictureButton* button(QWidget* parent, const char* icon, const QRect& geometry);
// The tile's cross, stretched over size pixels.
QPixmap cross(const QSize& size);
// The screen's background and its title band.
void paintScreen(QWidget* screen);

} // namespace BusLook
