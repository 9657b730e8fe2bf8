#include "program/core/Globals.h"

#include "VexLib22/VexLib22.h"
#include "VexLib22/_LogFileClass.h"
#include "program/core/Components.h"

plat::Database* gDatabase = nullptr;
int gLanguage = 0;
bool gNoResize = true;
ConfigClass* gConfig = nullptr;
int gUserLevel = 0;
QString gUserName;
QString gPanelLetter;
QString gChannelLetter;
QString gMirrorTypeLetters;
QString gNoChannelText;

VexLib22::_LogFileClass& gTraceLog()
{
    static plat::ComPtr<VexLib22::_LogFileClass> log =
        Components::CreateObject<VexLib22::_LogFileClass>(VexLib22::CLSID_LogFileClass, VexLib22::IID_LogFileClass);
    return *log;
}
