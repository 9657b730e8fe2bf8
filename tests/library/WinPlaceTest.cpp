#include "library/IniParam.h"
#include "library/WinPlace.h"

#include "platform/ProfileFile.h"
#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

class WinPlaceTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_wp = plat::ComPtr<_WinPlace>::attach(new WinPlace);
        m_form.setObjectName("wSettings");
        m_form.setGeometry(100, 80, 300, 200);   // 1500, 1200, 4500 x 3000 twips
    }

    QString ini() const { return testing_support::programFolder() + "/Places.ini"; }
    QString read(const char* key) const
    {
        return plat::ProfileFile::getString("wSettings", key, "<none>", ini());
    }
    void write(const char* key, const QString& value) const
    {
        plat::ProfileFile::writeString("wSettings", key, value, ini());
    }

    plat::ComPtr<_WinPlace> m_wp;
    QWidget m_form;
};

} // namespace

TEST_F(WinPlaceTest, EveryFormMemberRefusesWhatIsNotAFormBeforeTouchingIt)
{
    auto* control = new QWidget(&m_form);
    control->setObjectName("wSettings");
    control->setGeometry(5, 5, 20, 20);
    QObject notAWidget;
    notAWidget.setObjectName("wSettings");
    write("X", "0");
    write("Y", "0");
    write("Flags", "0");

    const std::function<void(QObject*)> members[] = {
        [&](QObject* f) { m_wp->RestoreWindow(f, ini()); },
        [&](QObject* f) { m_wp->SaveWindow(f, ini()); },
        [&](QObject* f) { m_wp->RestorePos(f, ini()); },
        [&](QObject* f) { m_wp->StorePos(f, ini()); },
        [&](QObject* f) { m_wp->CentrerEcran(f); },
        [&](QObject* f) { m_wp->SetToTopmost(f); },
        [&](QObject* f) { m_wp->SetToNotTopmost(f); },
    };
    for (QObject* arg : {static_cast<QObject*>(control), static_cast<QObject*>(nullptr), &notAWidget}) {
        for (const auto& member : members) {
            try {
                member(arg);
                ADD_FAILURE() << "no error";
            } catch (const plat::RtError& e) {
                EXPECT_EQ(e.number(), 1024);
                EXPECT_EQ(e.description(), QString::fromUtf8("La fonction requiert un objet Form en paramètre."));
                EXPECT_EQ(e.source(), QString("VexLib22"));
            }
        }
    }
    EXPECT_EQ(control->geometry(), QRect(5, 5, 20, 20));
    EXPECT_FALSE(control->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(read("Max"), QString("<none>"));
    EXPECT_EQ(read("NormG"), QString("<none>"));
}

TEST_F(WinPlaceTest, StorePosWritesTwipsAndRestorePosMovesAndSizes)
{
    m_wp->StorePos(&m_form, ini());
    EXPECT_EQ(read("X"), QString("1500"));
    EXPECT_EQ(read("Y"), QString("1200"));
    EXPECT_EQ(read("H"), QString("3000"));
    EXPECT_EQ(read("L"), QString("4500"));
    EXPECT_EQ(read("Max"), QString("False"));

    m_form.setGeometry(0, 0, 50, 50);
    m_wp->RestorePos(&m_form, ini());
    EXPECT_EQ(m_form.pos(), QPoint(100, 80));
    EXPECT_EQ(m_form.size(), QSize(300, 200));
    EXPECT_FALSE(m_form.isMaximized());
}

TEST_F(WinPlaceTest, RestorePosOnAFixedBorderFormMovesWithoutSizing)
{
    write("X", "1500");
    write("Y", "750");
    write("H", "900");
    write("L", "900");
    m_form.setProperty("BorderStyle", 1);
    m_wp->RestorePos(&m_form, ini());
    EXPECT_EQ(m_form.geometry(), QRect(100, 50, 300, 200));
}

TEST_F(WinPlaceTest, RestorePosWithoutNumbersCentresAndKeepsSizeAndState)
{
    struct Case { const char* x; const char* y; };
    const Case cases[] = {{nullptr, nullptr}, {"abc", "100"}, {"100", ""}};
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    for (const Case& c : cases) {
        plat::ProfileFile::deleteSection("wSettings", ini());
        if (c.x)
            write("X", c.x);
        if (c.y)
            write("Y", c.y);
        write("H", "1500");
        write("L", "1500");
        m_form.setGeometry(0, 0, 300, 200);
        m_wp->RestorePos(&m_form, ini());
        EXPECT_EQ(m_form.pos(), QPoint(screen.width() / 2 - 150, screen.height() / 2 - 100)) << (c.x ? c.x : "-");
        EXPECT_EQ(m_form.size(), QSize(300, 200));
        EXPECT_FALSE(m_form.isMaximized());
    }
}

TEST_F(WinPlaceTest, StorePosOfAMaximisedFormKeepsTheOldCoordinates)
{
    m_wp->StorePos(&m_form, ini());
    m_form.setWindowState(Qt::WindowMaximized);
    m_form.show();
    settle();
    m_wp->StorePos(&m_form, ini());
    EXPECT_EQ(read("X"), QString("1500"));
    EXPECT_EQ(read("L"), QString("4500"));
    EXPECT_EQ(read("Max"), QString("True"));

    QWidget other;
    other.setObjectName("wSettings");
    other.setGeometry(0, 0, 50, 50);
    m_wp->RestorePos(&other, ini());
    EXPECT_EQ(other.geometry(), QRect(100, 80, 300, 200));
    EXPECT_TRUE(other.windowState() & Qt::WindowMaximized);
}

TEST_F(WinPlaceTest, RestorePosSwallowsWhatCannotBeDone)
{
    write("X", "1500");
    write("Y", "1500");
    write("H", "-30");
    write("L", "-30");
    write("Max", "perhaps");
    EXPECT_NO_THROW(m_wp->RestorePos(&m_form, ini()));
    EXPECT_EQ(m_form.geometry(), QRect(100, 100, 300, 200));
    EXPECT_FALSE(m_form.windowState() & Qt::WindowMaximized);
}

TEST_F(WinPlaceTest, SaveWindowWritesThePlacementAndRestoreWindowAppliesIt)
{
    m_form.show();
    settle();
    const QRect frame = m_form.frameGeometry();
    m_wp->SaveWindow(&m_form, ini());
    const struct { const char* key; int value; } expected[] = {
        {"Flags", 0}, {"ShowCmd", 1}, {"MinX", -1}, {"MinY", -1}, {"MaxX", -1}, {"MaxY", -1},
        {"NormG", frame.left()}, {"NormH", frame.top()},
        {"NormD", frame.left() + frame.width()}, {"NormB", frame.top() + frame.height()},
    };
    for (const auto& e : expected)
        EXPECT_EQ(read(e.key), QString::number(e.value)) << e.key;

    m_form.setGeometry(10, 10, 40, 40);
    m_wp->RestoreWindow(&m_form, ini());
    settle();
    EXPECT_EQ(m_form.geometry(), QRect(100, 80, 300, 200));
    EXPECT_TRUE(m_form.isVisible());

    // Maximised: the normal rectangle is the one it returns to.
    m_form.setWindowState(Qt::WindowMaximized);
    settle();
    m_wp->SaveWindow(&m_form, ini());
    EXPECT_EQ(read("ShowCmd"), QString("3"));
    EXPECT_EQ(read("NormG"), QString::number(frame.left()));
    m_form.setWindowState(Qt::WindowNoState);
    m_form.setGeometry(10, 10, 40, 40);
    m_wp->RestoreWindow(&m_form, ini());
    settle();
    EXPECT_TRUE(m_form.windowState() & Qt::WindowMaximized);
}

TEST_F(WinPlaceTest, RestoreWindowOnAnEmptySectionChangesNothing)
{
    m_wp->RestoreWindow(&m_form, ini());
    EXPECT_EQ(m_form.geometry(), QRect(100, 80, 300, 200));
    EXPECT_FALSE(m_form.isVisible());
}

TEST_F(WinPlaceTest, RestoreWindowRaisesTypeMismatchForAKeyThatIsNoNumber)
{
    write("Flags", "0");
    write("NormD", "wide");
    try {
        m_wp->RestoreWindow(&m_form, ini());
        ADD_FAILURE() << "no error";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::TypeMismatch);
    }
    EXPECT_EQ(m_form.geometry(), QRect(100, 80, 300, 200));
}

TEST_F(WinPlaceTest, CentrerEcranCentresOnThePrimaryScreen)
{
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    m_wp->CentrerEcran(&m_form);
    EXPECT_EQ(m_form.pos(), QPoint((screen.width() - 300) / 2, (screen.height() - 200) / 2));
    EXPECT_EQ(m_form.size(), QSize(300, 200));
}

TEST_F(WinPlaceTest, TopmostKeepsAVisibleFormShownInPlace)
{
    m_form.show();
    settle();
    const QRect before = m_form.geometry();
    m_wp->SetToTopmost(&m_form);
    settle();
    EXPECT_TRUE(m_form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(m_form.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(m_form.isVisible());
    EXPECT_EQ(m_form.geometry(), before);

    m_wp->SetToNotTopmost(&m_form);
    settle();
    EXPECT_FALSE(m_form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(m_form.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(m_form.isVisible());
    EXPECT_EQ(m_form.geometry(), before);
}

TEST_F(WinPlaceTest, TopmostOnAHiddenFormTakesEffectWhenShown)
{
    m_wp->SetToTopmost(&m_form);
    EXPECT_FALSE(m_form.isVisible());
    m_form.show();
    settle();
    EXPECT_TRUE(m_form.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(m_form.geometry(), QRect(100, 80, 300, 200));
}

TEST_F(WinPlaceTest, TopmostDoesNotEndAModalDialog)
{
    QDialog dialog;
    bool stillVisible = false;
    QTimer::singleShot(20, &dialog, [&] {
        m_wp->SetToTopmost(&dialog);
        settle();
        stillVisible = dialog.isVisible();
        QTimer::singleShot(20, &dialog, &QDialog::accept);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillVisible);
}

TEST_F(WinPlaceTest, AppActivateExFindsAVisibleWindowByItsCaption)
{
    QWidget notepad, hidden, untitled;
    notepad.setWindowTitle("Notepad - a.txt");
    hidden.setWindowTitle("Notes hidden");
    notepad.show();
    untitled.show();
    hidden.show();
    hidden.hide();
    settle();

    struct Case { const char* caption; bool exact; bool found; };
    const Case cases[] = {
        {"note", false, true},
        {"NOTEPAD", false, true},
        {"note", true, false},
        {"notepad - A.TXT", true, true},
        {"Notes", false, false},   // hidden
        {"pad", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        const int32_t h = m_wp->AppActivateEx(c.caption, c.exact);
        if (c.found)
            EXPECT_EQ(h, int32_t(notepad.windowHandle()->winId())) << c.caption;
        else
            EXPECT_EQ(h, 0) << c.caption;
    }
    EXPECT_NE(m_wp->AppActivateEx("note"), 0);
    settle();
    EXPECT_EQ(QApplication::activeWindow(), &notepad);
}
