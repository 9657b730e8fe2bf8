#pragma once
// The touch picture button: an SVG icon with an optional caption below it,
// drawn lighter when disabled and shifted and darker while pressed. Large
// enough to touch (48 x 48 pixels at least).

#include <QAbstractButton>
#include <QByteArray>

class QSvgRenderer;

namespace plat {

class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);
    ~PictureButton() override;

    // The icon: an SVG file path, a resource path (":/...") or SVG text.
    void setSvg(const QByteArray& svgOrPath);
    bool hasPicture() const;

    // Where the caption is drawn: below the picture, or the whole face
    // without one.
    QRectF textRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // A double touch is two touches: the second press clicks again on its release.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRectF faceRect() const;
    // The height of the caption's lines below the picture.
    int captionHeight() const;

    QSvgRenderer* m_svg = nullptr;
};

} // namespace plat
