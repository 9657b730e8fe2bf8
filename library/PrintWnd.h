#pragma once

#include "VexLib22/VexLib22.h"
#include "VexLib22/_PrintWnd.h"

namespace VexLib22 {

class PrintWnd : public plat::ComObject<_PrintWnd, IID_PrintWnd> {
public:
    QImage CreateBitmapPicture(const QImage& hBmp, const QList<QRgb>& hPal) override;
    QImage CaptureWindow(QWidget* hWndSrc, bool Client, int32_t LeftSrc, int32_t TopSrc, int32_t WidthSrc,
                         int32_t HeightSrc) override;
    QImage CaptureScreen() override;
    QImage CaptureForm(QObject* frmSrc) override;
    QImage CaptureClient(QObject* frmSrc) override;
    QImage CaptureActiveWindow() override;
    void PrintPictureToFitPage(QPaintDevice* Prn, const QImage& Pic) override;

    // The size at which a picture fills a page of the given size with its
    // proportions kept: the page's full height when the picture is relatively
    // taller than the page, else its full width.
    static QSizeF fitToPage(const QSize& picture, const QSizeF& page);
};

} // namespace VexLib22
