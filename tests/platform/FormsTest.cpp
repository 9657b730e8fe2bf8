#include "platform/Captions.h"
#include "platform/ControlArray.h"
#include "platform/FormTimer.h"
#include "platform/Forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plat;

namespace {

class ProbeForm : public Form {
public:
    ProbeForm() : Form("fProbe") {}
    void Form_Load() override { ++loads; }
    bool Form_QueryUnload(UnloadMode) override { return refuse; }
    void Form_Unload() override { ++unloads; }
    static inline int loads = 0;
    static inline int unloads = 0;
    static inline bool refuse = false;
};

class FormsRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ProbeForm::loads = ProbeForm::unloads = 0;
        ProbeForm::refuse = false;
        Forms::registerForm("fProbe", [] { return new ProbeForm; });
    }
    void TearDown() override
    {
        ProbeForm::refuse = false;
        Forms::UnloadAllExcept({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST_F(FormsRegistryTest, GetCreatesOneLoadedInstanceOnFirstUse)
{
    EXPECT_EQ(Forms::Find("fProbe"), nullptr);
    Form* a = Forms::Get("fProbe");
    Form* b = Forms::Get("fProbe");
    EXPECT_EQ(a, b);
    EXPECT_EQ(ProbeForm::loads, 1);
    EXPECT_EQ(Forms::Count("fProbe"), 1);
    Form* extra = Forms::CreateInstance("fProbe");
    EXPECT_NE(extra, a);
    EXPECT_EQ(Forms::Count("fProbe"), 2);
}

TEST_F(FormsRegistryTest, UnknownFormNameRaises429)
{
    try {
        Forms::Get("fNobody");
        FAIL();
    } catch (const RtError& e) {
        EXPECT_EQ(e.number(), rt::CannotCreateObject);
    }
}

TEST_F(FormsRegistryTest, ATakenNameIsRefusedWithAnErrorNamingIt)
{
    try {
        Forms::registerForm("fProbe", [] { return new Form("fProbe"); });
        FAIL() << "the second registration was accepted";
    } catch (const RtError& e) {
        EXPECT_EQ(e.number(), rt::KeyAlreadyAssociated);
        EXPECT_TRUE(e.description().contains("fProbe")) << e.description().toStdString();
    }
    // The first registration still stands.
    Forms::Get("fProbe");
    EXPECT_EQ(ProbeForm::loads, 1);
    Forms::registerForm("fOther", [] { return new Form("fOther"); });
    EXPECT_EQ(Forms::registeredNames(), QStringList({"fOther", "fProbe"}));
}

TEST_F(FormsRegistryTest, QueryUnloadCanRefuseAndUnloadIsIdempotent)
{
    Form* f = Forms::Get("fProbe");
    ProbeForm::refuse = true;
    EXPECT_FALSE(Forms::Unload(f));
    EXPECT_EQ(Forms::Find("fProbe"), f);
    ProbeForm::refuse = false;
    EXPECT_TRUE(Forms::Unload(f));
    EXPECT_TRUE(Forms::Unload(f));
    EXPECT_EQ(ProbeForm::unloads, 1);
    EXPECT_EQ(Forms::Find("fProbe"), nullptr);
    // A new Get after the unload makes a fresh instance.
    EXPECT_NE(Forms::Get("fProbe"), nullptr);
    EXPECT_EQ(ProbeForm::loads, 2);
}

TEST_F(FormsRegistryTest, UnloadFromInsideOwnHandlerIsSafe)
{
    Form* f = Forms::Get("fProbe");
    auto* button = new QPushButton("x", f);
    QObject::connect(button, &QPushButton::clicked, f, [f] {
        Forms::Unload(f);
        // The form still exists until the loop deletes it.
        EXPECT_TRUE(f->IsUnloaded());
    });
    f->Show();
    button->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Forms::Find("fProbe"), nullptr);
}

TEST_F(FormsRegistryTest, ModalShowReturnsWhenTheFormIsUnloadedOrHidden)
{
    Form* f = Forms::Get("fProbe");
    QTimer::singleShot(20, f, [f] { Forms::Unload(f); });
    f->Show(true);
    EXPECT_TRUE(f->IsUnloaded());

    Form* g = Forms::Get("fProbe");
    QTimer::singleShot(20, g, [g] { g->Hide(); });
    g->Show(true);
    EXPECT_FALSE(g->IsUnloaded());
    EXPECT_FALSE(g->Visible());
}

TEST_F(FormsRegistryTest, TheCloseBoxGoesThroughQueryUnload)
{
    Form* f = Forms::Get("fProbe");
    f->Show();
    ProbeForm::refuse = true;
    f->close();
    EXPECT_EQ(Forms::Find("fProbe"), f);
    ProbeForm::refuse = false;
    f->close();
    EXPECT_EQ(Forms::Find("fProbe"), nullptr);
}

namespace {

// Counts its activations and notes them in a shared log.
class ActivationProbe : public Form {
public:
    ActivationProbe(const QString& name, QStringList& log) : Form(name), m_log(log) { resize(200, 100); }
    void Form_Activate() override { m_log << "activate " + Name(); }

private:
    QStringList& m_log;
};

// Lets queued calls and the window system's activation events run.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

TEST_F(FormsRegistryTest, ActivationBackFromAnotherWindowOfTheProgramActivatesTheFormAfterItsCaller)
{
    QStringList log;
    Form* screen = Forms::Adopt(new ActivationProbe("fScreen", log));
    Form* other = Forms::Adopt(new ActivationProbe("fOther", log));
    Form* dialog = Forms::Adopt(new ActivationProbe("fDialog", log));
    screen->Show();
    other->Show();
    settle();
    EXPECT_EQ(log.join("; "), "activate fScreen; activate fOther") << "once for a show, not again for its activation";

    // A modal dialog closes and the window system gives the activation back
    // to its caller, which reads the dialog's answer before its activation runs.
    screen->activateWindow();
    settle();
    log.clear();
    QTimer::singleShot(0, dialog, [dialog, screen] {
        dialog->Hide();
        screen->activateWindow();
    });
    dialog->Show(true, screen);
    log << "caller reads the answer";
    settle();
    EXPECT_EQ(log.join("; "), "activate fDialog; caller reads the answer; activate fScreen");

    // While a dialog is modal its caller cannot be activated, even when the
    // window system hands it the activation late.
    log.clear();
    QTimer::singleShot(0, dialog, [&] {
        screen->activateWindow();
        settle();
        log << "still modal";
        dialog->Hide();
    });
    dialog->Show(true, screen);
    EXPECT_EQ(log.join("; "), "activate fDialog; still modal");

    // Another program takes the activation and gives it back: no activation.
    other->activateWindow();
    settle();
    log.clear();
    emit qApp->focusWindowChanged(nullptr);
    screen->activateWindow();
    settle();
    EXPECT_TRUE(log.isEmpty()) << log.join("; ").toStdString();

    // A form unloaded meanwhile is not activated.
    other->activateWindow();
    settle();
    log.clear();
    screen->activateWindow();
    Forms::Unload(screen);
    settle();
    EXPECT_TRUE(log.isEmpty()) << log.join("; ").toStdString();
}

namespace {

// A small dialog with a button and two entry fields, the button first in focus order.
class ProbeDialog : public Form {
public:
    ProbeDialog() : Form("dProbe")
    {
        setDialog(true);
        resize(200, 100);
        button = new QPushButton(this);
        first = new QLineEdit(this);
        second = new QLineEdit(this);
    }
    QPushButton* button;
    QLineEdit* first;
    QLineEdit* second;
};

} // namespace

TEST(Dialogs, OpenCentredOnTheirOwnerWithTheCaretInTheFirstField)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    Form owner("wOwner");
    owner.setGeometry(screen.left() + 20, screen.top() + 10, 300, 240);
    owner.show();
    ProbeDialog dlg;

    for (int opening = 0; opening < 2; ++opening) {
        dlg.Show(false, &owner);
        EXPECT_EQ(dlg.frameGeometry().center(), owner.frameGeometry().center()) << opening;
        EXPECT_EQ(dlg.focusWidget(), dlg.first) << opening;
        dlg.second->setFocus();
        dlg.Hide();
    }
    // A hidden field is passed over.
    dlg.first->hide();
    dlg.Show(false, &owner);
    EXPECT_EQ(dlg.focusWidget(), dlg.second);
    dlg.Hide();

    // An owner near the edge: the dialog stays on the screen.
    owner.move(screen.left(), screen.top());
    owner.resize(120, 80);
    dlg.Show(false, &owner);
    EXPECT_EQ(dlg.frameGeometry().topLeft(), screen.topLeft());
    dlg.Hide();

    // No owner and no active window: the middle of the screen.
    owner.hide();
    dlg.Show();
    EXPECT_EQ(dlg.frameGeometry().center(), screen.center()) << screen.width() << "x" << screen.height();
    // Once on the screen the window is activated, so that the keys reach the field.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dlg.second; }, 2000));
    dlg.Hide();
}

TEST(Dialogs, OtherFormsStayWhereTheyAre)
{
    Form screen("wScreen");
    screen.move(0, 0);
    auto* field = new QLineEdit(&screen);
    screen.Show();
    EXPECT_EQ(screen.pos(), QPoint(0, 0));
    EXPECT_NE(screen.focusWidget(), field);
    screen.Hide();
}

TEST(FormTimer, IntervalZeroNeverFiresAndDisablingStops)
{
    FormTimer t("tmrTest");
    QSignalSpy spy(&t, &FormTimer::Timer);
    t.setInterval(0);
    t.setEnabled(true);
    EXPECT_TRUE(t.Enabled());
    QTest::qWait(60);
    EXPECT_EQ(spy.count(), 0);
    t.setInterval(10);
    QTest::qWait(80);
    EXPECT_GT(spy.count(), 0);
    t.setEnabled(false);
    const int n = spy.count();
    QTest::qWait(50);
    EXPECT_EQ(spy.count(), n);
}

TEST(Captions, NumericTagsTakeTheirTextAndOthersKeepTheirs)
{
    setCaptionSource([](const QString& id) { return "text " + id; });
    QWidget w;
    auto* a = new QLabel("a", &w);
    auto* b = new QPushButton("b", &w);
    auto* c = new QLabel("keep", &w);
    auto* d = new QLineEdit(&w);
    setTag(a, 10004);
    setTag(b, " 10005 ");
    setTag(c, "no id");
    setTag(d, 10006);
    applyCaptions(&w);
    EXPECT_EQ(a->text(), "text 10004");
    EXPECT_EQ(b->text(), "text 10005");
    EXPECT_EQ(c->text(), "keep");
    EXPECT_EQ(d->text(), "text 10006") << "a text box takes the text as its text";
    setCaptionSource({});
}

TEST(ControlArray, NamesElementsByIndexAndCopiesElementZeroHidden)
{
    QWidget w;
    ControlArray<QLabel> lbl("lblLabels");
    lbl.add(0, new QLabel("zero", &w));
    QLabel* one = lbl.load(1, [&](QLabel* e0) { return new QLabel(e0->text(), &w); });
    EXPECT_EQ(one->objectName(), "lblLabels(1)");
    EXPECT_EQ(one->text(), "zero");
    EXPECT_FALSE(one->isVisibleTo(&w));
    EXPECT_EQ(w.findChild<QLabel*>("lblLabels(0)"), lbl(0));
    EXPECT_EQ(lbl.indexOf(one), 1);
    EXPECT_THROW(lbl(5), RtError);
    EXPECT_EQ(lbl.ubound(), 1);
}

TEST_F(FormsRegistryTest, AFormShownOverAnOwnerOutlivesIt)
{
    QStringList log;
    Form* owner = Forms::Adopt(new ActivationProbe("fOwner", log));
    Form* shown = Forms::Adopt(new ActivationProbe("fShown", log));
    QPointer<Form> alive(shown);
    owner->Show();
    // Modal over its owner; hidden again, it is a window of its own.
    QTimer::singleShot(0, shown, [shown] { shown->Hide(); });
    shown->Show(true, owner);
    settle();
    EXPECT_EQ(shown->parentWidget(), nullptr);

    // Modeless over its owner when the owner is unloaded.
    shown->Show(false, owner);
    EXPECT_EQ(shown->parentWidget(), owner);
    Forms::Unload(owner);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(alive);
    EXPECT_EQ(Forms::Find("fShown"), shown);
}
