// The gallery tool renders the screens in every language, from a program
// folder of its own, and finds no caption that its control cuts: the real
// tool run as people run it, over every screen it knows.

#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(GalleryTool, RendersTheScreensInEveryLanguageWithEveryCaptionInItsRoomAndLeavesTheProgramFolderAlone)
{
    const QString tool = testing_support::binFolder() + "/screens";
    ASSERT_TRUE(QFile::exists(tool)) << "the screens tool is not built";
    const QString out = testing_support::programFolder() + "/gallery";
    const QStringList before = QDir(testing_support::binFolder()).entryList(QDir::Files);
    QProcess p;
    p.start(tool, {out});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // Forms with a typical state of their own, and forms drawn as they load;
    // the screens of 800 x 600.
    struct Shot {
        const char* form;
        bool fullScreen;
    };
    for (const Shot& shot : {Shot{"wMain", true}, Shot{"wBusModules", true}, Shot{"wBusPanneau", true},
                             Shot{"dlgMenuSystem", false}, Shot{"dlgMenuParams", false}, Shot{"wRunAlarms", false},
                             Shot{"wSysComm", true}, Shot{"wParamEcran", true}, Shot{"dlgSysTime", false},
                             Shot{"dlgBusCopy", false}})
        for (const char* language : {"en", "fr", "de"}) {
            const QString file = QString("%1/%2-%3.png").arg(out, shot.form, language);
            const QImage image(file);
            EXPECT_FALSE(image.isNull()) << file.toStdString();
            if (shot.fullScreen) {
                EXPECT_EQ(image.width(), 800);
                EXPECT_EQ(image.height(), 600);
            }
        }
    EXPECT_EQ(QDir(testing_support::binFolder()).entryList(QDir::Files), before);
}

} // namespace
