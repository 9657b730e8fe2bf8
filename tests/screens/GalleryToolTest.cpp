// The gallery tool renders the screens in every language, on the design's
// screen and scaled to larger ones, from a program folder of its own, and
// finds no caption that its control cuts and no control partly over a band
// or another control: the real tool run as people run it, over every screen
// it knows.

#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(GalleryTool, RendersTheScreensInEveryLanguageAtEverySizeWithEveryCaptionAndControlInItsRoom)
{
    const QString tool = testing_support::binFolder() + "/screens";
    ASSERT_TRUE(QFile::exists(tool)) << "the screens tool is not built";
    const QString out = testing_support::programFolder() + "/gallery";
    const QStringList before = QDir(testing_support::binFolder()).entryList(QDir::Files);
    QProcess p;
    p.start(tool, {out});
    ASSERT_TRUE(p.waitForFinished(180000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // Forms with a typical state of their own, and forms drawn as they load;
    // the full screens take the whole screen of each size, scaled.
    struct Shot {
        const char* form;
        bool fullScreen;
    };
    struct Size {
        const char* folder;
        QSize screen;
    };
    for (const Size& size : {Size{"", {800, 600}}, Size{"/1024x768", {1024, 768}}, Size{"/1920x1080", {1920, 1080}}})
        for (const Shot& shot : {Shot{"wMain", true}, Shot{"wBusModules", true}, Shot{"wBusPanneau", true},
                                 Shot{"dlgMenuSystem", false}, Shot{"dlgMenuParams", false}, Shot{"wRunAlarms", true},
                                 Shot{"wSysComm", true}, Shot{"wParamEcran", true}, Shot{"wTechnician", true},
                                 Shot{"dlgSysTime", false}, Shot{"dlgBusCopy", false}, Shot{"dlgListInput", false}})
            for (const char* language : {"en", "fr", "de"}) {
                const QString file = QString("%1%2/%3-%4.png").arg(out, size.folder, shot.form, language);
                const QImage image(file);
                EXPECT_FALSE(image.isNull()) << file.toStdString();
                if (shot.fullScreen)
                    EXPECT_EQ(image.size(), size.screen) << file.toStdString();
            }
    // The value list drawn shown: its scroll bar runs down the whole list
    // (grabbed unshown, it would be two arrows at the top, over white rows).
    const QImage list(out + "/dlgListInput-en.png");
    ASSERT_FALSE(list.isNull());
    EXPECT_NE(list.pixelColor(204, 300), QColor(Qt::white));
    EXPECT_EQ(QDir(testing_support::binFolder()).entryList(QDir::Files), before);
}

} // namespace
