#pragma once
// The SVG pictures of the main window's buttons, drawn in the program's
// palette: the menu tiles (a coloured tile with a white symbol at its top,
// the caption going over its middle) and the tool buttons (a dark symbol).

#include <QByteArray>

namespace SystemIcons {

enum class Tile { BusModules, Parameters, System, Alarms, Technician, About };
enum class Tool { SaveAs, Open, Quit, New, Login, Language };

// Tile pictures fill a tile of width x height pixels.
QByteArray tile(Tile which, int width, int height);
QByteArray tool(Tool which);

} // namespace SystemIcons
