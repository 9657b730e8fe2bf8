#include "library/PrintWnd.h"

#include "library/LibErrors.h"

#include "platform/ComponentClasses.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace VexLib22 {

COMPONENT_CLASS(PrintWnd, _PrintWnd, CLSID_PrintWnd, IID_PrintWnd);

namespace {

constexpr int kTwips = 15;

// The screen's size in pixels, in 32 bits: large screens pass 32767 twips.
int32_t screenWidthPx() { return plat::Screen::WidthTwips() / kTwips; }
int32_t screenHeightPx() { return plat::Screen::HeightTwips() / kTwips; }

} // namespace

QImage PrintWnd::CreateBitmapPicture(const QImage& hBmp, const QList<QRgb>& hPal)
{
    QImage picture = hBmp;
    if (!hPal.isEmpty() && picture.format() == QImage::Format_Indexed8)
        picture.setColorTable(hPal);
    return picture;
}

QImage PrintWnd::CaptureWindow(QWidget* hWndSrc, bool Client, int32_t LeftSrc, int32_t TopSrc, int32_t WidthSrc,
                               int32_t HeightSrc)
{
    if (WidthSrc <= 0 || HeightSrc <= 0)
        return QImage();
    if (!hWndSrc) {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return QImage();
        return CreateBitmapPicture(screen->grabWindow(0, LeftSrc, TopSrc, WidthSrc, HeightSrc).toImage(), {});
    }

    QImage bitmap(WidthSrc, HeightSrc, QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    // Where the client area starts in the rectangle's coordinates.
    QPoint origin(LeftSrc, TopSrc);
    if (!Client)
        origin -= hWndSrc->geometry().topLeft() - hWndSrc->frameGeometry().topLeft();
    const QRect wanted(origin, QSize(WidthSrc, HeightSrc));
    const QRect source = wanted & hWndSrc->rect();
    if (!source.isEmpty())
        hWndSrc->render(&bitmap, source.topLeft() - wanted.topLeft(), QRegion(source));
    return CreateBitmapPicture(bitmap, {});
}

QImage PrintWnd::CaptureScreen()
{
    return CaptureWindow(nullptr, false, 0, 0, screenWidthPx(), screenHeightPx());
}

QImage PrintWnd::CaptureForm(QObject* frmSrc)
{
    CheckFormArg(frmSrc);
    auto* form = qobject_cast<QWidget*>(frmSrc);
    // Only the part of the window that lies on the screen.
    const QRect frame = form->frameGeometry();
    const int32_t left = std::max(frame.left(), 0);
    const int32_t top = std::max(frame.top(), 0);
    const int32_t right = std::min(frame.left() + frame.width(), screenWidthPx());
    const int32_t bottom = std::min(frame.top() + frame.height(), screenHeightPx());
    return CaptureWindow(form, false, left - frame.left(), top - frame.top(), right - left, bottom - top);
}

QImage PrintWnd::CaptureClient(QObject* frmSrc)
{
    CheckFormArg(frmSrc);
    auto* form = qobject_cast<QWidget*>(frmSrc);
    return CaptureWindow(form, true, 0, 0, form->width(), form->height());
}

QImage PrintWnd::CaptureActiveWindow()
{
    QWidget* active = QApplication::activeWindow();
    if (!active)
        return QImage();
    const QRect frame = active->frameGeometry();
    return CaptureWindow(active, false, 0, 0, frame.width(), frame.height());
}

QSizeF PrintWnd::fitToPage(const QSize& picture, const QSizeF& page)
{
    const double picRatio = double(picture.width()) / picture.height();
    const double pageRatio = page.width() / page.height();
    if (picRatio < pageRatio)
        return QSizeF(page.height() * picRatio, page.height());
    return QSizeF(page.width(), page.width() / picRatio);
}

void PrintWnd::PrintPictureToFitPage(QPaintDevice* Prn, const QImage& Pic)
{
    auto* printer = dynamic_cast<QPrinter*>(Prn);
    if (!printer)
        raiseLibError(Err::PrinterRequired);

    // The printable area of the page being drawn, in device pixels from its top left.
    const QSizeF current = printer->pageRect(QPrinter::DevicePixel).size();
    printer->setPageOrientation(Pic.width() > Pic.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (Pic.height() <= 0)
        raiseRtError(plat::rt::DivisionByZero);   // the proportions of an empty picture

    if (printer->paintingActive()) {
        // The caller's job: Qt cannot turn a page already begun, so the picture
        // fits the current page; the orientation holds for the pages after it.
        if (QPainter* painter = printer->paintEngine()->painter()) {
            painter->drawImage(QRectF(QPointF(0, 0), fitToPage(Pic.size(), current)), Pic);
            return;
        }
    }
    // Qt ends a document only with its painter: without a job of the caller's,
    // the picture is printed as a one-page job of its own.
    const QSizeF page = printer->pageRect(QPrinter::DevicePixel).size();
    QPainter painter(printer);
    painter.drawImage(QRectF(QPointF(0, 0), fitToPage(Pic.size(), page)), Pic);
}

} // namespace VexLib22
