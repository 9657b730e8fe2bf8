// A mirror made on the mirror list and saved, then used by the running
// program, in real time against the module simulator program: an alarm of
// module 1 channel 1 is copied to module 2 channel 1 as a register write.

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/MirrorClasses.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/wBusMiroirs.h"
#include "program/screens/bus/wBusModules.h"
#include "tests/e2e/InProcessProgram.h"
#include "tests/screens/MirrorTouches.h"
#include "tests/support/ModalAnswers.h"

namespace {

class MirrorsPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        {
            ConfigClass config;
            for (int m : {1, 2}) {
                config.Panel(int16_t(m))->setModel(1);
                config.Panel(int16_t(m))->setActive(true);
            }
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        assemble();
        // The alarm comes once polling has run its first pass.
        startSimulator("1:1,2:1", "8 event 1 1 1\n");
    }

    // Writes of value to register reg of module, as the simulator heard them.
    std::vector<double> writes(int module, int reg, int value) const
    {
        const QString head = QString("06 %1 %2 %3 %4")
                                 .arg(reg >> 8, 2, 16, QLatin1Char('0'))
                                 .arg(reg & 0xFF, 2, 16, QLatin1Char('0'))
                                 .arg(value >> 8, 2, 16, QLatin1Char('0'))
                                 .arg(value & 0xFF, 2, 16, QLatin1Char('0'))
                                 .toUpper();
        std::vector<double> at;
        for (const e2e::Request& r : e2e::requests(m_sim.log()))
            if (r.address == module && r.head == head)
                at.push_back(r.at);
        return at;
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
        mirror_touches::touch(w);
    }
};

} // namespace

TEST_F(MirrorsPty, AMirrorSavedOnTheListCarriesAnAlarmToItsTarget)
{
    Global::Main();
    ASSERT_NE(plat::Forms::Find(FormNames::wMain), nullptr);

    // The technician makes the mirror on the list and keeps it.
    testing_support::ModalAnswers answers;
    answers.on(FormNames::dlgEditMirror, [](plat::Form* f) {
        mirror_touches::chooseAndConfirm(qobject_cast<dlgEditMirror*>(f), {1, 1, 2, 1, 1});
    });
    answers.message(MsgResult::vbYes);
    auto* overview = qobject_cast<wBusModules*>(plat::Forms::Get(FormNames::wBusModules));
    overview->Show();
    click(overview->imgMiroirs);
    auto* list = qobject_cast<wBusMiroirs*>(plat::Forms::Find(FormNames::wBusMiroirs));
    ASSERT_NE(list, nullptr);
    click(list->imgNew);
    click(list->imgNavig(wBusMiroirs::NavigMain));
    EXPECT_TRUE(answers.allAnswered()) << answers.pending().join(", ").toStdString();
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("; ").toStdString();
    ConfigClass file;
    ASSERT_EQ(file.Read(plat::AppIdentity::programFile(".dat")), 0);
    ASSERT_EQ(file.Mirrors()->Count(), 1);
    EXPECT_EQ(file.Mirrors()->Item(1)->ID(), "01010201");

    // Polling starts; the alarm of module 1 channel 1 goes on to module 2's channel 1 command.
    auto* polling = qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling));
    ASSERT_NE(polling, nullptr);
    polling->setRun(true);
    constexpr int kChannelOneCommand = 17;
    ASSERT_TRUE(e2e::waitFor([&] { return !writes(2, kChannelOneCommand, 3).empty(); }, 20000))
        << m_sim.log().right(3000).toStdString();
    EXPECT_TRUE(writes(1, kChannelOneCommand, 3).empty()) << "the source is not written";
    EXPECT_GE(writes(2, kChannelOneCommand, 3).front(), 8.0) << "after the alarm";
    polling->setRun(false);
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}
