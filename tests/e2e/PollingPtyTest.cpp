// The program polling the module simulator over a pseudo-terminal, in real
// time: both executables run as they do on the panel, the program with a
// working file of eight modules and the automatic start. Every module is read
// and declared present; a module switched off in the simulator is declared
// missing after three failed reads and then left to rest. Alarms of the
// modules reach the month's history file and a serial printer.

#include "program/bus/EventDispatcher.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/PanelClass.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/PrinterDevices.h"

#include "platform/AppIdentity.h"
#include "platform/RtError.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <set>
#include <utility>

namespace {

// address:model, as the simulator's --modules takes them.
const std::vector<std::pair<int, int>> kModules = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 1}, {7, 3}, {8, 1}};
constexpr int kSwitchedOff = 6;
// When the simulator switches it off, counted from the simulator's start:
// time enough for the program to start, synchronise the bus (the type
// queries of models 3 and 4 and the event counts of models 4 and 5 wait out
// their time-outs) and read every module once.
constexpr int kOffAtMs = 16000;
// A read without a reply is given up after a second (and the reply's line time).
constexpr int kReadTimeoutMs = 1000;

QString modulesArgument()
{
    QStringList items;
    for (const auto& [address, model] : kModules)
        items << QStringLiteral("%1:%2").arg(address).arg(model);
    return items.join(QLatin1Char(','));
}

class PollingPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString bin = testing_support::binFolder();
        // A build without the program or the simulator is no pass.
        ASSERT_TRUE(QFile::exists(bin + "/PLX2")) << "PLX2 is not built";
        ASSERT_TRUE(QFile::exists(bin + "/modsim")) << "modsim is not built";
        m_folder = testing_support::programFolder() + "/panel";
        ASSERT_TRUE(e2e::makeProgramFolder(m_folder));
        m_link = m_folder + "/ttyBUS";

        // The working file, written as the program writes it (defaults from the database).
        ASSERT_TRUE(QFile::copy(bin + "/PLX2.cfg", plat::AppIdentity::programFile(".cfg")));
        ASSERT_TRUE(Config::OpenConfigBase());
        ConfigClass config;
        for (const auto& [address, model] : kModules) {
            config.Panel(qint16(address))->setModel(model);
            config.Panel(qint16(address))->setActive(true);
        }
        config.setAutoStart(true);
        ASSERT_TRUE(config.BusSettings().startsWith("COM1:")) << config.BusSettings().toStdString();
        ASSERT_EQ(config.Save(m_folder + "/PLX2.dat"), -1);

        ASSERT_TRUE(e2e::appendIniSection(m_folder + "/PLX2.ini", "Ports", {"COM1=" + m_link}));
        QFile script(m_folder + "/actions.txt");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("%1 off %2\n").arg(kOffAtMs / 1000.0).arg(kSwitchedOff).toLatin1());
    }

    void TearDown() override
    {
        stop(m_program);
        stop(m_sim);
    }

    static void stop(QProcess& p)
    {
        if (p.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }

    // Starts the simulator, or starts it again after a stop (a new line at the same link).
    void startSimulator()
    {
        if (!m_simWatched) {
            QObject::connect(&m_sim, &QProcess::readyReadStandardError,
                             [this] { m_simLog += m_sim.readAllStandardError(); });
            m_simWatched = true;
            m_clock.start();
        }
        e2e::startHeadless(m_sim, testing_support::binFolder() + "/modsim",
                           {"--link", m_link, "--modules", modulesArgument(), "--script", m_folder + "/actions.txt", "-v"},
                           m_folder);
        ASSERT_TRUE(m_sim.waitForStarted(10000));
        ASSERT_TRUE(e2e::waitFor([&] { return QFile::exists(m_link); }, 10000)) << m_simLog.toStdString();
    }

    void startProgram()
    {
        m_program.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&m_program, &QProcess::readyRead, [this] { m_programLog += m_program.readAll(); });
        e2e::startHeadless(m_program, m_folder + "/PLX2", {}, m_folder);
        ASSERT_TRUE(m_program.waitForStarted(10000));
    }

    std::vector<e2e::TraceLine> trace() const { return e2e::readTrace(m_folder); }

    std::set<int> modulesWith(int aff) const
    {
        std::set<int> modules;
        for (const e2e::TraceLine& l : e2e::eventLines(trace(), EventClass::ChnlPresence, aff))
            modules.insert(l.event->Panel());
        return modules;
    }

    // The modules that answered their poll register twice: in the first
    // start's synchronisation, then polled.
    std::set<int> polled() const
    {
        std::map<int, int> reads;
        for (const e2e::Request& r : e2e::requests(m_simLog))
            if (r.answered && (r.head == "03 00 90 00 01" || r.head == "03 00 44 00 01" || r.head == "03 00 01 00 0C"))
                ++reads[r.address];
        std::set<int> addresses;
        for (const auto& [address, n] : reads)
            if (n >= 2)
                addresses.insert(address);
        return addresses;
    }

    std::string logs() const
    {
        return ("program:\n" + m_programLog + "\nsimulator (end):\n" + m_simLog.right(3000)).toStdString();
    }

    QString m_folder;
    QString m_link;
    QProcess m_sim;
    QProcess m_program;
    QString m_simLog;
    QString m_programLog;
    QElapsedTimer m_clock;
    bool m_simWatched = false;
};

TEST_F(PollingPty, PollsEveryModuleAndDeclaresOneSwitchedOffMissingAfterThreeFailedReads)
{
    startSimulator();
    startProgram();

    // Polling starts by itself with the first synchronisation, which finds
    // every module present without announcing it (it empties the alarm list
    // and fills it again); then every module is polled: its poll register
    // answered a second time, after the pass's own read of it.
    std::set<int> all;
    for (const auto& m : kModules)
        all.insert(m.first);
    ASSERT_TRUE(e2e::waitFor([&] { return polled() == all; }, 30000)) << "polled: " << polled().size() << "\n"
                                                                       << logs();
    ASSERT_LT(m_clock.elapsed(), kOffAtMs) << "the program took too long to start for this test";
    EXPECT_EQ(e2e::wordLines(trace(), "COMM", "START").size(), 1u);
    EXPECT_EQ(e2e::wordLines(trace(), "COMM", "SYNCHR").size(), 1u);
    EXPECT_TRUE(modulesWith(1).empty()) << "found by the synchronisation, not announced";

    // Switched off: three reads without a reply, a second each, make it missing.
    ASSERT_TRUE(e2e::waitFor([&] { return !modulesWith(0).empty(); }, kOffAtMs + 20000 - int(m_clock.elapsed())))
        << logs();
    const qint64 missingAt = m_clock.elapsed();
    EXPECT_EQ(modulesWith(0), std::set<int>{kSwitchedOff});
    // Never sooner than three time-outs after the switch; on an idle machine
    // about 4 s after it (three time-outs and the rounds of the others).
    EXPECT_GE(missingAt, kOffAtMs + EventDispatcher::ErrorsToMissing * kReadTimeoutMs - 100);
    EXPECT_LE(missingAt, kOffAtMs + 12000);
    const auto disappeared = e2e::eventLines(trace(), EventClass::ChnlPresence, 0, kSwitchedOff);
    ASSERT_EQ(disappeared.size(), 1u);
    EXPECT_EQ(disappeared[0].state, "DISAPP");
    EXPECT_EQ(disappeared[0].kind, "Alarm");
    EXPECT_TRUE(disappeared[0].text.contains("M06-")) << disappeared[0].text.toStdString();

    // Then it rests (a minute) while the others are still read: the
    // simulator heard three requests for it, and none after the third.
    auto unanswered = [&] {
        std::vector<double> at;
        for (const e2e::Request& r : e2e::requests(m_simLog))
            if (r.address == kSwitchedOff && r.switchedOff)
                at.push_back(r.at);
        return at;
    };
    ASSERT_TRUE(e2e::waitFor([&] { return unanswered().size() >= 3; }, 5000)) << logs();
    e2e::waitFor([] { return false; }, 1500);
    ASSERT_EQ(unanswered().size(), size_t(EventDispatcher::ErrorsToMissing)) << logs();
    const double restFrom = unanswered().back();
    std::set<int> askedAfter;
    for (const e2e::Request& r : e2e::requests(m_simLog))
        if (r.at > restFrom)
            askedAfter.insert(r.address);
    EXPECT_EQ(askedAfter.count(kSwitchedOff), 0u);
    EXPECT_EQ(askedAfter.size(), kModules.size() - 1);
    EXPECT_EQ(m_program.state(), QProcess::Running) << logs();
}

// The line goes away under polling (the simulator and its pseudo-terminal end,
// as a USB adapter pulled) and comes back at the same name: nothing waits for
// an answer, no module is declared missing, the watchdog finds the line again
// within its ten seconds and polling resumes by itself.
TEST_F(PollingPty, ALineThatGoesAwayStopsPollingAndPollingResumesOnceItIsBack)
{
    QFile script(m_folder + "/actions.txt");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.close();
    startSimulator();
    startProgram();
    std::set<int> all;
    for (const auto& m : kModules)
        all.insert(m.first);
    ASSERT_TRUE(e2e::waitFor([&] { return polled() == all; }, 30000)) << logs();

    stop(m_sim);
    ASSERT_FALSE(QFile::exists(m_link));
    auto lines = [&](const char* state) { return e2e::wordLines(trace(), "COMM", state); };
    ASSERT_TRUE(e2e::waitFor([&] { return !lines("LOST").empty() && !lines("STOP").empty(); }, 5000)) << logs();
    EXPECT_TRUE(lines("LOST")[0].text.contains("COM1")) << lines("LOST")[0].text.toStdString();
    // Gone for a while: told once, and no module is to blame.
    e2e::waitFor([] { return false; }, 3000);
    EXPECT_EQ(lines("LOST").size(), 1u);
    EXPECT_EQ(lines("STOP").size(), 1u);
    EXPECT_EQ(lines("START").size(), 1u);
    EXPECT_EQ(m_program.state(), QProcess::Running) << logs();

    const int reinitsBefore = int(lines("REINIT").size());
    const qsizetype simLogBefore = m_simLog.size();
    startSimulator();
    ASSERT_TRUE(e2e::waitFor([&] { return lines("START").size() == 2; }, 15000)) << logs();
    EXPECT_EQ(int(lines("REINIT").size()), reinitsBefore + 1) << "the counters start afresh";
    // Every module is read again on the new line.
    auto answeredSince = [&] {
        std::set<int> addresses;
        for (const e2e::Request& r : e2e::requests(m_simLog.mid(simLogBefore)))
            addresses.insert(r.address);
        return addresses;
    };
    EXPECT_TRUE(e2e::waitFor([&] { return answeredSince() == all; }, 10000)) << answeredSince().size() << logs();
    EXPECT_TRUE(modulesWith(0).empty()) << "no module was declared missing";
    EXPECT_EQ(lines("LOST").size(), 1u);
    EXPECT_EQ(m_program.state(), QProcess::Running) << logs();
}

TEST_F(PollingPty, AlarmsOfTheModulesReachTheMonthsHistoryFileAndThePrinter)
{
    // Every event is recorded and printed; the printer is a serial one.
    printer_devices::PtyLine printer;
    ASSERT_FALSE(printer.device().isEmpty());
    {
        ConfigClass config;
        ASSERT_EQ(config.Read(m_folder + "/PLX2.dat"), 0);
        for (int bit = 0; bit < 5; ++bit) {
            config.setOptionHisto(bit, true);
            config.setOptionPrinter(bit, true);
        }
        for (int c = 1; c <= 12; ++c)
            config.Panel(1)->Channel(qint16(c))->setPrtAlm(true);
        config.setPrtSettings(QStringLiteral("COM2:9600,N,8,1"));
        ASSERT_EQ(config.Save(m_folder + "/PLX2.dat"), -1);
    }
    ASSERT_TRUE(QFile::remove(m_folder + "/PLX2.ini"));
    ASSERT_TRUE(e2e::appendIniSection(m_folder + "/PLX2.ini", "Ports", {"COM1=" + m_link, "COM2=" + printer.device()}));
    QFile script(m_folder + "/actions.txt");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("4 event 1 3 1\n5 event 1 5 2\n");
    script.close();

    startSimulator();
    startProgram();
    const QString month = m_folder + "/Histo" + QDate::currentDate().toString("yyyyMM") + ".his";
    QByteArray printed;
    auto recorded = [&](const QString& words) {
        return testing_support::fileLines(month).filter(words).size() == 1;
    };
    auto wasPrinted = [&](const QByteArray& words) {
        printed += printer.read(20);
        return printed.contains(words);
    };
    ASSERT_TRUE(e2e::waitFor([&] { return recorded("M01-C03 Signal      Active") && recorded("M01-C05 Signal      Cable fault"); },
                             20000))
        << testing_support::fileLines(month).join("\n").toStdString() << logs();
    EXPECT_TRUE(e2e::waitFor([&] { return wasPrinted("M01-C05 Signal      Cable fault"); }, 5000))
        << printed.toStdString() << logs();
    EXPECT_TRUE(printed.contains("M01-C03 Signal      Active")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("SYSTEM  START       APPLIC")) << "the program's start";
    // The file starts with its title; every line has its full length.
    const QStringList lines = testing_support::fileLines(month);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].startsWith("Date       Time     Evt"));
    for (const QString& l : lines)
        EXPECT_EQ(l.size(), 138) << l.toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running) << logs();
}

} // namespace
