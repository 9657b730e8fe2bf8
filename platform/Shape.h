#pragma once
// The shape control: a rectangle, a square, a circle or a straight line drawn
// in its place, with a fill and a border given as 0x00BBGGRR colours (the
// order the screens' layouts give them). It takes no touch: a touch passes
// to what lies under it.

#include <QWidget>

namespace plat {

class Shape : public QWidget {
    Q_OBJECT
public:
    enum Kind { Rectangle, Square, Circle, Line };

    explicit Shape(Kind kind, QWidget* parent = nullptr);

    Kind shape() const { return m_kind; }
    // A square and a circle keep their side to the smaller of width and
    // height, centred; a line runs along the longer side, through the middle.
    void setShape(Kind kind);
    // The fill; a transparent shape shows what lies under it.
    unsigned int FillColor() const { return m_fill; }
    void setFillColor(unsigned int bgr);
    bool Filled() const { return m_filled; }
    void setFilled(bool on);
    unsigned int BorderColor() const { return m_border; }
    void setBorderColor(unsigned int bgr);
    // In pixels; 0 draws no border (a line is drawn one pixel wide then).
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind m_kind;
    unsigned int m_fill = 0xFFFFFF;
    bool m_filled = false;
    unsigned int m_border = 0x000000;
    int m_borderWidth = 1;
};

} // namespace plat
