// scripts/setup on a machine that has every package: it must ask apt for
// nothing, so that a second run needs no network and no root.

#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

// A command that notes that it was called and fails.
void writeRecorder(const QString& path, const QString& log)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\necho \"$0 $*\" >> '%1'\nexit 1\n").arg(log).toLocal8Bit());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

} // namespace

TEST(SetupScript, ASecondRunAsksAptForNothing)
{
    const QString bin = testing_support::programFolder() + "/bin";
    const QString log = testing_support::programFolder() + "/apt.log";
    ASSERT_TRUE(QDir().mkpath(bin));
    for (const char* tool : {"apt-get", "apt", "sudo"})
        writeRecorder(bin + "/" + tool, log);

    // The build ran the script once already: everything is installed.
    QProcess setup;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", bin + ":" + env.value("PATH"));
    setup.setProcessEnvironment(env);
    setup.start("bash", {testing_support::sourceFolder() + "/scripts/setup"});
    ASSERT_TRUE(setup.waitForFinished(60000));
    EXPECT_EQ(setup.exitCode(), 0) << setup.readAll().toStdString();
    QFile called(log);
    EXPECT_FALSE(called.exists()) << (called.open(QIODevice::ReadOnly) ? called.readAll().toStdString() : "");
}
