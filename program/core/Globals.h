#pragma once
// The program's module variables, shared by every subsystem.

#include <QString>

#include <memory>

namespace plat {
class Database;
}
namespace VexLib22 {
struct _LogFileClass;
}
class ConfigClass;

// The open configuration database, or nullptr; replaced only by ReplaceDatabase.
extern plat::Database* const& gDatabase;
// The configuration in use; replaced only by ReplaceConfig.
extern ConfigClass* const& gConfig;
extern int gLanguage;                       // index of the current language column
extern bool gNoResize;                      // screens are not rescaled
extern int gUserLevel;                      // 0 logged out, 1..3 users, 4 service
extern QString gUserName;                   // "" when logged out, "SERVICE" for the service user
extern QString gPanelLetter;                // module prefix letter of event lines
extern QString gChannelLetter;              // channel prefix letter of event lines
extern QString gMirrorTypeLetters;          // mirror type letters
extern QString gNoChannelText;              // shown where no channel applies

// The daily trace log, created on first use; lives until the process ends.
VexLib22::_LogFileClass& gTraceLog();

// Makes config the configuration in use (gConfig). The previous one lives on
// while anything still holds it through HoldConfig (a polling tick in the
// middle of its yield), so a configuration opened from a box shown during a
// tick never leaves the tick with dangling references.
void ReplaceConfig(std::unique_ptr<ConfigClass> config);
// The configuration in use, held for as long as the caller keeps the pointer.
std::shared_ptr<ConfigClass> HoldConfig();

// Makes database the open configuration database (gDatabase), closing the
// previous one.
void ReplaceDatabase(std::unique_ptr<plat::Database> database);
