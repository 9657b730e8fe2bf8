// PLX2: the run-time and configuration program of the operator panel.

#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/SingleInstance.h"
#include "platform/Theme.h"
#include "program/bus/BusForms.h"
#include "program/bus/DispatchSeams.h"
#include "program/core/Config.h"
#include "program/core/CoreForms.h"
#include "program/core/ErrorHandling.h"
#include "program/core/GlobalMain.h"
#include "program/core/InputDialogs.h"
#include "program/core/StandInMain.h"
#include "program/core/StandInRunAlarms.h"
#include "program/core/dlgUserCodes.h"
#include "program/runtime/HistoProcs.h"
#include "program/screens/bus/BusScreens.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void registerForms()
{
    CoreForms::registerForms();
    InputDialogs::registerForms();
    dlgUserCodes::registerForm();
    BusForms::registerForms();
    BusScreens::registerForms();
    // Stand-ins until the alarm screen and the main window are built.
    StandInRunAlarms::registerForm();
    StandInMain::registerForm();
}

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// A stop request from the system (SIGTERM, or Ctrl+C in a terminal) ends the
// run as the quit button does, from the message loop.
void endOnStopSignals(QApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        Global::EndProgram();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    plat::Theme::apply(app);
    // The hidden engine form outlives every window: the run ends by the quit
    // of the main window, not when the last window closes.
    app.setQuitOnLastWindowClosed(false);
    ErrorHandling::Install();
    // Captions from the controls' tags come from the database's texts.
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
    registerForms();
    // The engine takes its event rules when it is created.
    Dispatch::installed().rules = &HistoProcs::Rules();
    endOnStopSignals(app);

    Global::Main();
    // Start-up that ends with no form loaded (a second instance, no
    // database), or that a stop request ended, ends the program.
    int rc = 0;
    if (!plat::Forms::All().empty() && !Global::Ending())
        rc = app.exec();
    plat::Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    plat::SingleInstance::release();
    return rc;
}
