// The road of an alarm through the whole program, in real time: the program
// started with its automatic start in this process, the module simulator
// program on a pseudo-terminal raising a first fault; the fault becomes a
// red row on the alarm screen, and acknowledging it writes 2 to register 67
// of the module.

#include "program/App.h"
#include "program/bus/PollingSeams.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/wRunAlarms.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SoundPlayer.h"
#include "tests/support/FakeSoundPlayer.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>

namespace {

constexpr int kModule = 1;
constexpr int kChannel = 3;
// When the simulator raises the fault, counted from its start.
constexpr double kFaultAtSeconds = 2.0;

class AlarmPty : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testing_support::binFolder() + "/modsim")) << "modsim is not built";
        const QString folder = testing_support::programFolder();
        m_link = folder + "/ttyBUS";
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        {
            // The working file: one module whose channel shows and sounds its alarms.
            ConfigClass config;
            PanelClass& p = *config.Panel(kModule);
            p.setModel(1);
            p.setActive(true);
            ChannelClass& ch = *p.Channel(kChannel);
            ch.setScrAlm(true);
            ch.setKlaxon(true);
            for (int bit = 0; bit < 5; ++bit) {
                config.setOptionScreen(bit, true);
                config.setOptionKlaxon(bit, true);
            }
            config.setAutoStart(true);
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), m_link);
        QFile script(folder + "/actions.txt");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("%1 event %2 %3 3 1\n").arg(kFaultAtSeconds).arg(kModule).arg(kChannel).toLatin1());
        script.close();

        App::assemble();
        PollingSeams::installed().message = [this](const QString& text, int) {
            m_reports << text;
            return 1;
        };
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            m_reports << QString("%1 %2").arg(name).arg(e.number());
        });
        Global::setCriticalBox([this](const QString&, const QString& text) { m_reports << text; });
        plat::setSoundPlayer(&m_player);

        QObject::connect(&m_sim, &QProcess::readyReadStandardError, [this] { m_simLog += m_sim.readAllStandardError(); });
        e2e::startHeadless(m_sim, testing_support::binFolder() + "/modsim",
                           {"--link", m_link, "--modules", QString("%1:1").arg(kModule), "--script",
                            folder + "/actions.txt", "-v"},
                           folder);
        ASSERT_TRUE(m_sim.waitForStarted(10000));
        ASSERT_TRUE(e2e::waitFor([&] { return QFile::exists(m_link); }, 10000)) << m_simLog.toStdString();
    }

    void TearDown() override
    {
        ProgramGlobals::TearDown();
        if (m_sim.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_sim.processId()), SIGTERM);
            if (!m_sim.waitForFinished(10000))
                m_sim.kill();
        }
    }

    static wRunAlarms* screen() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }

    QString m_link;
    QProcess m_sim;
    QString m_simLog;
    QStringList m_reports;
    testing_support::FakeSoundPlayer m_player;
};

TEST_F(AlarmPty, AFirstFaultBecomesARedRowAndItsAcknowledgementReachesTheModule)
{
    Global::Main();
    ASSERT_NE(screen(), nullptr) << m_reports.join("; ").toStdString();
    const qint32 fault = qint32(quint32(kModule) << 24 | quint32(kChannel) << 16 | 1u << 8 | 3u);
    auto redRow = [&] {
        wRunAlarms* w = screen();
        for (int r = 0; w && r < w->AlarmRowCount(); ++r)
            if (w->AlarmRowData(r) == fault)
                return w->grdAlarms->CellBackColor(r, 0) == 0x0000FFu;
        return false;
    };
    ASSERT_TRUE(e2e::waitFor(redRow, 20000)) << m_simLog.right(3000).toStdString();
    EXPECT_FALSE(m_player.playing.isEmpty()) << "the horn sounds";

    // Nobody has level 1 in the shipped users: no login is asked.
    screen()->grdAlarms->setRow(0);
    screen()->imgAcquit->click();
    EXPECT_TRUE(m_player.playing.isEmpty());
    // Function 6, register 67 (0x43), value 2, answered by the module.
    const QString request = QString("> %1 06 00 43 00 02").arg(kModule, 2, 16, QChar('0'));
    ASSERT_TRUE(e2e::waitFor([&] { return m_simLog.contains(request); }, 10000)) << m_simLog.right(3000).toStdString();
    const QString line = m_simLog.mid(m_simLog.indexOf(request)).section('\n', 0, 0);
    EXPECT_TRUE(line.contains("< ")) << line.toStdString();
    EXPECT_EQ(e2e::eventLines(e2e::readTrace(testing_support::programFolder()), 254, 0, kModule).size(), 1u)
        << "the operator's acknowledgement is traced";
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}

} // namespace
