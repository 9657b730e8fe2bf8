#include "platform/PictureButton.h"

#include "platform/Theme.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace plat {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

PictureButton::~PictureButton() = default;

void PictureButton::setSvg(const QByteArray& svgOrPath)
{
    delete m_svg;
    m_svg = nullptr;
    QByteArray data = svgOrPath;
    if (!svgOrPath.trimmed().startsWith('<')) {
        QFile f(QString::fromUtf8(svgOrPath));
        data = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    if (!data.isEmpty()) {
        m_svg = new QSvgRenderer(data, this);
        if (!m_svg->isValid()) {
            delete m_svg;
            m_svg = nullptr;
        }
    }
    update();
}

bool PictureButton::hasPicture() const
{
    return m_svg != nullptr;
}

QSize PictureButton::sizeHint() const
{
    const int textH = text().isEmpty() ? 0 : fontMetrics().height() * (text().count('\n') + 1) + 4;
    const int textW = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text()) + 16;
    return QSize(qMax(64, textW), 64 + textH);
}

int PictureButton::captionHeight() const
{
    return text().isEmpty() ? 0 : fontMetrics().height() * (text().count('\n') + 1) + 6;
}

QRectF PictureButton::textRect() const
{
    const QRectF face = faceRect();
    return m_svg ? QRectF(face.left(), face.bottom() - captionHeight(), face.width(), captionHeight() - 2) : face;
}

QRectF PictureButton::faceRect() const
{
    return QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
}

QSize PictureButton::minimumSizeHint() const
{
    return QSize(48, 48);
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool pressed = isDown() || isChecked();
    const QRectF r = faceRect();

    QColor face = pressed ? Theme::buttonPressed() : Theme::buttonFace();
    if (!isEnabled())
        face = Theme::buttonDisabled();
    p.setPen(QPen(hasFocus() ? Theme::accent() : Theme::buttonBorder(), hasFocus() ? 2.5 : 1.5));
    p.setBrush(face);
    p.drawRoundedRect(r, 8, 8);

    const int offset = pressed ? 2 : 0;
    const bool hasText = !text().isEmpty();
    const int textH = captionHeight();
    QRectF iconArea = r.adjusted(6 + offset, 6 + offset, -6 + offset, -6 + offset - textH);
    if (m_svg && iconArea.height() > 8) {
        QSizeF s = m_svg->defaultSize();
        s.scale(iconArea.size(), Qt::KeepAspectRatio);
        const QRectF target(iconArea.center() - QPointF(s.width() / 2, s.height() / 2), s);
        if (!isEnabled())
            p.setOpacity(0.35);
        m_svg->render(&p, target);
        p.setOpacity(1.0);
    }
    if (hasText) {
        p.setPen(isEnabled() ? Theme::text() : Theme::textDisabled());
        p.drawText(textRect().translated(offset, offset), Qt::AlignCenter | Qt::TextWordWrap, text());
    }
}

} // namespace plat
