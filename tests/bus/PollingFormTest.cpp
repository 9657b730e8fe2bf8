// The engine form wPolling as the program loads it from the form registry:
// its monitor grid, run indicator and labels, its trace line, and the command
// queue kept across an unload and a new load.

#include "program/bus/BusForms.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/PanelClass.h"
#include "program/core/PollingLink.h"
#include "program/core/VEXfonctions.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/ProgramGlobals.h"
#include "tests/support/VirtualClock.h"

#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "program/core/FormNames.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

class PollingForm : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        CommFunctions::setClock(&clock);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        PollingSeams::installed().message = [this](const QString& text, int) {
            messages << text;
            return 1;
        };
        doubles.install();
        // Each engine form opens a line of its own to the test's modules.
        wPolling::setPortFactory([this] { return std::make_unique<modsim::SimSerialControl>(sim, clock); });
        logFile = testing_support::programFolder() + "/trace.log";
        gTraceLog().OpenFile(logFile, VexLib22::eLogModeFileAppend);
        // Defaults play no part here: no database is opened.
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
        gConfig->setPrtSettings(QString());
        for (int m : {1, 2}) {
            sim.addModule(m, 4);
            gConfig->Panel(qint16(m))->setModel(4);
            gConfig->Panel(qint16(m))->setActive(true);
        }
        BusForms::registerForms();
    }

    wPolling* form() { return dynamic_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling)); }

    QStringList logLines() const { return testing_support::fileLines(logFile); }

    testing_support::VirtualClock clock{0};
    modsim::Simulator sim{clock};
    testing_support::RecordingSeams doubles;
    QString logFile;
    QStringList reports;
    QStringList messages;
};

} // namespace

TEST_F(PollingForm, LoadsHiddenUnderTheEngineNameWithItsTimers)
{
    wPolling* w = form();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(&Polling::Engine(), static_cast<PollingLink*>(w));
    EXPECT_FALSE(w->isVisible()) << "the engine form loads hidden";
    EXPECT_TRUE(w->PortOpen());
    EXPECT_FALSE(w->tmrPoll->Enabled());
    EXPECT_EQ(w->tmrPoll->Interval(), 1);
    EXPECT_TRUE(w->tmrMidnight->Enabled());
    EXPECT_EQ(w->tmrMidnight->Interval(), 1000);
    EXPECT_TRUE(w->tmrReactiv->Enabled());
    EXPECT_EQ(w->tmrReactiv->Interval(), 10000);
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PollingForm, MonitorGridShowsTheModulesAndTheirCounters)
{
    wPolling* w = form();
    QTableWidget* grid = w->findChild<QTableWidget*>("grdErrors");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 65);
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), QString("N°"));
    EXPECT_EQ(grid->item(0, 1)->text(), QChar(0xA0) + QString("N1     N2    N3    Next Poll"));
    EXPECT_EQ(grid->item(1, 0)->text(), "01");
    EXPECT_EQ(grid->item(64, 0)->text(), "64");
    EXPECT_EQ(grid->columnWidth(0), 47);
    EXPECT_EQ(grid->columnWidth(1), 487);

    EXPECT_TRUE(w->imgStopRun.item(1)->isVisibleTo(w));
    EXPECT_FALSE(w->imgStopRun.item(0)->isVisibleTo(w));
    w->setRun(true);
    EXPECT_TRUE(w->imgStopRun.item(0)->isVisibleTo(w));
    EXPECT_FALSE(w->imgStopRun.item(1)->isVisibleTo(w));
    EXPECT_TRUE(w->tmrPoll->Enabled());
    EXPECT_EQ(w->tmrPoll->Interval(), 25);

    int pollDones = 0;
    QObject::connect(w, &wPolling::PollDone, w, [&] { ++pollDones; });
    sim.setFault(2, "fail-next", 1);
    w->tmrPoll_Timer();
    w->tmrPoll_Timer();
    EXPECT_EQ(w->lblPanel->text(), "2");
    EXPECT_EQ(w->lblTime->text().size(), 8);
    EXPECT_TRUE(grid->item(1, 1)->text().startsWith("0000    00    00    ")) << grid->item(1, 1)->text().toStdString();
    EXPECT_TRUE(grid->item(2, 1)->text().startsWith("0001    01    00    ")) << grid->item(2, 1)->text().toStdString();
    EXPECT_EQ(grid->item(2, 1)->text().size(), 28);
    w->tmrPoll_Timer();
    w->tmrPoll_Timer();
    EXPECT_EQ(pollDones, 1);
    testing_support::renderToPng(w, "wPolling");

    // Stop by the monitor's own picture.
    w->imgStopRun_Click(0);
    EXPECT_FALSE(w->Run());
    EXPECT_TRUE(w->imgStopRun.item(1)->isVisibleTo(w));
}

TEST_F(PollingForm, LoadWritesTheReinitLineAndUnloadKeepsTheQueueForTheNextLoad)
{
    wPolling* w = form();
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), 132);
    EXPECT_EQ(lines[0].mid(20, 6), "REINIT");

    for (int m : {3, 4}) {
        auto c = std::make_shared<CommandClass>();
        c->setCmdType(CommandClass::CmdWrite);
        c->setModule(qint16(m));
        c->setAddress(67);
        c->setValue(0, 2);
        w->SendCommand(c);
    }
    plat::Forms::Unload(w);
    EXPECT_FALSE(w->CommBus().PortOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList keys;
    ASSERT_EQ(VEXfonctions::GetIniKeys(keys, IniKeys::PendingCommands), 2);

    wPolling* again = form();
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->engine().commands().Count(), 2);
    EXPECT_EQ(again->engine().commands().Item(1)->Module(), 3);
    EXPECT_EQ(again->engine().commands().Item(2)->Module(), 4);
    keys.clear();
    EXPECT_EQ(VEXfonctions::GetIniKeys(keys, IniKeys::PendingCommands), 0);
}

TEST_F(PollingForm, TickThatFindsTheFormClosingUnloadsIt)
{
    wPolling* w = form();
    w->setRun(true);
    QPointer<wPolling> alive(w);
    w->engine().setYield([w] { plat::Forms::Unload(w); });
    auto c = std::make_shared<CommandClass>();
    c->setCmdType(CommandClass::CmdWrite);
    c->setModule(1);
    c->setAddress(66);
    c->setValue(0, 1);
    w->SendCommand(c);
    w->tmrPoll_Timer();
    EXPECT_EQ(plat::Forms::Find(FormNames::wPolling), nullptr);
    EXPECT_FALSE(w->Run());
    EXPECT_FALSE(w->tmrPoll->Enabled());
    // Destroyed by the loop once the tick's yield has returned.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(PollingForm, ACommandGivenUpGetsItsTraceLineFromTheInstalledRules)
{
    wPolling* w = form();
    w->setRun(true);
    int writeErrors = 0;
    QObject::connect(w, &wPolling::WriteError, w, [&] { ++writeErrors; });
    // Module 3 is not on the line: every attempt fails.
    auto c = std::make_shared<CommandClass>();
    c->setCmdType(CommandClass::CmdWrite);
    c->setModule(3);
    c->setAddress(66);
    c->setValue(0, 1);
    w->SendCommand(c);
    for (int i = 0; i < 4; ++i)
        w->tmrPoll_Timer();
    ASSERT_EQ(doubles.rules.dropped.size(), 1u);
    EXPECT_EQ(doubles.rules.dropped[0].Module(), 3);
    EXPECT_EQ(writeErrors, 1);
    EXPECT_EQ(w->engine().commands().Count(), 0);
}

TEST_F(PollingForm, TheMonitorShowsTheBusSettingsAndItsCloseButtonOnlyHidesIt)
{
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    gConfig->setBusSettings(QStringLiteral("COM3:19200,E,7,2"));
    wPolling* w = form();
    w->setRun(true);
    EXPECT_EQ(w->windowTitle(), "Communication watch");

    // Shown modal over the screen that opened it; button 5 ends the show.
    QWidget owner;
    owner.show();
    QStringList seen;
    const auto shown = testing_support::whenShown(FormNames::wPolling, [&](plat::Form*) {
        seen << w->lblPort->text() << w->lblSpeed->text() << w->lblParity->text() << w->lblDataBits->text()
             << w->lblStopBits->text();
        w->imgNavig(wPolling::NavigClose)->click();
    });
    w->Show(true, &owner);
    QCoreApplication::processEvents();
    EXPECT_TRUE(*shown);
    EXPECT_EQ(w->parentWidget(), nullptr) << "the engine form does not go with its owner";
    EXPECT_EQ(seen, (QStringList{"3", "19200", Config::GetText(100022), "7", "2"}));
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(plat::Forms::Find(FormNames::wPolling), w) << "the engine stays loaded";
    EXPECT_TRUE(w->Run());
    EXPECT_TRUE(w->tmrPoll->Enabled());

    // Its close box hides it too, and a minimised monitor comes back.
    w->Show();
    w->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(plat::Forms::Find(FormNames::wPolling), w);
    EXPECT_TRUE(w->Run());
    w->Show();
    w->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);
    testing_support::renderToPng(w, "wPolling-COM3");
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(PollingForm, ParityTextsFollowTheLetter)
{
    ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
    ASSERT_TRUE(Config::OpenConfigBase());
    wPolling* w = form();
    const std::pair<const char*, int> cases[] = {{"9600,N,8,1", 100021}, {"9600,o,8,1", 100023},
                                                 {"9600,M,8,1", 100020}, {"9600", 100020}};
    for (const auto& [settings, text] : cases) {
        w->CommBus().setPortOpen(false);
        w->CommBus().setSettings(settings);
        w->Form_Activate();
        EXPECT_EQ(w->lblParity->text(), Config::GetText(text)) << settings;
    }
}

TEST_F(PollingForm, TheScrollButtonsMoveTheModulesUnderTheHeader)
{
    wPolling* w = form();
    w->Show();
    plat::FlexGrid* grid = w->grdErrors;
    const int visible = grid->viewport()->height() / grid->rowHeight(1);
    // The top module row, counted 1 .. 64, as the grid's first row + 1.
    auto top = [grid] { return grid->TopRow() + 1; };
    EXPECT_EQ(top(), 1);
    w->imgControl(2)->click();
    EXPECT_EQ(top(), 2);
    w->imgControl(3)->click();
    EXPECT_EQ(top(), 12);
    w->imgControl(1)->click();
    EXPECT_EQ(top(), 11);
    w->imgControl(0)->click();
    EXPECT_EQ(top(), 1);
    w->imgControl(0)->click();
    EXPECT_EQ(top(), 1) << "never above the first module";
    for (int i = 0; i < 10; ++i)
        w->imgControl(3)->click();
    // The last rows stay on the screen: the grid scrolls no further.
    EXPECT_EQ(top(), 65 - visible + 1);
}

TEST_F(PollingForm, TheTitleRowNeverTakesTheCurrentCellsLookAlsoWithTheGridFocused)
{
    wPolling* w = form();
    w->Show();
    plat::FlexGrid* grid = w->grdErrors;
    QApplication::setActiveWindow(w);
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    // The titles as they look while a module's row is the current one.
    const QRect titles = grid->visualItemRect(grid->item(0, 0)) | grid->visualItemRect(grid->item(0, 1));
    grid->setCurrentCell(5, 0);
    const QImage asTitles = grid->viewport()->grab(titles).toImage();
    const QImage moduleRow = grid->viewport()->grab(grid->visualItemRect(grid->item(5, 0))).toImage();
    for (int column : {0, 1}) {
        SCOPED_TRACE(column);
        grid->setCurrentCell(0, column);
        EXPECT_TRUE(grid->viewport()->grab(titles).toImage() == asTitles);
    }
    // A module's row does take it.
    grid->setCurrentCell(5, 0);
    grid->setCurrentCell(6, 0);
    EXPECT_FALSE(grid->viewport()->grab(grid->visualItemRect(grid->item(5, 0))).toImage() == moduleRow);
}
