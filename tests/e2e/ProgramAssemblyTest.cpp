// The program's one assembly: which forms the shipped program registers, that
// a name is taken once, and that no seam a lower layer calls upwards is left
// empty.

#include "platform/Forms.h"
#include "platform/RtError.h"
#include "program/App.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/Miroirs.h"
#include "program/bus/PollingSeams.h"
#include "program/core/EnginePrinter.h"
#include "program/core/FormNames.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

namespace {

using ProgramAssembly = testing_support::ProgramGlobals;

TEST_F(ProgramAssembly, RegistersEveryFormOfTheShippedProgram)
{
    App::registerForms();
    EXPECT_EQ(plat::Forms::registeredNames(),
              QStringList({
                  "dlgBusCopy",
                  "dlgConsigne",
                  "dlgDefPwds",
                  "dlgEditMirror",
                  "dlgKeyboard",
                  "dlgListInput",
                  "dlgMenuParams",
                  "dlgMenuSystem",
                  "dlgMessage",
                  "dlgParamPrinter",
                  "dlgSysTime",
                  "dlgUserCodes",
                  "wBusMiroirs",
                  "wBusMirrorOne",
                  "wBusModules",
                  "wBusPanneau",
                  "wHistoric",
                  "wMain",
                  "wParamBiblio",
                  "wParamConsignes",
                  "wParamEcran",
                  "wParamPrinter",
                  "wPolling",
                  "wRunAlarms",
                  "wSysComm",
                  "wSysConfSon",
                  "wTechConsignations",
                  "wTechEtatModule",
                  "wTechFindPanels",
                  "wTechnician",
                  "wTeleCmde",
                  "wTeleCmdes",
              }));
}

TEST_F(ProgramAssembly, AFormUnderANameTheAssemblyTookIsRefusedWithItsName)
{
    App::registerForms();
    try {
        plat::Forms::registerForm(FormNames::wMain, [] { return new plat::Form(FormNames::wMain); });
        FAIL() << "a second wMain was registered";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::KeyAlreadyAssociated);
        EXPECT_TRUE(e.description().contains("wMain")) << e.description().toStdString();
    }
    EXPECT_THROW(App::registerForms(), plat::RtError) << "the assembly runs once";
}

TEST_F(ProgramAssembly, LeavesNoSeamEmpty)
{
    App::installSeams();
    const Dispatch::Seams& dispatch = Dispatch::installed();
    EXPECT_NE(dispatch.rules, nullptr);
    EXPECT_NE(dispatch.horn, nullptr);
    EXPECT_NE(dispatch.alarmScreen, nullptr);
    EXPECT_NE(dispatch.history, nullptr);
    EXPECT_NE(dispatch.printer, nullptr);
    EXPECT_NE(dispatch.mirrors, nullptr);
    EXPECT_NE(EnginePrinter::New(), nullptr) << "the engine's printer and the port test's";
    EXPECT_NE(dynamic_cast<Miroirs*>(dispatch.mirrors), nullptr) << "the real mirrors";
    EXPECT_TRUE(PollingSeams::installed().doMidnightActions);
}

} // namespace
