#include "program/screens/system/SystemIcons.h"

#include "platform/Theme.h"

namespace SystemIcons {

namespace {

// Symbols on a 48 x 48 grid, drawn with the stroke of their group.
QByteArray symbol(Tile which)
{
    switch (which) {
    case Tile::BusModules:
        return "<rect x='4' y='10' width='11' height='16' rx='2'/><rect x='18.5' y='10' width='11' height='16' rx='2'/>"
               "<rect x='33' y='10' width='11' height='16' rx='2'/><path d='M4 38 L44 38 M9.5 26 L9.5 38 M24 26 L24 38 "
               "M38.5 26 L38.5 38'/>";
    case Tile::Parameters:
        return "<path d='M6 12 L42 12 M6 24 L42 24 M6 36 L42 36'/><circle cx='16' cy='12' r='4.5' fill='white'/>"
               "<circle cx='32' cy='24' r='4.5' fill='white'/><circle cx='21' cy='36' r='4.5' fill='white'/>";
    case Tile::System:
        return "<circle cx='24' cy='24' r='12'/><circle cx='24' cy='24' r='4'/>"
               "<path d='M24 4 L24 10 M24 38 L24 44 M4 24 L10 24 M38 24 L44 24 M9.9 9.9 L14.1 14.1 M33.9 33.9 "
               "L38.1 38.1 M9.9 38.1 L14.1 33.9 M33.9 14.1 L38.1 9.9'/>";
    case Tile::Alarms:
        return "<path d='M24 5 C15 5 13 14 13 22 L13 31 L8 37 L40 37 L35 31 L35 22 C35 14 33 5 24 5 Z'/>"
               "<circle cx='24' cy='42' r='3' fill='white'/>";
    case Tile::Technician:
        return "<circle cx='32' cy='16' r='9'/><path d='M25.5 22.5 L9 39' stroke-width='7'/>";
    case Tile::About:
        return "<circle cx='24' cy='24' r='19'/><circle cx='24' cy='14' r='2.5' fill='white' stroke='none'/>"
               "<path d='M24 21 L24 35'/>";
    }
    return {};
}

QByteArray symbol(Tool which)
{
    switch (which) {
    case Tool::SaveAs:
        return "<path d='M8 8 L34 8 L40 14 L40 40 L8 40 Z'/><path d='M15 8 L15 18 L31 18 L31 8'/>"
               "<rect x='14' y='26' width='20' height='14'/>";
    case Tool::Open:
        return "<path d='M5 12 L18 12 L22 17 L41 17 L41 38 L5 38 Z'/><path d='M5 24 L43 24'/>";
    case Tool::Quit:
        return "<path d='M16 12 A15 15 0 1 0 32 12'/><path d='M24 6 L24 24'/>";
    case Tool::New:
        return "<path d='M11 5 L29 5 L37 13 L37 43 L11 43 Z'/><path d='M29 5 L29 13 L37 13'/>"
               "<path d='M24 21 L24 35 M17 28 L31 28'/>";
    case Tool::Login:
        return "<circle cx='15' cy='24' r='8'/><path d='M23 24 L42 24 M36 24 L36 32 M42 24 L42 31'/>";
    case Tool::Language:
        return "<circle cx='24' cy='24' r='18'/><ellipse cx='24' cy='24' rx='8' ry='18'/>"
               "<path d='M6 24 L42 24 M9 15 L39 15 M9 33 L39 33'/>";
    }
    return {};
}

QByteArray num(double v)
{
    return QByteArray::number(v, 'f', 3);
}

} // namespace

QByteArray tile(Tile which, int width, int height)
{
    const QByteArray w = QByteArray::number(width);
    const QByteArray h = QByteArray::number(height);
    const QByteArray accent = plat::Theme::accent().name().toLatin1();
    const QByteArray edge = plat::Theme::accent().darker(125).name().toLatin1();
    // The symbol sits in the tile's upper part, clear of the caption in its middle.
    const double size = height * 0.33;
    const double x = (width - size) / 2;
    const double y = height * 0.05;
    return "<svg xmlns='http://www.w3.org/2000/svg' width='" + w + "' height='" + h + "' viewBox='0 0 " + w + " " + h
        + "'><rect x='1' y='1' width='" + QByteArray::number(width - 2) + "' height='" + QByteArray::number(height - 2)
        + "' rx='10' fill='" + accent + "' stroke='" + edge + "' stroke-width='2'/><g transform='translate(" + num(x)
        + " " + num(y) + ") scale(" + num(size / 48) + ")' fill='none' stroke='white' stroke-width='4'"
        + " stroke-linecap='round' stroke-linejoin='round'>" + symbol(which) + "</g></svg>";
}

QByteArray tool(Tool which)
{
    const QByteArray ink = plat::Theme::text().name().toLatin1();
    return "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48' viewBox='0 0 48 48'><g fill='none' stroke='"
        + ink + "' stroke-width='4' stroke-linecap='round' stroke-linejoin='round'>" + symbol(which) + "</g></svg>";
}

} // namespace SystemIcons
