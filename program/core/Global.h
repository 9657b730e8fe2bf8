#pragma once
// Small shared routines of the program: module model names, fixed-width
// formats, re-announcement delays, the horn, screen scaling, word-wrapped
// printing, form counting, folder creation, the counted strings and name
// scrambling of the configuration file, binary digit strings.
// Global::Message (the message box) is declared in GlobalMessage.h.

#include <QString>
#include <optional>

class QIODevice;
class QPaintDevice;
class QPainter;
class QWidget;

namespace Global {

QString ModuleName(int model);
QString LeftFormat(const QString& value, int width);
QString RightFormat(const QString& value, int width);
QString ReactivTime(int code);
std::optional<int> ReactivTimeCode(const QString& text);

// The horn: plays the priority's sound when it beats the one sounding; -1 stops it.
void Alarme(int level);

// Scales a form and its controls to the screen unless gNoResize.
void MiseAEchelle(QWidget* form);

int NbInstances(const QString& formName);
// True when the folder exists afterwards (parents created first). Raises on failure.
bool CreateFolderPath(const QString& path);
// Ends the processes of an executable name that this program started.
void KillProcess(const QString& exeName);

// Counted strings of the configuration file: a 32-bit little-endian count,
// then the text's Windows-1252 bytes. Read and write errors raise.
bool PutString(QIODevice& file, const QString& text);
// Refuses (raises) a count below 0 or beyond what the file still holds.
bool GetString(QIODevice& file, QString& text);

QString PasswordMask(const QString& text, unsigned char key);
long BinToDec(const QString& digits, bool sixteenBits = false);

} // namespace Global
