#include "library/PrintWnd.h"

#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A form painted in one colour, without a frame of the window manager unless asked.
class ColourForm : public QWidget {
public:
    explicit ColourForm(QColor c, bool framed = false)
    {
        if (!framed)
            setWindowFlag(Qt::FramelessWindowHint);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, c);
        setPalette(p);
    }
};

class PrintWndTest : public testing::Test {
protected:
    void SetUp() override { m_pw = plat::ComPtr<_PrintWnd>::attach(new PrintWnd); }

    QString pdf() const { return testing_support::programFolder() + "/out.pdf"; }
    // The page boxes of a finished PDF file: width and height of each page in points.
    QList<QSizeF> pages() const
    {
        QFile f(pdf());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QString text = QString::fromLatin1(f.readAll());
        QList<QSizeF> out;
        const QRegularExpression box("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]");
        for (auto it = box.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            out << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
        }
        return out;
    }
    void pdfPrinter(QPrinter& printer) const
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    }

    plat::ComPtr<_PrintWnd> m_pw;
};

void expectError(int number, const char* text, const std::function<void()>& fn)
{
    try {
        fn();
        ADD_FAILURE() << "no error";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.description(), QString::fromUtf8(text));
        EXPECT_EQ(e.source(), QString("VexLib22"));
    }
}

} // namespace

TEST_F(PrintWndTest, CapturesOfAFormRefuseWhatIsNotAForm)
{
    ColourForm form(Qt::red);
    auto* control = new QWidget(&form);
    QObject notAWidget;
    for (QObject* arg : {static_cast<QObject*>(control), static_cast<QObject*>(nullptr), &notAWidget}) {
        expectError(1024, "La fonction requiert un objet Form en paramètre.", [&] { m_pw->CaptureForm(arg); });
        expectError(1024, "La fonction requiert un objet Form en paramètre.", [&] { m_pw->CaptureClient(arg); });
    }
}

TEST_F(PrintWndTest, CaptureWindowClientLeavesTheFrameOut)
{
    ColourForm form(Qt::blue, true);
    form.setGeometry(50, 50, 120, 80);
    form.show();
    settle();
    const QRect frame = form.frameGeometry();
    const QPoint inset = form.geometry().topLeft() - frame.topLeft();

    const QImage client = m_pw->CaptureWindow(&form, true, 0, 0, 120, 80);
    ASSERT_EQ(client.size(), QSize(120, 80));
    EXPECT_EQ(client.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(client.pixelColor(119, 79), QColor(Qt::blue));

    const QImage whole = m_pw->CaptureWindow(&form, false, 0, 0, frame.width(), frame.height());
    ASSERT_EQ(whole.size(), frame.size());
    EXPECT_EQ(whole.pixelColor(inset), QColor(Qt::blue));
    if (!inset.isNull()) {
        EXPECT_NE(whole.pixelColor(0, 0), QColor(Qt::blue));
    }

    // A rectangle from inside the client area, partly beyond it.
    const QImage part = m_pw->CaptureWindow(&form, true, 100, 60, 40, 40);
    ASSERT_EQ(part.size(), QSize(40, 40));
    EXPECT_EQ(part.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(part.pixelColor(30, 30), QColor(Qt::black));

    EXPECT_TRUE(m_pw->CaptureWindow(&form, true, 0, 0, 0, 10).isNull());
}

TEST_F(PrintWndTest, CaptureClientIsTheInnerArea)
{
    ColourForm form(Qt::green, true);
    form.resize(90, 70);
    form.show();
    settle();
    const QImage image = m_pw->CaptureClient(&form);
    ASSERT_EQ(image.size(), QSize(90, 70));
    EXPECT_EQ(image.pixelColor(45, 35), QColor(Qt::green));
}

TEST_F(PrintWndTest, CaptureFormKeepsOnlyThePartOnTheScreen)
{
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    ColourForm form(Qt::red);
    form.resize(200, 100);
    form.show();
    settle();

    struct Case { QPoint pos; QSize expected; };
    const Case cases[] = {
        {{100, 100}, {200, 100}},
        {{-100, 50}, {100, 100}},                                        // half off the left edge
        {{20, -40}, {200, 60}},                                          // off the top
        {{screen.width() - 50, screen.height() - 30}, {50, 30}},         // beyond right and bottom
        {{screen.width() + 10, 0}, {0, 0}},                              // wholly off the screen
    };
    for (const Case& c : cases) {
        form.move(c.pos);
        settle();
        const QImage image = m_pw->CaptureForm(&form);
        EXPECT_EQ(image.size(), c.expected) << c.pos.x() << "," << c.pos.y();
        if (!image.isNull()) {
            EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::red));
        }
    }
}

TEST_F(PrintWndTest, CaptureScreenAndActiveWindowCopyWhatIsShown)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ColourForm form(Qt::yellow);
    form.setGeometry(screen);
    form.show();
    form.activateWindow();
    settle();

    const QImage shot = m_pw->CaptureScreen();
    ASSERT_EQ(shot.size(), screen.size());
    EXPECT_EQ(shot.pixelColor(screen.width() / 2, screen.height() / 2), QColor(Qt::yellow));

    ASSERT_EQ(QApplication::activeWindow(), &form);
    const QImage active = m_pw->CaptureActiveWindow();
    ASSERT_EQ(active.size(), screen.size());
    EXPECT_EQ(active.pixelColor(1, 1), QColor(Qt::yellow));
}

TEST_F(PrintWndTest, CreateBitmapPictureTakesThePaletteOfAnIndexedBitmap)
{
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(1, 1, 1)});
    indexed.fill(1);
    const QImage picture = m_pw->CreateBitmapPicture(indexed, {qRgb(0, 0, 0), qRgb(200, 10, 10)});
    EXPECT_EQ(picture.pixel(2, 2), qRgb(200, 10, 10));

    QImage rgb(3, 3, QImage::Format_RGB32);
    rgb.fill(Qt::cyan);
    EXPECT_EQ(m_pw->CreateBitmapPicture(rgb, {}), rgb);
}

TEST_F(PrintWndTest, PrintPictureToFitPageRefusesWhatIsNotAPrinter)
{
    ColourForm form(Qt::red);
    QImage image(10, 10, QImage::Format_RGB32);
    for (QPaintDevice* device : {static_cast<QPaintDevice*>(&form), static_cast<QPaintDevice*>(&image),
                                 static_cast<QPaintDevice*>(nullptr)})
        expectError(1025, "La fonction requiert un objet Printer en paramètre.",
                    [&] { m_pw->PrintPictureToFitPage(device, image); });
}

TEST_F(PrintWndTest, PrintPictureToFitPageTurnsThePageAndFillsItsWidth)
{
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer);
    printer.setPageOrientation(QPageLayout::Portrait);
    m_pw->PrintPictureToFitPage(&printer, picture);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    const QList<QSizeF> boxes = pages();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_GT(boxes[0].width(), boxes[0].height());
}

TEST_F(PrintWndTest, PrintPictureToFitPageLeavesTheCallersJobOpen)
{
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer);
    QPainter painter(&printer);
    m_pw->PrintPictureToFitPage(&printer, picture);
    EXPECT_TRUE(painter.isActive());
    EXPECT_TRUE(QFile::exists(pdf()));
    EXPECT_TRUE(pages().isEmpty());   // not finished yet
    // The job goes on: a second page after the picture, then the caller ends it.
    printer.newPage();
    painter.drawText(100, 100, "end");
    painter.end();
    const QList<QSizeF> boxes = pages();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_GT(boxes[1].width(), boxes[1].height());   // the orientation holds for the next page
}

TEST_F(PrintWndTest, PrintPictureToFitPageOnAPrinterWithoutAJobPrintsOnePage)
{
    QImage tall(100, 400, QImage::Format_RGB32);
    tall.fill(Qt::blue);
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer);
    printer.setPageOrientation(QPageLayout::Landscape);
    m_pw->PrintPictureToFitPage(&printer, tall);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    const QList<QSizeF> boxes = pages();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_LT(boxes[0].width(), boxes[0].height());
}

TEST_F(PrintWndTest, PicturesFillThePageWidthOrHeightKeepingTheirProportions)
{
    struct Case { QSize picture; QSizeF page; QSizeF expected; };
    const Case cases[] = {
        {{400, 200}, {3000, 2000}, {3000, 1500}},   // relatively wider: full width
        {{100, 400}, {2000, 3000}, {750, 3000}},    // relatively taller: full height
        {{200, 300}, {2000, 3000}, {2000, 3000}},   // same proportions
        {{10, 10}, {2000, 3000}, {2000, 2000}},
    };
    for (const Case& c : cases) {
        const QSizeF s = PrintWnd::fitToPage(c.picture, c.page);
        EXPECT_DOUBLE_EQ(s.width(), c.expected.width()) << c.picture.width() << "x" << c.picture.height();
        EXPECT_DOUBLE_EQ(s.height(), c.expected.height()) << c.picture.width() << "x" << c.picture.height();
    }
}

TEST_F(PrintWndTest, PrintPictureToFitPageOfAnEmptyPictureRaisesDivisionByZero)
{
    QPrinter printer;
    pdfPrinter(printer);
    try {
        m_pw->PrintPictureToFitPage(&printer, QImage());
        ADD_FAILURE() << "no error";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::DivisionByZero);
    }
}
