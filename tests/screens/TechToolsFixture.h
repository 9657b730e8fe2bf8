#pragma once
// The technician's bus tools (the bus scan and the out-of-service screen) as
// the program runs them: its forms assembled by the program, the real engine
// form on virtual time against the in-process simulator (9600 baud, nothing
// polled unless a test starts it), the real trace log, recording doubles in
// the dispatch's seams, the shipped texts, beeps and error reports counted,
// and the modal boxes answered by the test.

#include "VexLib22/_LogFileClass.h"
#include "platform/Beep.h"
#include "platform/Captions.h"
#include "tests/support/VirtualClock.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "program/App.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/LanguageGlobals.h"
#include "program/core/PanelClass.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/ProgramGlobals.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

class TechToolsFixture : public testing_support::ProgramGlobals {
protected:
    static plat::DateTime baseTime() { return plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0)); }

    void SetUp() override
    {
        sim.setLineSpeed(9600);
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg",
                                testing_support::programFolder() + "/PLX2.cfg"));
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        plat::setBeeper([this] { ++beeps; });
        App::registerForms();
        App::installSeams();
        doubles.install();
        // After the program's seams, which put the bus on the real clock.
        CommFunctions::setClock(&clock);
        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        // The engine's own questions (the first start's synchronisation) are confirmed.
        PollingSeams::installed().message = [](const QString&, int) { return 1; };
        wPolling::setPortFactory([this] {
            auto p = std::make_unique<modsim::SimSerialControl>(sim, clock);
            p->setOpenFails(openFails);
            port = p.get();
            return p;
        });
        ASSERT_TRUE(Config::OpenConfigBase());
        gLanguage = 0;
        LanguageGlobals::SetLetters();
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setBusSettings(QStringLiteral("COM1:9600,N,8,1"));
        gConfig->setInactivityTime(0);
        gConfig->setModified(false);
        gTraceLog().OpenFile(traceFile(), VexLib22::eLogModeFileAppend);
        answers = std::make_unique<testing_support::ModalAnswers>();
    }

    void TearDown() override
    {
        EXPECT_TRUE(answers->allAnswered()) << "never came: " << answers->pending().join(", ").toStdString();
        EXPECT_TRUE(answers->unexpected.isEmpty()) << answers->unexpected.join("; ").toStdString();
        answers.reset();
        plat::setBeeper({});
        ProgramGlobals::TearDown();
    }

    static QString traceFile() { return testing_support::programFolder() + "/trace.log"; }
    static QString workingFile() { return testing_support::programFolder() + "/PLX2.dat"; }
    plat::DateTime now() const { return baseTime().addSeconds(double(clock.nowMs()) / 1000.0); }

    // The engine form, loaded on first use, on the test's clock.
    wPolling* engine()
    {
        auto* w = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
        w->engine().setNow([this] { return now(); });
        return w;
    }

    // A module in the configuration, polled, and on the bus unless said otherwise.
    PanelClass& configure(int module, int model, bool onBus = true)
    {
        if (onBus)
            sim.addModule(module, model);
        PanelClass& p = *gConfig->Panel(qint16(module));
        p.setModel(model);
        p.setActive(true);
        p.setTitle(QStringLiteral("Hall %1").arg(module));
        p.setModified(false);
        return p;
    }

    // A screen opened as the technician screen opens it, but modeless: the
    // test drives it from outside.
    template <class F>
    F* open(const QString& name)
    {
        engine();
        auto* f = qobject_cast<F*>(plat::Forms::Get(name));
        f->Show();
        return f;
    }

    // One engine tick, as its timer gives it when due.
    void tick()
    {
        wPolling* w = engine();
        if (!w->tmrPoll->Enabled())
            return;
        clock.advance(w->tmrPoll->Interval());
        w->tmrPoll_Timer();
    }

    // Lets the message loop run until done() holds; false after the deadline.
    static bool runUntil(const std::function<bool()>& done, int deadlineMs = 10000,
                         const std::function<void()>& between = {})
    {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > deadlineMs)
                return false;
            if (between)
                between();
            QCoreApplication::processEvents();
        }
        return true;
    }

    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString() << " is not shown";
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // The answer for the next message box (1 OK, 2 Cancel, 6 Yes, 7 No).
    void answer(int result) { answers->message(result); }

    testing_support::VirtualClock clock{1000};
    modsim::Simulator sim{clock};
    // The engine form's line, once it is made.
    modsim::SimSerialControl* port = nullptr;
    bool openFails = false;
    testing_support::RecordingSeams doubles;
    std::unique_ptr<testing_support::ModalAnswers> answers;
    QStringList reports;
    int beeps = 0;
};
