// The README is read first on a fresh clone: what it points to must be there.

#include "tests/harness/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(Readme, EveryFolderOfItsLayoutExists)
{
    QFile readme(testing_support::sourceFolder() + "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    // Rows of the layout table: | `folder/` | what |, and folders named in their text.
    static const QRegularExpression folder(QStringLiteral("`([a-z0-9_/.-]+/)`"));
    int found = 0;
    for (auto it = folder.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (name.startsWith(QLatin1String("build/")))
            continue;  // made by the build
        ++found;
        EXPECT_TRUE(QFileInfo(testing_support::sourceFolder() + "/" + name).isDir()) << name.toStdString();
    }
    EXPECT_GT(found, 0) << "no folder found in the README";
}
