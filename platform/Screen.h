#pragma once
// Screen-wide services of the run-time: the mouse pointer, yielding to the
// message loop, and the screen size in twips.

class QWidget;

namespace plat::Screen {

constexpr int vbDefault = 0;
constexpr int vbHourglass = 11;
constexpr int vbArrowHourglass = 13;

// 0 restores the default pointer, 11 shows the hourglass for every window,
// 13 the arrow with an hourglass (busy, the screen still answering).
void setMousePointer(int pointer);
int MousePointer();
// The hourglass for as long as it lives, then the pointer as it was, also
// when the work in between raises.
class Hourglass {
public:
    Hourglass() : m_saved(MousePointer()) { setMousePointer(vbHourglass); }
    ~Hourglass() { setMousePointer(m_saved); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    int m_saved;
};
// The controls of a form that carry the custom pointer (the touch buttons)
// take the pointer of source.
void shareCustomPointer(QWidget* form, const QWidget* source);

// Lets the message loop run once (timers, repaints, input).
void DoEvents();

int WidthTwips();
int HeightTwips();

} // namespace plat::Screen
