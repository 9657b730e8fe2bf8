// The message box: the buttons, icon and default of every style, the codes it
// answers (clicked, Enter, Escape, closed), shown waiting or not, when a box
// waits for its answer, and its sizing to the text. The captions come from
// the built configuration database.

#include "program/core/FormNames.h"
#include "program/core/dlgMessage.h"

#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/StopRequests.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/ErrorHandling.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

// The newest loaded message box.
dlgMessage* lastBox()
{
    dlgMessage* found = nullptr;
    for (plat::Form* f : plat::Forms::All())
        if (f->objectName() == QLatin1String("dlgMessage") && !f->IsUnloaded())
            found = qobject_cast<dlgMessage*>(f);
    return found;
}

QPushButton* button(dlgMessage* box, int index)
{
    return box->findChild<QPushButton*>(QStringLiteral("cmdButton(%1)").arg(index));
}

QStringList visibleCaptions(dlgMessage* box)
{
    QStringList out;
    for (int i = 0; i < 3; ++i)
        if (!button(box, i)->isHidden())
            out << button(box, i)->text();
    return out;
}

int visibleIcon(dlgMessage* box)
{
    int shown = -1;
    for (int i = 0; i < 5; ++i)
        if (!box->findChild<QLabel*>(QStringLiteral("imgIcon(%1)").arg(i))->isHidden()) {
            EXPECT_EQ(shown, -1) << "two icons shown";
            shown = i;
        }
    return shown;
}

class MessageBox : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        CoreForms::registerForms();
        ErrorHandling::Install();
        const QString cfg = testing_support::programFolder() + "/PLX2.cfg";
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", cfg));
        ASSERT_TRUE(Config::OpenConfigBase());
    }
    // Runs action on the box as soon as the modal loop runs.
    void whenShown(std::function<void(dlgMessage*)> action)
    {
        QTimer::singleShot(0, &m_context, [this, action] {
            dlgMessage* box = lastBox();
            ASSERT_NE(box, nullptr);
            m_sawVisible = box->isVisible();
            m_sawModal = box->IsModal();
            action(box);
        });
    }

    QObject m_context;
    bool m_sawVisible = false;
    bool m_sawModal = false;
};

struct StyleCase {
    int style;
    QStringList captions;
    QList<int> results;
    int icon;          // the picture shown, -1 for none
    int defaultIndex;  // the button Enter presses
};

const StyleCase kStyles[] = {
    {0, {"&OK"}, {1}, 0, 0},
    {1, {"&OK", "&Cancel"}, {1, 2}, 0, 0},
    {2, {"&Abort", "&Retry", "&Ignore"}, {3, 4, 5}, 0, 0},
    {3, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}, 0, 0},
    {4, {"&Yes", "&No"}, {6, 7}, 0, 0},
    {16, {"&OK"}, {1}, 1, 0},
    {4 + 32 + 256, {"&Yes", "&No"}, {6, 7}, 2, 1},
    {3 + 48 + 512, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}, 3, 2},
    {1 + 64 + 512, {"&OK", "&Cancel"}, {1, 2}, 4, 0},  // a default beyond the set: the first
    {2 + 768, {"&Abort", "&Retry", "&Ignore"}, {3, 4, 5}, 0, 0},  // default value 3: the first
    {80, {"&OK"}, {1}, -1, 0},  // icon value 5: no picture
    {5, {"&OK"}, {1}, 0, 0},    // a button set without meaning still gets a button
};

TEST_F(MessageBox, EachStyleShowsItsButtonsIconAndDefaultAndAnswersEachButton)
{
    for (const StyleCase& c : kStyles) {
        SCOPED_TRACE(c.style);
        for (int i = 0; i < c.captions.size(); ++i) {
            QStringList captions;
            int icon = -2;
            int defaultIndex = -1;
            whenShown([&, i](dlgMessage* box) {
                captions = visibleCaptions(box);
                icon = visibleIcon(box);
                for (int b = 0; b < 3; ++b)
                    if (button(box, b)->isDefault())
                        defaultIndex = b;
                EXPECT_EQ(box->Result(), -1);
                QTest::mouseClick(button(box, i), Qt::LeftButton);
            });
            EXPECT_EQ(Global::Message(QStringLiteral("Question?"), c.style), c.results[i]);
            EXPECT_TRUE(m_sawVisible);
            EXPECT_TRUE(m_sawModal);
            EXPECT_EQ(captions, c.captions);
            EXPECT_EQ(icon, c.icon);
            EXPECT_EQ(defaultIndex, c.defaultIndex);
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(plat::Forms::Count(FormNames::dlgMessage), 0) << "a modal box is unloaded after its answer";
}

TEST_F(MessageBox, CaptionsFollowTheLanguage)
{
    // Language 1 of the database.
    gLanguage = 1;
    QStringList captions;
    whenShown([&](dlgMessage* box) {
        captions = visibleCaptions(box);
        button(box, 1)->click();
    });
    EXPECT_EQ(Global::Message(QStringLiteral("?"), 4), 7);
    EXPECT_EQ(captions, (QStringList{"&" + Config::GetText(10002), "&" + Config::GetText(10001)}));
    EXPECT_EQ(captions.value(0), QStringLiteral("&Oui"));
    gLanguage = 0;
}

struct KeyCase {
    int style;
    int key;
    int expected;
};

TEST_F(MessageBox, EnterPressesTheDefaultAndEscapeAnswersCancel)
{
    const KeyCase cases[] = {
        {4 + 32 + 256, Qt::Key_Return, 7},
        {3 + 512, Qt::Key_Enter, 2},
        {0, Qt::Key_Return, 1},
        {3, Qt::Key_Escape, 2},
        {1 + 256, Qt::Key_Escape, 2},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.style);
        whenShown([&](dlgMessage* box) { QTest::keyClick(box, Qt::Key(c.key)); });
        EXPECT_EQ(Global::Message(QStringLiteral("Key?"), c.style), c.expected);
    }
}

TEST_F(MessageBox, ButtonsKeepTheirAcceleratorsKeyWithoutDrawingItsUnderline)
{
    // German: the underline of "&Ja" would run into its J.
    gLanguage = 2;
    bool sameLook = false;
    QString caption;
    whenShown([&](dlgMessage* box) {
        QPushButton* yes = button(box, 0);
        caption = yes->text();
        const QImage marked = yes->grab().toImage();
        yes->setText(QString(caption).remove('&'));
        sameLook = yes->grab().toImage() == marked;
        yes->setText(caption);
        // The key of "&Nein" still answers: the button clicks a moment after it.
        box->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_N, Qt::AltModifier);
        if (!QTest::qWaitFor([&] { return !box->isVisible(); }, 2000))
            yes->click();
    });
    EXPECT_EQ(Global::Message(QStringLiteral("Speichern?"), 4), 7);
    EXPECT_EQ(caption, "&" + Config::GetText(10002));
    EXPECT_TRUE(sameLook) << "the caption is drawn as if it had no accelerator";
    gLanguage = 0;
}

TEST_F(MessageBox, ActivationPutsTheFocusOnTheDefaultButton)
{
    QWidget* focused = nullptr;
    whenShown([&](dlgMessage* box) {
        focused = box->focusWidget();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(Global::Message(QStringLiteral("Save?"), 3 + 256), 7);
    EXPECT_EQ(focused ? focused->objectName() : QString(), QStringLiteral("cmdButton(1)"));
}

TEST_F(MessageBox, WithoutCancelEscapeAndClosingLeaveTheBoxWaitingForAnAnswer)
{
    bool stillShown = false;
    whenShown([&](dlgMessage* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        stillShown = box->isVisible() && !box->IsUnloaded();
        button(box, 0)->click();
    });
    EXPECT_EQ(Global::Message(QStringLiteral("Yes or no?"), 4), 6);
    EXPECT_TRUE(stillShown);
}

TEST_F(MessageBox, ClosingABoxWithCancelAnswersCancel)
{
    whenShown([](dlgMessage* box) { box->close(); });
    EXPECT_EQ(Global::Message(QStringLiteral("Go on?"), 3), 2);

    // One that nobody waits for unloads itself.
    auto* box = qobject_cast<dlgMessage*>(plat::Forms::CreateInstance(FormNames::dlgMessage));
    ASSERT_NE(box, nullptr);
    box->setMessage(QStringLiteral("Notice"));
    box->setButtons(1);
    box->setDoUnload(true);
    box->Show(false);
    box->close();
    EXPECT_TRUE(box->IsUnloaded());
    EXPECT_EQ(box->Result(), 2);
}

TEST_F(MessageBox, AModalBoxUnloadedFromElsewhereAnswersCancel)
{
    // As the inactivity logout does to every form.
    whenShown([](dlgMessage*) { plat::Forms::UnloadAllExcept({QStringLiteral("wPolling")}); });
    EXPECT_EQ(Global::Message(QStringLiteral("Yes?"), 4), 2);
}

TEST_F(MessageBox, WhereNobodyIsAskedItReturnsAtOnceStaysOnTopAndUnloadsItselfOnItsButton)
{
    {
        const ErrorHandling::Unattended unattended;
        EXPECT_EQ(Global::Message(QStringLiteral("Bus synchronisation"), 48), 0);
    }
    QPointer<dlgMessage> box = lastBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->IsModal());
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(box->Result(), -1);

    // A modal box may open while it stays.
    whenShown([](dlgMessage* modal) { button(modal, 0)->click(); });
    EXPECT_EQ(Global::Message(QStringLiteral("Another"), 0), 1);
    EXPECT_TRUE(box && !box->IsUnloaded());

    QTest::mouseClick(button(box, 0), Qt::LeftButton);
    EXPECT_TRUE(!box || box->IsUnloaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(box);
    EXPECT_EQ(plat::Forms::Count(FormNames::dlgMessage), 0);
}

TEST_F(MessageBox, SeveralBoxesShownWithoutWaitingLiveSideBySide)
{
    const ErrorHandling::Unattended unattended;
    Global::Message(QStringLiteral("One"), 0);
    Global::Message(QStringLiteral("Two"), 0);
    EXPECT_EQ(plat::Forms::Count(FormNames::dlgMessage), 2);
}

TEST_F(MessageBox, ACallerMayBuildAModelessBoxWithoutItsFirstButton)
{
    auto* box = qobject_cast<dlgMessage*>(plat::Forms::CreateInstance(FormNames::dlgMessage));
    ASSERT_NE(box, nullptr);
    box->setMessage(QStringLiteral("Please wait"));
    box->setDoUnload(true);
    box->setButtons(48);
    button(box, 0)->setVisible(false);
    box->Show(false);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(visibleCaptions(box), QStringList());
    EXPECT_EQ(visibleIcon(box), 3);
    plat::Forms::Unload(box);
}

// Whether a box waits is decided by Global::Message alone: where nobody is
// asked, a box with OK alone is a notice that holds nothing, a question
// still waits; once a stop is pending no box opens at all.
TEST_F(MessageBox, WhoIsAskedTheButtonsAndAPendingStopDecideWhetherABoxWaits)
{
    enum Shown { Waits, Notice, Nothing };
    struct Case {
        const char* what;
        bool unattended;
        int style;
        bool stopPending;
        Shown shown;
        int pressed;  // the button pressed on a box that waits
        int answer;
    };
    const Case cases[] = {
        {"a report", false, 16, false, Waits, 1, 1},
        {"a question", false, 4 + 32, false, Waits, 7, 7},
        {"a report where nobody is asked", true, 16, false, Notice, 0, 0},
        {"a plain OK where nobody is asked", true, 64, false, Notice, 0, 0},
        {"OK or Cancel where nobody is asked", true, 1 + 48, false, Waits, 2, 2},
        {"a question where nobody is asked", true, 4 + 32, false, Waits, 6, 6},
        {"a report once a stop is pending", false, 16, true, Nothing, 0, 2},
        {"a question once a stop is pending", false, 4 + 32, true, Nothing, 0, 2},
        {"a report where nobody is asked, a stop pending", true, 16, true, Nothing, 0, 2},
        {"a question where nobody is asked, a stop pending", true, 3, true, Nothing, 0, 2},
    };
    int stops = 0;
    plat::StopRequests::watch([&](plat::StopRequests::Cause) { ++stops; });
    const struct Unwatch {
        ~Unwatch() { plat::StopRequests::watch({}); }
    } unwatch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::ModalAnswers boxes;
        bool waitedAsNotice = false;
        if (c.shown == Waits)
            boxes.on(FormNames::dlgMessage, [&](plat::Form* f) {
                waitedAsNotice = f->IsNotice();
                for (const auto& [i, b] : qobject_cast<dlgMessage*>(f)->cmdButton)
                    if (!b->isHidden() && plat::tagOf(b).toInt() == c.pressed)
                        b->click();
            });
        const int stopsBefore = stops;
        if (c.stopPending) {
            ::raise(SIGTERM);
            ASSERT_TRUE(plat::StopRequests::pending());
        }
        int answer = -1;
        {
            const ErrorHandling::Unattended unattended(c.unattended);
            answer = Global::Message(QStringLiteral("Look"), c.style);
        }
        EXPECT_EQ(answer, c.answer);
        EXPECT_TRUE(boxes.allAnswered()) << "a box that waits was not shown";
        EXPECT_TRUE(boxes.unexpected.isEmpty()) << boxes.unexpected.join("; ").toStdString();
        EXPECT_FALSE(waitedAsNotice);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dlgMessage* box = lastBox();
        if (c.shown == Notice) {
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isVisible());
            EXPECT_FALSE(box->IsModal());
            EXPECT_TRUE(box->IsNotice());
            EXPECT_EQ(box->txtMessage->toPlainText(), QStringLiteral("Look"));
            button(box, 0)->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(plat::Forms::Count(FormNames::dlgMessage), 0);
        // The stop is taken once the loop runs again.
        if (c.stopPending) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return stops == stopsBefore + 1; }, 2000));
        }
    }
}

// ---- sizing -----------------------------------------------------------------

class MessageBoxSize : public MessageBox {
protected:
    dlgMessage* box(const QString& text, int style = 0)
    {
        auto* b = qobject_cast<dlgMessage*>(plat::Forms::CreateInstance(FormNames::dlgMessage));
        design = b->size();
        b->setButtons(style);
        b->setMessage(text);
        return b;
    }
    // The whole text shows: no scroll bar, the text box as tall as its text needs.
    static void expectWholeTextShows(dlgMessage* b)
    {
        QTextEdit* t = b->txtMessage;
        t->document()->setTextWidth(t->viewport()->width());
        EXPECT_LE(t->document()->size().height(), t->height());
        EXPECT_EQ(t->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        const QFontMetrics fm(t->font());
        const int lines = int(dlgMessage::WrapLines(t->toPlainText(), fm, t->width() - 4).size());
        EXPECT_LE(lines * fm.lineSpacing(), t->height());
        // The buttons sit below the text, inside the box.
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(button(b, i)->y(), t->geometry().bottom());
            EXPECT_LE(button(b, i)->geometry().bottom(), b->height());
        }
    }
    QSize design;
};

TEST_F(MessageBoxSize, OneWordKeepsTheDesignSize)
{
    dlgMessage* b = box(QStringLiteral("Done"));
    EXPECT_EQ(b->size(), design);
    EXPECT_GE(button(b, 0)->width(), 120);
    EXPECT_GE(button(b, 0)->height(), 56);
    expectWholeTextShows(b);
}

TEST_F(MessageBoxSize, ManyLinesMakeItTallerAndFewerLinesShrinkItBack)
{
    QStringList lines;
    for (int i = 1; i <= 9; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    dlgMessage* b = box(lines.join("\r\n"), 3);
    EXPECT_GT(b->height(), design.height());
    EXPECT_EQ(b->width(), design.width());
    expectWholeTextShows(b);
    const int tall = b->height();

    b->setMessage(lines.mid(0, 6).join("\r\n"));
    EXPECT_LT(b->height(), tall);
    EXPECT_GT(b->height(), design.height());
    expectWholeTextShows(b);

    b->setMessage(QStringLiteral("Short"));
    EXPECT_EQ(b->size(), design);
}

TEST_F(MessageBoxSize, ALongParagraphIsWrappedAndShownWhole)
{
    const QString text = QString("The module does not answer on the bus; check its address and its wiring. ").repeated(5);
    dlgMessage* b = box(text, 16);
    EXPECT_GT(b->height(), design.height());
    expectWholeTextShows(b);
}

TEST_F(MessageBoxSize, ATextTallerThanTheScreenScrollsAndKeepsTheButtonsOnScreen)
{
    QStringList lines;
    for (int i = 1; i <= 80; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    dlgMessage* b = box(lines.join("\r\n"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(b->height(), screen.height());
    EXPECT_EQ(b->txtMessage->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_LE(button(b, 0)->geometry().bottom(), b->height());
}

// ---- the look -------------------------------------------------------------------

TEST_F(MessageBox, RendersTheStylesForReview)
{
    struct Shot {
        const char* name;
        int style;
        QString text;
    } shots[] = {
        {"dlgMessage-critical", 16,
         ErrorHandling::ErrorText(QStringLiteral("wMain.imgNavig_Click"), 5,
                                  QStringLiteral("Invalid procedure call or argument"))},
        {"dlgMessage-question-no-default", 4 + 32 + 256, QStringLiteral("Save the configuration before leaving?")},
        {"dlgMessage-exclamation-ync", 3 + 48, QStringLiteral("The configuration was modified.\r\nSave it to a user file as well?")},
        {"dlgMessage-information", 64, QStringLiteral("The bus synchronisation is over.")},
        {"dlgMessage-plain-abort", 2, QStringLiteral("The printer does not answer.")},
        {"dlgMessage-long", 1 + 48,
         QString("The module does not answer on the bus; check its address, its power supply and its wiring. ")
                 .repeated(4)
             + "\r\n\r\nPress OK to go on or Cancel to stop."},
    };
    for (const Shot& s : shots) {
        auto* b = qobject_cast<dlgMessage*>(plat::Forms::CreateInstance(FormNames::dlgMessage));
        b->setButtons(s.style);
        b->setMessage(s.text);
        const QString path = testing_support::renderToPng(b, QString::fromLatin1(s.name));
        EXPECT_TRUE(QFile::exists(path));
        plat::Forms::Unload(b);
    }
    // The longest captions: German and French.
    for (int language : {1, 2}) {
        gLanguage = language;
        for (int style : {2, 3 + 32}) {
            auto* b = qobject_cast<dlgMessage*>(plat::Forms::CreateInstance(FormNames::dlgMessage));
            b->setButtons(style);
            b->setMessage(Config::GetText(10006) + " / " + Config::GetText(10007) + " / " + Config::GetText(10003));
            testing_support::renderToPng(b, QStringLiteral("dlgMessage-lang%1-style%2").arg(language).arg(style));
            for (int i = 0; i < 3; ++i) {
                QPushButton* c = button(b, i);
                if (!c->isHidden()) {
                    EXPECT_LE(c->fontMetrics().horizontalAdvance(c->text().remove('&')) + 24, c->width())
                        << c->text().toStdString();
                }
            }
            plat::Forms::Unload(b);
        }
    }
    gLanguage = 0;
}

} // namespace
