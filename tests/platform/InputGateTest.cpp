// A touch or a key reaches only what the operator saw when making it: the
// window system's input, handed to a window later than it was made (the
// program was held), is acted on by the control that was shown and painted
// under it then, or dropped; held input keeps its control; the window
// system's time stamps read on the program's clock, across the wrap of their
// 32 bits and from another clock.

#include "platform/FlexGrid.h"
#include "platform/Form.h"
#include "platform/Forms.h"
#include "platform/InputClock.h"
#include "platform/InputGate.h"
#include "platform/InputHold.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QExposeEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace plat;

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Two screens that lie on the same place of the glass, each with a button
// there; screen A also has a second button on the first's place (shown
// instead of it, as a stop button gives way to a run button) and a text box.
class Screens : public testing::Test {
public:
    void SetUp() override { build(); }
    void TearDown() override
    {
        Forms::UnloadAllExcept({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The screens afresh, for the next case.
    void rebuild()
    {
        TearDown();
        clicked.clear();
        build();
    }

    void build()
    {
        a = screen("wA");
        b = screen("wB");
        aSecond = button(a, "aSecond");
        aSecond->hide();
        box = new QLineEdit(a);
        box->setObjectName("box");
        box->setGeometry(20, 120, 200, 40);
        a->Show();
        settle();
        box->setFocus();
        settle();
    }

    Form* screen(const QString& name)
    {
        auto* f = new Form(name);
        f->setGeometry(0, 0, 400, 300);
        Forms::Adopt(f);
        button(f, name + "Button");
        return f;
    }
    QPushButton* button(Form* f, const QString& name)
    {
        auto* b = new QPushButton(name, f);
        b->setObjectName(name);
        b->setGeometry(20, 20, 100, 50);
        QObject::connect(b, &QPushButton::clicked, [this, name] { clicked << name; });
        return b;
    }

    // A finger's press and release on the buttons' place, as the window
    // system hands them to the window, stamped when they were made.
    static void touch(QWidget* window, quint32 stamp)
    {
        const QPoint at(60, 45);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            auto* e = new QMouseEvent(type, at, window->mapToGlobal(at), Qt::LeftButton,
                                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            e->setTimestamp(type == QEvent::MouseButtonPress ? stamp : stamp + 80);
            QCoreApplication::postEvent(window->windowHandle(), e);
        }
    }
    static void type(QWidget* window, quint32 stamp)
    {
        for (const QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
            auto* e = new QKeyEvent(t, Qt::Key_X, Qt::NoModifier, "x");
            e->setTimestamp(stamp);
            QCoreApplication::postEvent(window->windowHandle(), e);
        }
    }
    // Screen B shown over A, and A closed, as a touch on A opens B.
    void replaceByB()
    {
        b->Show();
        Forms::Unload(a);
        settle();
    }

    Form* a = nullptr;
    Form* b = nullptr;
    QPushButton* aSecond = nullptr;
    QLineEdit* box = nullptr;
    QStringList clicked;
};

// What happens between the making of a touch and its handling, and where
// the window system hands it: the window, and a stamp made then if any.
struct Handed {
    QWidget* window;
    std::optional<quint32> stamp;
};

} // namespace

TEST_F(Screens, ATouchIsActedOnOnlyByTheControlShownUnderItWhenItWasMade)
{
    struct Case {
        const char* what;
        std::function<Handed(Screens&)> between;
        QString clicked;
    };
    const Case cases[] = {
        {"the same control still shown", [](Screens& s) { return Handed{s.a, {}}; }, "wAButton"},
        {"the screen replaced: the touch saw the old one",
         [](Screens& s) {
             s.replaceByB();
             return Handed{s.b, {}};
         },
         ""},
        {"the new screen touched once painted",
         [](Screens& s) {
             s.replaceByB();
             return Handed{s.b, InputClock::now()};
         },
         "wBButton"},
        {"the screen closed (hidden, to be deleted)",
         [](Screens& s) {
             Forms::Unload(s.a);
             return Handed{s.a, {}};
         },
         ""},
        {"a modal window opened and closed meanwhile",
         [](Screens& s) {
             Form* box = Forms::Adopt(new Form("wModal"));
             QTimer::singleShot(30, box, [box] { Forms::Unload(box); });
             box->Show(true);
             return Handed{s.a, {}};
         },
         ""},
        {"the control gave way to another in its place",
         [](Screens& s) {
             s.a->findChild<QWidget*>("wAButton")->hide();
             s.aSecond->show();
             settle();
             return Handed{s.a, {}};
         },
         ""},
        {"the other control touched once painted",
         [](Screens& s) {
             s.a->findChild<QWidget*>("wAButton")->hide();
             s.aSecond->show();
             settle();
             return Handed{s.a, InputClock::now()};
         },
         "aSecond"},
        {"the place shown afresh (a window over it gone)",
         [](Screens& s) {
             QExposeEvent uncovered(QRegion(0, 0, 200, 100));
             QCoreApplication::sendEvent(s.a->windowHandle(), &uncovered);
             return Handed{s.a, {}};
         },
         ""},
        {"another place shown afresh",
         [](Screens& s) {
             QExposeEvent uncovered(QRegion(200, 150, 200, 150));
             QCoreApplication::sendEvent(s.a->windowHandle(), &uncovered);
             return Handed{s.a, {}};
         },
         "wAButton"},
        {"made while a pass held the program",
         [](Screens& s) {
             const InputHold pass(InputHold::Drop);
             const quint32 during = InputClock::now();
             QThread::msleep(2);
             return Handed{s.a, during};
         },
         ""},
        {"made after the pass",
         [](Screens& s) {
             { const InputHold pass(InputHold::Drop); }
             QThread::msleep(2);
             return Handed{s.a, InputClock::now()};
         },
         "wAButton"},
        {"stamped on another clock (a synthesized event): made when handled",
         // Days before the program started, whatever clock earlier synthesized
         // events have set: a stamp as small as 500 may lie after the start
         // once they have.
         [](Screens& s) { return Handed{s.a, InputClock::now() - 0x40000000u}; },
         "wAButton"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rebuild();
        const quint32 made = InputClock::now();
        QThread::msleep(2);
        const Handed handed = c.between(*this);
        touch(handed.window, handed.stamp.value_or(made));
        settle();
        EXPECT_EQ(clicked.join(','), c.clicked);
    }
}

TEST_F(Screens, AKeyGoesToTheBoxThatHadTheFocusWhenItWasTyped)
{
    struct Case {
        const char* what;
        std::function<Handed(Screens&)> between;
        QString text;
    };
    const Case cases[] = {
        {"the box still focused", [](Screens& s) { return Handed{s.a, {}}; }, "x"},
        {"its screen closed", [](Screens& s) {
             Forms::Unload(s.a);
             return Handed{s.a, {}};
         }, ""},
        {"a modal window opened and closed meanwhile", [](Screens& s) {
             Form* box = Forms::Adopt(new Form("wModal"));
             QTimer::singleShot(30, box, [box] { Forms::Unload(box); });
             box->Show(true);
             return Handed{s.a, {}};
         }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rebuild();
        QPointer<QLineEdit> field(box);
        const quint32 made = InputClock::now();
        QThread::msleep(2);
        const Handed handed = c.between(*this);
        type(handed.window, handed.stamp.value_or(made));
        settle();
        ASSERT_TRUE(field);
        EXPECT_EQ(field->text(), c.text);
    }
}

// A key that a control's shortcut would take (a button's mnemonic) is asked
// for first: one typed before a modal window closed is taken as a key, and
// dropped as one; one typed now may fire the shortcut.
TEST_F(Screens, AShortcutTypedBeforeAModalWindowClosedDoesNotFire)
{
    const quint32 made = InputClock::now();
    QThread::msleep(2);
    Form* modal = Forms::Adopt(new Form("wModal"));
    QTimer::singleShot(30, modal, [modal] { Forms::Unload(modal); });
    modal->Show(true);
    for (const auto& [stamp, fires] : {std::pair{made, false}, std::pair{InputClock::now(), true}}) {
        QKeyEvent asked(QEvent::ShortcutOverride, Qt::Key_G, Qt::AltModifier, "g");
        asked.setTimestamp(stamp);
        QCoreApplication::sendEvent(a->windowHandle(), &asked);
        EXPECT_EQ(!asked.isAccepted(), fires) << "stamped " << stamp;
    }
}

// Input that a yield met (a screen's own wait inside the engine's hold) waits
// for the hold's end and then goes to the control it was aimed at.
TEST_F(Screens, HeldInputKeepsItsControlAndIsDroppedWhenThatControlIsGone)
{
    struct Case {
        const char* what;
        std::function<void(Screens&)> beforeTheEnd;
        QString clicked;
    };
    const Case cases[] = {
        {"the control still shown", [](Screens&) {}, "wAButton"},
        {"the control hidden, another in its place",
         [](Screens& s) {
             s.a->findChild<QWidget*>("wAButton")->hide();
             s.aSecond->show();
         },
         ""},
        {"the control disabled", [](Screens& s) { s.a->findChild<QWidget*>("wAButton")->setEnabled(false); }, ""},
        {"the screen closed", [](Screens& s) { Forms::Unload(s.a); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rebuild();
        {
            const InputHold hold;
            touch(a, InputClock::now());
            InputHold::yield();
            EXPECT_EQ(InputHold::held(), 2) << "the press and the release wait";
            EXPECT_TRUE(clicked.isEmpty());
            c.beforeTheEnd(*this);
            settle();
        }
        settle();
        EXPECT_EQ(clicked.join(','), c.clicked);
    }
}

// A list whose rows move while the program is held (an alarm comes on top): a
// touch made on a row before it moved meant that row, not the one there now.
TEST(ListRowsMoved, ATouchOnARowThatMovedSinceIsDropped)
{
    struct Case {
        const char* what;
        std::function<void(FlexGrid&)> between;
        bool stampAfter;
        QString chosen;
    };
    const Case cases[] = {
        {"nothing moved", [](FlexGrid&) {}, false, "r2"},
        {"a row came on top", [](FlexGrid& g) { g.AddItem("new", 0); }, false, ""},
        {"a row above went", [](FlexGrid& g) { g.RemoveItem(0); }, false, ""},
        {"the list scrolled", [](FlexGrid& g) { g.setTopRow(1); }, false, ""},
        {"a row came below the touched one", [](FlexGrid& g) { g.AddItem("new"); }, false, "r2"},
        {"touched once the row on top was shown", [](FlexGrid& g) { g.AddItem("new", 0); }, true, "r1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* form = Forms::Adopt(new Form("wList"));
        form->setGeometry(0, 0, 400, 300);
        auto* grid = new FlexGrid(0, 1, form);
        grid->setGeometry(0, 0, 400, 300);
        for (int r = 0; r < 30; ++r)
            grid->AddItem(QString("r%1").arg(r));
        form->Show();
        settle();
        grid->setCurrentCell(-1, -1);
        const QPoint at = grid->viewport()->mapTo(form, grid->visualRect(grid->model()->index(2, 0)).center());
        const quint32 made = InputClock::now();
        QThread::msleep(2);
        c.between(*grid);
        settle();
        QThread::msleep(2);
        const quint32 stamp = c.stampAfter ? InputClock::now() : made;
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            auto* e = new QMouseEvent(type, at, form->mapToGlobal(at), Qt::LeftButton,
                                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            e->setTimestamp(stamp);
            QCoreApplication::postEvent(form->windowHandle(), e);
        }
        settle();
        EXPECT_EQ(grid->Row() < 0 ? QString() : grid->TextMatrix(grid->Row(), 0), c.chosen);
        Forms::UnloadAllExcept({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A window raised over others is painted before the program blocks: the wait
// ends when the window system shows it afresh, or after a moment on a display
// that keeps the pictures and asks for nothing.
TEST(RaisedWindow, IsWaitedForUntilShownAfreshAndNoLonger)
{
    auto* form = Forms::Adopt(new Form("wRaised"));
    form->setGeometry(0, 0, 200, 100);
    form->Show();
    settle();
    EXPECT_FALSE(InputGate::paintPending());
    InputGate::raised(form);
    EXPECT_TRUE(InputGate::paintPending());
    QExposeEvent afresh(QRegion(0, 0, 200, 100));
    QCoreApplication::sendEvent(form->windowHandle(), &afresh);
    EXPECT_FALSE(InputGate::paintPending()) << "shown afresh: nothing more to wait for";
    // Nothing asked for: the wait ends after its moment, not the first paint's.
    InputGate::raised(form);
    QElapsedTimer waited;
    waited.start();
    InputHold::awaitPaint();
    EXPECT_GE(waited.elapsed(), InputGate::RaisePaintWaitMs - 2);
    EXPECT_LT(waited.elapsed(), InputGate::FirstPaintWaitMs / 2);
    EXPECT_FALSE(InputGate::paintPending());
    Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(InputClockStamps, ReadOnTheProgramsClockAcrossTheWrapAndFromAnotherClock)
{
    struct Case {
        const char* what;
        qint64 origin, arrival;
        quint64 stamp;
        qint64 made;
    };
    const qint64 wrap = qint64(1) << 32;
    const Case cases[] = {
        {"made before it was handled", 1000, 5000, 4200, 4200},
        {"made when handled", 1000, 5000, 5000, 5000},
        {"the 32 bits wrapped since it was made", 1000, wrap + 100, quint64(wrap - 300), wrap - 300},
        {"made just after the wrap", 1000, wrap + 100, 20, wrap + 20},
        {"from before the program started: another clock", 1000, 5000, 10, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InputClock clock(c.origin);
        EXPECT_EQ(clock.madeAt(c.stamp, c.arrival), c.made);
    }

    // A window system whose clock runs ahead: read on it from then on.
    InputClock ahead(0);
    EXPECT_EQ(ahead.madeAt(9000, 5000), 5000);
    EXPECT_EQ(ahead.stamp(6000), 10000u);
    EXPECT_EQ(ahead.madeAt(9500, 6000), 5500) << "made before it was handled, on that clock";
}
