// The history viewer and the remote control through the whole program, in
// real time: the program started with its automatic start in this process,
// the module simulator program on a pseudo-terminal playing a module of
// model 4. The viewer opened from the alarm screen shows the day's events;
// switching channel 3 of the module on from its remote command screen makes
// its register 19 read 3.

#include "program/bus/CommandClass.h"
#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/FormNames.h"
#include "program/core/PanelClass.h"
#include "program/runtime/HistoricGrid.h"
#include "program/runtime/wHistoric.h"
#include "program/runtime/wRunAlarms.h"
#include "program/runtime/wTeleCmde.h"
#include "program/runtime/wTeleCmdes.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/AppIdentity.h"
#include "platform/DateTime.h"
#include "platform/Forms.h"

#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>


namespace {

constexpr int kModule = 4;
constexpr int kChannel = 3;

class HistoryRemotePty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
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
        assemble();
        startSimulator(QString("%1:4").arg(kModule));
    }

    static wRunAlarms* alarms() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
    static wPolling* engine() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }
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
