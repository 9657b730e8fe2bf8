#include "platform/Captions.h"
#include "platform/ControlArray.h"
#include "platform/FormTimer.h"
#include "platform/Forms.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
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

TEST_F(FormsRegistryTest, AnUnregisteredNameIsUnknownAgainButItsLoadedFormStays)
{
    Form* f = Forms::Get("fProbe");
    Forms::unregisterForm("fProbe");
    EXPECT_FALSE(Forms::isRegistered("fProbe"));
    EXPECT_EQ(Forms::Get("fProbe"), f);
    Forms::Unload(f);
    EXPECT_THROW(Forms::Get("fProbe"), RtError);
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
    setTag(a, 10004);
    setTag(b, " 10005 ");
    setTag(c, "no id");
    applyCaptions(&w);
    EXPECT_EQ(a->text(), "text 10004");
    EXPECT_EQ(b->text(), "text 10005");
    EXPECT_EQ(c->text(), "keep");
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
