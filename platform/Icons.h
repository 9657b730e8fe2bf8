#pragma once
// The program's one icon set: SVG files compiled in (platform/icons), drawn
// in the palette of the theme. A new icon is a new file there and a line of
// platformicons.qrc. In a file, "@text@", "@accent@", "@accentdark@" (the
// edge of an accent tile) and "@border@" stand for the theme's colours.

#include <QByteArray>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace plat::Icons {

// The SVG text of the icon of that name ("ok", "quit", ...); empty for an
// unknown name.
QByteArray svg(const QString& name);
// The icon drawn as a picture of that size (a still image, not a button).
QPixmap pixmap(const QString& name, const QSize& size);

} // namespace plat::Icons
