#pragma once
// Interface of PrintWnd: copies the image of a window, a form, the active
// window or the screen into a picture, and prints a picture as large as the
// printer's page allows. A picture is a QImage; a window is a QWidget (none
// stands for the whole screen); a form is a top-level QWidget. Coordinates
// and sizes of CaptureWindow are in pixels.

#include "platform/Component.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <cstdint>

class QObject;
class QPaintDevice;
class QWidget;

namespace VexLib22 {

struct _PrintWnd : plat::IUnknown {
    // The picture of a bitmap and its palette: hBmp becomes the picture; a
    // non-empty hPal becomes the colour table of an indexed bitmap.
    virtual QImage CreateBitmapPicture(const QImage& hBmp, const QList<QRgb>& hPal) = 0;
    // The rectangle at (LeftSrc, TopSrc) of the window's client area (Client)
    // or of the whole window with its frame. The frame is the window
    // manager's and cannot be drawn here: its part of the picture stays black.
    // No window (nullptr) copies the screen.
    virtual QImage CaptureWindow(QWidget* hWndSrc, bool Client, int32_t LeftSrc, int32_t TopSrc, int32_t WidthSrc,
                                 int32_t HeightSrc) = 0;
    virtual QImage CaptureScreen() = 0;
    // The whole form, limited to its part on the primary screen (error 1024
    // when frmSrc is not a form).
    virtual QImage CaptureForm(QObject* frmSrc) = 0;
    virtual QImage CaptureClient(QObject* frmSrc) = 0;
    // The active window of this program (other programs' windows are out of
    // reach); an empty picture when none is active.
    virtual QImage CaptureActiveWindow() = 0;
    // Prn must be a QPrinter (else error 1025). Sets landscape when the picture
    // is wider than high, else portrait, and draws it at the top left of the
    // printable area, as large as it fits with its proportions. The document is
    // not ended: when the caller has begun the job (a QPainter active on the
    // printer) the picture goes onto the current page, which Qt cannot turn any
    // more (the orientation holds for the next pages), and the caller's painter
    // ends the job. With no job begun, the picture is printed on a turned page
    // as a one-page job of its own, since Qt ends a document with its painter.
    virtual void PrintPictureToFitPage(QPaintDevice* Prn, const QImage& Pic) = 0;

protected:
    ~_PrintWnd() = default;
};

} // namespace VexLib22
