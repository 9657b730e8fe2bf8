#pragma once
// A program folder with the built configuration database, the core's forms
// registered, plain forms under the main window's and the alarm screen's
// names, a recording engine form under the engine's name, and recorders in
// place of the error report and the plain message box.

#include "VexLib22/_LogFileClass.h"
#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Screen.h"
#include "platform/SingleInstance.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/CoreForms.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/PollingLink.h"
#include "program/core/dlgUserCodes.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"
#include "program/core/FormNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <vector>

// Stands where the engine form stands: keeps the station event codes it is
// sent, in order.
class RecordingEngine : public plat::Form, public PollingLink {
public:
    RecordingEngine() : plat::Form(FormNames::wPolling) {}
    void SendStationEvent(qint16 aff) override { sent.push_back(aff); }
    bool Run() const override { return run; }
    void setRun(bool on) override { run = on; }
    bool PortOpen() const override { return portOpen; }
    void RunWhenPortOpens() override { awaitsPort = true; }

    // What every new engine form starts with.
    static inline bool nextPortOpen = false;
    std::vector<qint16> sent;
    bool run = false;
    bool awaitsPort = false;
    bool portOpen = nextPortOpen;
};

struct Report {
    QString name;
    int number;
};

class CoreProgramFixture : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        RecordingEngine::nextPortOpen = false;
        CoreForms::registerForms();
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        dlgUserCodes::registerForm();
        for (const QString& name : {FormNames::wMain, FormNames::wRunAlarms})
            plat::Forms::registerForm(name, [name] { return new plat::Form(name); });
        plat::Forms::registerForm(FormNames::wPolling, [] { return new RecordingEngine; });
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) { reports.push_back({name, e.number()}); });
        Global::setCriticalBox([this](const QString& title, const QString& text) { boxes << title + "|" + text; });
        ASSERT_TRUE(QFile::copy(testing_support::binFolder() + "/PLX2.cfg", folder() + "/PLX2.cfg"));
    }

    static QString folder() { return testing_support::programFolder(); }

    static RecordingEngine* engine()
    {
        return dynamic_cast<RecordingEngine*>(plat::Forms::Find(FormNames::wPolling));
    }

    // Names of the loaded forms, and of the visible ones, in load order.
    static QStringList loadedForms(bool visibleOnly = false)
    {
        QStringList names;
        for (plat::Form* f : plat::Forms::All())
            if (!visibleOnly || f->isVisible())
                names << f->objectName();
        return names;
    }

    std::vector<Report> reports;
    QStringList boxes;
};
