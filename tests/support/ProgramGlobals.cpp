#include "tests/support/ProgramGlobals.h"

#include "VexLib22/_LogFileClass.h"
#include "platform/Captions.h"
#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Screen.h"
#include "platform/SingleInstance.h"
#include "platform/SoundPlayer.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/wPolling.h"
#include "program/core/ConfigClass.h"
#include "program/core/EnginePrinter.h"
#include "program/core/GlobalMain.h"
#include "program/core/Globals.h"

#include <QCoreApplication>

namespace testing_support {

ProgramGlobals::ProgramGlobals()
    : m_reporter(plat::errorReporter()), m_dispatchSeams(Dispatch::installed()),
      m_pollingSeams(PollingSeams::installed())
{
}

void ProgramGlobals::TearDown()
{
    for (plat::Form* f : plat::Forms::All())
        plat::Forms::Unload(f);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ProgramGlobals::~ProgramGlobals()
{
    plat::SingleInstance::release();
    plat::Screen::setMousePointer(plat::Screen::vbDefault);
    gTraceLog().CloseFile();
    ReplaceConfig(nullptr);
    ReplaceDatabase(nullptr);
    gLanguage = 0;
    gNoResize = true;
    gUserLevel = 0;
    gUserName.clear();
    gPanelLetter.clear();
    gChannelLetter.clear();
    gMirrorTypeLetters.clear();
    gNoChannelText.clear();
    plat::setCaptionSource({});
    Global::setCriticalBox({});
    Global::ResetRun();
    plat::setSoundPlayer(nullptr);
    CommFunctions::setClock(nullptr);
    wPolling::setPortFactory({});
    EnginePrinter::setFactory({});
    Dispatch::installed() = m_dispatchSeams;
    PollingSeams::installed() = m_pollingSeams;
    plat::setErrorReporter(m_reporter);
}

} // namespace testing_support
