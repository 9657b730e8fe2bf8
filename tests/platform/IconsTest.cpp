// The icon set: every icon compiled in is a valid SVG drawn in the theme's
// colours.

#include "platform/Icons.h"
#include "platform/Theme.h"

#include <QDir>
#include <QSvgRenderer>
#include <gtest/gtest.h>

TEST(Icons, EveryIconIsAValidPictureInTheThemesColours)
{
    const QByteArray ok = plat::Icons::svg(QStringLiteral("ok"));
    EXPECT_TRUE(ok.contains(plat::Theme::accent().name().toLatin1()));
    const QStringList files = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")});
    EXPECT_TRUE(files.contains(QStringLiteral("ok.svg"))) << "the set is registered";
    for (const QString& file : files) {
        const QString name = file.chopped(4);
        const QByteArray svg = plat::Icons::svg(name);
        EXPECT_FALSE(svg.contains('@')) << name.toStdString() << ": a colour left unnamed";
        EXPECT_TRUE(QSvgRenderer(svg).isValid()) << name.toStdString();
    }
    EXPECT_TRUE(plat::Icons::svg(QStringLiteral("no-such-icon")).isEmpty());
}
