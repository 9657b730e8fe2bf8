// demo-config: the demo's working file, written wherever it is asked for,
// with exactly the modules given and channels that announce their alarms.

#include "program/core/ConfigClass.h"
#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun demoConfig(const QStringList& args)
{
    QProcess p;
    p.start(testing_support::binFolder() + "/demo-config", args);
    ToolRun r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitCode();
    r.output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return r;
}

std::unique_ptr<ConfigClass> readBack(const QString& file)
{
    auto c = std::make_unique<ConfigClass>([](int) { return QString(); });
    EXPECT_EQ(c->Read(file), 0) << file.toStdString();
    return c;
}

} // namespace

TEST(DemoConfig, WritesTheGivenModulesAnywhereAndReplacesTheFormerSet)
{
    // Far from the program folder and its database.
    const QString file = testing_support::programFolder() + "/elsewhere/PLX2.dat";
    ASSERT_TRUE(QDir().mkpath(testing_support::programFolder() + "/elsewhere"));

    ToolRun r = demoConfig({file, "1:1,3:2"});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    auto c = readBack(file);
    EXPECT_TRUE(c->AutoStart());
    EXPECT_EQ(c->Panel(1)->Model(), 1);
    EXPECT_TRUE(c->Panel(1)->Active());
    EXPECT_EQ(c->Panel(3)->Model(), 2);
    EXPECT_FALSE(c->Panel(2)->Active());
    for (int k : {1, 12}) {
        const auto ch = c->Panel(1)->Channel(int16_t(k));
        EXPECT_TRUE(ch->ScrAlm() && ch->Histo() && ch->PrtAlm() && ch->Klaxon()) << k;
    }
    EXPECT_TRUE(c->Panel(3)->Channel(24)->Klaxon());

    EXPECT_EQ(demoConfig({file, "1:1,3:2"}).output.trimmed(), file + ": already configured");

    r = demoConfig({file, "2:4"});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    c = readBack(file);
    EXPECT_EQ(c->Panel(2)->Model(), 4);
    EXPECT_TRUE(c->Panel(2)->Active());
    for (int m : {1, 3}) {
        EXPECT_EQ(c->Panel(int16_t(m))->Model(), 0) << m;
        EXPECT_FALSE(c->Panel(int16_t(m))->Active()) << m;
    }
}

TEST(DemoConfig, SaysWhyItRefusesAnArgument)
{
    const QString file = testing_support::programFolder() + "/PLX2.dat";
    struct Case {
        QStringList args;
        const char* why;
    };
    const Case cases[] = {
        {{file, "1:1,1:3"}, "address 1 is given twice"},
        {{file, "1:7"}, "model 7 is outside 1..5"},
        {{file}, "usage: demo-config"},
    };
    for (const Case& c : cases) {
        const ToolRun r = demoConfig(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.why;
        EXPECT_TRUE(r.output.contains(QString::fromLatin1(c.why))) << r.output.toStdString();
    }
    EXPECT_FALSE(QFile::exists(file));
}
