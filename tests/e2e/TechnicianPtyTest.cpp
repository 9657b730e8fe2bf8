// The live module state through the whole program, in real time, against the
// module simulator program on a pseudo-terminal: the technician opens a
// module's state with polling stopped, its lamps follow the states the
// simulator's script sets from the next read on, and its lamp test reaches
// the module as a write of 1 to register 66.

#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/wTechEtatModule.h"
#include "program/screens/bus/wTechnician.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Label.h"
#include "platform/Shape.h"

#include <QPushButton>

namespace {

constexpr int kModule = 3;

class TechnicianPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        {
            ConfigClass config;
            PanelClass& p = *config.Panel(kModule);
            p.setModel(4);
            p.setActive(true);
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        assemble();
        // Channel 2 active from the start; three seconds on it is back to
        // normal and channel 5 has its first fault.
        startSimulator(QString("%1:4").arg(kModule), "0 state 3 2 1\n3 state 3 2 0\n3 state 3 5 3\n");
    }
};

} // namespace

TEST_F(TechnicianPty, TheLampsFollowTheModuleAndTheLampTestReachesIt)
{
    Global::Main();
    auto* t = qobject_cast<wTechnician*>(plat::Forms::Get(FormNames::wTechnician));
    ASSERT_NE(t, nullptr);
    t->Show();
    t->lblNumero->setCaption(QString::number(kModule));
    ASSERT_TRUE(t->cmdPanelState->isEnabled());

    QStringList seen;
    bool lampTestSent = false;
    testing_support::whenShown(FormNames::wTechEtatModule, [&](plat::Form* f) {
        auto* s = qobject_cast<wTechEtatModule*>(f);
        auto tags = [s] { return QString("%1 %2").arg(s->LampTag(2), s->LampTag(5)); };
        if (e2e::waitFor([&] { return tags() == "1 0"; }, 5000))
            seen << tags();
        if (e2e::waitFor([&] { return tags() == "0 3"; }, 8000))
            seen << tags();
        // The blink shows what was read: channel 5 blinks at the fast pace.
        bool red = false;
        bool grey = false;
        e2e::waitFor([&] {
            red = red || s->shpVoyant(5)->FillColor() == ModuleLamps::Red;
            grey = grey || s->shpVoyant(5)->FillColor() == ModuleLamps::Grey;
            return red && grey;
        }, 2000);
        if (red && grey)
            seen << "blinks";
        s->cmdBoutons(wTechEtatModule::LampTest)->click();
        lampTestSent = e2e::waitFor([&] { return m_sim.log().contains("> 03 06 00 42 00 01"); }, 3000);
        s->imgClose->click();
    }, 10000);
    t->cmdPanelState->click();

    EXPECT_EQ(seen, QStringList({"1 0", "0 3", "blinks"})) << m_sim.log().right(2000).toStdString();
    EXPECT_TRUE(lampTestSent) << m_sim.log().right(2000).toStdString();
    EXPECT_EQ(plat::Forms::Find(FormNames::wTechEtatModule), nullptr);
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}
