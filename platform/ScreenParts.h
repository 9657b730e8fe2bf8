#pragma once
// What a screen paints itself, under its controls: its background, the bands
// across it and the frame round it. A screen states them once, in the pixels
// of the 800 x 600 design; its painting and the gallery's check both read
// the statement, and both place the bands with the ratios the screen was
// scaled by, as its controls are placed, so that a scaled screen is the
// design's made larger.

#include <QColor>
#include <QRect>
#include <QSize>

#include <vector>

class QPainter;
class QWidget;

namespace plat::ScreenParts {

// A band across the whole width of the screen.
struct Band {
    // Reaches the bottom of the screen, whatever its height.
    static constexpr int ToBottom = -1;
    int top = 0;
    int height = 0;
    QColor colour;
};

struct Parts {
    QColor background;
    std::vector<Band> bands;
    // A frame of that width round the screen; 0 for none.
    int frame = 0;
    QColor frameColour;
};

// States what the screen paints (again, when it changes).
void state(QWidget* screen, const Parts& parts);
// What the screen stated; nothing stated, no background and no band.
Parts stated(const QWidget* screen);

// The ratios the screen was scaled by, horizontal and vertical (1, 1 until it is).
void setRatios(QWidget* screen, double horizontal, double vertical);
double horizontalRatio(const QWidget* screen);
double verticalRatio(const QWidget* screen);
// A rectangle of the design placed with those ratios, as a control is:
// each of position and size multiplied and rounded.
QRect scaled(const QRect& design, double horizontal, double vertical);

// The stated bands where they lie on the screen now.
std::vector<QRect> bandRects(const QWidget* screen);

// Paints what the screen stated: the screen's paint event calls it.
void paint(QWidget* screen);
// Paints the parts over an area of that size, the design's rows made
// larger by the vertical ratio (a background picture of the screen).
void paint(QPainter& painter, const Parts& parts, const QSize& area, double vertical = 1.0);

} // namespace plat::ScreenParts
