// The whole program in this process, as its executable assembles it, the bus
// played by the in-process simulator, and what the screens' clearing for an
// alarm or the inactivity logout does to the windows that are up.
//
// A screen's code waits in a chooser, a modal form or the remote control's
// wait when an event is displayed or the logout comes: the program goes on
// with the alarm screen and the alarm listed; what waited is closed as
// cancelled and its caller does nothing more: no further window, nothing
// saved.
//
// An error report shown without waiting (the history file that cannot be
// written) stays up, on top, through a new alarm, a re-announcement, the
// alarm screen opened from the main window and the logout, until its OK;
// polling goes on meanwhile.

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/NestedLoop.h"
#include "platform/Screen.h"
#include "program/App.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/PollingEngine.h"
#include "program/bus/wPolling.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ErrorHandling.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/core/VEXfonctions.h"
#include "program/core/dlgMessage.h"
#include "program/runtime/HistoFile.h"
#include "program/runtime/wRunAlarms.h"
#include "program/runtime/wTeleCmde.h"
#include "program/runtime/wTeleCmdes.h"
#include "program/screens/bus/wBusPanneau.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/InProcessProgram.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"
#include "tests/support/VirtualClock.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kAlarmModule = 1;
constexpr int kAlarmChannel = 3;
constexpr int kRemoteModule = 9;
constexpr int kServiceLevel = 4;

// One action of the operator on a form, run once that form is up and nothing
// modal stands over it.
struct Step {
    QString form;
    std::function<void(plat::Form*)> act;
};

// Touches the control of that name (a button is clicked, anything else gets
// a press and a release).
std::function<void(plat::Form*)> touch(const QString& control)
{
    return [control](plat::Form* f) {
        auto* w = f->findChild<QWidget*>(control);
        ASSERT_NE(w, nullptr) << control.toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->click();
        else
            QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    };
}

Step on(const QString& form, const QString& control)
{
    return {form, touch(control)};
}

// What the code waits in.
using Up = std::function<bool()>;

Up modalForm(const QString& name)
{
    return [name] {
        plat::Form* f = plat::Forms::Find(name);
        return f && f->isVisible() && f->IsModal();
    };
}

Up systemDialog(const char* className, const QString& objectName = {})
{
    return [className, objectName] {
        QWidget* w = QApplication::activeModalWidget();
        return w && w->isVisible() && w->inherits(className) && (objectName.isEmpty() || w->objectName() == objectName);
    };
}

struct Wait {
    const char* name;
    std::vector<Step> steps;
    Up up;
    // The alarm screen's own password dialog stays through the display of an event.
    bool staysThroughDisplay = false;
    // What stands before the operator starts.
    std::function<void()> prepare = {};
};

enum class Trigger { Display, Logout };

struct Case {
    Wait wait;
    Trigger trigger;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.wait.name << (c.trigger == Trigger::Display ? ", an event displayed" : ", the inactivity logout");
}

std::string caseName(const testing::TestParamInfo<Case>& info)
{
    std::string name = info.param.wait.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name + (info.param.trigger == Trigger::Display ? "_event" : "_logout");
}

wPolling* engine()
{
    return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
}

// An alarm of a channel, not acknowledged (param 0) or acknowledged (1).
void sendEvent(int module, int chnl, int param = 0)
{
    EventClass ev;
    ev.setPanel(qint16(module));
    ev.setChnl(qint16(chnl));
    ev.setParam(qint16(param));
    ev.setAff(1);
    engine()->SendEvent(ev);
}

const QString kMain = FormNames::wMain;
const QString kAlarms = FormNames::wRunAlarms;

std::vector<Step> mainThen(std::vector<Step> more)
{
    more.insert(more.begin(), on(kMain, "imgMenu(0)"));
    return more;
}

// The module editor of module 1, from the bus overview, on row row.
std::vector<Step> editorRow(int row, std::vector<Step> more)
{
    std::vector<Step> steps{on(kMain, "imgMenu(0)"), on(FormNames::wBusModules, "imgPanneau(0)"),
                            {FormNames::wBusPanneau, [row](plat::Form* f) {
                                 qobject_cast<wBusPanneau*>(f)->txtNoParam()->setText(QString::number(row));
                             }}};
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

std::vector<Step> systemMenu(int cmd, std::vector<Step> more)
{
    std::vector<Step> steps{on(kMain, "imgMenu(2)"), on(FormNames::dlgMenuSystem, QString("cmdButtons(%1)").arg(cmd))};
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

std::vector<Step> paramsMenu(int cmd, std::vector<Step> more)
{
    std::vector<Step> steps{on(kMain, "imgMenu(1)"), on(FormNames::dlgMenuParams, QString("cmdButtons(%1)").arg(cmd))};
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

std::vector<Step> alarmScreen(std::vector<Step> more)
{
    more.insert(more.begin(), on(kMain, "imgMenu(3)"));
    return more;
}

// From the alarm screen's history viewer, the command screen of the remote module.
std::vector<Step> commandScreen(std::vector<Step> more)
{
    std::vector<Step> steps = alarmScreen({on(kAlarms, "imgHisto"), on(FormNames::wHistoric, "imgTelecommande"),
                                           {FormNames::wTeleCmdes, [](plat::Form* f) {
                                                qobject_cast<wTeleCmdes*>(f)->Telecmde(1)->imgButton->click();
                                            }}});
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

const Wait kWaits[] = {
    // The choosers.
    {"main window Open chooser", {on(kMain, "imgNavig(9)")}, systemDialog("QFileDialog")},
    {"main window Save as chooser", {on(kMain, "imgNavig(8)")}, systemDialog("QFileDialog")},
    {"bus overview import chooser", mainThen({on(FormNames::wBusModules, "imgImportExport(0)")}),
     systemDialog("QFileDialog")},
    {"bus overview export chooser", mainThen({on(FormNames::wBusModules, "imgImportExport(1)")}),
     systemDialog("QFileDialog")},
    {"instruction texts import chooser", paramsMenu(1, {on(FormNames::wParamConsignes, "imgControl(11)")}),
     systemDialog("QFileDialog")},
    {"sound and history folder chooser", systemMenu(2, {on(FormNames::wSysConfSon, "cmdChooseHistoPath")}),
     systemDialog("QDialog", "BrowseDirectory")},
    {"module editor colour chooser", editorRow(0, {on(FormNames::wBusPanneau, "lblTitleColor")}),
     systemDialog("QColorDialog")},
    // The modal forms over a screen.
    {"main window system menu", {on(kMain, "imgMenu(2)")}, modalForm(FormNames::dlgMenuSystem)},
    {"main window parameters menu", {on(kMain, "imgMenu(1)")}, modalForm(FormNames::dlgMenuParams)},
    {"main window clock", systemMenu(3, {}), modalForm(FormNames::dlgSysTime)},
    {"main window users", systemMenu(4, {}), modalForm(FormNames::dlgDefPwds)},
    {"main window login", {on(kMain, "imgNavig(13)")}, modalForm(FormNames::dlgUserCodes)},
    {"main window question before Open", {on(kMain, "imgNavig(9)")}, modalForm(FormNames::dlgMessage), false,
     [] { gConfig->setModified(true); }},
    {"users editor code dialog", systemMenu(4, {on(FormNames::dlgDefPwds, "imgControl(0)")}),
     modalForm(FormNames::dlgUserCodes)},
    {"bus overview copy", mainThen({on(FormNames::wBusModules, "imgCopyPanel")}), modalForm(FormNames::dlgBusCopy)},
    {"module editor keyboard", editorRow(0, {on(FormNames::wBusPanneau, "imgModif")}),
     modalForm(FormNames::dlgKeyboard)},
    {"module editor value picker", editorRow(6, {on(FormNames::wBusPanneau, "imgModif")}),
     modalForm(FormNames::dlgListInput)},
    {"module editor mirrors", editorRow(0, {on(FormNames::wBusPanneau, "imgNavig(12)")}),
     modalForm(FormNames::wBusMirrorOne)},
    {"mirrors of a channel edit dialog",
     editorRow(0, {on(FormNames::wBusPanneau, "imgNavig(12)"), on(FormNames::wBusMirrorOne, "imgNew")}),
     modalForm(FormNames::dlgEditMirror)},
    {"mirror list edit dialog", mainThen({on(FormNames::wBusModules, "imgMiroirs"), on(FormNames::wBusMiroirs, "imgNew")}),
     modalForm(FormNames::dlgEditMirror)},
    {"instruction texts keyboard", paramsMenu(1, {on(FormNames::wParamConsignes, "imgControl(10)")}),
     modalForm(FormNames::dlgKeyboard)},
    {"sound settings priority picker", systemMenu(2, {on(FormNames::wSysConfSon, "lblSoundPrio")}),
     modalForm(FormNames::dlgListInput)},
    {"bus settings monitor", systemMenu(1, {on(FormNames::wSysComm, "imgCommWatch")}), modalForm(FormNames::wPolling)},
    {"technician bus scan", {on(kMain, "imgMenu(4)"), on(FormNames::wTechnician, "cmdFindPanels")},
     modalForm(FormNames::wTechFindPanels)},
    {"technician out of service", {on(kMain, "imgMenu(4)"), on(FormNames::wTechnician, "cmdPerturb")},
     modalForm(FormNames::wTechConsignations)},
    {"alarm screen history viewer", alarmScreen({on(kAlarms, "imgHisto")}), modalForm(FormNames::wHistoric)},
    {"history viewer remote control",
     alarmScreen({on(kAlarms, "imgHisto"), on(FormNames::wHistoric, "imgTelecommande")}),
     modalForm(FormNames::wTeleCmdes)},
    {"remote control command screen", commandScreen({}), modalForm(FormNames::wTeleCmde)},
    {"remote command wait",
     commandScreen({{FormNames::wTeleCmde,
                     [](plat::Form* f) {
                         auto* screen = qobject_cast<wTeleCmde*>(f);
                         screen->lblVoyant_Click(5);
                         // The command's first attempt fails in its first
                         // yield; no tick comes after it but the test's.
                         QMetaObject::invokeMethod(
                             qApp,
                             [] {
                                 engine()->tmrPoll_Timer();
                                 engine()->tmrPoll->setEnabled(false);
                             },
                             Qt::QueuedConnection);
                         screen->ImgTcmde(wTeleCmde::On)->click();
                     }}}),
     [] {
         plat::Form* f = plat::Forms::Find(FormNames::wTeleCmde);
         return f && f->isVisible() && plat::Screen::MousePointer() == plat::Screen::vbArrowHourglass;
     }},
    {"alarm screen message box",
     alarmScreen({{kAlarms,
                   [](plat::Form* f) {
                       // A listed alarm without instruction: the screen says so.
                       sendEvent(kAlarmModule, kAlarmChannel + 1);
                       touch("imgConsigne")(f);
                   }}}),
     modalForm(FormNames::dlgMessage)},
    {"alarm screen login", alarmScreen({on(kAlarms, "imgNavig(13)")}), modalForm(FormNames::dlgUserCodes), true},
};

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const Wait& w : kWaits)
        for (Trigger t : {Trigger::Display, Trigger::Logout})
            cases.push_back({w, t});
    return cases;
}

class AlarmClearing : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        assemble();
        prepare();
        // The bus: the simulator's modules on the test's clock.
        CommFunctions::setClock(&clock);
        wPolling::setPortFactory([this] { return std::make_unique<modsim::SimSerialControl>(sim, clock); });
        sim.addModule(kAlarmModule, 1);
        sim.addModule(kRemoteModule, 4);

        ConfigClass config;
        config.Panel(kAlarmModule)->setModel(1);
        config.Panel(kAlarmModule)->setActive(true);
        config.Panel(kRemoteModule)->setModel(4);
        config.Panel(kRemoteModule)->setActive(true);
        for (int c = 1; c <= config.Panel(kAlarmModule)->ChannelCount(); ++c) {
            ChannelClass& channel = *config.Panel(kAlarmModule)->Channel(qint16(c));
            channel.setScrAlm(true);
            channel.setHisto(true);
            // An acknowledged alarm still active is announced again a minute on.
            channel.setReact(true);
            channel.setReactTpo(1);
        }
        for (int c = 1; c <= config.Panel(kRemoteModule)->ChannelCount(); ++c)
            config.Panel(kRemoteModule)->Channel(qint16(c))->setScrAlm(false);
        for (int bit = 0; bit < 5; ++bit) {
            config.setOptionScreen(bit, true);
            config.setOptionHisto(bit, true);
        }
        ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
    }

    static wRunAlarms* alarms() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(kAlarms)); }

    // What the program has saved: the working file, the file settings and
    // the files of the program folder (but the trace and the history, which
    // every event writes).
    static QString saved()
    {
        QStringList out;
        QFile working(plat::AppIdentity::programFile(".dat"));
        if (working.open(QIODevice::ReadOnly))
            out << QCryptographicHash::hash(working.readAll(), QCryptographicHash::Sha1).toHex();
        QStringList keys;
        VEXfonctions::GetIniKeys(keys, QStringLiteral("Files"));
        for (const QString& key : keys)
            out << key + "=" + VEXfonctions::GetIni(QStringLiteral("Files"), key, QString());
        for (QDirIterator it(folder(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString file = it.next();
            if (!file.contains("/Trace/") && !file.contains("/Histo"))
                out << file;
        }
        out.sort();
        return out.join('\n');
    }

    static void sendAlarm() { sendEvent(kAlarmModule, kAlarmChannel); }

    bool alarmListed() const
    {
        wRunAlarms* screen = alarms();
        if (!screen)
            return false;
        for (int r = 0; r < screen->AlarmRowCount(); ++r)
            if (quint32(screen->AlarmRowData(r)) >> 16 == quint32(kAlarmModule << 8 | kAlarmChannel))
                return true;
        return false;
    }

    // Lets the loop run its queued calls and deferred deletions.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testing_support::VirtualClock clock{0};
    modsim::Simulator sim{clock};
};

class AlarmOverWaits : public AlarmClearing, public testing::WithParamInterface<Case> {};

// Closes the modal windows up now, as an operator who cancels them.
void cancelModals()
{
    for (int i = 0; i < 10; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
        else if (auto* f = qobject_cast<plat::Form*>(modal))
            f->Hide();
        else
            break;
    }
}

} // namespace

TEST_P(AlarmOverWaits, TheProgramGoesOnAndWhatWaitedEndsAsCancelled)
{
    const Case& c = GetParam();
    const bool stays = c.trigger == Trigger::Display && c.wait.staysThroughDisplay;
    Global::Main();
    ASSERT_NE(engine(), nullptr);
    gUserLevel = kServiceLevel;
    // Polling runs (a remote command needs it), but no tick comes unless the
    // test runs one; the remote module does not answer.
    sim.setPower(kRemoteModule, false);
    engine()->setRun(true);
    engine()->tmrPoll->setEnabled(false);
    plat::Forms::Get(kMain)->Show();
    settle();
    ASSERT_EQ(testing_support::visibleForms(), QStringList{kMain});
    // No change waits to be saved (the Open asks about one first).
    gConfig->setModified(false);
    if (c.wait.prepare)
        c.wait.prepare();

    const QString before = saved();
    const bool modifiedBefore = gConfig->Modified();
    const ConfigClass* configBefore = gConfig;

    // The operator's steps, each once its form is up; then, once the code
    // waits, the event or the logout.
    size_t next = 0;
    int acting = 0;
    bool triggered = false;
    bool closedAtOnce = false;
    bool lookedAfter = false;
    bool upAfter = false;
    bool leftOpen = false;
    QStringList openedAfter;
    // Each turn on a timer of its own: a turn that waits in a step does not
    // hold the next.
    QObject driving;
    std::function<void()> turn;
    std::function<void()> act = [&] {
        if (triggered) {
            if (!lookedAfter) {
                lookedAfter = true;
                upAfter = c.wait.up();
                // The login that stays is the operator's to answer.
                if (upAfter && stays)
                    cancelModals();
            } else if (QWidget* modal = QApplication::activeModalWidget()) {
                openedAfter << modal->metaObject()->className() + QString(" ") + modal->objectName();
                cancelModals();
            }
            return;
        }
        if (next == c.wait.steps.size()) {
            if (c.wait.up()) {
                triggered = true;
                if (c.trigger == Trigger::Display)
                    sendAlarm();
                else
                    engine()->UserSleep_UserIsNotHere();
                closedAtOnce = !c.wait.up();
            }
            return;
        }
        const Step step = c.wait.steps[next];
        plat::Form* form = plat::Forms::Find(step.form);
        QWidget* modal = QApplication::activeModalWidget();
        if (!form || !form->isVisible() || (modal && modal != form))
            return;
        ++next;
        ++acting;
        step.act(form);
        --acting;
    };
    bool stopped = false;
    turn = [&] {
        if (stopped)
            return;
        QTimer::singleShot(5, &driving, turn);
        act();
    };
    // A wait left open would hang the test: it fails instead.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        leftOpen = true;
        cancelModals();
        // The remote command's wait ends with polling.
        engine()->setRun(false);
    });
    deadline.start(10000);
    turn();
    const bool finished = e2e::waitFor([&] { return (triggered && lookedAfter && acting == 0) || leftOpen; }, 20000);
    // A little longer: nothing more opens.
    e2e::waitFor([] { return false; }, 100);
    stopped = true;
    deadline.stop();
    settle();

    ASSERT_TRUE(finished);
    ASSERT_TRUE(triggered) << "the wait never came up (step " << next << ")";
    EXPECT_FALSE(leftOpen) << "left open";
    EXPECT_EQ(closedAtOnce, !stays) << "closed as cancelled";
    EXPECT_EQ(upAfter, stays);
    EXPECT_TRUE(openedAfter.isEmpty()) << "the caller went on: " << openedAfter.join(", ").toStdString();
    EXPECT_FALSE(plat::NestedLoop::running());

    // The program goes on: the alarm screen is up, and lists the alarm.
    EXPECT_EQ(testing_support::visibleForms(), QStringList{kAlarms});
    if (c.trigger == Trigger::Logout) {
        EXPECT_EQ(gUserLevel, 0);
        sendAlarm();
    }
    EXPECT_TRUE(alarmListed());
    EXPECT_EQ(testing_support::visibleForms(), QStringList{kAlarms});
    EXPECT_TRUE(engine() && engine()->Run()) << "polling goes on";

    // Nothing of what was cancelled was done.
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(gConfig, configBefore);
    EXPECT_EQ(gConfig->Modified(), modifiedBefore);
    if (c.trigger == Trigger::Display && !stays) {
        EXPECT_EQ(gUserLevel, kServiceLevel);
    }
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryWait, AlarmOverWaits, testing::ValuesIn(allCases()), caseName);

namespace {

// What clears the screens while the report is up.
enum class Clearing { NewAlarm, Reannouncement, AlarmScreenFromMain, Logout };

struct ReportCase {
    const char* name;
    Clearing clearing;
};

void PrintTo(const ReportCase& c, std::ostream* os)
{
    *os << c.name;
}

// The program started, polling its module, with the history file made
// unwritable and an event's append failing: its report is up.
class HistoryReport : public AlarmClearing {
protected:
    void SetUp() override
    {
        AlarmClearing::SetUp();
        // Reports go to the operator, as in the program.
        ErrorHandling::Install();
        Global::Main();
        ASSERT_NE(engine(), nullptr);
        gUserLevel = kServiceLevel;
        engine()->engine().setNow([this] { return now; });
        QObject::connect(engine(), &wPolling::PollDone, [this] { ++rounds; });
        engine()->setRun(true);
        ASSERT_TRUE(e2e::waitFor([&] { return rounds >= 2; }, 5000)) << "polling runs";

        // The month's history file works first (whatever cause was told
        // before is forgotten then), then a folder stands in its way.
        sendEvent(kAlarmModule, kAlarmChannel + 1);
        const QString file = HistoFile::FileName(QDate::currentDate(), false);
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QDir().mkdir(file));
        ASSERT_TRUE(reportBoxes().empty());
        // An alarm acknowledged and still active: its append fails.
        sendEvent(kAlarmModule, kAlarmChannel, 1);
        settle();
        ASSERT_EQ(reportBoxes().size(), 1u);
        box = reportBoxes().front();
        ASSERT_TRUE(box->txtMessage->toPlainText().contains("HistoEvent")) << box->txtMessage->toPlainText().toStdString();
    }

    // The report boxes up, shown without waiting.
    static std::vector<dlgMessage*> reportBoxes()
    {
        std::vector<dlgMessage*> boxes;
        for (plat::Form* f : plat::Forms::All())
            if (auto* box = qobject_cast<dlgMessage*>(f); box && box->isVisible())
                boxes.push_back(box);
        return boxes;
    }

    plat::DateTime now = plat::DateTime::now();
    int rounds = 0;
    QPointer<dlgMessage> box;
};

class ReportThroughAlarms : public HistoryReport, public testing::WithParamInterface<ReportCase> {};

} // namespace

TEST_P(ReportThroughAlarms, TheBoxNamingTheHistoryErrorStaysUntilItsOkAndPollingGoesOn)
{
    const ReportCase& c = GetParam();
    switch (c.clearing) {
    case Clearing::NewAlarm:
        sendEvent(kAlarmModule, kAlarmChannel + 2);
        break;
    case Clearing::Reannouncement:
        now = now.addSeconds(120);
        engine()->tmrReactiv_Timer();
        ASSERT_NE(alarms(), nullptr);
        EXPECT_EQ(alarms()->AlarmRowData(0) & 0xFF, 255) << "announced again";
        break;
    case Clearing::AlarmScreenFromMain:
        plat::Forms::Get(kMain)->Show();
        settle();
        touch("imgMenu(3)")(plat::Forms::Find(kMain));
        EXPECT_EQ(plat::Forms::Find(kMain), nullptr);
        break;
    case Clearing::Logout:
        engine()->UserSleep_UserIsNotHere();
        EXPECT_EQ(gUserLevel, 0);
        break;
    }
    settle();

    // The box is still up, on top, the only one: the cause is told once.
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->IsUnloaded());
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->Topmost());
    EXPECT_EQ(reportBoxes().size(), 1u);
    ASSERT_NE(alarms(), nullptr);
    EXPECT_TRUE(alarms()->isVisible());
    EXPECT_FALSE(plat::NestedLoop::running()) << "nothing waits for the box";

    // Polling goes on under it.
    const int before = rounds;
    EXPECT_TRUE(e2e::waitFor([&] { return rounds >= before + 3; }, 5000));
    EXPECT_TRUE(box && box->isVisible());

    // Its OK closes it.
    box->cmdButton(0)->click();
    settle();
    EXPECT_FALSE(box);
    EXPECT_TRUE(reportBoxes().empty());
}

TEST_F(HistoryReport, UpWhenAStopComesItGoesWithTheRest)
{
    Global::RequestStop(plat::vbAppTaskManager);
    settle();
    EXPECT_FALSE(box);
    EXPECT_TRUE(plat::Forms::All().empty());
    const auto lines = e2e::readTrace(folder());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(e2e::wordLines(lines, "APPLI", "STOP").size(), 1u);
    EXPECT_TRUE(lines.back().text.contains("TASK  MANAGER")) << lines.back().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryClearing, ReportThroughAlarms,
                         testing::Values(ReportCase{"a new alarm", Clearing::NewAlarm},
                                         ReportCase{"a re-announcement", Clearing::Reannouncement},
                                         ReportCase{"the alarm screen opened from the main window",
                                                    Clearing::AlarmScreenFromMain},
                                         ReportCase{"the inactivity logout", Clearing::Logout}),
                         [](const testing::TestParamInfo<ReportCase>& info) {
                             switch (info.param.clearing) {
                             case Clearing::NewAlarm:
                                 return std::string("NewAlarm");
                             case Clearing::Reannouncement:
                                 return std::string("Reannouncement");
                             case Clearing::AlarmScreenFromMain:
                                 return std::string("AlarmScreenFromMain");
                             case Clearing::Logout:
                                 break;
                             }
                             return std::string("Logout");
                         });
