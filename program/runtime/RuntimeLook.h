#pragma once
// The common look of the operator's full screens: the 800 x 600 screen with
// its title band, the title and the clock in the band, touch buttons from the
// program's icons, and the keys the scroll buttons send to a list.

#include "platform/ControlArray.h"

#include <QRect>

class QLabel;
class QWidget;

namespace plat {
class PictureButton;
}

namespace RuntimeLook {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;
constexpr int Band = 64;

// The screen's title at the left of the band, captioned from text id tag.
QLabel* title(QWidget* screen, int tag, int width);
// lblDateTime(0) and (1), the date and the time at the right of the band.
void addClock(QWidget* screen, plat::ControlArray<QLabel>& lblDateTime);
// Shows the date and time of now in them.
void showNow(plat::ControlArray<QLabel>& lblDateTime);

plat::PictureButton* button(QWidget* parent, const char* name, const char* icon, const QRect& geometry);

// The key pressed and released on target, which takes the focus first.
void pressKey(QWidget* target, int key);

// The screen's background and its band.
void paintScreen(QWidget* screen);

} // namespace RuntimeLook
