#pragma once
// What the live module state screen decides without its window: the colour
// of a channel lamp from the state last read and the blink phase, the horn
// lamp, the place of each channel's lamp, label and number (in twips, as the
// screen is designed), and the text of a channel's label.

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

class ChannelClass;
class ConfigClass;

namespace ModuleLamps {

// Colours, 0x00BBGGRR.
constexpr unsigned int Grey = 0xB2B2B2;      // state 0, the off half of a blink, horn silent
constexpr unsigned int Red = 0x0000FF;       // state 1, the on half of a blink, horn sounding
constexpr unsigned int Yellow = 0x00FFFF;    // no valid value
constexpr unsigned int DarkGrey = 0x404040;  // the horn lamp before its first read
constexpr unsigned int Amber = 0x00CCFF;     // behind the lamp labels
constexpr unsigned int LightGrey = 0xE3E3E3; // the frames behind lamps and labels
constexpr unsigned int FrameBorder = 0xA0A0A0;
constexpr unsigned int Blue = 0xFF6600;      // the lamp panel's outline and its separator

// The blink: a phase 0..3 stepped every 150 ms, a pulse at phase 0, a fast
// flag turned at phases 0 and 2, a slow one at phase 0.
struct Blink {
    int phase = 0;
    bool pulse = false;
    bool fast = false;
    bool slow = false;
    void step();
};

// A lamp from its tag (the decimal state word last read, "" for none).
unsigned int LampColor(const QString& tag, const Blink& blink);
unsigned int HornColor(qint16 word);

// 24 lamps for a module of 24 channels, else 12.
int LampCount(int channelCount);

// Channel i (1..n) of n lamps, in twips within the lamp panel.
struct Row {
    QRect label;
    QRect lamp;
    QPoint number;
};
Row RowOf(int i, int n, int numberHeight);

// The library text as stored (its padding kept, a never-assigned one as
// blanks; nothing for number 0), " - " after a library text, then the
// channel's screen text.
QString Caption(const ConfigClass& config, const ChannelClass& channel);
// The carriage returns that centre a caption vertically: half the spare
// lines of the label, in whole lines, measured with the screen's font.
int CentringReturns(const QString& caption, double labelWidth, double labelHeight,
                    const std::function<double(const QString&)>& width, double lineHeight);

} // namespace ModuleLamps
