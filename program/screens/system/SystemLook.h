#pragma once
// The common look of the system and parameter screens: the 800 x 600 screen
// with its title band and the title's shadow, captions in the program's font,
// touch buttons from the icon set, and the framed value boxes the operator
// edits (white, or yellow while selected).

#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace plat {
class PictureButton;
}

namespace SystemLook {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;
constexpr int Band = 60;
constexpr int ShadowOffset = 2;
constexpr int ButtonSize = 64;
// The bar of leave and close buttons along the bottom.
constexpr int BarTop = ScreenHeight - ButtonSize - 10;

// A value box's background, as the configuration's colours are given (0x00BBGGRR).
constexpr unsigned int FieldWhite = 0xFFFFFF;
constexpr unsigned int FieldSelected = 0x00FFFF;   // yellow

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
// The title label in the band and its black shadow just behind it.
void placeTitle(QLabel* title, QLabel* shadow, int width);
plat::PictureButton* button(QWidget* parent, const char* icon, const QRect& geometry);
// A value box in that background colour.
void paintField(QWidget* field, unsigned int bgr);
// The screen's background and its title band.
void paintScreen(QWidget* screen);
// A dialog's background, its title band of that height and its frame.
void paintDialog(QWidget* dialog, int band);

} // namespace SystemLook
