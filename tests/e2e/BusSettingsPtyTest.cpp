// The bus settings screen while the program polls, in real time, two module
// simulator programs on pseudo-terminals (COM1 and COM2 through "Ports"):
// a new port moves polling to the other line at once, a port without a
// device stops it and No puts the configured port back with polling going
// again, Yes leaves the line set to the accepted speed and stop bits and the
// working file holding them, and the screen closed by the logout after a port
// that did not open leaves polling on the configured line. Commands queued
// while the other line is tried never reach the configured line's module,
// however the screen goes, and go to the line that Yes keeps.

#include "platform/AppIdentity.h"
#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SerialControl.h"
#include "program/App.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommandClass.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"
#include "program/core/TextIds.h"
#include "program/core/VEXfonctions.h"
#include "program/screens/system/wSysComm.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/screens/BusSettingsTouches.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using testing_support::ModalAnswers;

constexpr int kModule = 1;
constexpr int kYes = 6;
constexpr int kNo = 7;

// One simulator program on a line of its own.
struct Line {
    QString link;
    e2e::SimulatorProgram sim;

    size_t requests() const
    {
        size_t n = 0;
        for (const e2e::Request& r : e2e::requests(sim.log()))
            if (r.address == kModule)
                ++n;
        return n;
    }
};

class BusSettingsPty : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        const QString bin = testing_support::binFolder();
        ASSERT_TRUE(QFile::exists(bin + "/modsim")) << "modsim is not built";
        ASSERT_TRUE(QFile::exists(bin + "/cfgdump")) << "cfgdump is not built";
        ASSERT_TRUE(QFile::copy(bin + "/PLX2.cfg", plat::AppIdentity::programFile(".cfg")));
        for (int i = 0; i < 2; ++i)
            m_lines[i].link = testing_support::programFolder() + QStringLiteral("/ttyCOM%1").arg(i + 1);

        App::assemble();
        PollingSeams::installed().message = [this](const QString& text, int) {
            engineMessages << text;
            return 1;
        };
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        VEXfonctions::SetIni("Ports", "COM1", m_lines[0].link);
        VEXfonctions::SetIni("Ports", "COM2", m_lines[1].link);
        VEXfonctions::SetIni("Ports", "COM3", testing_support::programFolder() + "/ttyNONE");

        // One module, on both lines; a module's appearance is not shown (it
        // would bring the alarm screen over the settings).
        ASSERT_TRUE(Config::OpenConfigBase());
        ConfigClass config;
        config.Panel(kModule)->setModel(1);
        config.Panel(kModule)->setActive(true);
        config.setOptionScreen(0, false);
        config.setAutoStart(true);
        config.setBusSettings("COM1:9600,N,8,1");
        adjust(config);
        ASSERT_EQ(config.Save(workingFile()), -1);
        ReplaceDatabase(nullptr);

        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(m_lines[i].sim.start(m_lines[i].link, simulatorArguments(i + 1), testing_support::programFolder()))
                << m_lines[i].sim.log().toStdString();
    }

    // What a test changes in the working file, and the simulator program's
    // arguments on a line (1 or 2).
    virtual void adjust(ConfigClass&) {}
    virtual QStringList simulatorArguments(int) const { return {"--modules", "1:1"}; }

    void TearDown() override
    {
        ProgramGlobals::TearDown();
        for (Line& l : m_lines)
            l.sim.stop();
    }

    static QString workingFile() { return plat::AppIdentity::programFile(".dat"); }
    static wPolling* engine() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }
    static wSysComm* openScreen()
    {
        auto* s = qobject_cast<wSysComm*>(plat::Forms::Get(FormNames::wSysComm));
        s->Show();
        return s;
    }
    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    void choose(wSysComm* s, int field, const QString& value, int then = 0)
    {
        bus_settings_touches::choose(s, field, value, answers, then);
    }
    // The line polled from now on: it gets requests, the other one none.
    bool pollsOn(int line)
    {
        Line& polled = m_lines[line - 1];
        Line& other = m_lines[2 - line];
        // A request under way when the port changed may still reach the other line.
        e2e::waitFor([] { return false; }, 300);
        const size_t before = polled.requests();
        const size_t otherBefore = other.requests();
        if (!e2e::waitFor([&] { return polled.requests() >= before + 3; }, 10000))
            return false;
        return other.requests() == otherBefore;
    }
    bool pollsNowhere()
    {
        e2e::waitFor([] { return false; }, 300);
        const size_t before = m_lines[0].requests() + m_lines[1].requests();
        e2e::waitFor([] { return false; }, 1500);
        return m_lines[0].requests() + m_lines[1].requests() == before;
    }
    static size_t commLines(const char* state)
    {
        return e2e::wordLines(e2e::readTrace(testing_support::programFolder()), "COMM", state).size();
    }
    std::string logs() const { return (m_lines[0].sim.log().right(1500) + m_lines[1].sim.log().right(1500)).toStdString(); }

    Line m_lines[2];
    ModalAnswers answers;
    QStringList reports;
    QStringList engineMessages;
};

} // namespace

TEST_F(BusSettingsPty, APortChangeMovesPollingToTheOtherLineAndYesSetsTheLineAndTheWorkingFile)
{
    Global::Main();
    ASSERT_TRUE(engine() && engine()->Run());
    ASSERT_TRUE(pollsOn(1)) << logs();
    ASSERT_EQ(commLines("START"), 1u);
    ASSERT_EQ(commLines("STOP"), 0u);

    // The open port again: nothing changes, and the leaving asks nothing.
    wSysComm* s = openScreen();
    choose(s, 1, "1");
    EXPECT_FALSE(s->Modified());
    click(s->imgNavig(wSysComm::NavigLeave));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(answers.messages.isEmpty());
    EXPECT_EQ(commLines("STOP"), 0u);

    // Port 2: polling moves to the second line at once, stopped and started around it.
    s = openScreen();
    choose(s, 1, "2");
    EXPECT_TRUE(pollsOn(2)) << logs();
    EXPECT_EQ(commLines("STOP"), 1u);
    EXPECT_EQ(commLines("START"), 2u);

    // Port 3 has no device: told, polling stopped, the actual column as loaded.
    choose(s, 1, "3", 1);
    EXPECT_EQ(answers.messages, QStringList{Config::GetText(630100)});
    EXPECT_FALSE(engine()->Run());
    EXPECT_TRUE(pollsNowhere()) << logs();
    EXPECT_EQ(s->lblBusConfig(5)->text(), "1");
    EXPECT_EQ(commLines("STOP"), 3u);

    // No: port 1 back, and polling with it.
    answers.message(kNo);
    click(s->imgNavig(wSysComm::NavigLeave));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(pollsOn(1)) << logs();
    EXPECT_EQ(commLines("START"), 3u);

    // Port 2 at 19200 baud with 2 stop bits, accepted.
    s = openScreen();
    choose(s, 1, "2");
    choose(s, 2, "19200");
    choose(s, 3, "2");
    answers.message(kYes);
    click(s->imgNavig(wSysComm::NavigLeave));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(pollsOn(2)) << logs();

    const int fd = ::open(QFile::encodeName(m_lines[1].link).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(::cfgetispeed(&tio), speed_t(B19200));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);

    QProcess dump;
    dump.start(testing_support::binFolder() + "/cfgdump", {workingFile()});
    ASSERT_TRUE(dump.waitForFinished(10000));
    EXPECT_TRUE(QString::fromUtf8(dump.readAllStandardOutput()).contains("Bus settings:        \"COM2:19200,N,8,2\""));
    EXPECT_TRUE(engineMessages.isEmpty()) << engineMessages.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(BusSettingsPty, TheScreenClosedByTheLogoutAfterAPortThatDidNotOpenLeavesPollingOnTheConfiguredLine)
{
    Global::Main();
    ASSERT_TRUE(engine() && engine()->Run());
    ASSERT_TRUE(pollsOn(1)) << logs();
    const QByteArray saved = [] {
        QFile f(workingFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    wSysComm* s = openScreen();
    choose(s, 1, "3", 1);
    ASSERT_FALSE(engine()->Run());
    ASSERT_TRUE(pollsNowhere()) << logs();

    // Nobody at the panel: the logout closes the screen.
    gUserLevel = 2;
    engine()->UserSleep_UserIsNotHere();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(plat::Forms::Find(FormNames::wSysComm), nullptr);
    EXPECT_EQ(engine()->CommBus().CommPort(), 1);
    EXPECT_TRUE(engine()->Run());
    EXPECT_TRUE(pollsOn(1)) << logs();
    EXPECT_EQ(gConfig->BusSettings(), "COM1:9600,N,8,1");
    QFile f(workingFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), saved) << "the working file is left as it was";
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

namespace {

// How the screen goes after a port was tried with commands queued for its line.
enum class Going { Alarm, Logout, No, Yes, Stop };

struct TriedLineCase {
    const char* name;
    Going going;
    // The program stopped at once and started again, on the configured line.
    bool restart;
    int keptLine;
};

// Module 1 is on both lines. The second line's module holds an alarm when
// the alarm is the way the screen goes: read as soon as that line is tried.
class TriedLineCommands : public BusSettingsPty, public testing::WithParamInterface<TriedLineCase> {
protected:
    void adjust(ConfigClass& config) override
    {
        config.Panel(kModule)->Channel(kChannel)->setScrAlm(true);
        config.setOptionScreen(2, true);
    }
    QStringList simulatorArguments(int line) const override
    {
        QStringList args = BusSettingsPty::simulatorArguments(line);
        if (line == 2 && GetParam().going == Going::Alarm) {
            const QString script = testing_support::programFolder() + "/alarm.txt";
            QFile f(script);
            if (f.open(QIODevice::WriteOnly))
                f.write(QStringLiteral("0 event %1 %2 1\n").arg(kModule).arg(kChannel).toLatin1());
            args << "--script" << script;
        }
        return args;
    }

    // What an operator or the engine queues on the tried line and the bus
    // has not had yet: a module's horn and a lamp test for all.
    void queueCommands()
    {
        const plat::DateTime due = plat::DateTime::now().addSeconds(kDueSeconds);
        engine()->SendCommand(CommandClass::Write(kModule, Bus::RegHorn, {1}, due));
        engine()->SendCommand(CommandClass::Write(Bus::BroadcastAddress, Bus::RegLedTest, {1}, due));
    }

    // The writes a line received since request first: "address head".
    QStringList writesOn(int line, size_t first) const
    {
        QStringList out;
        const std::vector<e2e::Request> all = e2e::requests(m_lines[line - 1].sim.log());
        for (size_t i = first; i < all.size(); ++i)
            if (all[i].head.startsWith("06") || all[i].head.startsWith("10"))
                out << QStringLiteral("%1 %2").arg(all[i].address).arg(all[i].head);
        return out;
    }
    size_t requestCount(int line) const { return e2e::requests(m_lines[line - 1].sim.log()).size(); }

    static constexpr int kChannel = 3;
    static constexpr int kDueSeconds = 2;
    // The tried line's commands as they reach a module, and the acknowledgement
    // of one event of a module's buffer.
    static inline const QString kHorn = "1 06 00 40 00 01";
    static inline const QString kLampTest = "0 06 00 42 00 01";
    static inline const QString kBufferAck = "1 06 01 20 00 01";
};

} // namespace

TEST_P(TriedLineCommands, ReachOnlyTheLineKept)
{
    const TriedLineCase& c = GetParam();
    Global::Main();
    ASSERT_TRUE(engine() && engine()->Run());
    ASSERT_TRUE(pollsOn(1)) << logs();
    const size_t firstOn[2] = {requestCount(1), requestCount(2)};

    wSysComm* s = openScreen();
    choose(s, 1, "2");
    if (c.going == Going::Alarm) {
        // Read at the first poll of the tried line: the alarm screen comes
        // and the screen goes, its port put back, the module's
        // acknowledgement still queued.
        queueCommands();
        ASSERT_TRUE(e2e::waitFor([] { return plat::Forms::Find(FormNames::wSysComm) == nullptr; }, 10000)) << logs();
        EXPECT_EQ(e2e::eventLines(e2e::readTrace(testing_support::programFolder()), kChannel, 1, kModule).size(), 1u);
    } else {
        ASSERT_TRUE(pollsOn(2)) << logs();
        queueCommands();
        switch (c.going) {
        case Going::Logout:
            gUserLevel = 2;
            engine()->UserSleep_UserIsNotHere();
            break;
        case Going::No:
        case Going::Yes:
            answers.message(c.going == Going::Yes ? kYes : kNo);
            click(s->imgNavig(wSysComm::NavigLeave));
            break;
        default:
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // A stop takes the screen with the other forms, the tried port still set.
        if (c.going != Going::Stop)
            EXPECT_EQ(plat::Forms::Find(FormNames::wSysComm), nullptr);
    }
    if (c.restart) {
        Global::EndProgram();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(plat::Forms::All().empty());
        Global::Main();
        ASSERT_TRUE(engine() && engine()->Run());
    }
    EXPECT_EQ(engine()->CommBus().CommPort(), c.keptLine);
    // Past the commands' time, polling on the line kept.
    e2e::waitFor([] { return false; }, (kDueSeconds + 1) * 1000);
    EXPECT_TRUE(pollsOn(c.keptLine)) << logs();

    const QStringList configured = writesOn(1, firstOn[0]);
    for (const QString& w : {kHorn, kLampTest, kBufferAck})
        EXPECT_FALSE(configured.contains(w)) << w.toStdString() << " reached the configured line";
    if (c.keptLine == 2) {
        EXPECT_TRUE(e2e::waitFor([&] {
            const QStringList tried = writesOn(2, firstOn[1]);
            return tried.contains(kHorn) && tried.contains(kLampTest);
        }, 10000)) << writesOn(2, firstOn[1]).join("; ").toStdString();
    }
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Leaving, TriedLineCommands,
    testing::Values(TriedLineCase{"an_alarm_from_the_tried_line", Going::Alarm, false, 1},
                    TriedLineCase{"an_alarm_then_a_new_start", Going::Alarm, true, 1},
                    TriedLineCase{"the_inactivity_logout", Going::Logout, false, 1},
                    TriedLineCase{"No", Going::No, false, 1},
                    TriedLineCase{"No_then_a_new_start", Going::No, true, 1},
                    TriedLineCase{"Yes", Going::Yes, false, 2},
                    TriedLineCase{"a_stop_then_a_new_start", Going::Stop, true, 1}),
    [](const testing::TestParamInfo<TriedLineCase>& info) { return std::string(info.param.name); });
