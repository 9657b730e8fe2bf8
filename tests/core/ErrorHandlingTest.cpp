// The error handler: the report's exact text for each shape of name, its box
// (critical, OK, modal), library errors with their own text, and the guard
// that keeps a failing message box from reporting itself without end.

#include "program/core/ErrorHandling.h"

#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Screen.h"
#include "platform/StopRequests.h"
#include "program/core/Components.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/GlobalMain.h"
#include "program/core/GlobalMessage.h"
#include "program/core/Globals.h"
#include "program/core/dlgMessage.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QCoreApplication>
#include <QTest>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <csignal>
#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* procName;
    int number;
    const char* description;
    const char* expected;
};

const TextCase kTexts[] = {
    {"Config.GetText", 5, "Invalid procedure call or argument",
     "Error Nr 5 : Invalid procedure call or argument\r\n\r\nModule : Config\r\nFunction : GetText"},
    {"wMain.imgNavig_Click", 5, "Invalid procedure call or argument",
     "Error Nr 5 : Invalid procedure call or argument\r\n\r\nModule : wMain\r\nObject : imgNavig\r\nEvent : Click"},
    {"wPolling.Form_Load", 53, "File not found",
     "Error Nr 53 : File not found\r\n\r\nModule : wPolling\r\nObject : Form\r\nEvent : Load"},
    {"Startup", 91, "Object variable or With block variable not set",
     "Error Nr 91 : Object variable or With block variable not set\r\n\r\nModule : Startup"},
    // Split at the first underscore after the point, even for a plain procedure.
    {"Config.Do_Midnight_Actions", 6, "Overflow",
     "Error Nr 6 : Overflow\r\n\r\nModule : Config\r\nObject : Do\r\nEvent : Midnight_Actions"},
    // An underscore before the point does not count.
    {"my_Module.Proc", 9, "Subscript out of range",
     "Error Nr 9 : Subscript out of range\r\n\r\nModule : my_Module\r\nFunction : Proc"},
    {"Global.Message.Inner", 13, "Type mismatch",
     "Error Nr 13 : Type mismatch\r\n\r\nModule : Global\r\nFunction : Message.Inner"},
};

TEST(ErrorText, ReadsAsTheFixedLayout)
{
    for (const TextCase& c : kTexts) {
        SCOPED_TRACE(c.procName);
        EXPECT_EQ(ErrorHandling::ErrorText(QString::fromLatin1(c.procName), c.number, QString::fromLatin1(c.description)),
                  QString::fromLatin1(c.expected));
    }
}

dlgMessage* lastBox()
{
    dlgMessage* found = nullptr;
    for (plat::Form* f : plat::Forms::All())
        if (f->objectName() == QLatin1String("dlgMessage") && !f->IsUnloaded())
            found = qobject_cast<dlgMessage*>(f);
    return found;
}

QString shown(dlgMessage* box)
{
    return box->txtMessage->toPlainText();
}

QString asShown(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// What a report box showed, recorded when it opened.
struct SeenBox {
    QString text;
    QStringList captions;
    int icon = -1;
    bool modal = false;
    int pointer = -1;
};

class ErrorReport : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        CoreForms::registerForms();
        ErrorHandling::Install();
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
    }

    // The message box's name taken by a factory that fails.
    static void failingMessageBox(const plat::Forms::Factory& factory)
    {
        plat::Forms::clearRegistrations();
        plat::Forms::registerForm(QStringLiteral("dlgMessage"), factory);
    }

    // Records every report box that opens and answers it with OK.
    void answerEveryBox()
    {
        m_watch.setInterval(5);
        QObject::connect(&m_watch, &QTimer::timeout, &m_context, [this] {
            dlgMessage* box = lastBox();
            if (!box || !box->isVisible() || box->property("seen").toBool())
                return;
            box->setProperty("seen", true);
            SeenBox s;
            s.text = shown(box);
            for (int i = 0; i < 3; ++i) {
                auto* b = box->findChild<QPushButton*>(QStringLiteral("cmdButton(%1)").arg(i));
                if (!b->isHidden())
                    s.captions << b->text();
            }
            for (int i = 0; i < 5; ++i)
                if (!box->findChild<QLabel*>(QStringLiteral("imgIcon(%1)").arg(i))->isHidden())
                    s.icon = i;
            s.modal = box->IsModal();
            s.pointer = plat::Screen::MousePointer();
            m_seen.push_back(s);
            box->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
        });
        m_watch.start();
    }

    QObject m_context;
    QTimer m_watch;
    std::vector<SeenBox> m_seen;
};

TEST_F(ErrorReport, AGuardedHandlerReportsInACriticalModalBoxWithTheDefaultPointer)
{
    answerEveryBox();
    plat::Screen::setMousePointer(plat::Screen::vbHourglass);
    bool after = false;
    const bool ok = plat::guard(QStringLiteral("wMain.imgNavig_Click"), [&] {
        plat::raise(plat::rt::InvalidProcedureCall);
        after = true;
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(after);
    ASSERT_EQ(m_seen.size(), 1u);
    const SeenBox& s = m_seen[0];
    EXPECT_EQ(s.text, asShown("Error Nr 5 : " + plat::rtErrorText(5)
                              + "\r\n\r\nModule : wMain\r\nObject : imgNavig\r\nEvent : Click"));
    EXPECT_EQ(s.captions, QStringList{"&" + Config::GetText(10004)});
    EXPECT_EQ(s.icon, 1);
    EXPECT_TRUE(s.modal);
    EXPECT_EQ(s.pointer, plat::Screen::vbDefault);
}

TEST_F(ErrorReport, AProcedureAndABareNameByNumber)
{
    answerEveryBox();
    ErrorHandling::ShowError(QStringLiteral("Config.GetText"), plat::rt::TypeMismatch);
    ErrorHandling::ShowError(QStringLiteral("Startup"), plat::rt::FileNotFound);
    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_EQ(m_seen[0].text, asShown("Error Nr 13 : Type mismatch\r\n\r\nModule : Config\r\nFunction : GetText"));
    EXPECT_EQ(m_seen[1].text, asShown("Error Nr 53 : File not found\r\n\r\nModule : Startup"));
}

TEST_F(ErrorReport, ALibraryErrorShowsItsOwnNumberAndText)
{
    answerEveryBox();
    QObject notAForm;
    // Learn what the library raises, then let the guard report it.
    plat::RtError raised(0, {});
    try {
        Components::WinPlace().CentrerEcran(&notAForm);
        FAIL() << "the library accepted a non-form";
    } catch (const plat::RtError& e) {
        raised = e;
    }
    EXPECT_EQ(raised.number(), 1024);
    EXPECT_EQ(raised.source(), QStringLiteral("VexLib22"));
    EXPECT_FALSE(raised.description().isEmpty());
    EXPECT_NE(raised.description(), plat::rtErrorText(1024));

    plat::guard(QStringLiteral("wMain.Form_Resize"),
                [&] { Components::WinPlace().CentrerEcran(&notAForm); });
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_seen[0].text, asShown("Error Nr 1024 : " + raised.description()
                                      + "\r\n\r\nModule : wMain\r\nObject : Form\r\nEvent : Resize"));
}

TEST_F(ErrorReport, ATimerErrorWhileAReportWaitsGetsABoxOfItsOwn)
{
    QStringList texts;
    auto answerTop = [&] {
        dlgMessage* box = lastBox();
        ASSERT_NE(box, nullptr);
        texts << shown(box);
        box->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
    };
    // While the first report waits, a timer fails: its report opens on top,
    // is answered, and the first one is still waiting after it.
    QTimer::singleShot(0, &m_context, [&] {
        const int before = plat::Forms::Count(QStringLiteral("dlgMessage"));
        QTimer::singleShot(0, &m_context, answerTop);
        plat::guard(QStringLiteral("wPolling.tmrPoll_Timer"), [] { plat::raise(plat::rt::Overflow); });
        EXPECT_EQ(before, 1);
        answerTop();
    });
    ErrorHandling::ShowError(QStringLiteral("wMain.cmdQuit_Click"), plat::rt::DivisionByZero);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("Error Nr 6 : ")) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].contains("Object : tmrPoll"));
    EXPECT_TRUE(texts[1].startsWith("Error Nr 11 : ")) << texts[1].toStdString();
}

TEST_F(ErrorReport, AFailingTextLookupInsideTheReportGoesToStderrNotToAnotherBox)
{
    answerEveryBox();
    // No database: every caption lookup of the box reports an error.
    ReplaceDatabase(nullptr);
    testing::internal::CaptureStderr();
    plat::guard(QStringLiteral("wMain.imgNavig_Click"), [] { plat::raise(plat::rt::InvalidProcedureCall); });
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(m_seen.size(), 1u) << err;
    EXPECT_TRUE(m_seen[0].text.startsWith("Error Nr 5 : "));
    EXPECT_NE(err.find("Module : Config\nFunction : GetText"), std::string::npos) << err;
}

TEST_F(ErrorReport, ABoxThatCannotBeShownReportsOnceAndAnswersCancel)
{
    answerEveryBox();
    int made = 0;
    failingMessageBox([&]() -> plat::Form* {
        ++made;
        plat::raise(plat::rt::OutOfMemory);
    });
    testing::internal::CaptureStderr();
    const int answer = Global::Message(QStringLiteral("Save?"), 4);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, 2);
    EXPECT_EQ(made, 2) << "the message and one report";
    EXPECT_TRUE(m_seen.empty());
    const QString text = QString::fromLocal8Bit(err.c_str());
    EXPECT_EQ(text.count("Error Nr 7 : "), 1) << err;
    EXPECT_TRUE(text.contains("Module : Global\nFunction : Message")) << err;
}

TEST_F(ErrorReport, AReportThatCannotBeShownStillReachesStderr)
{
    failingMessageBox([]() -> plat::Form* { plat::raise(plat::rt::OutOfMemory); });
    testing::internal::CaptureStderr();
    plat::guard(QStringLiteral("wMain.imgNavig_Click"), [] { plat::raise(plat::rt::InvalidProcedureCall); });
    const QString err = QString::fromLocal8Bit(testing::internal::GetCapturedStderr().c_str());
    EXPECT_TRUE(err.contains("Error Nr 5 : ")) << err.toStdString();
    EXPECT_TRUE(err.contains("Object : imgNavig")) << err.toStdString();
}

TEST_F(ErrorReport, WhereNobodyIsAskedTheBoxIsShownWithoutWaiting)
{
    // A box that waited would be answered here, too late.
    bool rescued = false;
    QTimer::singleShot(3000, &m_context, [&] {
        if (dlgMessage* box = lastBox(); box && box->IsModal()) {
            rescued = true;
            box->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
        }
    });
    {
        const ErrorHandling::Unattended unattended;
        plat::guard(QStringLiteral("wPolling.RunComm"), [] { plat::raise(plat::rt::DiskFull); });
    }
    EXPECT_FALSE(rescued) << "the report held its caller";
    dlgMessage* box = lastBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->IsModal());
    EXPECT_EQ(shown(box), asShown(ErrorHandling::ErrorText("wPolling.RunComm", plat::rt::DiskFull,
                                                         plat::rtError(plat::rt::DiskFull).description())));
    EXPECT_FALSE(box->imgIcon(1)->isHidden()) << "critical";
    // Still up until its OK.
    box->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(lastBox(), nullptr);
}

TEST_F(ErrorReport, TheClearingOfTheScreensClosesAReportThatWaitsAndLeavesOneShownWithoutWaiting)
{
    {
        const ErrorHandling::Unattended unattended;
        plat::guard(QStringLiteral("wPolling.RunComm"), [] { plat::raise(plat::rt::DiskFull); });
    }
    const QPointer<dlgMessage> notice = lastBox();
    ASSERT_NE(notice, nullptr);
    // An operator's action fails; while its report waits, an alarm clears the screens.
    QPointer<dlgMessage> waiting;
    QTimer::singleShot(0, &m_context, [&] {
        waiting = lastBox();
        plat::Forms::UnloadAllExcept({});
    });
    testing::internal::CaptureStderr();
    plat::guard(QStringLiteral("wSysConfSon.cmdPeriod_Click"), [] { plat::raise(plat::rt::InvalidProcedureCall); });
    const QString err = QString::fromLocal8Bit(testing::internal::GetCapturedStderr().c_str());
    ASSERT_TRUE(waiting);
    EXPECT_NE(waiting, notice);
    EXPECT_TRUE(waiting->IsUnloaded());
    EXPECT_TRUE(err.contains("Object : cmdPeriod")) << err.toStdString();
    EXPECT_FALSE(err.contains("RunComm")) << err.toStdString();
    ASSERT_TRUE(notice);
    EXPECT_FALSE(notice->IsUnloaded());
    EXPECT_TRUE(notice->isVisible());
}

TEST_F(ErrorReport, ABoxThatAsksSomeoneMakesWhatRunsWhileItWaitsAttended)
{
    const ErrorHandling::Unattended unattended;
    QString report;
    QTimer::singleShot(0, &m_context, [&] {
        QTimer::singleShot(50, &m_context, [&] {
            dlgMessage* box = lastBox();
            report = box->IsModal() ? "waits" : "does not wait";
            box->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
        });
        plat::guard(QStringLiteral("wMain.imgNavig_Click"), [] { plat::raise(plat::rt::Overflow); });
        QTimer::singleShot(50, &m_context, [&] {
            lastBox()->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
        });
    });
    Global::Message(QStringLiteral("Go on?"), MsgStyle::vbYesNo);
    EXPECT_EQ(report, "waits");
    EXPECT_TRUE(ErrorHandling::Unattended::active()) << "unattended again once the box has its answer";
}

TEST_F(ErrorReport, OnceTheProgramEndsNoBoxOpensAndTheReportGoesToStderr)
{
    Global::EndProgram();
    testing::internal::CaptureStderr();
    plat::guard(QStringLiteral("wPolling.Form_Unload"), [] { plat::raise(plat::rt::PathNotFound); });
    EXPECT_EQ(Global::Message(QStringLiteral("Save?"), MsgStyle::vbYesNo), MsgResult::vbCancel);
    // The same error again is told again.
    plat::guard(QStringLiteral("wPolling.Form_Unload"), [] { plat::raise(plat::rt::PathNotFound); });
    const QString err = QString::fromLocal8Bit(testing::internal::GetCapturedStderr().c_str());
    EXPECT_EQ(plat::Forms::Count(QStringLiteral("dlgMessage")), 0);
    EXPECT_EQ(err.count("Error Nr 76 : "), 2) << err.toStdString();
    EXPECT_TRUE(err.contains("Event : Unload")) << err.toStdString();
}

// A stop from outside that has come but waits for the message loop (the
// program is busy in a tick or a pass): an error met then, or a question,
// opens no box either.
TEST_F(ErrorReport, AStopWaitingForTheLoopOpensNoBoxEither)
{
    int stops = 0;
    plat::StopRequests::watch([&](plat::StopRequests::Cause) { ++stops; });
    // The handler goes with the test, whatever ends it.
    const struct Unwatch {
        ~Unwatch() { plat::StopRequests::watch({}); }
    } unwatch;
    ::raise(SIGTERM);
    ASSERT_TRUE(plat::StopRequests::pending());
    // A box that opened all the same is counted and answered, so that a
    // failure here does not wait for somebody.
    int boxes = 0;
    QTimer answerer;
    answerer.setInterval(20);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (plat::Forms::Count(QStringLiteral("dlgMessage")) > 0) {
            ++boxes;
            lastBox()->findChild<QPushButton*>(QStringLiteral("cmdButton(0)"))->click();
        }
    });
    answerer.start();
    testing::internal::CaptureStderr();
    plat::guard(QStringLiteral("wPolling.RunComm"), [] { plat::raise(plat::rt::PathNotFound); });
    const int answer = Global::Message(QStringLiteral("Save?"), MsgStyle::vbYesNo);
    const QString err = QString::fromLocal8Bit(testing::internal::GetCapturedStderr().c_str());
    answerer.stop();
    EXPECT_EQ(answer, MsgResult::vbCancel);
    EXPECT_EQ(boxes, 0);
    EXPECT_TRUE(err.contains("Error Nr 76 : ")) << err.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return stops == 1; }, 2000));
}

} // namespace
