#pragma once
// What the operator's run-time screens add to the common look: a deeper
// band with the title and the clock in it, named touch buttons, and the keys
// the scroll buttons send to a list.

#include "platform/ControlArray.h"
#include "platform/ScreenLook.h"

#include <QRect>

class QLabel;
class QWidget;

namespace plat {
class PictureButton;
}

namespace RuntimeLook {

constexpr int ScreenWidth = plat::ScreenLook::ScreenWidth;
constexpr int ScreenHeight = plat::ScreenLook::ScreenHeight;
// A deeper band than the settings screens': the clock sits in it.
constexpr int Band = 64;

// The screen's title at the left of the band, captioned from text id tag.
QLabel* title(QWidget* screen, int tag, int width);
// lblDateTime(0) and (1), the date and the time at the right of the band.
void addClock(QWidget* screen, plat::ControlArray<QLabel>& lblDateTime);
// Shows the date and time of now in them.
void showNow(plat::ControlArray<QLabel>& lblDateTime);

// A touch button of the icon set, named when name is given.
plat::PictureButton* button(QWidget* parent, const char* name, const char* icon, const QRect& geometry);

// The key pressed and released on target, which takes the focus first.
void pressKey(QWidget* target, int key);

// The four scroll buttons beside a list, in order page up, row up, row down,
// page down: their icons and the keys they send to the list.
inline constexpr const char* ScrollIcons[] = {"pageup", "up", "down", "pagedown"};
inline constexpr int ScrollKeys[] = {Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown};

// What the screen paints: its background and its band.
plat::ScreenParts::Parts screenParts();

} // namespace RuntimeLook
