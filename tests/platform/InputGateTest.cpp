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
#include "platform/LoopWait.h"

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
#include <vector>

using namespace plat;

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The message loop runs until it has nothing left to handle and waits, as
// the program's does between one touch and the next.
void letTheLoopWait()
{
    const qint64 since = InputClock::localNow();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (LoopWait::lastBegan() >= since)
            loop.quit();
    });
    check.start(1);
    loop.exec();
}

// A panel that reports a touch released on it.
class Tile : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (rect().contains(e->position().toPoint()) && onClick)
            onClick();
    }
};

const QPoint kOnTheButtons(60, 45);
const QPoint kOnTheGround(300, 60);
const QPoint kOnTheTileButton(260, 185);

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
        // A panel that takes touches, a button over part of it (at kOnTheTileButton).
        tile = new Tile(a);
        tile->setGeometry(200, 150, 150, 100);
        tile->onClick = [this] { clicked << "tile"; };
        tileButton = new QPushButton("tileButton", tile);
        tileButton->setObjectName("tileButton");
        tileButton->setGeometry(10, 10, 100, 50);
        QObject::connect(tileButton, &QPushButton::clicked, [this] { clicked << "tileButton"; });
        a->Show();
        settle();
        box->setFocus();
        settle();
        letTheLoopWait();
    }

    Form* screen(const QString& name)
    {
        auto* f = new Form(name);
        f->setGeometry(0, 0, 400, 300);
        Forms::Adopt(f);
        button(f, name + "Button");
        f->installEventFilter(&ground);
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
    static void touch(QWidget* window, quint32 stamp, QPoint at = kOnTheButtons)
    {
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

    // Notes a touch released on a screen's own ground, where no control lies.
    class Ground : public QObject {
    public:
        explicit Ground(QStringList& clicked) : m_clicked(clicked) {}
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::MouseButtonRelease)
                m_clicked << o->objectName();
            return false;
        }

    private:
        QStringList& m_clicked;
    };

    QStringList clicked;
    Ground ground{clicked};
    Form* a = nullptr;
    Form* b = nullptr;
    Tile* tile = nullptr;
    QPushButton* tileButton = nullptr;
    QPushButton* aSecond = nullptr;
    QLineEdit* box = nullptr;
};

// What happens between the making of a touch and its handling, and where
// the window system hands it: the window, and a stamp made then if any.
struct Handed {
    QWidget* window;
    std::optional<quint32> stamp;
    // Where: on the buttons, on the screens' bare ground, on the button over
    // screen A's panel.
    QPoint at = kOnTheButtons;
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
        {"the screen replaced, touched where it has no control",
         [](Screens& s) {
             s.replaceByB();
             return Handed{s.b, {}, kOnTheGround};
         },
         ""},
        {"the new screen's ground touched once painted",
         [](Screens& s) {
             s.replaceByB();
             return Handed{s.b, InputClock::now(), kOnTheGround};
         },
         "wB"},
        {"the screen hidden (kept loaded)",
         [](Screens& s) {
             s.a->Hide();
             settle();
             return Handed{s.a, {}};
         },
         ""},
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
        {"another control shown over it",
         [](Screens& s) {
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
        {"a control over a panel, still shown", [](Screens& s) { return Handed{s.a, {}, kOnTheTileButton}; },
         "tileButton"},
        {"a control over a panel hidden: the touch meant it, not the panel",
         [](Screens& s) {
             s.tileButton->hide();
             settle();
             return Handed{s.a, {}, kOnTheTileButton};
         },
         ""},
        {"a control over a panel disabled",
         [](Screens& s) {
             s.tileButton->setEnabled(false);
             settle();
             return Handed{s.a, {}, kOnTheTileButton};
         },
         ""},
        {"the panel touched once the control over it was hidden",
         [](Screens& s) {
             s.tileButton->hide();
             settle();
             return Handed{s.a, InputClock::now(), kOnTheTileButton};
         },
         "tile"},
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
         [](Screens& s) { return Handed{s.a, 500u}; },
         "wAButton"},
        {"stamped 0, as was a touch on the screen it replaced",
         [](Screens& s) {
             touch(s.a, 0);
             settle();
             s.replaceByB();
             letTheLoopWait();
             return Handed{s.b, 0u};
         },
         "wAButton,wBButton"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rebuild();
        const quint32 made = InputClock::now();
        QThread::msleep(2);
        const Handed handed = c.between(*this);
        touch(handed.window, handed.stamp.value_or(made), handed.at);
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
        {"another screen had the keys meanwhile", [](Screens& s) {
             s.b->Show();
             s.b->activateWindow();
             settle();
             s.a->activateWindow();
             settle();
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
        InputHold::Meanwhile meanwhile = InputHold::Deliver;
        // Once the hold has ended, before what it held is handled.
        std::function<void(Screens&)> afterTheEnd = [](Screens&) {};
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
        {"the screen closed as the held touch went on its way", [](Screens&) {}, "", InputHold::Deliver,
         [](Screens& s) { Forms::Unload(s.a); }},
        {"held while a pass held the program", [](Screens&) {}, "", InputHold::Drop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rebuild();
        {
            const InputHold hold(c.meanwhile);
            touch(a, InputClock::now());
            InputHold::yield();
            EXPECT_EQ(InputHold::held(), 2) << "the press and the release wait";
            EXPECT_TRUE(clicked.isEmpty());
            c.beforeTheEnd(*this);
            settle();
        }
        c.afterTheEnd(*this);
        settle();
        EXPECT_EQ(clicked.join(','), c.clicked);
    }
}

// A modal window that opens during a yield (an error box from a timer) takes
// its touches at once: it must be answerable while the program holds input.
TEST_F(Screens, AModalWindowOpenedDuringAYieldTakesItsTouches)
{
    Form* modal = screen("wModal");
    QObject::connect(modal->findChild<QPushButton*>("wModalButton"), &QPushButton::clicked, modal,
                     [modal] { Forms::Unload(modal); });
    bool leftOpen = false;
    QTimer::singleShot(0, modal, [&] {
        // Touched once it is on the glass; unanswered, it goes after a while.
        QTimer::singleShot(50, modal, [modal] { touch(modal, InputClock::now()); });
        QTimer::singleShot(3000, modal, [&] {
            leftOpen = true;
            Forms::Unload(modal);
        });
        modal->Show(true);
    });
    {
        const InputHold hold;
        InputHold::yield();
    }
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(clicked.join(','), "wModalButton");
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

// A wheel turned on a list, handed over after its rows moved: it meant the
// rows it turned on, and scrolls nothing now.
TEST(ListRowsMoved, AWheelTurnedOnRowsThatMovedSinceDoesNotScroll)
{
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved ? "a row came on top" : "nothing moved");
        auto* form = Forms::Adopt(new Form("wList"));
        form->setGeometry(0, 0, 400, 300);
        auto* grid = new FlexGrid(0, 1, form);
        grid->setGeometry(0, 0, 400, 300);
        for (int r = 0; r < 60; ++r)
            grid->AddItem(QString("r%1").arg(r));
        form->Show();
        settle();
        const quint32 made = InputClock::now();
        QThread::msleep(2);
        if (moved)
            grid->AddItem("new", 0);
        settle();
        const QPoint at = grid->mapTo(form, grid->rect().center());
        auto* e = new QWheelEvent(at, form->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
        e->setTimestamp(made);
        QCoreApplication::postEvent(form->windowHandle(), e);
        settle();
        EXPECT_EQ(grid->TopRow() > 0, !moved);
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

namespace {

// A display's clock: the stamp it gives an event made at a moment of the
// program's monotonic clock.
struct DisplayClock {
    const char* what;
    std::function<quint64(qint64)> stamp;
    // The same clock as the program's: every stamp reads as it is.
    bool local = false;
};

} // namespace

// Screens shown one after another over an hour; each painted, then the loop
// waits, then touched at once or while the program is busy. On whatever clock
// the display stamps its events, and whatever it stamped before, a touch on
// a screen painted before the loop last began to wait reads as made after
// that paint and not after its arrival; on the program's own clock each
// reads as stamped, a touch made before the paint too.
TEST(InputClockStamps, ATouchOnAScreenPaintedBeforeTheLoopWaitedReadsAsMadeSinceOnAnyClock)
{
    constexpr qint64 second = 1000;
    constexpr qint64 minute = 60 * second;
    constexpr qint64 hour = 60 * minute;
    // The program's monotonic clock when it starts: just after the machine
    // started, and half an hour before the 32 bits of the stamps wrap.
    const qint64 starts[] = {10 * second, (qint64(1) << 32) - 30 * minute};
    for (const qint64 start : starts) {
        const DisplayClock clocks[] = {
            {"this machine's", [](qint64 t) { return quint64(quint32(t)); }, true},
            {"none (stamps 0)", [](qint64) { return quint64(0); }},
            {"stopped (a constant stamp)", [](qint64) { return quint64(500); }},
            {"ahead by an hour", [](qint64 t) { return quint64(quint32(t + hour)); }},
            {"behind by 3 seconds", [](qint64 t) { return quint64(quint32(t - 3 * second)); }},
            {"behind by 7 minutes", [](qint64 t) { return quint64(quint32(t - 7 * minute)); }},
            {"behind by more than the program's uptime", [](qint64 t) { return quint64(quint32(t - 2 * hour)); }},
            {"running 1% slow since the program started",
             [start](qint64 t) { return quint64(quint32(start + (t - start) * 99 / 100)); }},
        };
        for (const DisplayClock& clock : clocks) {
            SCOPED_TRACE(testing::Message() << clock.what << ", program started at " << start);
            qint64 waitBegan = start;
            for (qint64 painted = start + 5 * second; painted < start + hour; painted += 7 * minute + 13) {
                // Queued while the screen was painted: the loop has not waited since it came.
                const qint64 before = painted - 40;
                const qint64 beforeRead = InputClock::madeAt(clock.stamp(before), painted + 30, waitBegan);
                EXPECT_LE(beforeRead, painted + 30);
                if (clock.local) {
                    EXPECT_EQ(beforeRead, before) << "a touch made before the paint";
                }
                waitBegan = painted + 5;
                // At once; while the program was busy a few seconds; on.
                const std::pair<qint64, qint64> touches[] = {{waitBegan, waitBegan + 1},
                                                              {waitBegan + 200, waitBegan + 4 * second},
                                                              {waitBegan + 90 * second, waitBegan + 90 * second + 2}};
                for (const auto& [made, arrival] : touches) {
                    const qint64 read = InputClock::madeAt(clock.stamp(made), arrival, waitBegan);
                    EXPECT_GE(read, painted) << "made " << made - start << " ms after the start";
                    EXPECT_LE(read, arrival);
                    if (clock.local) {
                        EXPECT_EQ(read, made);
                    }
                }
            }
        }
    }
}
