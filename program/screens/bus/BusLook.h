#pragma once
// What only the bus configuration screens show: a module title in its own
// colour on a dark background, and the cross over an unusable module's tile.

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <cstdint>

namespace BusLook {

// Behind a module title: every title colour shows on it (0x00BBGGRR 0x404040).
inline const QColor TitleBackground{0x40, 0x40, 0x40};
// Over a crossed tile the background lets the cross through.
inline constexpr int CrossedTitleAlpha = 180;
// The style of a module title in its colour (0x00BBGGRR), on a box that lets
// the cross be seen through it on a crossed tile.
QString titleStyle(int32_t bgr, bool crossed = false);

// The tile's cross, stretched over size pixels.
QPixmap cross(const QSize& size);

} // namespace BusLook
