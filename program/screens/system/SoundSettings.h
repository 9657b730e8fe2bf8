#pragma once
// The rules of the sound and history settings, apart from the screen: the
// history keys of the INI file as the screen shows and writes them, the
// steps of the sound and priority buttons, the file that a sound test
// plays, and what ends a test.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace plat {
class Database;
class Recordset;
} // namespace plat

// "Files"/"Histo", "PeriodUnit", "PeriodTime" and "PeriodLimit".
struct HistorySettings {
    QString folder;
    bool days = false;
    QString count;
    bool limited = false;

    static constexpr int MaxCount = 730;

    // As stored: the folder (the program folder when missing), days for a
    // unit above 0, the count as a number, and any non-zero limit as limited.
    static HistorySettings Read();
    // A whole number 0..MaxCount, blanks around it allowed.
    static bool ValidCount(const QString& count);
    // A folder the INI file can keep: its code page, Windows-1252, holds every character.
    static bool ValidFolder(const QString& folder);
    // Writes the four keys: the trimmed folder, "1" (days) or "0", the count,
    // "1" or "0". The count is checked only while the retention is limited
    // (else it is written as it stands); nothing is written when it or the
    // folder is not valid (false).
    bool Write() const;

    // "General"/"NoResize": any non-zero value is set.
    static bool ReadNoResize();
    static void WriteNoResize(bool on);
};

namespace SoundSteps {
// One down while above lowest, one up while below highest; else unchanged.
int Down(int value, int lowest);
int Up(int value, int highest);
} // namespace SoundSteps

// The alarm sounds of the configuration database (table T_Sounds), kept open
// while the screen is loaded.
class SoundTable {
public:
    // Raises the database's error when the table cannot be opened.
    explicit SoundTable(const plat::Database& db);
    ~SoundTable();

    // The highest sound number; 0 for an empty table.
    static int16_t Highest(const plat::Database& db);

    // The file that a test of sound n plays: its alarm sound file when the
    // program folder has one, else <program folder>/SoundTest.<extension>
    // written from the table; none when the table has no sound n. Raises on
    // a file that cannot be written.
    std::optional<QString> TestFile(int n);

private:
    std::unique_ptr<plat::Recordset> m_sounds;
};

// <program folder>/SoundTest.wav, removed when the screen unloads.
QString SoundTestWav();

// Ends a sound test without silencing an alarm: while the horn sounds for a
// priority, its sound plays again; otherwise the player goes silent.
void EndSoundTest();
