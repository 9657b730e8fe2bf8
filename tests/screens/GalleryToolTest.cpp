// The gallery tool renders the screens in every language, from a program
// folder of its own: the real tool run as people run it.

#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(GalleryTool, RendersTheScreensInEveryLanguageAndLeavesTheProgramFolderAlone)
{
    const QString tool = testing_support::binFolder() + "/screens";
    ASSERT_TRUE(QFile::exists(tool)) << "the screens tool is not built";
    const QString out = testing_support::programFolder() + "/gallery";
    const QStringList before = QDir(testing_support::binFolder()).entryList(QDir::Files);
    QProcess p;
    p.start(tool, {out});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // A form with a typical state of its own, and forms drawn as they load.
    for (const char* form : {"wMain", "dlgMenuSystem", "dlgMenuParams", "wRunAlarms", "dlgBusCopy"})
        for (const char* language : {"en", "fr", "de"}) {
            const QString file = QString("%1/%2-%3.png").arg(out, form, language);
            const QImage image(file);
            EXPECT_FALSE(image.isNull()) << file.toStdString();
            if (QString(form) == "wMain") {
                EXPECT_EQ(image.width(), 800);
                EXPECT_EQ(image.height(), 600);
            }
        }
    EXPECT_EQ(QDir(testing_support::binFolder()).entryList(QDir::Files), before);
}

} // namespace
