// Touches made while a synchronisation pass holds the program, through the
// whole program in real time against the module simulator program on a
// pseudo-terminal: a finger on the pass's notice and on the technician
// screen at the pass's one yield, and on the technician screen and the main
// window while the pass talks to the bus, handed over once the pass is over,
// starts nothing on any screen; a touch made after the pass is acted on.

#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/screens/bus/wTechnician.h"
#include "tests/e2e/InProcessProgram.h"

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/InputClock.h"
#include "platform/InputHold.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <optional>

namespace {

constexpr int kModule = 3;
// Configured, but not on the bus: its three type queries keep the pass going
// for some seconds.
constexpr int kAbsent = 10;

// A place of a window, touched as the window system hands a touch over.
struct Place {
    QPointer<QWindow> window;
    QPoint at;
};

Place placeOf(QWidget* control)
{
    QWidget* top = control->window();
    return {top->windowHandle(), control->mapTo(top, control->rect().center())};
}

// A press and a release made at stamp, handed to the window from the
// window system's side (a window gone meanwhile gets nothing).
void touch(const Place& p, quint32 stamp)
{
    for (const bool press : {true, false}) {
        if (!p.window)
            return;
        qt_handleMouseEvent(p.window, p.at, p.window->mapToGlobal(p.at), press ? Qt::LeftButton : Qt::NoButton,
                            Qt::LeftButton, press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, {},
                            int(press ? stamp : stamp + 60));
    }
}

class PassTouchesPty : public e2e::InProcessProgram {
protected:
    void SetUp() override
    {
        prepare();
        {
            ConfigClass config;
            for (const int m : {kModule, kAbsent}) {
                PanelClass& p = *config.Panel(qint16(m));
                p.setModel(m == kModule ? 4 : 1);
                p.setActive(true);
            }
            ASSERT_EQ(config.Save(plat::AppIdentity::programFile(".dat")), -1);
        }
        assemble();
        startSimulator(QString("%1:4").arg(kModule));
    }
    static int passes()
    {
        return int(e2e::wordLines(e2e::readTrace(testing_support::programFolder()), "COMM", "SYNCHR").size());
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(PassTouchesPty, TouchesMadeDuringAPassStartNothingOnAnyScreen)
{
    Global::Main();
    const QPointer<plat::Form> main = plat::Forms::Find(FormNames::wMain);
    ASSERT_NE(main, nullptr);
    QWidget* alarmTile = main->findChild<QWidget*>("imgMenu(3)");
    ASSERT_NE(alarmTile, nullptr);
    auto* t = qobject_cast<wTechnician*>(plat::Forms::Get(FormNames::wTechnician));
    ASSERT_NE(t, nullptr);
    t->Show();
    settle();
    const QString shown = testing_support::visibleForms().join(' ');
    const Place synchronise = placeOf(t->cmdSynchroBus);
    const Place leave = placeOf(t->imgNavig(0));

    // At the pass's one yield, with its notice up: the finger on the notice's
    // OK and on the pass's own button, handed over at once.
    std::optional<quint32> during;
    auto* engine = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
    ASSERT_NE(engine, nullptr);
    engine->engine().setYield([&] {
        during = plat::InputClock::now();
        for (plat::Form* f : plat::Forms::All())
            if (auto* notice = qobject_cast<dlgMessage*>(f))
                touch(placeOf(notice->cmdButton(0)), *during);
        touch(synchronise, *during);
        plat::InputHold::yield();
    });
    t->cmdSynchroBus->click();
    ASSERT_TRUE(during) << "the pass yielded";
    // What the finger did while the pass talked to the bus, handed over by
    // the window system now that the program takes input again.
    touch(synchronise, *during + 100);
    touch(alarmTile->isVisible() ? placeOf(alarmTile) : Place{}, *during + 300);
    touch(leave, *during + 500);
    settle();

    EXPECT_EQ(passes(), 1) << "no second pass";
    EXPECT_EQ(testing_support::visibleForms().join(' '), shown) << "no screen opened or closed";
    EXPECT_EQ(plat::Forms::Find(FormNames::wTechnician), t);

    // A touch made now is the operator's: the technician screen is left.
    touch(leave, plat::InputClock::now());
    settle();
    EXPECT_EQ(plat::Forms::Find(FormNames::wTechnician), nullptr);
    EXPECT_TRUE(main && main->isVisible());
    EXPECT_TRUE(m_reports.isEmpty()) << m_reports.join("; ").toStdString();
}
