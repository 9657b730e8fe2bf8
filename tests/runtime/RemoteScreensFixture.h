#pragma once
// The remote-control screens on the real engine form, polling the in-process
// simulator on virtual time: modules of model 4 and 5 whose channels have
// texts, and helpers to reach the overview and the command screen.

#include "program/runtime/wTeleCmde.h"
#include "program/runtime/wTeleCmdes.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include "platform/Screen.h"
#include "platform/Shape.h"

namespace remotetest {

class RemoteScreensFixture : public alarmtest::AlarmScreenFixture {
protected:
    // A module of model 4 or 5 on the bus; its outputs raise no alarm (an
    // alarm shown brings the alarm screen and closes the others).
    void remoteModule(int module, int model)
    {
        configure(module, model);
        for (int c = 1; c <= 24; ++c)
            channel(module, c).setScrAlm(false);
        gConfig->Panel(qint16(module))->setTitle(QString("Outputs %1").arg(module));
    }
    // count such modules from address first on, of models 4 and 5 in turn.
    void remoteModules(int first, int count)
    {
        for (int m = first; m < first + count; ++m)
            remoteModule(m, m % 2 ? 4 : 5);
    }
    // Polling started and the modules found (their appearance is an alarm
    // that brings the alarm screen and closes the other screens).
    void pollingRuns()
    {
        startPolling();
        ticks(4);
        settle();
    }
    static wTeleCmdes* overview() { return qobject_cast<wTeleCmdes*>(plat::Forms::Find(FormNames::wTeleCmdes)); }
    static wTeleCmde* commandScreen() { return qobject_cast<wTeleCmde*>(plat::Forms::Find(FormNames::wTeleCmde)); }
    wTeleCmdes* showOverview()
    {
        engine();
        plat::Forms::Get(FormNames::wTeleCmdes)->Show();
        settle();
        return overview();
    }
    // The command screen of a module, as the overview builds it, shown modeless.
    wTeleCmde* showCommandScreen(int module)
    {
        engine();
        plat::Forms::Unload(plat::Forms::Find(FormNames::wTeleCmde));
        settle();
        auto* w = qobject_cast<wTeleCmde*>(plat::Forms::Get(FormNames::wTeleCmde));
        w->setPanel(gConfig->Panel(qint16(module)));
        w->tmrPoll->setEnabled(true);
        w->Show();
        settle();
        return w;
    }
    // The modules of the overview's buttons, in order.
    static QStringList buttons()
    {
        QStringList numbers;
        for (const auto& [k, b] : overview()->Telecmde)
            if (k > 0 && b->isVisibleTo(overview()))
                numbers << b->lblNumPan->text();
        return numbers;
    }
    static bool shown(const QWidget* control) { return control->isVisibleTo(control->window()); }
};

} // namespace remotetest
