#pragma once
// The configuration database: texts by id in the chosen language, the fixed
// values of T_Config, the language names. Opened read-only once at start-up.

#include <QString>

class QSqlDatabase;

namespace plat {
class Database;
}

namespace Config {

// Opens <program folder>/<exe>.cfg read-only with its password into gDatabase
// and reads gLanguage from the INI file. False (after the error report) when
// the file is missing, damaged or the password is wrong.
bool OpenConfigBase();

// The text of id in the current language; "#id#" for a missing id, "" for a
// non-numeric one; "|" becomes CR LF unless raw.
QString GetText(const QString& id, bool raw = false);
inline QString GetText(int id, bool raw = false) { return GetText(QString::number(id), raw); }

// "Value" of the T_Config record with that key, "" when there is none.
QString GetConfig(int key);

// The name of language column index; "" past the last one.
QString GetLanguage(int index);

// Saves gConfig to the working file after an accepted edit. gConfig.Modified
// is left as it is: the working file is no user file, so quit still offers to
// save the changes under a name.
void SaveCurrentConfig();

// The day change housekeeping: the new day's trace log, the purge of old
// trace logs and history files, the copy of the history files to the folder
// "Files"/"Histo". The first error is reported and ends the run; the next day
// change runs every step again.
void DoMidnightActions();

// How the printer of a settings text fared when tried.
enum class PrintPortTest { Opens, DoesNotOpen, Refused };

// Tries the printer of the settings text ("LPT1:", "COM2:9600,N,8,1", "" for
// none): no printer is a working one; a port that does not open shows text
// 20011 with the system's reason; a text that cannot be tried (a port name
// that is none, serial settings that name no line) goes to the error handler
// and is refused.
PrintPortTest TryPrintPort(const QString& prtSettings);
// Whether that printer opens.
bool TestPrintPort(const QString& prtSettings);

} // namespace Config
