// The technician's bus scan and out-of-service screens in the whole program,
// in real time, against the module simulator program on a pseudo-terminal
// while the program polls: the scan finds the modules on the bus, and a
// channel taken out of service leaves no trace line for its event, while
// back in service its next event is traced.

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/wTechConsignations.h"
#include "program/screens/bus/wTechFindPanels.h"
#include "tests/e2e/InProcessProgram.h"
#include "tests/support/ModalAnswers.h"

#include "platform/AppIdentity.h"
#include "platform/FlexGrid.h"
#include "platform/Forms.h"
#include "platform/Label.h"

#include <QTreeWidget>

namespace {

constexpr int kModule = 1;
constexpr int kChannel = 3;
// The simulator's events on the channel, in seconds from its start.
constexpr double kOutOfServiceEventAt = 6;
constexpr double kBackInServiceEventAt = 12;

class TechToolsPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        {
            ConfigClass config;
            for (int m : {1, 2}) {
                config.Panel(qint16(m))->setModel(m);
                config.Panel(qint16(m))->setActive(true);
            }
            config.setAutoStart(true);
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        assemble();
        startSimulator("1:1,2:2,3:5",
                       QString("%1 event %3 %4 1\n%2 event %3 %4 2\n")
                           .arg(kOutOfServiceEventAt)
                           .arg(kBackInServiceEventAt)
                           .arg(kModule)
                           .arg(kChannel)
                           .toLatin1());
    }

    static size_t channelLines()
    {
        size_t n = 0;
        for (const e2e::TraceLine& l : e2e::readTrace(testing_support::programFolder()))
            n += l.event && l.event->Panel() == kModule && l.event->Chnl() == kChannel ? 1 : 0;
        return n;
    }

    // Takes the channel out (out = true) or puts it back with the screen, and says Yes.
    void outOfService(bool out)
    {
        auto* s = qobject_cast<wTechConsignations*>(plat::Forms::Get(FormNames::wTechConsignations));
        s->Show();
        s->imgControl_Click(OutOfService::ModuleUp);
        for (int c = 0; c < kChannel; ++c)
            s->imgControl_Click(OutOfService::ChannelUp);
        s->imgControl_Click(out ? OutOfService::ChannelOut : OutOfService::ChannelBack);
        ASSERT_EQ(s->lvwNew->topLevelItemCount(), 1);
        m_answers.message(6);
        s->imgNavig_Click(wTechConsignations::NavigLeave);
        ASSERT_TRUE(m_answers.allAnswered());
    }

    testing_support::ModalAnswers m_answers;
};

TEST_F(TechToolsPty, TheScanFindsTheModulesAndAChannelOutOfServiceIsNotTraced)
{
    Global::Main();
    auto* scan = qobject_cast<wTechFindPanels*>(plat::Forms::Get(FormNames::wTechFindPanels));
    scan->Show();
    scan->imgFind_Click(wTechFindPanels::FindStart);
    // Stopped at the first silent address: each one waits a second for its reply.
    ASSERT_TRUE(e2e::waitFor([&] { return scan->grdPanels->TextMatrix(4, 4) == "Test..."; }, 20000));
    scan->imgFind_Click(wTechFindPanels::FindStop);
    ASSERT_TRUE(e2e::waitFor([&] { return !scan->scan().Running(); }, 10000));
    EXPECT_EQ(scan->scan().Result(1), 1);
    EXPECT_EQ(scan->scan().Result(2), 2);
    EXPECT_EQ(scan->scan().Result(3), 5);
    EXPECT_EQ(scan->scan().Result(4), 0);
    EXPECT_EQ(scan->scan().Result(5), -1);
    scan->imgNavig_Click(wTechFindPanels::NavigLeave);
    EXPECT_TRUE(gConfig->Panel(1)->Present()) << "polling went on";

    outOfService(true);
    ASSERT_TRUE(gConfig->Panel(kModule)->Channel(kChannel)->OutOfOrder());
    const size_t before = channelLines();
    ASSERT_TRUE(e2e::waitFor([] { return gConfig->Panel(kModule)->Channel(kChannel)->State() == 1; }, 20000))
        << m_sim.log().right(2000).toStdString();
    e2e::waitFor([] { return false; }, 500);
    EXPECT_EQ(channelLines(), before) << "the channel out of service leaves no trace line";

    outOfService(false);
    ASSERT_FALSE(gConfig->Panel(kModule)->Channel(kChannel)->OutOfOrder());
    // Back in service, its standing alarm is read again and traced, then its next event.
    ASSERT_TRUE(e2e::waitFor([&] { return channelLines() > before; }, 20000))
        << "back in service, its alarm is traced: " << m_sim.log().right(2000).toStdString();
    EXPECT_TRUE(e2e::waitFor([&] { return channelLines() > before + 1; }, 20000));
    EXPECT_EQ(gConfig->Panel(kModule)->Channel(kChannel)->State(), 2);
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}

} // namespace
