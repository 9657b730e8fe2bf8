// PLX2: the run-time and configuration program of the operator panel.

#include "platform/Forms.h"
#include "platform/SingleInstance.h"
#include "platform/StopRequests.h"
#include "platform/Theme.h"
#include "program/App.h"
#include "program/core/GlobalMain.h"

#include <QApplication>

namespace {

plat::UnloadMode causeOf(plat::StopRequests::Cause cause)
{
    switch (cause) {
    case plat::StopRequests::Cause::Terminate: return plat::vbAppTaskManager;
    case plat::StopRequests::Cause::SessionEnd: return plat::vbAppWindows;
    case plat::StopRequests::Cause::Interrupt: break;
    }
    return plat::vbFormCode;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    plat::Theme::apply(app);
    // The hidden engine form outlives every window: the run ends by the quit
    // of the main window, not when the last window closes.
    app.setQuitOnLastWindowClosed(false);
    App::assemble();
    // A stop from outside ends the run as the quit button does, from the
    // message loop.
    plat::StopRequests::watch([](plat::StopRequests::Cause cause) { Global::RequestStop(causeOf(cause)); });

    Global::Main();
    // Start-up that ends with no form loaded (a second instance, no
    // database), or that a stop request ended, ends the program.
    int rc = 0;
    if (!plat::Forms::All().empty() && !Global::Ending())
        rc = app.exec();
    plat::Forms::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    plat::SingleInstance::release();
    return rc;
}
