// A form unloaded while code waits in a nested loop (a modal form, a chooser,
// a yield) is gone from the list at once but destroyed only once the loop
// has returned; what waits over it (a modal form, a dialog) is closed as
// cancelled; its timers stop. Notices stay through the clearing of the
// screens and go at the end.

#include "platform/ColorDialog.h"
#include "platform/FormTimer.h"
#include "platform/Forms.h"
#include "platform/InputClock.h"
#include "platform/NestedLoop.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace plat;

namespace {

class NestedLoops : public testing::Test {
protected:
    void SetUp() override
    {
        screen = Forms::Adopt(new Form("wScreen"));
        screen->resize(200, 100);
        screen->Show();
    }
    void TearDown() override
    {
        Forms::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Lets the loop run its queued calls and deferred deletions.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPointer<Form> screen;
};

} // namespace

TEST_F(NestedLoops, AFormUnloadedWhileCodeWaitsInOneIsDestroyedOnlyOnceTheLoopHasReturned)
{
    struct Case {
        const char* loop;
        // Runs a nested loop and calls unload from inside it, then end.
        std::function<void(const std::function<void()>& unload, const std::function<bool()>& end)> run;
    };
    // Inside the loop: the unload, then one turn of the loop later the check
    // and the end of the loop.
    auto inside = [](const std::function<void()>& unload, const std::function<bool()>& end) {
        QTimer::singleShot(0, unload);
        QTimer::singleShot(30, [end] { end(); });
    };
    const Case cases[] = {
        {"a message box the screen's code waits for",
         [&](auto unload, auto end) {
             QPointer<Form> box = Forms::Adopt(new Form("dlgBox"));
             inside(unload, [box, end] {
                 end();
                 box->Hide();
                 return true;
             });
             box->Show(true);
         }},
        {"yields one after another, in a handler of the program's loop",
         [&](auto unload, auto end) {
             QEventLoop program;
             QTimer::singleShot(0, [&] {
                 bool unloaded = false;
                 QTimer::singleShot(0, [&] {
                     unload();
                     unloaded = true;
                 });
                 while (!unloaded)
                     Screen::DoEvents();
                 Screen::DoEvents();
                 end();
                 program.quit();
             });
             program.exec();
         }},
        {"a wait of the screen's own",
         [&](auto unload, auto end) {
             QEventLoop loop;
             inside(unload, [&loop, end] {
                 end();
                 loop.quit();
                 return true;
             });
             const NestedLoop waiting;
             loop.exec();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loop);
        QPointer<Form> form = Forms::Adopt(new Form("wProbe"));
        form->Show();
        bool countedAtOnce = false;
        bool aliveInLoop = false;
        c.run(
            [&] {
                Forms::Unload(form);
                countedAtOnce = Forms::Count("wProbe") == 0 && form && !form->isVisible();
            },
            [&] {
                aliveInLoop = form && form->IsUnloaded();
                return true;
            });
        EXPECT_TRUE(countedAtOnce) << "hidden and out of the list at once";
        EXPECT_TRUE(aliveInLoop) << "destroyed under the code that waits";
        ASSERT_TRUE(form) << "destroyed before its code has returned";
        EXPECT_FALSE(NestedLoop::running());
        settle();
        EXPECT_FALSE(form) << "destroyed once nothing waits";
    }
}

TEST_F(NestedLoops, UnloadingAFormClosesWhatWaitsOverItAsCancelled)
{
    struct Case {
        const char* waits;
        // Opens the wait over the screen; true when it ended as cancelled.
        std::function<bool()> open;
    };
    const Case cases[] = {
        {"a dialog of the system",
         [&] {
             QDialog dialog(screen);
             const NestedLoop waiting;
             return dialog.exec() == QDialog::Rejected;
         }},
        {"the colour chooser",
         [&] {
             ColorDialog colours;
             colours.setColor(0x123456);
             colours.ShowColor(screen);
             return colours.Color() == 0x123456;
         }},
        {"a modal form",
         [&] {
             QPointer<Form> dialog = Forms::Adopt(new Form("dlgOver"));
             dialog->Show(true, screen);
             const bool cancelled = dialog && !dialog->isVisible() && !dialog->IsUnloaded();
             Forms::Unload(dialog);
             return cancelled;
         }},
        {"a modal form over a modal form",
         [&] {
             QPointer<Form> outer = Forms::Adopt(new Form("dlgOuter"));
             QPointer<Form> inner = Forms::Adopt(new Form("dlgInner"));
             bool innerCancelled = false;
             QTimer::singleShot(0, [&] {
                 inner->Show(true, outer);
                 innerCancelled = inner && !inner->isVisible();
             });
             outer->Show(true, screen);
             const bool cancelled = innerCancelled && outer && !outer->isVisible();
             Forms::Unload(inner);
             Forms::Unload(outer);
             return cancelled;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.waits);
        screen = Forms::Adopt(new Form("wScreen"));
        screen->Show();
        // Once the wait is up (a modal window over the screen), the screen goes.
        QTimer unloadWhenUp;
        QObject::connect(&unloadWhenUp, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !screen || screen->IsUnloaded())
                return;
            const bool inner = modal->objectName() != "dlgOuter";
            if (inner)
                Forms::Unload(screen);
        });
        unloadWhenUp.start(5);
        // A wait that is not closed would hang the test: it fails instead.
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->done(QDialog::Accepted);
            else if (QWidget* w = QApplication::activeModalWidget())
                w->hide();
        });
        deadline.start(5000);
        const bool cancelled = c.open();
        EXPECT_TRUE(deadline.isActive()) << "left open";
        EXPECT_TRUE(cancelled);
        EXPECT_TRUE(screen && screen->IsUnloaded());
        settle();
        EXPECT_FALSE(screen);
    }
}

TEST_F(NestedLoops, AnUnloadedFormsTimersStopWhileItsDestructionWaits)
{
    auto* timer = new FormTimer("tmrTick", screen);
    int ticks = 0;
    QObject::connect(timer, &FormTimer::Timer, [&] { ++ticks; });
    timer->setInterval(5);
    timer->setEnabled(true);
    // A form over it lives on, with its own timer.
    QPointer<Form> over = Forms::Adopt(new Form("wOver"));
    over->Show(false, screen);
    auto* overTimer = new FormTimer("tmrOver", over);
    overTimer->setInterval(5);
    overTimer->setEnabled(true);

    QEventLoop loop;
    int ticksAtUnload = -1;
    QTimer::singleShot(20, [&] {
        Forms::Unload(screen);
        ticksAtUnload = ticks;
    });
    QTimer::singleShot(120, &loop, &QEventLoop::quit);
    {
        const NestedLoop waiting;
        loop.exec();
    }
    ASSERT_TRUE(screen) << "its destruction waits for the loop";
    EXPECT_GT(ticksAtUnload, 0);
    EXPECT_EQ(ticks, ticksAtUnload);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_TRUE(overTimer->Enabled());
}

TEST(Notices, StayThroughTheClearingOfTheScreensAndGoAtTheEnd)
{
    QPointer<Form> screen = Forms::Adopt(new Form("wScreen"));
    QPointer<Form> other = Forms::Adopt(new Form("wOther"));
    QPointer<Form> notice = Forms::Adopt(new Form("dlgMessage"));
    notice->setNotice(true);
    notice->Show();
    EXPECT_EQ(Forms::All().size(), 3u);
    EXPECT_EQ(Forms::Screens(), (std::vector<Form*>{screen, other}));

    Forms::UnloadAllExcept({"wScreen"});
    EXPECT_TRUE(other->IsUnloaded());
    EXPECT_FALSE(notice->IsUnloaded());
    EXPECT_TRUE(notice->isVisible());
    Forms::UnloadAllExcept({});
    EXPECT_EQ(Forms::All(), std::vector<Form*>{notice});
    EXPECT_EQ(Forms::Count("dlgMessage"), 1);
    EXPECT_FALSE(Forms::AnyVisible()) << "no screen shows: the watchdog brings the alarm screen";

    Forms::UnloadAll();
    EXPECT_TRUE(Forms::All().empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(notice);
}


// A notice is answered whatever modal form waits meanwhile: one shown over a
// modal form, one already up when another modal form opens over that, and
// one left up when the inner of the two closes. A modal form blocks every
// other window.
TEST(Notices, AreAnsweredWhileAModalFormWaits)
{
    QPointer<Form> screen = Forms::Adopt(new Form("wScreen"));
    screen->resize(300, 200);
    screen->Show();
    QPointer<Form> notice;
    int okPressed = 0;
    // A touch on the notice's button, as the window system hands it over.
    const auto touchOk = [&] {
        QTest::qWait(50);
        const QPoint at(60, 30);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            auto* e = new QMouseEvent(type, at, notice->mapToGlobal(at), Qt::LeftButton,
                                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            e->setTimestamp(InputClock::now());
            QCoreApplication::postEvent(notice->windowHandle(), e);
        }
        QCoreApplication::processEvents();
    };
    QPointer<Form> outer = Forms::Adopt(new Form("dlgOuter"));
    QPointer<Form> inner = Forms::Adopt(new Form("dlgInner"));
    std::vector<std::string> unanswered;
    const auto answered = [&](const char* what) {
        const int before = okPressed;
        touchOk();
        if (okPressed != before + 1)
            unanswered.push_back(what);
    };
    QTimer::singleShot(0, [&] {
        notice = Forms::Adopt(new Form("dlgMessage"));
        notice->setNotice(true);
        notice->resize(120, 60);
        auto* ok = new QPushButton(QStringLiteral("OK"), notice);
        ok->setGeometry(10, 10, 100, 40);
        QObject::connect(ok, &QPushButton::clicked, [&okPressed] { ++okPressed; });
        notice->Show();
        notice->setTopmost(true);
        answered("shown over a modal form");
        QTimer::singleShot(0, [&] {
            answered("up when another modal form opens");
            QTimer::singleShot(0, [&] { Forms::Unload(inner); });
            inner->Show(true);
            answered("up when the inner modal form has closed");
            Forms::Unload(outer);
        });
        inner->Show(true);
    });
    outer->Show(true);
    EXPECT_TRUE(unanswered.empty()) << "not answered when " << ::testing::PrintToString(unanswered);
    EXPECT_EQ(okPressed, 3);
    Forms::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
