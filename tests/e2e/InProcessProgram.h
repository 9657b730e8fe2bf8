#pragma once
// The program run in this process, as its main() sets it up: every form
// registered, the event rules installed, captions from the database; what
// the engine's message box would say and every error report or critical box
// are noted in the lists given instead of shown. All is put back, and every
// form unloaded, when it goes.

#include "program/bus/BusForms.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"
#include "program/core/InputDialogs.h"
#include "program/core/StandInMain.h"
#include "program/core/dlgUserCodes.h"
#include "program/runtime/HistoProcs.h"
#include "program/runtime/RuntimeForms.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QStringList>

namespace e2e {

class InProcessProgram {
public:
    InProcessProgram(QStringList& messages, QStringList& reports)
        : m_savedRules(Dispatch::installed().rules), m_savedSeams(PollingSeams::installed())
    {
        CoreForms::registerForms();
        InputDialogs::registerForms();
        dlgUserCodes::registerForm();
        BusForms::registerForms();
        RuntimeForms::registerForms();
        StandInMain::registerForm();
        Dispatch::installed().rules = &HistoProcs::Rules();
        PollingSeams::installed().message = [&messages](const QString& text, int) {
            messages << text;
            return 1;
        };
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        plat::setErrorReporter([&reports](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        Global::setCriticalBox([&reports](const QString&, const QString& text) { reports << text; });
    }
    ~InProcessProgram()
    {
        plat::Forms::UnloadAllExcept({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        plat::SingleInstance::release();
        plat::setErrorReporter({});
        plat::setCaptionSource({});
        Global::setCriticalBox({});
        Dispatch::installed().rules = m_savedRules;
        PollingSeams::installed() = m_savedSeams;
        gTraceLog().CloseFile();
        ReplaceConfig(nullptr);
        gUserLevel = 0;
        gUserName.clear();
    }
    InProcessProgram(const InProcessProgram&) = delete;
    InProcessProgram& operator=(const InProcessProgram&) = delete;

private:
    Dispatch::EventRules* m_savedRules;
    PollingSeams m_savedSeams;
};

} // namespace e2e
