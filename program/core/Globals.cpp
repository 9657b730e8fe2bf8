#include "program/core/Globals.h"

#include "VexLib22/VexLib22.h"
#include "VexLib22/_LogFileClass.h"
#include "program/core/Components.h"
#include "program/core/ConfigClass.h"

plat::Database* gDatabase = nullptr;
int gLanguage = 0;
bool gNoResize = true;
ConfigClass* gConfig = nullptr;

namespace {
std::shared_ptr<ConfigClass> g_ownedConfig;
}

void ReplaceConfig(std::unique_ptr<ConfigClass> config)
{
    std::shared_ptr<ConfigClass> next(std::move(config));
    gConfig = next.get();
    g_ownedConfig.swap(next);
}

std::shared_ptr<ConfigClass> HoldConfig()
{
    if (g_ownedConfig && g_ownedConfig.get() == gConfig)
        return g_ownedConfig;
    // Set directly (a test's own configuration): nobody owns it here.
    return std::shared_ptr<ConfigClass>(std::shared_ptr<ConfigClass>(), gConfig);
}
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
