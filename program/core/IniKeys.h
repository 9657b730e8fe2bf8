#pragma once
// Sections, keys and reader defaults of the program's INI file
// (<program folder>/PLX2.ini).

namespace IniKeys {

// ---- Sections ---------------------------------------------------------------
inline constexpr char General[] = "General";
inline constexpr char Files[] = "Files";
inline constexpr char LastAlarms[] = "LastAlarms";           // keys "1".."n": rows of the alarm screen
inline constexpr char PendingCommands[] = "PendingCommands"; // keys "1".."n": queued bus commands

// ---- "General" --------------------------------------------------------------
inline constexpr char Language[] = "Language";     // index k of the language column 3 + k
inline constexpr char LanguageDefault[] = "0";
inline constexpr char NoResize[] = "NoResize";     // "1": screens are not rescaled
inline constexpr char NoResizeDefault[] = "1";
inline constexpr char LastEvent[] = "LastEvent";   // the last event number given
inline constexpr char LastEventDefault[] = "0";
inline constexpr char TechPanel[] = "TechPanel";   // module last chosen on the technician screen
inline constexpr char TechPanelDefault[] = "0";
inline constexpr char PanelPage[] = "PanelPage";   // first module of the bus overview page
inline constexpr char PanelPageDefault[] = "1";

// ---- "Files" ----------------------------------------------------------------
inline constexpr char LastUsed[] = "LastUsed";                     // user configuration file, or text 50010
inline constexpr char LastUsedDefault[] = "";
inline constexpr char LastConfigModified[] = "LastConfigModified"; // "0"/"1"; missing means modified
inline constexpr char LastConfigModifiedDefault[] = "True";
inline constexpr char Histo[] = "Histo";                           // copy folder; default: the program folder
inline constexpr char PeriodUnit[] = "PeriodUnit";                 // "0" monthly files, "1" daily files
inline constexpr char PeriodUnitDefault[] = "0";
inline constexpr char PeriodTime[] = "PeriodTime";                 // history retention; 0 keeps every file
inline constexpr char PeriodTimeDefault[] = "0";
inline constexpr char PeriodLimit[] = "PeriodLimit";               // "1" limited, "0" not; any non-zero number limits
inline constexpr char PeriodLimitDefault[] = "0";
inline constexpr char Import[] = "Import";                         // folder of the last instruction import
inline constexpr char ImportDefault[] = "";

// ---- "LastAlarms" -----------------------------------------------------------
inline constexpr char Index[] = "Index";           // the selected row
inline constexpr char IndexDefault[] = "1";

} // namespace IniKeys
