// A stop from outside (the task manager's end: SIGTERM) ends the real
// executable within a few seconds wherever it waits: in a box of its start
// (the message that the bus port does not open, the refusal of a second
// instance, the database that does not open) and in the middle of a bus
// synchronisation pass. Its stop lines are the trace's last and no error
// comes of it.

#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/PanelClass.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/ExecutableFolder.h"
#include "tests/harness/TestSupport.h"

#include "platform/AppIdentity.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

// The most a stop may take to end the program: in a start-up box, and in a
// pass (which looks for a stop before each frame).
constexpr int kStopWithinMs = 5000;
constexpr int kStopInPassWithinMs = 2000;

class StopRequest : public e2e::ExecutableFolder {
protected:
    void TearDown() override
    {
        for (QProcess* p : {&m_first, &m_program})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        ExecutableFolder::TearDown();
    }

    // A working file of that many modules of model 1 with the automatic start.
    void workingFile(int modules)
    {
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", plat::AppIdentity::programFile(".cfg")));
        ASSERT_TRUE(Config::OpenConfigBase());
        ConfigClass config;
        for (int m = 1; m <= modules; ++m) {
            config.Panel(qint16(m))->setModel(1);
            config.Panel(qint16(m))->setActive(true);
        }
        config.setAutoStart(true);
        ASSERT_EQ(config.Save(m_folder + "/PLX2.dat"), -1);
    }

    void start(QProcess& p)
    {
        e2e::startHeadless(p, m_folder + "/PLX2", {}, m_folder);
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    // SIGTERM, then the time the program took to end; -1 when it did not end
    // in time, or had ended before it was asked (no signal is sent then: a
    // process id of 0 would stop the tests' own process group).
    static qint64 stop(QProcess& p, int withinMs = kStopWithinMs)
    {
        if (p.state() != QProcess::Running || p.processId() <= 0) {
            ADD_FAILURE() << "the program had ended before the stop";
            return -1;
        }
        QElapsedTimer t;
        t.start();
        ::kill(pid_t(p.processId()), SIGTERM);
        return p.waitForFinished(withinMs) ? t.elapsed() : -1;
    }

    static void endedCleanly(QProcess& p, qint64 took, int withinMs = kStopWithinMs)
    {
        EXPECT_NE(took, -1) << "still running " << withinMs << " ms after the stop";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
    }
    // Nothing went wrong: no error was reported, not even where nobody saw it.
    static void noError(QProcess& p)
    {
        const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_FALSE(errors.contains("Error Nr")) << errors.toStdString();
    }

    std::vector<e2e::TraceLine> trace() const { return e2e::readTrace(m_folder); }

    // The last line is the one that names who stopped the program.
    void stopLinesLast() const
    {
        const auto lines = trace();
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(lines.back().text.contains("TASK  MANAGER")) << lines.back().text.toStdString();
    }

    QProcess m_first;
    QProcess m_program;
};

TEST_F(StopRequest, WhileTheStartWaitsInItsPortMessage)
{
    portOne(m_folder + "/no-such-line");
    start(m_program);
    // The unnamed configuration is set just before the engine loads and asks.
    ASSERT_TRUE(e2e::waitFor([&] {
        QFile ini(m_folder + "/PLX2.ini");
        return ini.open(QIODevice::ReadOnly) && ini.readAll().contains("LastUsed=");
    }, 20000));
    QThread::msleep(500);
    endedCleanly(m_program, stop(m_program));
    noError(m_program);
    const auto lines = trace();
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    EXPECT_TRUE(e2e::wordLines(lines, "APPLI", "START").empty()) << "no start after the stop";
    stopLinesLast();
}

TEST_F(StopRequest, WhileASecondInstanceShowsItsRefusal)
{
    portOne(m_line.device());
    start(m_first);
    ASSERT_TRUE(e2e::waitFor([&] { return !e2e::wordLines(trace(), "APPLI", "START").empty(); }, 20000));
    const size_t firstLines = trace().size();
    start(m_program);
    QThread::msleep(1500);
    endedCleanly(m_program, stop(m_program));
    noError(m_program);
    EXPECT_EQ(trace().size(), firstLines) << "the first instance's trace is not the second's";
    EXPECT_EQ(m_first.state(), QProcess::Running);
    endedCleanly(m_first, stop(m_first));
}

TEST_F(StopRequest, WhileTheStartSaysTheDatabaseDoesNotOpen)
{
    ASSERT_TRUE(QFile::remove(m_folder + "/PLX2.cfg"));
    start(m_program);
    ASSERT_TRUE(e2e::waitFor([&] { return QFile::exists(e2e::traceFile(m_folder)); }, 20000));
    QThread::msleep(500);
    // The database's own error is told once, on standard error: its box went with the stop.
    endedCleanly(m_program, stop(m_program));
    const QString told = QString::fromLocal8Bit(m_program.readAllStandardError());
    EXPECT_EQ(told.count("Could not find file"), 1) << told.toStdString();
    ASSERT_EQ(trace().size(), 1u) << "the engine never came: its stop line only";
    stopLinesLast();
}

// The first start's pass over a bus where no module answers: three type
// queries of a second each per module, a minute in all.
TEST_F(StopRequest, DuringASynchronisationPass)
{
    workingFile(20);
    portOne(m_line.device());
    start(m_program);
    ASSERT_TRUE(e2e::waitFor([&] { return !e2e::wordLines(trace(), "COMM", "SYNCHR").empty(); }, 20000));
    QThread::msleep(1500);
    const qint64 took = stop(m_program, kStopInPassWithinMs);
    endedCleanly(m_program, took, kStopInPassWithinMs);
    noError(m_program);
    std::printf("the program ended %lld ms after the stop\n", static_cast<long long>(took));
    const auto lines = trace();
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    EXPECT_TRUE(e2e::wordLines(lines, "COMM", "LOST").empty()) << "the line was not lost";
    stopLinesLast();
}

} // namespace
