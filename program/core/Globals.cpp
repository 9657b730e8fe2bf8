#include "program/core/Globals.h"

#include "VexLib22/VexLib22.h"
#include "VexLib22/_LogFileClass.h"
#include "platform/Database.h"
#include "program/core/Components.h"
#include "program/core/ConfigClass.h"
#include "program/core/DailyTraceLog.h"

namespace {
// Read everywhere through gDatabase and gConfig, written only below.
plat::Database* g_database = nullptr;
std::unique_ptr<plat::Database> g_ownedDatabase;
ConfigClass* g_config = nullptr;
std::shared_ptr<ConfigClass> g_ownedConfig;
} // namespace

plat::Database* const& gDatabase = g_database;
ConfigClass* const& gConfig = g_config;
int gLanguage = 0;
bool gNoResize = true;

void ReplaceConfig(std::unique_ptr<ConfigClass> config)
{
    std::shared_ptr<ConfigClass> next(std::move(config));
    g_config = next.get();
    g_ownedConfig.swap(next);
}

std::shared_ptr<ConfigClass> HoldConfig()
{
    return g_ownedConfig;
}

void ReplaceDatabase(std::unique_ptr<plat::Database> database)
{
    // The old one is closed first: the same file may be opened again.
    g_database = nullptr;
    g_ownedDatabase = std::move(database);
    g_database = g_ownedDatabase.get();
}
int gUserLevel = 0;
QString gUserName;
QString gPanelLetter;
QString gChannelLetter;
QString gMirrorTypeLetters;
QString gNoChannelText;

VexLib22::_LogFileClass& gTraceLog()
{
    static plat::ComPtr<VexLib22::_LogFileClass> log = plat::ComPtr<VexLib22::_LogFileClass>::attach(new DailyTraceLog(
        Components::CreateObject<VexLib22::_LogFileClass>(VexLib22::CLSID_LogFileClass, VexLib22::IID_LogFileClass)));
    return *log;
}
