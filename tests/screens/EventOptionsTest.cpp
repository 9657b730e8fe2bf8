// The event options: the grid of ticks over the configuration's four option
// masks, the leave question only when a tick or the inactivity time differs,
// what Yes writes, the inactivity detector set again at every Yes, and an
// option switched off that keeps an event of its kind off the alarm screen.

#include "Stillmark/_ActivityDetect.h"
#include "platform/Component.h"
#include "program/bus/FormsAlarmScreen.h"
#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/PanelClass.h"
#include "program/screens/system/EventOptions.h"
#include "program/screens/system/MenuDialog.h"
#include "program/screens/system/dlgMenuParams.h"
#include "program/screens/system/wParamEcran.h"
#include "tests/support/ModalAnswers.h"
#include "tests/screens/ScreensFixture.h"

#include <QTest>

#include <functional>

namespace {

using testing_support::ModalAnswers;

constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;

// The detector, writing down how the program sets it.
class RecordingDetector : public plat::ComObject<Stillmark::_ActivityDetect, Stillmark::IID_ActivityDetect> {
public:
    explicit RecordingDetector(QStringList& journal) : m_journal(journal) {}
    bool IsUserSleep() override { return false; }
    bool IsScreenSaverRunning() override { return false; }
    Stillmark::ACTIVITYDETECT_FLAG State() override { return Stillmark::ACTIVITYDETECT_FLAG(0); }
    void setSamplingInterval(int32_t v) override { m_journal << QStringLiteral("SamplingInterval %1").arg(v); }
    int32_t SamplingInterval() override { return 6000; }
    void setEnabled(bool v) override
    {
        m_enabled = v;
        m_journal << QStringLiteral("Enabled %1").arg(v ? "true" : "false");
    }
    bool Enabled() override { return m_enabled; }
    void setN(int32_t v) override
    {
        m_n = v;
        m_journal << QStringLiteral("N %1").arg(v);
    }
    int32_t N() override { return m_n; }
    uint32_t Advise(Stillmark::__ActivityDetect*) override { return 1; }
    void Unadvise(uint32_t) override {}

private:
    QStringList& m_journal;
    bool m_enabled = false;
    int32_t m_n = 10;
};

class EventOptionsScreen : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        PollingSeams::installed().newDetector = [this] {
            return plat::ComPtr<Stillmark::_ActivityDetect>::attach(new RecordingDetector(detector));
        };
    }

    wParamEcran* openScreen()
    {
        plat::Forms::Get(FormNames::wPolling);
        detector.clear();
        auto* s = qobject_cast<wParamEcran*>(plat::Forms::Get(FormNames::wParamEcran));
        s->Show();
        return s;
    }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
    static QLabel* tick(wParamEcran* s, int column, int row)
    {
        plat::ControlArray<QLabel>* columns[] = {&s->lblAffich, &s->lblHisto, &s->lblPrint, &s->lblKlaxon};
        return columns[column]->item(row);
    }
    static bool bit(int column, int row) { return EventOptions::Bit(*gConfig, column, row); }

    QStringList detector;
};

struct Toggle {
    int column;
    int row;
};

TEST_F(EventOptionsScreen, AsksOnlyWhenSomethingDiffersAndYesWritesTheMasksTheTimeAndTheDetector)
{
    struct Case {
        const char* name;
        std::vector<Toggle> toggles;
        const char* minutes;   // picked, or nullptr to leave the time
        bool asked;
        int16_t minutesAfter;
        QStringList detector;
    } cases[] = {
        {"one tick in each column", {{0, 1}, {1, 3}, {2, 0}, {3, 4}}, nullptr, true, 10,
         {"Enabled false", "N 100", "Enabled true"}},
        {"a tick toggled twice", {{1, 2}, {1, 2}}, nullptr, false, 10, {}},
        {"time 0", {}, "0", true, 0, {"Enabled false", "N 10", "Enabled false"}},
        {"time 1", {}, "1", true, 1, {"Enabled false", "N 10", "Enabled true"}},
        {"time 60", {}, "60", true, 60, {"Enabled false", "N 600", "Enabled true"}},
        {"the same time picked", {}, "10", false, 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setModified(false);
        ASSERT_EQ(gConfig->InactivityTime(), 10);
        bool expected[EventOptions::Columns][EventOptions::Rows];
        for (int col = 0; col < EventOptions::Columns; ++col)
            for (int r = 0; r < EventOptions::Rows; ++r)
                expected[col][r] = bit(col, r);

        wParamEcran* s = openScreen();
        for (int col = 0; col < EventOptions::Columns; ++col)
            for (int r = 0; r < EventOptions::Rows; ++r)
                ASSERT_EQ(tick(s, col, r)->text(), expected[col][r] ? "X" : "");
        EXPECT_EQ(s->lblInacTime->text(), "10");
        for (const Toggle& t : c.toggles) {
            click(tick(s, t.column, t.row));
            expected[t.column][t.row] = !expected[t.column][t.row];
        }
        ModalAnswers answers;
        if (c.minutes) {
            answers.pick(c.minutes);
            click(s->imgControl(wParamEcran::ControlInactivity));
            EXPECT_EQ(s->lblInacTime->text(), c.minutes);
        }
        if (c.asked)
            answers.message(kYes);
        click(s->imgNavig(wParamEcran::NavigLeave));
        settle();
        EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
        EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
        EXPECT_EQ(answers.messages, c.asked ? QStringList{Config::GetText(30010)} : QStringList());
        for (int col = 0; col < EventOptions::Columns; ++col)
            for (int r = 0; r < EventOptions::Rows; ++r)
                EXPECT_EQ(bit(col, r), expected[col][r]) << "column " << col << " row " << r;
        EXPECT_EQ(gConfig->InactivityTime(), c.minutesAfter);
        EXPECT_EQ(gConfig->Modified(), c.asked);
        EXPECT_EQ(detector, c.detector);
        EXPECT_EQ(visibleForms(), QStringList{"wMain"});
        EXPECT_FALSE(QFile::exists(workingFile())) << "the next save writes it";
        plat::Forms::UnloadAllExcept({FormNames::wPolling});
        settle();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(EventOptionsScreen, NoDropsTheChangesAndCancelStays)
{
    gConfig->setModified(false);
    wParamEcran* s = openScreen();
    const bool before = bit(EventOptions::Horn, 0);
    click(tick(s, EventOptions::Horn, 0));
    ModalAnswers answers;
    answers.message(kCancel).message(kNo);
    click(s->imgNavig(wParamEcran::NavigLeave));
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(tick(s, EventOptions::Horn, 0)->text(), before ? "" : "X");
    click(s->imgNavig(wParamEcran::NavigLeave));
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_EQ(bit(EventOptions::Horn, 0), before);
    EXPECT_FALSE(gConfig->Modified());
    EXPECT_TRUE(detector.isEmpty());
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

TEST_F(EventOptionsScreen, TheTimeIsPickedFromZeroToSixtyOnAPickerCentredOnTheScreen)
{
    wParamEcran* s = openScreen();
    ModalAnswers answers;
    answers.pick("");
    click(s->imgControl(wParamEcran::ControlInactivity));
    ASSERT_EQ(answers.pickers.size(), 1u);
    QStringList minutes;
    for (int m = 0; m <= 60; ++m)
        minutes << QString::number(m);
    EXPECT_EQ(answers.pickers[0].entries, minutes);
    EXPECT_EQ(answers.pickers[0].value, "10");
    const QPoint screenCentre = s->frameGeometry().center();
    EXPECT_LE((answers.pickers[0].geometry.center() - screenCentre).manhattanLength(), 2);
    EXPECT_EQ(s->lblInacTime->text(), "10") << "cancelled";
}

TEST_F(EventOptionsScreen, CloseLeavesAndReopensTheParameterMenu)
{
    wParamEcran* s = openScreen();
    ModalAnswers answers;
    answers.click(FormNames::dlgMenuParams, QStringLiteral("cmdButtons(%1)").arg(MenuDialog::CmdCancel));
    click(s->imgClose);
    settle();
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});
}

// The engine polling a simulated module in real time.
class EventOptionsOnTheBus : public EventOptionsScreen {
protected:
    static constexpr int kModule = 1;
    static constexpr int kChannel = 3;
    // The row of a channel's events not yet acknowledged (parameter 0).
    static constexpr int kNewEventsRow = 2;

    void SetUp() override
    {
        EventOptionsScreen::SetUp();
        // The program's own alarm screen, brought up by the dispatch.
        Dispatch::installed().alarmScreen = &m_alarmScreen;
        sim.addModule(kModule, 1);
        wPolling::setPortFactory([this] { return std::make_unique<modsim::SimSerialControl>(sim, plat::systemClock()); });
        auto p = gConfig->Panel(kModule);
        p->setModel(1);
        p->setActive(true);
        p->Channel(kChannel)->setScrAlm(true);
        // A module appearing is not shown: only the alarms are watched here.
        gConfig->setOptionScreen(0, false);
        auto* e = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
        QObject::connect(e, &wPolling::BusEvent, e, [this](const EventClass& ev) {
            if (ev.Chnl() == kChannel)
                ++alarms;
        });
        e->setRun(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return gConfig->Panel(kModule)->Present(); }, 5000));
        showMain();
    }

    // The screen's tick of new channel events switched on or off, accepted.
    void setAlarmsShown(bool on)
    {
        wParamEcran* s = openScreen();
        if (EventOptions::IsOn(s->lblAffich(kNewEventsRow)->text()) != on)
            click(s->lblAffich(kNewEventsRow));
        ModalAnswers answers;
        if (bit(EventOptions::Screen, kNewEventsRow) != on)
            answers.message(kYes);
        click(s->imgNavig(wParamEcran::NavigLeave));
        settle();
        EXPECT_TRUE(answers.allAnswered());
        ASSERT_EQ(bit(EventOptions::Screen, kNewEventsRow), on);
    }

    // An alarm of the channel from the module, until the engine has dispatched it.
    void raiseAlarm(int code)
    {
        const int before = alarms;
        ASSERT_TRUE(sim.raiseEvent(kModule, kChannel, code, 0));
        ASSERT_TRUE(QTest::qWaitFor([&] { return alarms > before; }, 5000));
        settle();
    }
    static bool alarmScreenShown()
    {
        plat::Form* f = plat::Forms::Find(FormNames::wRunAlarms);
        return f && f->isVisible();
    }

    modsim::Simulator sim;
    FormsAlarmScreen m_alarmScreen;
    int alarms = 0;
};

TEST_F(EventOptionsOnTheBus, AnAlarmWhoseScreenOptionIsOffNoLongerBringsUpTheAlarmScreen)
{
    setAlarmsShown(false);
    raiseAlarm(1);
    EXPECT_FALSE(alarmScreenShown());
    EXPECT_EQ(visibleForms(), QStringList{"wMain"});

    setAlarmsShown(true);
    raiseAlarm(1);
    EXPECT_TRUE(alarmScreenShown());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

} // namespace
