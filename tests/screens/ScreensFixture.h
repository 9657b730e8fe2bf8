#pragma once
// The ground of the screen tests: a program folder with the built
// configuration database, the program's forms registered by the program's
// assembly, the real engine form on a simulated bus line (no module,
// nothing polled unless a test starts it) with the real event rules, the
// configuration of the database's defaults, and recorders in place of the
// error report, the plain critical box, the engine's messages, the rest of
// the dispatch and the file dialog.

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Help.h"
#include "platform/Screen.h"
#include "program/App.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/HistoProcs.h"
#include "program/screens/system/wMain.h"
#include "tests/harness/TestSupport.h"
#include "tests/screens/FileAnswers.h"
#include "tests/support/DispatchDoubles.h"
#include "tests/support/ProgramGlobals.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <gtest/gtest.h>

#include <deque>
#include <memory>

// A form that stands for a screen of the menu not built here: it only records
// that it was shown, and how.
class ProbeScreen : public plat::Form {
public:
    explicit ProbeScreen(const QString& name) : plat::Form(name) { resize(200, 100); }
    // Registers a probe under the name, unless a real screen has it.
    static void registerUnder(const QString& name)
    {
        if (!plat::Forms::isRegistered(name))
            plat::Forms::registerForm(name, [name] { return new ProbeScreen(name); });
    }
};

class ScreensFixture : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder() + "/PLX2.cfg"));
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QStringLiteral("%1 %2").arg(name).arg(e.number());
        });
        Global::setCriticalBox([this](const QString&, const QString& text) { criticalBoxes << text; });
        App::registerForms();
        // The program's seams (the raw printers among them), then recording
        // dispatch steps in place of its own.
        App::installSeams();
        m_dispatch.install();
        Dispatch::installed().rules = &HistoProcs::Rules();
        PollingSeams::installed().message = [this](const QString& text, int) {
            engineMessages << text;
            return 1;
        };
        wPolling::setPortFactory([this] { return std::make_unique<modsim::SimSerialControl>(m_bus, plat::systemClock()); });
        wMain::setFileDialog([this](QWidget*, const QString& filter, bool save, const QString& name, const QString& dir) {
            dialogs.push_back({filter, save, name, dir});
            return takeFileAnswer(fileAnswers);
        });
        plat::Help::setOpener([this](const QString& path) { helpOpened << path; });
        ASSERT_TRUE(Config::OpenConfigBase());
        gLanguage = 0;
        gUserLevel = 0;
        gUserName.clear();
        ReplaceConfig(std::make_unique<ConfigClass>());
        gTraceLog().OpenFile(folder() + "/trace.log", VexLib22::eLogModeFileAppend);
    }

    void TearDown() override
    {
        wMain::setFileDialog({});
        plat::Help::setOpener({});
        plat::Help::setHelpFile(QString());
        ProgramGlobals::TearDown();
    }

    static QString folder() { return testing_support::programFolder(); }
    static QString workingFile() { return folder() + "/PLX2.dat"; }
    static QString ini(const char* section, const char* key) { return VEXfonctions::GetIni(section, key, "<none>"); }

    // The main window, loaded and shown as start-up shows it.
    static wMain* showMain()
    {
        auto* main = qobject_cast<wMain*>(plat::Forms::Get(FormNames::wMain));
        main->Show();
        return main;
    }
    static wMain* mainWindow() { return qobject_cast<wMain*>(plat::Forms::Find(FormNames::wMain)); }
    static wPolling* engine() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    static QStringList visibleForms() { return testing_support::visibleForms(); }

    struct DialogCall {
        QString filter;
        bool save;
        QString name;
        QString folder;
    };

    QStringList reports;
    QStringList criticalBoxes;
    QStringList engineMessages;
    QStringList helpOpened;
    std::vector<DialogCall> dialogs;
    std::deque<QString> fileAnswers;

private:
    testing_support::RecordingSeams m_dispatch;
    modsim::Simulator m_bus;
};
