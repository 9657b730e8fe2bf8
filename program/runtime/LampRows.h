#pragma once
// The channel rows of the screens that show a module's lamps (the remote
// control screens and module buttons, the technician's live module state):
// layouts given in twips, shapes and captions copied from hidden templates,
// and a lamp or a caption shown over its frame.

#include <QRect>

#include <optional>

class QLabel;
class QWidget;

namespace plat {
class Shape;
}

namespace LampRows {

// The channel number beside a lamp: its label is 15 pixels wide, which two
// digits fill at this size.
constexpr int NumberPointSize = 8;

// The colour (0x00BBGGRR) of a lamp showing a channel's state: the screen's
// own grey for 0, red for 1, magenta for any other state.
constexpr unsigned int LampOn = 0x0000FF;
constexpr unsigned int LampOther = 0xFF00FF;
constexpr unsigned int LampColor(int state, unsigned int off)
{
    return state == 0 ? off : state == 1 ? LampOn : LampOther;
}

// Twips to pixels, and a rectangle given in twips.
int px(double twips);
QRect place(int left, int top, int width, int height);
QRect place(const QRect& twips);

// A shape at its place; no fill leaves it transparent.
plat::Shape* shape(QWidget* parent, int kind, const QRect& geometry, std::optional<unsigned int> fill,
                   unsigned int border, int borderWidth);
// Copies of a template: its place, look and font, and whether it shows a value.
plat::Shape* copyShape(plat::Shape* element0);
QLabel* copyLabel(QLabel* element0);

// Shows the frame round front, grown by margin pixels, with front on top of it.
void showFramed(QWidget* front, plat::Shape* frame, int margin);

} // namespace LampRows
