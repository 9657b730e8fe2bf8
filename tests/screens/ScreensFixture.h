#pragma once
// The ground of the screen tests: a program folder with the built
// configuration database, the program's forms registered as the program
// registers them, the real engine form on a simulated bus line (no module,
// nothing polled unless a test starts it), the configuration of the
// database's defaults, and recorders in place of the error report, the plain
// critical box, the engine's messages and the file dialog.

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Help.h"
#include "platform/Screen.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"
#include "program/runtime/HistoProcs.h"
#include "program/screens/system/wMain.h"
#include "tests/harness/TestSupport.h"
#include "tests/screens/FileAnswers.h"
#include "program/App.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"
#include "program/core/FormNames.h"

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

class ScreensFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder() + "/PLX2.cfg"));
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QStringLiteral("%1 %2").arg(name).arg(e.number());
        });
        Global::setCriticalBox([this](const QString&, const QString& text) { criticalBoxes << text; });
        m_savedDispatch = Dispatch::installed();
        m_savedSeams = PollingSeams::installed();
        App::registerForms();
        App::installSeams();
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
        plat::Forms::UnloadAllExcept({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        wMain::setFileDialog({});
        wPolling::setPortFactory({});
        plat::Help::setOpener({});
        plat::Help::setHelpFile(QString());
        Dispatch::installed() = m_savedDispatch;
        PollingSeams::installed() = m_savedSeams;
        plat::setErrorReporter({});
        plat::setCaptionSource({});
        Global::setCriticalBox({});
        plat::Screen::setMousePointer(plat::Screen::vbDefault);
        gTraceLog().CloseFile();
        ReplaceConfig(nullptr);
        gLanguage = 0;
        gUserLevel = 0;
        gUserName.clear();
    }

    static QString folder() { return testing_support::programFolder(); }
    static QString workingFile() { return folder() + "/PLX2.dat"; }
    static QString ini(const char* section, const char* key) { return VEXfonctions::GetIni(section, key, "<none>"); }

    // The main window, loaded and shown as start-up shows it.
    static wMain* showMain()
    {
        auto* main = qobject_cast<wMain*>(plat::Forms::Get(wMain::FormName));
        main->Show();
        return main;
    }
    static wMain* mainWindow() { return qobject_cast<wMain*>(plat::Forms::Find(wMain::FormName)); }
    static wPolling* engine() { return qobject_cast<wPolling*>(plat::Forms::Find(FormNames::wPolling)); }
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    static QStringList visibleForms()
    {
        QStringList names;
        for (plat::Form* f : plat::Forms::All())
            if (f->isVisible())
                names << f->Name();
        return names;
    }

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
    modsim::Simulator m_bus;
    Dispatch::Seams m_savedDispatch;
    PollingSeams m_savedSeams;
};
