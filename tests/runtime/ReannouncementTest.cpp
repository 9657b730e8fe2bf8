// The ten-second watchdog of the engine: an acknowledged alarm still active
// is announced again once its channel's delay has passed since the time its
// row shows, from the listed rows or from "LastAlarms" while the screen is
// unloaded; and with no screen visible the alarm screen comes up.

#include "tests/runtime/AlarmScreenFixture.h"

#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"

namespace {

using alarmtest::AlarmScreenFixture;

class Reannouncement : public AlarmScreenFixture {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        configure(3, 1);
        wRunAlarms* w = showScreen();
        ASSERT_NE(w, nullptr);
    }
    // The clock on a whole second, as the rows show the time.
    void wholeSecond() { clock.advance(1000 - clock.nowMs() % 1000); }
    void after(int seconds)
    {
        clock.advance(qint64(seconds) * 1000);
        engine()->tmrReactiv_Timer();
    }
    // The channel's alarms come back a minute after their row's time.
    void everyMinute()
    {
        ChannelClass& ch = channel(3, 5);
        ch.setReact(true);
        ch.setReactTpo(1);
        wholeSecond();
    }
    QStringList traceLines() const { return testing_support::fileLines(testing_support::programFolder() + "/trace.log"); }
    QString lastEvent() const { return VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, QString()); }
};

TEST_F(Reannouncement, AnAcknowledgedActiveAlarmComesBackOnceItsDelayHasPassed)
{
    struct Case {
        int reactTpo;
        bool react;
        int param, aff;
        bool klaxon;
        std::optional<int> delay;   // none: never announced again
    };
    const Case cases[] = {
        {0, true, 1, 1, true, std::nullopt},
        {1, true, 1, 1, true, 60},
        {2, true, 1, 3, true, 300},
        {3, true, 1, 2, false, 600},
        {4, true, 1, 4, true, 1800},
        {5, true, 1, 1, true, 3600},
        {6, true, 1, 1, true, 12 * 3600},
        {7, true, 1, 1, true, 24 * 3600},
        {8, true, 1, 1, true, 36 * 3600},
        {9, true, 1, 1, true, 36 * 3600},   // beyond the list: the longest delay
        {1, false, 1, 1, true, std::nullopt},
        {1, true, 0, 1, true, std::nullopt},   // not acknowledged at the module
        {1, true, 0, 0, true, std::nullopt},
        {1, true, 2, 2, true, std::nullopt},   // a synchronisation parameter
        {1, true, 1, 255, true, 60},           // announced again, and again
    };
    wRunAlarms* w = screen();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ReactTpo " << c.reactTpo << " React " << c.react << " Param " << c.param
                                        << " Aff " << c.aff);
        w->ClearAlarmRows();
        ChannelClass& ch = channel(3, 5);
        ch.setReact(c.react);
        ch.setReactTpo(c.reactTpo);
        ch.setKlaxon(c.klaxon);
        ch.setAlmPrio(12);
        wholeSecond();
        send(3, 5, c.param, c.aff);
        ASSERT_EQ(w->AlarmRowCount(), 1);
        const QString number = w->AlarmRowText(0).left(7);
        const QString last = lastEvent();
        const int lines = int(traceLines().size());
        Global::Alarme(-1);
        player.calls.clear();
        doubles.history.events.clear();
        doubles.printer.events.clear();

        // Exactly the delay after the row's time is not yet later than it.
        after(c.delay.value_or(36 * 3600));
        EXPECT_EQ(w->AlarmRowData(0), id(3, 5, c.param, c.aff));
        after(1);
        if (!c.delay) {
            EXPECT_EQ(w->AlarmRowData(0), id(3, 5, c.param, c.aff));
            EXPECT_TRUE(player.calls.isEmpty());
            continue;
        }
        EXPECT_EQ(w->AlarmRowData(0), id(3, 5, c.param, 255));
        EXPECT_EQ(w->grdAlarms->CellBackColor(0, 0), 0xFF00FFu) << "magenta";
        EXPECT_EQ(w->AlarmRowText(0).left(7), number) << "the row keeps its event number";
        EXPECT_EQ(lastEvent(), last) << "no new number";
        EXPECT_EQ(traceLines().size(), lines) << "no trace line";
        EXPECT_TRUE(doubles.history.events.empty());
        EXPECT_TRUE(doubles.printer.events.empty());
        EXPECT_EQ(player.calls.size(), c.klaxon ? 1 : 0) << player.calls.join("; ").toStdString();
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Reannouncement, ARowOfAChannelOrModuleOutOfServiceIsNotAnnouncedAgain)
{
    const struct {
        const char* name;
        std::function<void(bool)> outOfService;
    } cases[] = {
        {"channel out of order", [this](bool out) { channel(3, 5).setOutOfOrder(out); }},
        {"module out of service", [](bool out) { gConfig->Panel(3)->setActive(!out); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        screen()->ClearAlarmRows();
        everyMinute();
        send(3, 5, 1, 1);
        c.outOfService(true);
        // The technician's screen stays where it is.
        plat::Forms::Get(FormNames::wMain)->Show();
        settle();
        Global::Alarme(-1);
        player.calls.clear();
        after(61);
        after(3600);
        settle();
        EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 5, 1, 1)});
        EXPECT_TRUE(player.calls.isEmpty()) << player.calls.join("; ").toStdString();
        EXPECT_TRUE(loaded().contains(FormNames::wMain));

        // Back in service, its row comes back at the next look.
        c.outOfService(false);
        after(10);
        EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 5, 1, 255)});
        EXPECT_EQ(player.calls.size(), 1);
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Reannouncement, TheNextAnnouncementCountsFromTheTimeTheRowShowsNow)
{
    everyMinute();
    send(3, 5, 1, 1);
    after(61);
    ASSERT_EQ(screen()->AlarmRowData(0), id(3, 5, 1, 255));
    // Acknowledged again: the row turns white, nothing goes to the module.
    screen()->imgAcquit->click();
    EXPECT_EQ(screen()->grdAlarms->CellBackColor(0, 0), 0xFFFFFFu);
    player.calls.clear();
    after(60);
    EXPECT_TRUE(player.calls.isEmpty());
    after(1);
    EXPECT_EQ(player.calls.size(), 1) << "a minute after the announcement, not after the first alarm";
}

TEST_F(Reannouncement, WhileTheScreenIsUnloadedTheSavedRowsAreAnnouncedAndTheScreenComesBack)
{
    everyMinute();
    plat::Forms::Unload(screen());
    settle();
    plat::Forms::Get("wMain")->Show();
    // A row saved with blanks doubled between its words.
    const QString shown = plat::formatShortDate(now()) + "  " + plat::formatLongTime(now());
    VEXfonctions::SetIniSection(IniKeys::LastAlarms, {{"1", "03050101      77  " + shown + "  M03-C05"}});
    after(60);
    EXPECT_EQ(screen(), nullptr) << "not yet";
    after(1);
    ASSERT_NE(screen(), nullptr);
    settle();
    EXPECT_TRUE(screen()->isVisible());
    EXPECT_EQ(loaded(), (QStringList{FormNames::wPolling, FormNames::wRunAlarms})) << "every other screen goes";
    EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 5, 1, 255)}) << "the saved row, announced again";
    EXPECT_EQ(screen()->AlarmRowText(0).left(7), "     77");
    EXPECT_EQ(player.calls.size(), 1);
}

TEST_F(Reannouncement, WithNoScreenVisibleTheWatchdogShowsTheAlarmScreen)
{
    plat::Forms::Unload(screen());
    settle();
    ASSERT_FALSE(plat::Forms::AnyVisible());
    engine()->tmrReactiv_Timer();
    settle();
    ASSERT_NE(screen(), nullptr);
    EXPECT_TRUE(screen()->isVisible());
    engine()->tmrReactiv_Timer();
    EXPECT_EQ(plat::Forms::Count(FormNames::wRunAlarms), 1);
}

TEST_F(Reannouncement, AnAlarmOfAChannelWithoutConfigurationIsReportedAndTheOthersGoOn)
{
    everyMinute();
    send(3, 5, 1, 1);
    // A row of a channel the modules do not have, below the good one.
    screen()->grdAlarms->AddItem(screen()->AlarmRowText(0));
    screen()->grdAlarms->setRowData(1, id(3, 40, 1, 1));
    after(61);
    EXPECT_EQ(screen()->AlarmRowData(0), id(3, 5, 1, 255));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("wPolling.ReactiverAlarme ")) << reports[0].toStdString();
}

} // namespace
