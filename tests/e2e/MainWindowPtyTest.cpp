// The program run in this process as its executable runs it, against the
// module simulator program on a pseudo-terminal: the operator opens a user
// file of eight modules from the main window, starts polling on the bus
// monitor, every module is found, and the quit ends the message loop with 0.

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "program/App.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/wRunAlarms.h"
#include "program/screens/system/wMain.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/ProgramGlobals.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <set>

namespace {

const std::vector<std::pair<int, int>> kModules = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 1}, {7, 3}, {8, 1}};

class MainWindowPty : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testing_support::binFolder() + "/modsim")) << "modsim is not built";
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder() + "/PLX2.cfg"));
        m_link = folder() + "/ttyBUS";
        VEXfonctions::SetIni("Ports", "COM1", m_link);
        // The program's assembly, as its main() makes it.
        App::assemble();
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });

        // The user file: the simulator's modules, polled.
        ASSERT_TRUE(Config::OpenConfigBase());
        ConfigClass site;
        for (const auto& [address, model] : kModules) {
            site.Panel(int16_t(address))->setModel(model);
            site.Panel(int16_t(address))->setActive(true);
        }
        ASSERT_TRUE(site.BusSettings().startsWith("COM1:"));
        ASSERT_EQ(site.Save(siteFile()), -1);
        wMain::setFileDialog([this](QWidget*, const QString&, bool save, const QString&, const QString&) {
            return save ? QString() : siteFile();
        });
    }

    void TearDown() override
    {
        if (m_sim.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_sim.processId()), SIGTERM);
            if (!m_sim.waitForFinished(10000))
                m_sim.kill();
        }
        wMain::setFileDialog({});
        ProgramGlobals::TearDown();
    }

    static QString folder() { return testing_support::programFolder(); }
    static QString siteFile() { return folder() + "/site.px2"; }

    void startSimulator()
    {
        QStringList modules;
        for (const auto& [address, model] : kModules)
            modules << QString("%1:%2").arg(address).arg(model);
        e2e::startHeadless(m_sim, testing_support::binFolder() + "/modsim",
                           {"--link", m_link, "--modules", modules.join(",")}, folder());
        ASSERT_TRUE(m_sim.waitForStarted(10000));
        ASSERT_TRUE(e2e::waitFor([&] { return QFile::exists(m_link); }, 10000));
    }

    // The modules the engine holds present.
    static std::set<int> present()
    {
        std::set<int> modules;
        for (int m = 1; m <= ConfigClass::kModules; ++m)
            if (gConfig->Panel(qint16(m))->Present())
                modules.insert(m);
        return modules;
    }
    // The modules whose arrival was announced.
    std::set<int> announced() const
    {
        std::set<int> modules;
        for (const e2e::TraceLine& l : e2e::eventLines(e2e::readTrace(folder()), EventClass::ChnlPresence, 1))
            modules.insert(l.event->Panel());
        return modules;
    }

    QString m_link;
    QProcess m_sim;
    QStringList reports;
};

TEST_F(MainWindowPty, AnOpenedUserFileIsPolledAndTheQuitEndsTheRunWithZero)
{
    startSimulator();
    Global::Main();
    auto* main = qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain));
    ASSERT_NE(main, nullptr);
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(engine->PortOpen());

    testing_support::ModalAnswers answers;
    main->imgNavig(wMain::NavigOpen)->click();
    EXPECT_EQ(main->lblFileName->text(), "site");
    EXPECT_EQ(gConfig->Panel(8)->Model(), 1);
    engine->imgStopRun(1)->click();
    ASSERT_TRUE(engine->Run());

    // The first start's synchronisation has found every module (without
    // announcing them: it empties the alarm list and fills it again).
    std::set<int> all;
    for (const auto& m : kModules)
        all.insert(m.first);
    EXPECT_EQ(present(), all);
    EXPECT_TRUE(announced().empty());

    // The alarm screen from the menu; leaving it asks for a login (nobody
    // has level 1, so a cancelled one passes) and shows the main window again.
    main->imgMenu(3)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* alarms = qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms));
    ASSERT_NE(alarms, nullptr);
    ASSERT_TRUE(alarms->isVisible());
    EXPECT_EQ(plat::Forms::Find(FormNames::wMain), nullptr);
    answers.cancelPassword();
    alarms->imgNavig(wRunAlarms::NavigLeave)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main = qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain));
    ASSERT_NE(main, nullptr);

    // The quit asks, then the message loop ends as main() returns it.
    answers.message(MsgResult::vbOK);
    QTimer::singleShot(0, main, [main] { main->imgNavig(wMain::NavigQuit)->click(); });
    // A quit that never comes ends the loop here. The timer goes with the
    // test: an exit called once no loop runs would end every later one at once.
    QTimer noQuit;
    noQuit.setSingleShot(true);
    QObject::connect(&noQuit, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    noQuit.start(20000);
    const int rc = QApplication::exec();
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(plat::Forms::All().empty());
    const auto lines = e2e::readTrace(folder());
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    EXPECT_EQ(e2e::wordLines(lines, "COMM", "STOP").size(), 1u);
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastConfigModified, ""), "0");
    EXPECT_EQ(VEXfonctions::GetIni(IniKeys::Files, IniKeys::LastUsed, ""), siteFile());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
