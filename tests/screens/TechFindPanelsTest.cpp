// The bus scan screen on its real controls: what it shows at load, a scan of
// every model, the stop, the module commands, the leave question (Yes, No,
// Cancel), a second visit, a port that does not open, a lost port the scan
// opens, polling running during a scan, and unloads from elsewhere; each
// language drawn.

#include "tests/screens/TechToolsFixture.h"

#include "platform/FlexGrid.h"
#include "program/core/Global.h"
#include "program/screens/bus/wTechFindPanels.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>

namespace {

class TechFindPanels : public TechToolsFixture {
protected:
    wTechFindPanels* openScan() { return open<wTechFindPanels>(FormNames::wTechFindPanels); }
    static wTechFindPanels* screen()
    {
        return qobject_cast<wTechFindPanels*>(plat::Forms::Find(FormNames::wTechFindPanels));
    }
    static QString cell(wTechFindPanels* s, int row, int col) { return s->grdPanels->TextMatrix(row, col); }

    // Starts a scan with the button and lets it run to its end.
    void scanAll(wTechFindPanels* s, const std::function<void()>& between = {})
    {
        click(s->imgFind(wTechFindPanels::FindStart));
        ASSERT_TRUE(runUntil([s] { return !s->scan().Running(); }, 20000, between)) << "the scan never ended";
    }
};

TEST_F(TechFindPanels, LoadShowsTheDeclaredModulesAndTheBusSettings)
{
    configure(1, 1);
    configure(2, 2).setActive(false);
    gConfig->setBusSettings(QStringLiteral("COM1:9600,E,7,2"));
    wTechFindPanels* s = openScan();

    const char* titles[] = {"N°", "Nom du panneau", "Déclaré", "Activé", "Détecté"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(cell(s, 0, c), QString::fromUtf8(titles[c])) << "the titles are the design's own, untranslated";
    EXPECT_EQ(cell(s, 1, 0), "1");
    EXPECT_EQ(cell(s, 1, 1), "Hall 1");
    EXPECT_EQ(cell(s, 1, 2), Global::ModuleName(1));
    EXPECT_EQ(cell(s, 1, 3), Config::GetText(10002));
    EXPECT_EQ(cell(s, 2, 3), Config::GetText(10001));
    EXPECT_EQ(cell(s, 64, 0), "64");
    EXPECT_EQ(cell(s, 64, 2), Global::ModuleName(0));
    for (int r : {1, 33, 64}) {
        EXPECT_EQ(s->grdPanels->RowData(r), -1);
        EXPECT_EQ(cell(s, r, 4), "") << "nothing detected before the first scan";
    }
    EXPECT_EQ(s->lblBusConfig(5)->text(), "1");
    EXPECT_EQ(s->lblBusConfig(6)->text(), "9600");
    EXPECT_EQ(s->lblBusConfig(7)->text(), Config::GetText(100022));
    EXPECT_EQ(s->lblBusConfig(8)->text(), "7");
    EXPECT_EQ(s->lblBusConfig(9)->text(), "2");
    EXPECT_EQ(s->frmFrames(1)->title(), Config::GetText(820100) + " 1");
    EXPECT_EQ(s->frmWarning->geometry(), s->frmFrames(0)->geometry());
    EXPECT_FALSE(s->frmWarning->isVisible());
    EXPECT_TRUE(s->imgFind(1)->isVisible());
    EXPECT_FALSE(s->imgFind(0)->isVisible());

    click(s->imgControl(wTechFindPanels::ControlDown));
    EXPECT_EQ(s->grdPanels->Row(), 2);
    EXPECT_EQ(s->frmFrames(1)->title(), Config::GetText(820100) + " 2");
    click(s->imgControl(wTechFindPanels::ControlPageDown));
    EXPECT_GT(s->grdPanels->Row(), 10);
    click(s->imgControl(wTechFindPanels::ControlPageUp));
    click(s->imgControl(wTechFindPanels::ControlUp));
    EXPECT_EQ(s->grdPanels->Row(), 1) << "the hidden title row is never chosen";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, ScanShowsEachModelFoundAndAModel4AsModel3)
{
    for (int m = 1; m <= 5; ++m)
        sim.addModule(m, m);
    sim.addModule(40, 2);
    wTechFindPanels* s = openScan();
    bool stopShown = false;
    bool testing = false;
    scanAll(s, [&] {
        stopShown = stopShown || s->imgFind(0)->isVisible();
        testing = testing || cell(s, 20, 4) == "Test...";
    });
    EXPECT_TRUE(stopShown) << "the stop button shows while the scan runs";
    EXPECT_TRUE(testing) << "the address being asked shows Test...";
    const int found[] = {1, 2, 3, 3, 5};
    for (int m = 1; m <= 5; ++m) {
        EXPECT_EQ(s->grdPanels->RowData(m), found[m - 1]) << m;
        EXPECT_EQ(cell(s, m, 4), Global::ModuleName(found[m - 1])) << m;
    }
    EXPECT_EQ(s->grdPanels->RowData(40), 2);
    EXPECT_EQ(s->grdPanels->RowData(6), 0);
    EXPECT_EQ(cell(s, 64, 4), Global::ModuleName(0));
    EXPECT_TRUE(s->imgFind(1)->isVisible());
    EXPECT_FALSE(s->imgFind(0)->isVisible());
    EXPECT_FALSE(s->frmWarning->isVisible()) << "no warning: polling is stopped";
    EXPECT_EQ(s->grdPanels->Row(), 64);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
    testing_support::renderToPng(s, "wTechFindPanels-scanned");
}

TEST_F(TechFindPanels, StopAtAddressTenLeavesTheRestUnscanned)
{
    sim.addModule(10, 1);
    wTechFindPanels* s = openScan();
    bool stopped = false;
    scanAll(s, [&] {
        if (!stopped && cell(s, 10, 4) == "Test...") {
            click(s->imgFind(0));
            stopped = true;
        }
    });
    ASSERT_TRUE(stopped);
    EXPECT_EQ(s->grdPanels->RowData(10), 1) << "the address being asked when the stop came is asked";
    for (int r = 11; r <= 64; ++r) {
        EXPECT_EQ(s->grdPanels->RowData(r), -1) << r;
        EXPECT_EQ(cell(s, r, 4), "?????") << r;
    }
    EXPECT_TRUE(s->imgFind(1)->isVisible());
    EXPECT_FALSE(s->imgFind(0)->isVisible());
    EXPECT_FALSE(s->scan().StopRequested());
}

TEST_F(TechFindPanels, CommandButtonsActOnTheSelectedRow)
{
    configure(3, 1, false);
    gConfig->Panel(4)->setActive(true);   // no model
    sim.addModule(4, 5);
    wTechFindPanels* s = openScan();
    auto select = [&](int row) {
        s->grdPanels->setRow(row);
        QCoreApplication::processEvents();
    };

    select(3);
    click(s->lblCommand(wTechFindPanels::CommandDeactivate));
    EXPECT_EQ(cell(s, 3, 3), Config::GetText(10001));
    click(s->imgCommand(wTechFindPanels::CommandActivate));
    EXPECT_EQ(cell(s, 3, 3), Config::GetText(10002));
    EXPECT_EQ(beeps, 0);

    select(4);
    click(s->imgCommand(wTechFindPanels::CommandActivate));
    EXPECT_EQ(beeps, 1) << "a module without model cannot be activated";
    click(s->imgCommand(wTechFindPanels::CommandTakeOver));
    EXPECT_EQ(beeps, 2) << "nothing to take over before a scan";
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    EXPECT_EQ(cell(s, 4, 3), Config::GetText(10001)) << "it can be deactivated";
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    EXPECT_EQ(beeps, 3) << "but not twice";

    scanAll(s);
    select(4);
    click(s->lblCommand(wTechFindPanels::CommandTakeOver));
    EXPECT_EQ(cell(s, 4, 2), Global::ModuleName(5));
    EXPECT_EQ(s->scan().Copy(4).Model(), 5);
    select(3);
    click(s->imgCommand(wTechFindPanels::CommandTakeOver));
    EXPECT_EQ(cell(s, 3, 2), Global::ModuleName(0)) << "a silent address takes the model away";
    EXPECT_EQ(gConfig->Panel(4)->Model(), 0) << "the configuration waits for the leave question";
    EXPECT_EQ(beeps, 3);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, YesWritesTheCopiesSavesAndKeepsTheEnginesPresence)
{
    PanelClass& p = configure(2, 1);
    p.setPresent(true);
    p.Channel(1)->setState(4);
    sim.addModule(9, 2);
    wTechFindPanels* s = openScan();
    scanAll(s);
    s->grdPanels->setRow(9);
    click(s->imgCommand(wTechFindPanels::CommandTakeOver));
    click(s->imgCommand(wTechFindPanels::CommandActivate));
    s->grdPanels->setRow(2);
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    p.setPresent(false);   // the engine found it missing meanwhile

    answer(6);
    click(s->imgNavig(wTechFindPanels::NavigLeave));
    settle();
    EXPECT_EQ(screen(), nullptr);
    ASSERT_EQ(answers->messages.size(), 1);
    EXPECT_EQ(answers->messages[0], Config::GetText(50003));
    EXPECT_EQ(gConfig->Panel(9)->Model(), 2);
    EXPECT_TRUE(gConfig->Panel(9)->Active());
    EXPECT_FALSE(p.Active());
    EXPECT_FALSE(p.Present()) << "the scan never undoes what the engine learnt";
    EXPECT_EQ(p.Channel(1)->State(), 4);

    QProcess dump;
    dump.start(testing_support::binFolder() + "/cfgdump", {workingFile()});
    ASSERT_TRUE(dump.waitForFinished(30000));
    const QString out = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QRegularExpression("Module\\s+9\\b.*model 2", QRegularExpression::DotMatchesEverythingOption)))
        << out.left(3000).toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, NoDropsTheChangesAndLeavingUnchangedAsksNothing)
{
    configure(5, 3);
    wTechFindPanels* s = openScan();
    s->grdPanels->setRow(5);
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    answer(7);
    click(s->imgNavig(wTechFindPanels::NavigLeave));
    settle();
    EXPECT_EQ(screen(), nullptr);
    EXPECT_TRUE(gConfig->Panel(5)->Active());
    EXPECT_FALSE(QFile::exists(workingFile()));

    s = openScan();
    EXPECT_EQ(cell(s, 5, 3), Config::GetText(10002)) << "a new visit starts from the configuration";
    click(s->imgNavig(wTechFindPanels::NavigLeave));
    settle();
    EXPECT_EQ(screen(), nullptr) << "nothing changed: no question";
    EXPECT_EQ(answers->messages.size(), 1);
}

TEST_F(TechFindPanels, CancelReturnsToAUsableScreenAndASecondVisitScansWhole)
{
    configure(5, 3);
    wTechFindPanels* s = openScan();
    s->grdPanels->setRow(5);
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    click(s->imgFind(wTechFindPanels::FindStart));
    answer(2);
    click(s->imgNavig(wTechFindPanels::NavigLeave));
    ASSERT_EQ(screen(), s) << "Cancel stays";
    EXPECT_FALSE(s->scan().Running()) << "leaving stopped the scan";
    EXPECT_FALSE(s->scan().LeaveRequested());
    EXPECT_TRUE(s->imgFind(1)->isVisible()) << "the start button is back";
    scanAll(s);
    EXPECT_NE(s->grdPanels->RowData(64), -1) << "after Cancel a scan runs to the end";

    answer(7);
    click(s->imgNavig(wTechFindPanels::NavigLeave));
    settle();
    s = openScan();
    scanAll(s);
    EXPECT_EQ(screen(), s) << "a second visit's scan does not close the screen";
    EXPECT_EQ(s->grdPanels->RowData(5), 3);
    EXPECT_EQ(s->grdPanels->RowData(64), 0);
}

TEST_F(TechFindPanels, APortThatDoesNotOpenIsToldOnceAndTheScanStopsAtItsFirstAddress)
{
    openFails = true;
    engine();
    reports.clear();
    wTechFindPanels* s = openScan();
    EXPECT_EQ(reports.filter("wTechFindPanels.Form_Load").size(), 1) << reports.join("; ").toStdString();
    EXPECT_EQ(s->lblLabels(0)->text(), Config::GetText(820000)) << "the screen loads whole";
    EXPECT_EQ(cell(s, 64, 0), "64");
    reports.clear();
    scanAll(s);
    EXPECT_LE(reports.size(), 1) << reports.join("; ").toStdString();
    EXPECT_EQ(s->grdPanels->RowData(1), 0);
    EXPECT_EQ(s->grdPanels->RowData(2), -1) << "the scan stopped at its first address";
    EXPECT_TRUE(s->imgFind(1)->isVisible());
}

TEST_F(TechFindPanels, PollingGoesOnDuringAScanAndTheScanChangesNoPresence)
{
    for (int m : {1, 2, 3})
        configure(m, 1);
    configure(6, 1, false);   // configured, not on the bus
    sim.addModule(8, 5);      // on the bus, not configured
    wPolling* w = engine();
    w->setRun(true);
    for (int i = 0; i < 20; ++i)
        tick();
    ASSERT_TRUE(gConfig->Panel(1)->Present());
    ASSERT_FALSE(gConfig->Panel(6)->Present());
    const size_t before = port->sentFrames().size();
    doubles.journal.clear();

    wTechFindPanels* s = openScan();
    bool warned = false;
    scanAll(s, [&] {
        warned = warned || s->frmWarning->isVisible();
        tick();
    });
    EXPECT_TRUE(warned) << "the warning shows while polling runs";
    EXPECT_FALSE(s->frmWarning->isVisible());
    EXPECT_EQ(s->grdPanels->RowData(8), 5);
    EXPECT_EQ(s->grdPanels->RowData(6), 0);

    std::map<int, int> polls;
    const auto& frames = port->sentFrames();
    for (size_t i = before; i < frames.size(); ++i) {
        const QByteArray& f = frames[i];
        const int reg = (quint8(f[2]) << 8) | quint8(f[3]);
        if (f[1] == char(3) && reg != 132 && reg != 133)
            ++polls[quint8(f[0])];
    }
    for (int m : {1, 2, 3})
        EXPECT_GT(polls[m], 5) << "module " << m << " is still polled";
    EXPECT_EQ(polls.count(8), 0u) << "a module not configured is not polled";
    for (int m : {1, 2, 3})
        EXPECT_TRUE(gConfig->Panel(qint16(m))->Present()) << m;
    EXPECT_FALSE(gConfig->Panel(6)->Present());
    EXPECT_FALSE(gConfig->Panel(8)->Present()) << "the scan finds it; the engine's presence stays";
    EXPECT_TRUE(doubles.journal.entries().isEmpty()) << doubles.journal.entries().join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, AScanOpeningALostPortBeforeTheWatchdogLooksLeavesPollingToStartAgain)
{
    configure(1, 1);
    wPolling* w = engine();
    w->setRun(true);
    for (int i = 0; i < 5; ++i)
        tick();
    ASSERT_TRUE(port->setFault("vanish"));
    tick();
    ASSERT_FALSE(w->Run()) << "polling stops on the lost port";
    // The device back; the lost port is closed, as the serial port closes it.
    port->setPortOpen(false);
    const int reinits = int(testing_support::fileLines(traceFile()).filter("COMM   REINIT").size());

    // The scan opens the port before the watchdog's next look.
    wTechFindPanels* s = openScan();
    ASSERT_TRUE(port->PortOpen());
    clock.advance(10000);
    w->tmrReactiv_Timer();
    EXPECT_TRUE(w->Run());
    EXPECT_EQ(testing_support::fileLines(traceFile()).filter("COMM   REINIT").size(), reinits + 1);
    const size_t before = port->sentFrames().size();
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_GT(port->sentFrames().size(), before) << "polled again";
    plat::Forms::Unload(s);
    settle();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, AnUnloadFromElsewhereEndsTheScanAndAsksNothing)
{
    configure(5, 3);
    wTechFindPanels* s = openScan();
    s->grdPanels->setRow(5);
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    click(s->imgFind(wTechFindPanels::FindStart));
    ASSERT_TRUE(runUntil([s] { return s->grdPanels->RowData(3) != -1; }));
    // The alarm screen coming up, or the logout, unloads every screen.
    plat::Forms::UnloadAllExcept({FormNames::wPolling});
    settle();
    EXPECT_EQ(screen(), nullptr);
    EXPECT_TRUE(gConfig->Panel(5)->Active()) << "the copies went as with No";
    const size_t sent = port->sentFrames().size();
    for (int i = 0; i < 20; ++i)
        settle();
    EXPECT_EQ(port->sentFrames().size(), sent) << "the scan ended with the screen";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, AnUnloadWhileTheQuestionIsUpRunsNothingOfTheScreenAfterIt)
{
    configure(5, 3);
    wTechFindPanels* s = openScan();
    s->grdPanels->setRow(5);
    click(s->imgCommand(wTechFindPanels::CommandDeactivate));
    answers->on(FormNames::dlgMessage, [](plat::Form*) { plat::Forms::UnloadAllExcept({FormNames::wPolling}); });
    click(s->imgNavig(wTechFindPanels::NavigLeave));
    settle();
    EXPECT_EQ(screen(), nullptr);
    EXPECT_TRUE(gConfig->Panel(5)->Active());
    EXPECT_FALSE(QFile::exists(workingFile()));
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(TechFindPanels, DrawnInEveryLanguage)
{
    configure(1, 1);
    configure(2, 2);
    configure(3, 3).setActive(false);
    for (int m = 1; m <= 3; ++m)
        sim.addModule(m + 3, m);
    for (int language = 0; language < 3; ++language) {
        gLanguage = language;
        wTechFindPanels* s = openScan();
        scanAll(s);
        s->frmWarning->show();
        for (QLabel* l : s->findChildren<QLabel*>()) {
            if (!plat::tagOf(l).isEmpty()) {
                EXPECT_FALSE(l->text().isEmpty()) << l->objectName().toStdString();
            }
        }
        testing_support::renderToPng(s, QString("wTechFindPanels-%1").arg(language));
        plat::Forms::Unload(s);
        settle();
    }
}

} // namespace
