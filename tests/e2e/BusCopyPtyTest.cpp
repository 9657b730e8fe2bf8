// The module copy while the program polls the module simulator over a
// pseudo-terminal, in real time: a module that answers, copied onto one that
// is configured but not on the bus, gives the target its configuration and
// nothing of the source's presence, so the target stays missing and its
// next vain attempts announce nothing.

#include "platform/Forms.h"
#include "program/bus/EventDispatcher.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "program/screens/bus/dlgBusCopy.h"
#include "program/screens/bus/wBusModules.h"
#include "tests/e2e/BusPty.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kSource = 3; // on the bus
constexpr int kTarget = 7; // configured, never on the bus

class BusCopyPty : public e2e::BusPty {
protected:
    void SetUp() override
    {
        BusPty::SetUp();
        if (HasFatalFailure())
            return;
        ConfigClass config;
        addModules(config, {kSource, kTarget});
        config.Panel(kSource)->setTitle("Boiler room");
        config.Panel(kSource)->Channel(4)->setScreenText("Boiler flame");
        config.Panel(kTarget)->setTitle("Spare");
        saveWorkingFile(config);
    }

    // The appear and disappear lines of a module.
    static size_t presenceLines(int module)
    {
        const auto trace = e2e::readTrace(testing_support::programFolder());
        return e2e::eventLines(trace, EventClass::ChnlPresence, 0, module).size()
            + e2e::eventLines(trace, EventClass::ChnlPresence, 1, module).size();
    }

    // The polls of the target, which nobody answers (the first start's
    // synchronisation asks its type first).
    size_t unheard() const
    {
        size_t n = 0;
        for (const e2e::Request& r : e2e::requests(m_sim.log()))
            n += r.address == kTarget && r.head != QLatin1String("03 00 84 00 01") ? 1 : 0;
        return n;
    }
};

} // namespace

TEST_F(BusCopyPty, AModuleOnTheBusCopiedOntoAMissingOneLeavesItMissingWithNoNewAnnouncement)
{
    ASSERT_TRUE(m_sim.start(m_link, {"--modules", QString("%1:1").arg(kSource)}, testing_support::programFolder()))
        << logs();
    Global::Main();
    ASSERT_TRUE(e2e::waitFor([&] { return gConfig->Panel(kSource)->Present(); }, 10000)) << logs();
    ASSERT_TRUE(e2e::waitFor([&] { return gConfig->Panel(kTarget)->ErrCptr(2) > 0; }, 15000))
        << "the target is never declared missing" << logs();
    // The simulator's log of the vain attempts comes a little later.
    ASSERT_TRUE(e2e::waitFor([&] { return unheard() >= size_t(EventDispatcher::ErrorsToMissing); }, 5000)) << logs();
    const size_t targetLines = presenceLines(kTarget);
    const size_t sourceLines = presenceLines(kSource);
    const size_t attempts = unheard();
    ASSERT_EQ(attempts, size_t(EventDispatcher::ErrorsToMissing)) << logs();

    // The technician copies the source onto the target from the bus overview.
    auto* overview = qobject_cast<wBusModules*>(plat::Forms::Get(FormNames::wBusModules));
    overview->Show();
    const auto copied = testing_support::whenShown(FormNames::dlgBusCopy, [](plat::Form* f) {
        auto* d = qobject_cast<dlgBusCopy*>(f);
        d->lblPanelNo(dlgBusCopy::Source)->setCaption(QString::number(kSource));
        d->lblPanelNo(dlgBusCopy::Target)->setCaption(QString::number(kTarget));
        d->cmdBoutons(dlgBusCopy::CmdCopy)->click();
        d->cmdBoutons(dlgBusCopy::CmdClose)->click();
    });
    QTest::mouseClick(overview->imgCopyPanel, Qt::LeftButton);
    ASSERT_TRUE(*copied);
    EXPECT_EQ(gConfig->Panel(kTarget)->Title(), "Boiler room");
    EXPECT_EQ(gConfig->Panel(kTarget)->Channel(4)->ScreenText(), "Boiler flame");
    EXPECT_FALSE(gConfig->Panel(kTarget)->Present());
    EXPECT_TRUE(gConfig->Panel(kSource)->Present());

    // After its rest the engine tries the target again, in vain: it was
    // missing and stays so, with no announcement either way.
    const int restMs = EventDispatcher::ShortRestSeconds * 1000;
    ASSERT_TRUE(e2e::waitFor([&] { return unheard() >= attempts + EventDispatcher::ErrorsToMissing; }, restMs + 20000))
        << logs();
    e2e::waitFor([] { return false; }, 1500);
    EXPECT_FALSE(gConfig->Panel(kTarget)->Present());
    EXPECT_EQ(presenceLines(kTarget), targetLines);
    EXPECT_EQ(presenceLines(kSource), sourceLines);
    EXPECT_TRUE(gConfig->Panel(kSource)->Present());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}
