#pragma once
// Small shared routines of the program: module model names, fixed-width
// formats, re-announcement delays, the horn, screen scaling, title shadows,
// word-wrapped printing, form counting, folder creation, the counted strings
// and name scrambling of the configuration file, binary digit strings.
// Global::Message (the message box) is declared in GlobalMessage.h.

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;
class QLabel;
class QPainter;
class QWidget;

namespace plat {
template <class T>
class ControlArray;
}

namespace Global {

QString ModuleName(int model);
QString LeftFormat(const QString& value, int width);
QString RightFormat(const QString& value, int width);
// The re-announcement delays "hh:mm" a channel chooses from, code 1 for the
// first; code 0 (a new channel) has none.
const QStringList& ReactivTimes();
QString ReactivTime(int code);
std::optional<int> ReactivTimeCode(const QString& text);

// The horn: plays the priority's sound when it beats the one sounding; -1 stops it.
void Alarme(int level);
// The priority the horn sounds for now; 0 while it is silent.
int HornLevel();
// <program folder>/AlarmSound<n>.wav, the file of alarm sound number n.
QString AlarmSoundFile(int soundNumber);

// Scales a form and its controls to the screen unless gNoResize. True when
// it rescaled; a screen that was not rescaled takes wPolling's background.
bool MiseAEchelle(QWidget* form);
// The same for a screen of the given size in pixels. Controls placed by a
// layout keep their place: the layout moves them.
bool MiseAEchelle(QWidget* form, QSize screenPixels);
// The screen size in pixels that the form above scales to: the screen's,
// taken once at the first scaling of the run, unless set here first (a tool
// that draws the screens for several panels sets it for each).
QSize ScalingScreen();
void SetScalingScreen(QSize screenPixels);

// Gives every label of the array a black shadow: a new member after the
// existing ones, same caption, font, alignment, tag and visibility, moved
// by dx, dy pixels and kept behind its label.
void OmbrerTexte(plat::ControlArray<QLabel>& labels, int dx, int dy);

// A surface that measures and prints text at a current position (a form,
// a picture, the printer). Positions are in the surface's own units.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual double TextWidth(const QString& text) const = 0;
    // Prints at the current position (its top left) and moves the position
    // after the text, or to x 0 of the next line when newLine.
    virtual void Print(const QString& text, bool newLine) = 0;
};

// A surface over a painter, in the painter's units, with its font.
class PainterSurface : public PrintSurface {
public:
    explicit PainterSurface(QPainter& painter) : m_painter(painter) {}
    double CurrentX() const override { return m_x; }
    double CurrentY() const override { return m_y; }
    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }
    double TextWidth(const QString& text) const override;
    void Print(const QString& text, bool newLine) override;

private:
    QPainter& m_painter;
    double m_x = 0;
    double m_y = 0;
};

// Prints text word-wrapped in lines narrower than width, each starting at x.
// Breaks at spaces and at line breaks; nothing when width is negative.
void PrintParagraph(PrintSurface& surface, const QString& text, double x, double width);
void PrintAt(PrintSurface& surface, std::optional<double> x, std::optional<double> y, const QString& text,
             bool newLine);

int NbInstances(const QString& formName);
// True when the folder exists afterwards (parents created first). Raises on failure.
bool CreateFolderPath(const QString& path);
// Ends the processes of an executable name that this program started
// (plat::Process::start) and answers how many it ended (0 after an error).
int KillProcess(const QString& exeName);

// Counted strings of the configuration file: a 32-bit little-endian count,
// then the text's Windows-1252 bytes. Read and write errors raise.
bool PutString(QIODevice& file, const QString& text);
// Refuses (raises) a count below 0 or beyond what the file still holds.
// The text is trimmed of spaces unless trimSpaces is false (scrambled user
// names and codes may begin or end with a space byte).
bool GetString(QIODevice& file, QString& text, bool trimSpaces = true);

QString PasswordMask(const QString& text, unsigned char key);
long BinToDec(const QString& digits, bool sixteenBits = false);

} // namespace Global
