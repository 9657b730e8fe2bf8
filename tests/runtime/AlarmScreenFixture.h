#pragma once
// The alarm screen as the program runs it: the real engine form on virtual
// time against the in-process simulator, the real event rules, the shipped
// texts and users (no user of level 1 unless a test adds one), the horn on
// a recording player, and the forms of the core and of the run time.

#include "program/bus/BusForms.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/CoreForms.h"
#include "program/core/FormNames.h"
#include "program/core/Global.h"
#include "program/core/Globals.h"
#include "program/core/InputDialogs.h"
#include "program/core/PanelClass.h"
#include "program/core/dlgMessage.h"
#include "program/core/dlgUserCodes.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/RuntimeForms.h"
#include "program/runtime/wRunAlarms.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/ProgramGlobals.h"
#include "tests/support/VirtualClock.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SoundPlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace alarmtest {

class AlarmScreenFixture : public testing_support::ProgramGlobals {
protected:
    static plat::DateTime baseTime() { return plat::DateTime::fromDate(QDate(2024, 5, 2), QTime(10, 0)); }

    void SetUp() override
    {
        CommFunctions::setClock(&clock);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        plat::setSoundPlayer(&player);
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg",
                                testing_support::programFolder() + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        // The shipped defaults: users of levels 3 and 2, every event option on.
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setBusSettings(QStringLiteral("COM1:19200,N,8,1"));
        gConfig->setInactivityTime(0);
        for (int bit = 0; bit < 5; ++bit) {
            gConfig->setOptionScreen(bit, true);
            gConfig->setOptionKlaxon(bit, true);
        }
        gTraceLog().OpenFile(testing_support::programFolder() + "/trace.log", VexLib22::eLogModeFileAppend);
        gUserLevel = 0;
        gUserName.clear();
        gPanelLetter = "M";
        gChannelLetter = "C";

        PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
        PollingSeams::installed().message = [this](const QString& text, int) {
            messages << text;
            return 1;
        };
        // The real rules, horn and display step; history, printer and mirrors recorded.
        Dispatch::Seams& dispatch = Dispatch::installed();
        dispatch.rules = &HistoProcs::Rules();
        dispatch.history = &doubles.history;
        dispatch.printer = &doubles.printer;
        dispatch.mirrors = &doubles.mirrors;
        // Each engine form opens a line of its own to the test's modules.
        wPolling::setPortFactory([this] { return std::make_unique<modsim::SimSerialControl>(sim, clock); });

        CoreForms::registerForms();
        InputDialogs::registerForms();
        dlgUserCodes::registerForm();
        BusForms::registerForms();
        RuntimeForms::registerForms();
        // The main window lives above the run time: an empty window stands for it.
        plat::Forms::registerForm(FormNames::wMain, [] { return new plat::Form(FormNames::wMain); });
    }

    void TearDown() override
    {
        // The horn remembers the level sounding: silent for the next test.
        Global::Alarme(-1);
        ProgramGlobals::TearDown();
    }

    plat::DateTime now() const { return baseTime().addSeconds(double(clock.nowMs()) / 1000.0); }

    // The engine form, loaded on first use, on the test's clock.
    wPolling* engine()
    {
        auto* w = qobject_cast<wPolling*>(plat::Forms::Get(FormNames::wPolling));
        w->engine().setNow([this] { return now(); });
        return w;
    }
    static wRunAlarms* screen() { return qobject_cast<wRunAlarms*>(plat::Forms::Find(FormNames::wRunAlarms)); }
    // The alarm screen shown, as the main menu shows it.
    wRunAlarms* showScreen()
    {
        engine();
        plat::Forms::Get(FormNames::wRunAlarms)->Show();
        settle();
        return screen();
    }

    // A module on the bus and in the configuration; its channels show their
    // alarms, sound the horn at priority 7 and have instructions of their own.
    void configure(int module, int model)
    {
        sim.addModule(module, model);
        PanelClass& p = *gConfig->Panel(qint16(module));
        p.setModel(model);
        p.setActive(true);
        for (int c = 1; c <= PanelClass::kChannels; ++c) {
            ChannelClass& ch = *p.Channel(qint16(c));
            ch.setScrAlm(true);
            ch.setKlaxon(true);
            ch.setAlmPrio(7);
        }
    }
    ChannelClass& channel(int module, int chnl) { return *gConfig->Panel(qint16(module))->Channel(qint16(chnl)); }

    // A user of level 1 ("1111"): from then on every action asks its level.
    static void addOperator()
    {
        const int16_t n = int16_t(gConfig->UserCount() + 1);
        gConfig->setUserCount(n);
        gConfig->setUserName(n, "Operator");
        gConfig->setUserPwd(n, "1111");
        gConfig->setUserLevel(n, 1);
    }
    // The next password dialog gets that code and OK, or is cancelled; the
    // flag tells whether a dialog came.
    static std::shared_ptr<bool> answerLogin(const QString& code, std::function<void()> then = {})
    {
        return testing_support::whenShown(FormNames::dlgUserCodes, [code, then](plat::Form* f) {
            auto* dlg = qobject_cast<dlgUserCodes*>(f);
            for (QChar c : code)
                dlg->cmdKey(c.unicode())->click();
            if (then)
                then();
            dlg->imgCmd(dlgUserCodes::CmdOk)->click();
        });
    }
    static std::shared_ptr<bool> cancelLogin()
    {
        return testing_support::whenShown(FormNames::dlgUserCodes, [](plat::Form* f) {
            qobject_cast<dlgUserCodes*>(f)->imgCmd(dlgUserCodes::CmdCancel)->click();
        });
    }
    // The next message box is answered with its first button; its text and
    // whether it shows the critical icon are noted.
    std::shared_ptr<bool> answerBox()
    {
        return testing_support::whenShown(QStringLiteral("dlgMessage"), [this](plat::Form* f) {
            auto* box = qobject_cast<dlgMessage*>(f);
            boxes << (box->imgIcon(1)->isVisibleTo(box) ? "critical|" : "plain|") + box->txtMessage->toPlainText();
            box->cmdButton(0)->click();
        });
    }
    // Every event the engine dispatches, in order.
    void recordEvents()
    {
        QObject::connect(engine(), &wPolling::BusEvent, engine(), [this](const EventClass& ev) { events.push_back(ev); });
    }

    // Polling started; the engine loaded on the system's clock, so every
    // module is made due on the test's.
    void startPolling()
    {
        engine()->setRun(true);
        // The writes of the first synchronisation are no test's.
        sim.clearWriteLog();
        for (int m = 1; m <= ConfigClass::kModules; ++m)
            gConfig->Panel(qint16(m))->setNextPoll(plat::DateTime());
        settle();
    }
    // Ticks of the polling timer, the clock moving as the timer's interval.
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            clock.advance(PollingEngine::PollIntervalMs);
            engine()->tmrPoll_Timer();
        }
    }

    // An event as the engine hands it on, numbered and stamped.
    void send(int module, int chnl, int param, int aff)
    {
        EventClass ev;
        ev.setPanel(qint16(module));
        ev.setChnl(qint16(chnl));
        ev.setParam(qint16(param));
        ev.setAff(qint16(aff));
        engine()->SendEvent(ev);
    }

    // The rows of the screen: row data, top first.
    std::vector<qint32> rowIds() const
    {
        std::vector<qint32> ids;
        for (int r = 0; r < screen()->AlarmRowCount(); ++r)
            ids.push_back(screen()->AlarmRowData(r));
        return ids;
    }
    static qint32 id(int module, int chnl, int param, int aff)
    {
        return qint32(quint32(module) << 24 | quint32(chnl) << 16 | quint32(param) << 8 | quint32(aff));
    }
    // Names of the loaded forms.
    static QStringList loaded()
    {
        QStringList names;
        for (plat::Form* f : plat::Forms::All())
            names << f->objectName();
        return names;
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testing_support::VirtualClock clock{0};
    modsim::Simulator sim{clock};
    testing_support::FakeSoundPlayer player;
    testing_support::RecordingSeams doubles;
    QStringList reports;
    QStringList messages;
    QStringList boxes;
    std::vector<EventClass> events;
};

} // namespace alarmtest
