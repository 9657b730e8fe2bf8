// The history viewer and the remote control through the whole program, in
// real time: the program started with its automatic start in this process,
// the module simulator program on a pseudo-terminal playing a module of
// model 4. The viewer opened from the alarm screen shows the day's events;
// switching channel 3 of the module on from its remote command screen makes
// its register 19 read 3.

#include "program/App.h"
#include "program/bus/CommandClass.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wRunAlarms.h"
#include "program/runtime/wTeleCmde.h"
#include "program/runtime/wTeleCmdes.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/ProgramGlobals.h"

#include "platform/AppIdentity.h"
#include "platform/DateTime.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SoundPlayer.h"

#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>


namespace {

constexpr int kModule = 4;
constexpr int kChannel = 3;

class HistoryRemotePty : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testing_support::binFolder() + "/modsim")) << "modsim is not built";
        const QString folder = testing_support::programFolder();
        m_link = folder + "/ttyBUS";
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        {
            // The working file: one module of model 4; every event is recorded.
            ConfigClass config;
            PanelClass& p = *config.Panel(kModule);
            p.setModel(4);
            p.setActive(true);
            p.setTitle("Hall B outputs");
            for (int bit = 0; bit < 5; ++bit)
                config.setOptionHisto(bit, true);
            config.setAutoStart(true);
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        VEXfonctions::SetIni(QStringLiteral("Ports"), QStringLiteral("COM1"), m_link);

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

        ASSERT_TRUE(m_sim.start(m_link, {"--modules", QString("%1:4").arg(kModule)}, folder)) << m_sim.log().toStdString();
    }

    static wRunAlarms* alarms() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
    static wPolling* engine() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }

    QString m_link;
    std::string simTail() const { return m_sim.log().right(3000).toStdString(); }

    e2e::SimulatorProgram m_sim;
    QStringList m_reports;
    testing_support::FakeSoundPlayer m_player;
};

TEST_F(HistoryRemotePty, TheViewerShowsTheDaysEventsAndAChannelSwitchedOnReachesTheModule)
{
    Global::Main();
    ASSERT_NE(alarms(), nullptr) << m_reports.join("; ").toStdString();
    ASSERT_NE(engine(), nullptr);
    ASSERT_TRUE(e2e::waitFor([&] { return gConfig->Panel(kModule)->Present(); }, 20000)) << simTail();

    // The history of today, as the viewer reads it back.
    const QString today = plat::formatShortDate(plat::DateTime::now());
    QStringList entries;
    testing_support::whenShown(FormNames::wHistoric, [&](plat::Form* f) {
        auto* viewer = qobject_cast<wHistoric*>(f);
        QTimer::singleShot(1000, viewer, [&, viewer] {
            for (int r = 0; r < viewer->grdAlarms->Rows(); ++r)
                entries << viewer->grdAlarms->TextMatrix(r);
            viewer->imgClose->click();
        });
    }, 20000);
    alarms()->imgHisto->click();
    ASSERT_FALSE(entries.isEmpty());
    auto has = [&](const QString& display, const QString& parameter) {
        for (const QString& e : entries)
            if (e.mid(11, 15).trimmed() == display && e.mid(27, 11).trimmed() == parameter && e.mid(53, 10) == today)
                return true;
        return false;
    };
    EXPECT_TRUE(has("APPLIC", "START")) << entries.join("\n").toStdString();
    EXPECT_TRUE(has("COMM", "START")) << entries.join("\n").toStdString();

    // Channel 3 switched on from the module's remote command screen.
    alarms()->Form_Activate();
    ASSERT_TRUE(alarms()->imgTelecommande->isVisibleTo(alarms()));
    alarms()->imgTelecommande->click();
    auto* overview = qobject_cast<wTeleCmdes*>(plat::Forms::Find(FormNames::wTeleCmdes));
    ASSERT_NE(overview, nullptr);
    ASSERT_TRUE(e2e::waitFor([&] { return overview->Telecmde.exists(1) && overview->Telecmde(1)->isVisible(); }, 5000));
    QString shownModule;
    testing_support::whenShown(FormNames::wTeleCmde, [&](plat::Form* f) {
        auto* screen = qobject_cast<wTeleCmde*>(f);
        shownModule = screen->lblModType(0)->text();
        QTest::mouseClick(screen->lblVoyant(kChannel), Qt::LeftButton);
        screen->ImgTcmde(wTeleCmde::On)->click();
        screen->imgClose->click();
    }, 20000);
    QTest::mouseClick(overview->Telecmde(1)->imgButton, Qt::LeftButton);
    EXPECT_EQ(shownModule, QString::number(kModule));

    // Read back through the engine: register 19 of the module.
    auto read = std::make_shared<CommandClass>();
    read->setCmdType(CommandClass::CmdRead);
    read->setModule(kModule);
    read->setAddress(16 + kChannel);
    read->setValue(0, -1);
    ASSERT_NE(engine(), nullptr);
    engine()->SendCommand(read);
    ASSERT_TRUE(e2e::waitFor([&] { return read->CmdType() == CommandClass::CmdDone; }, 20000)) << simTail();
    EXPECT_EQ(read->Value(0), 3);
    // Function 6, register 19 (0x13), value 3.
    EXPECT_TRUE(m_sim.log().contains(QString("> %1 06 00 13 00 03").arg(kModule, 2, 16, QChar('0'))))
        << simTail();
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}

} // namespace
