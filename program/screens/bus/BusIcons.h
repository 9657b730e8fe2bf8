#pragma once
// The pictures of the bus configuration screens' touch buttons, drawn in the
// program's palette, and the cross over an unusable module's tile.

#include <QByteArray>
#include <QPixmap>

namespace BusIcons {

enum class Icon {
    Home, // to the main window
    Overview, // to the bus overview
    Previous, // previous page, module or channel
    Next, // next page, module or channel
    Up, // previous row
    Down, // next row
    Edit,
    Copy,
    Paste,
    Cut,
    Clear,
    Undo, // cancel the module's edits
    Reset, // the module's defaults
    NextModel,
    Active,
    Mirrors,
    CopyModule,
    Import,
    Export,
};

QByteArray svg(Icon which);
// The tile's cross, stretched over size pixels.
QPixmap cross(const QSize& size);

} // namespace BusIcons
