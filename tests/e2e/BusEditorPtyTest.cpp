// The module editor while the program polls the module simulator over a
// pseudo-terminal, in real time: a module that goes off the bus while its
// editor is open and is then saved stays missing (the editor writes back the
// configuration, not the engine's knowledge of the bus), and an alarm of a
// channel whose flags were edited follows the new flags at once.

#include "platform/Forms.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/ChannelClass.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/ParamRows.h"
#include "program/screens/bus/wBusModules.h"
#include "program/screens/bus/wBusPanneau.h"
#include "tests/e2e/BusPty.h"
#include "tests/support/ModalAnswers.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kEdited = 1; // its channel 3's flags are edited
constexpr int kChannel = 3;
constexpr int kSwitchedOff = 2; // goes off the bus while its editor is open
constexpr int kYes = 6;
// The simulator's script, in seconds from its start.
constexpr double kFirstAlarmAt = 2;
constexpr double kOffAt = 5;
constexpr double kSecondAlarmAt = 14;

class BusEditorPty : public e2e::BusPty {
protected:
    void SetUp() override
    {
        BusPty::SetUp();
        if (HasFatalFailure())
            return;
        Dispatch::installed().horn = &m_horn;

        // The working file: two modules polled, the channel showing and
        // recording nothing yet, and no module move to show (it would clear
        // the screens).
        ConfigClass config;
        addModules(config, {kEdited, kSwitchedOff});
        auto ch = config.Panel(kEdited)->Channel(kChannel);
        ch->setScrAlm(false);
        ch->setHisto(false);
        config.setOptionScreen(0, false);
        config.setOptionScreen(2, true);
        config.setOptionHisto(2, true);
        saveWorkingFile(config);

        QFile script(testing_support::programFolder() + "/actions.txt");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("%1 event %2 %3 1\n%4 off %5\n%6 event %2 %3 1\n")
                         .arg(kFirstAlarmAt)
                         .arg(kEdited)
                         .arg(kChannel)
                         .arg(kOffAt)
                         .arg(kSwitchedOff)
                         .arg(kSecondAlarmAt)
                         .toLatin1());
    }

    void startSimulator()
    {
        ASSERT_TRUE(m_sim.start(m_link,
                                {"--modules", QString("%1:1,%2:1").arg(kEdited).arg(kSwitchedOff), "--script",
                                 testing_support::programFolder() + "/actions.txt"},
                                testing_support::programFolder()))
            << logs();
    }

    static std::vector<e2e::TraceLine> lines(int chnl, int aff, int module)
    {
        return e2e::eventLines(e2e::readTrace(testing_support::programFolder()), chnl, aff, module);
    }

    // The requests the switched-off module did not hear.
    std::vector<double> unheard() const
    {
        std::vector<double> at;
        for (const e2e::Request& r : e2e::requests(m_sim.log()))
            if (r.address == kSwitchedOff && r.switchedOff)
                at.push_back(r.at);
        return at;
    }

    // The events of the edited channel among those handed on.
    static std::vector<EventClass> channelEvents(const std::vector<EventClass>& events)
    {
        std::vector<EventClass> found;
        for (const EventClass& ev : events)
            if (ev.Panel() == kEdited && ev.Chnl() == kChannel)
                found.push_back(ev);
        return found;
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    testing_support::RecordingHorn m_horn;
};

} // namespace

TEST_F(BusEditorPty, AModuleLostWhileItsEditorIsOpenStaysMissingAndAnEditedChannelFollowsItsNewFlags)
{
    startSimulator();
    Global::Main();
    // The first synchronisation found it, without announcing it.
    ASSERT_TRUE(gConfig->Panel(kSwitchedOff)->Present()) << logs();
    ASSERT_TRUE(e2e::waitFor([&] { return lines(kChannel, 1, kEdited).size() == 1; }, 10000)) << logs();
    EXPECT_TRUE(channelEvents(m_history.events).empty()) << "recorded before its flags were edited";

    // The technician opens module 1 from the overview and has channel 3 shown and recorded.
    testing_support::ModalAnswers answers;
    plat::Forms::Get(FormNames::wBusModules)->Show();
    click(qobject_cast<wBusModules*>(plat::Forms::Find(FormNames::wBusModules))->imgPanneau(kEdited - 1));
    auto* e = qobject_cast<wBusPanneau*>(plat::Forms::Find(FormNames::wBusPanneau));
    ASSERT_NE(e, nullptr);
    for (int c = 1; c < kChannel; ++c)
        click(e->imgControl(wBusPanneau::ControlNextChannel));
    e->ParamVal(ParamRows::ScrAlm)->setCaption(Config::GetText(10002));
    e->ParamVal(ParamRows::Histo)->setCaption(Config::GetText(10002));
    answers.message(kYes);
    click(e->imgNavPanel(wBusPanneau::NavPanelNext));
    ASSERT_EQ(e->NumModule(), kSwitchedOff);
    EXPECT_TRUE(gConfig->Panel(kEdited)->Channel(kChannel)->Histo());

    // Module 2 goes off the bus while its editor is open; it is declared missing.
    ASSERT_TRUE(e2e::waitFor([&] { return lines(EventClass::ChnlPresence, 0, kSwitchedOff).size() == 1; }, 15000))
        << logs();
    EXPECT_FALSE(gConfig->Panel(kSwitchedOff)->Present());
    e->ParamVal(ParamRows::Title)->setCaption("Pump room");
    answers.message(kYes);
    click(e->imgNavig(wBusPanneau::NavigOverview));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(gConfig->Panel(kSwitchedOff)->Title(), "Pump room");
    EXPECT_FALSE(gConfig->Panel(kSwitchedOff)->Present()) << "the save does not bring the module back";

    // The channel's next alarm is shown and recorded.
    ASSERT_TRUE(e2e::waitFor([&] { return lines(kChannel, 1, kEdited).size() == 2; }, 15000)) << logs();
    EXPECT_EQ(channelEvents(m_history.events).size(), 1u);
    EXPECT_EQ(m_display.calls, 1);

    // After its rest the engine tries the lost module again, three times in
    // vain: it was missing and stays so, with no second announcement.
    const size_t beforeRest = unheard().size();
    ASSERT_EQ(beforeRest, size_t(EventDispatcher::ErrorsToMissing)) << m_sim.log().toStdString();
    const int restMs = EventDispatcher::ShortRestSeconds * 1000;
    ASSERT_TRUE(
        e2e::waitFor([&] { return unheard().size() >= beforeRest + EventDispatcher::ErrorsToMissing; }, restMs + 20000))
        << logs();
    e2e::waitFor([] { return false; }, 1500);
    EXPECT_EQ(lines(EventClass::ChnlPresence, 0, kSwitchedOff).size(), 1u) << "one disappearance";
    EXPECT_TRUE(lines(EventClass::ChnlPresence, 1, kSwitchedOff).empty()) << "no appearance after it";
    EXPECT_FALSE(gConfig->Panel(kSwitchedOff)->Present());
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
